#include "scannedquestion.h"

#include "menuscanning.h"

#include "feedback/colours.h"
#include "layout/fontfit.h"
#include "layout/formlog.h"
#include "layout/legible.h"
#include "state/appstate.h"
#include "state/logcategories.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {

QString shown(const QString &text)
{
    return appState().Settings.capitals() ? text.toUpper() : text;
}

QPushButton *answerButton(const QString &caption, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(shown(caption), parent);
    button->setObjectName(name);
    // The switches answer, never a focused button taking Enter by itself.
    button->setAutoDefault(false);
    button->setCursor(buttonPointer());
    setButtonColour(button, appState().Settings.ButtonColour);
    return button;
}

} // namespace

ScannedQuestion::ScannedQuestion(const QString &text, const QColor &background, QWidget *parent)
    : QDialog(parent)
    , m_text(new QLabel(shown(text), this))
    , m_no(answerButton(QStringLiteral("No"), QStringLiteral("QuestionNo"), this))
    , m_yes(answerButton(QStringLiteral("Sì"), QStringLiteral("QuestionYes"), this))
{
    setObjectName(QStringLiteral("Question"));
    setWindowTitle(QStringLiteral("Velmora"));
    setModal(true);

    const ProfileSettings &settings = appState().Settings;
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, background);
    setPalette(palette);
    setAutoFillBackground(true);

    m_text->setObjectName(QStringLiteral("QuestionText"));
    m_text->setAlignment(Qt::AlignCenter);
    const QColor textBackground = Colours::fromNumber(settings.TextBackColour);
    QPalette textPalette = m_text->palette();
    textPalette.setColor(QPalette::Window, textBackground);
    textPalette.setColor(
        QPalette::WindowText, Legible::textColour(Colours::fromNumber(settings.TextColour), textBackground));
    m_text->setPalette(textPalette);
    m_text->setAutoFillBackground(true);

    connect(m_no, &QPushButton::clicked, this, [this] { answer(false); });
    connect(m_yes, &QPushButton::clicked, this, [this] { answer(true); });
    // "No" is scanned first: a press that comes too early keeps the pupil in.
    m_scanning = new MenuScanning(this, this, {m_no, m_yes}, [this](int index) { answer(index == 1); });
}

ScannedQuestion::~ScannedQuestion() = default;

void ScannedQuestion::ask()
{
    // Large enough to read from a child's seat, over the middle of the window asking.
    const QWidget *over = parentWidget() ? parentWidget()->window() : nullptr;
    const QRect area = over ? over->geometry() : QRect(0, 0, 1024, 768);
    resize(qMax(480, area.width() * 3 / 5), qMax(360, area.height() * 3 / 5));
    move(area.center() - rect().center());
    layOut();
    show();
    raise();
    activateWindow();
    qCDebug(lcForms, "shown %s: %s", qPrintable(objectName()), qPrintable(m_text->text()));
    logControls(this);
    m_scanning->activate();
}

void ScannedQuestion::reject()
{
    answer(false);
}

void ScannedQuestion::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    layOut();
}

void ScannedQuestion::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    // A window manager may draw no frame, and the question shares the
    // menu's background: a thick edge keeps it apart from the menu.
    const QColor background = palette().color(QPalette::Window);
    const int thickness = qMax(3, height() / 60);
    QPainter painter(this);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Legible::textColour(Qt::black, background));
    const QRect all = rect();
    painter.drawRect(all.x(), all.y(), all.width(), thickness);
    painter.drawRect(all.x(), all.bottom() - thickness + 1, all.width(), thickness);
    painter.drawRect(all.x(), all.y(), thickness, all.height());
    painter.drawRect(all.right() - thickness + 1, all.y(), thickness, all.height());
}

void ScannedQuestion::layOut()
{
    const int w = width();
    const int h = height();
    m_text->setGeometry(w / 20, h / 20, w * 9 / 10, h * 3 / 10);
    // One above the other: scanned by rows, each row is one answer.
    m_no->setGeometry(w * 3 / 20, h * 2 / 5, w * 7 / 10, h / 4);
    m_yes->setGeometry(w * 3 / 20, h * 7 / 10, w * 7 / 10, h / 4);

    const QString family = appState().Settings.TextFontName;
    QFont textFont(family);
    textFont.setPointSize(FontFit::fittingPointSize({m_text->text()}, family, m_text->size()));
    m_text->setFont(textFont);
    QFont buttonFont(family);
    buttonFont.setPointSize(FontFit::fittingPointSize({m_no->text(), m_yes->text()}, family, m_no->size()));
    m_no->setFont(buttonFont);
    m_yes->setFont(buttonFont);
}

void ScannedQuestion::answer(bool yes)
{
    if (m_answered)
        return;
    m_answered = true;
    m_scanning->deactivate();
    setResult(yes ? Accepted : Rejected);
    hide();
    qCDebug(lcForms, "question answered %s", yes ? "yes" : "no");
    // Still inside the handler of the press that answered.
    deleteLater();
    Q_EMIT answered(yes);
}

#include "moc_scannedquestion.cpp"
