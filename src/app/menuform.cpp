#include "menuform.h"

#include "feedback/colours.h"
#include "layout/fontfit.h"
#include "layout/formlog.h"
#include "scanning/menuscanning.h"
#include "scanning/scannedquestion.h"
#include "state/appstate.h"
#include "state/logcategories.h"

#include <QPushButton>

MenuForm::MenuForm(const QString &name, const QSize &designClientTwips, QWidget *parent)
    : Form(name, designClientTwips, parent)
{
    m_fontFitTimer.setInterval(20);
    connect(&m_fontFitTimer, &QTimer::timeout, this, &MenuForm::fitButtonFont);
}

QPushButton *MenuForm::addMenuButton(const QString &caption, const QRect &twips, bool sizedAlone)
{
    const int index = int(m_buttons.size());
    auto *button = addControl(new QPushButton(caption), twips);
    button->setObjectName(QStringLiteral("Command1_%1").arg(index));
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(27.75);
    button->setFont(font);
    connect(button, &QPushButton::clicked, this, [this, index] { onButtonChosen(index); });
    m_buttons << button;
    m_captions << caption;
    m_sizedAlone << sizedAlone;
    return button;
}

void MenuForm::enableScanning()
{
    m_scanning
        = new MenuScanning(this, clientArea(), m_buttons, [this](int index) { onButtonChosen(index); });
}

void MenuForm::formActivate()
{
    applySettings();
}

void MenuForm::applySettings()
{
    const ProfileSettings &settings = appState().Settings;
    for (QPushButton *button : std::as_const(m_buttons)) {
        setButtonColour(button, settings.ButtonColour);
        button->setCursor(buttonPointer());
    }
    setBackgroundColour(windowBackgroundColour());
    m_fontFitTimer.start();
    if (m_scanning) {
        m_scanning->deactivate();
        m_scanning->activate();
    }
}

void MenuForm::formUnload()
{
    m_fontFitTimer.stop();
    if (m_scanning)
        m_scanning->deactivate();
}

ScannedQuestion *MenuForm::question() const
{
    return m_question;
}

void MenuForm::askWhileScanning(const QString &text, std::function<void()> yes)
{
    if (m_question)
        return;
    if (m_scanning)
        m_scanning->deactivate();
    m_question = new ScannedQuestion(text, backgroundColour(), this);
    connect(m_question, &ScannedQuestion::answered, this, [this, yes = std::move(yes)](bool answer) {
        m_question.clear();
        if (answer) {
            yes();
            return;
        }
        qCDebug(lcForms, "shown %s again", qPrintable(formName()));
        if (m_scanning)
            m_scanning->activate();
    });
    m_question->ask();
}

void MenuForm::fitButtonFont()
{
    const ProfileSettings &settings = appState().Settings;
    QStringList captions;
    for (int i = 0; i < m_buttons.size(); ++i) {
        m_buttons[i]->setText(settings.capitals() ? m_captions[i].toUpper() : m_captions[i]);
        if (!m_sizedAlone[i])
            captions << m_buttons[i]->text();
    }
    if (!m_buttons.isEmpty()) {
        const int shared = FontFit::fittingPointSize(captions, settings.TextFontName, m_buttons[0]->size());
        for (int i = 0; i < m_buttons.size(); ++i) {
            int points = shared;
            if (m_sizedAlone[i]) {
                points = qMin(shared,
                    FontFit::fittingPointSize(
                        {m_buttons[i]->text()}, settings.TextFontName, m_buttons[i]->size()));
            }
            QFont font(settings.TextFontName);
            font.setPointSize(points);
            m_buttons[i]->setFont(font);
        }
    }
    afterFontFitted();
    m_fontFitTimer.stop();
    // The buttons stand where they will stay: a session driven from outside clicks them there.
    logControls(clientArea());
}

#include "moc_menuform.cpp"
