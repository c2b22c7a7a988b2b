#include "exercisewindow.h"

#include "feedback/colours.h"
#include "feedback/sounds.h"
#include "layout/dialogs.h"
#include "layout/picturebox.h"
#include "records/activityrecord.h"
#include "scanning/exercisescanning.h"
#include "state/appstate.h"

#include <QAction>
#include <QFont>
#include <QHash>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

namespace {

bool upperCase()
{
    return appState().Settings.LetterCase == QLatin1String("maiuscolo");
}

QString shown(const QString &text)
{
    return upperCase() ? text.toUpper() : text;
}

QFont arialBold(double points)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

QFont textFont()
{
    const ProfileSettings &settings = appState().Settings;
    QFont font(settings.TextFontName);
    font.setPointSize(qMax<int>(1, settings.TextFontSize));
    font.setBold(true);
    return font;
}

void setBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

QString ExerciseWindow::topicMenuFor(const QString &marker)
{
    static const QHash<QString, QString> menus = {
        {QStringLiteral("doppie"), QStringLiteral("FormMenuDoppie")},
        {QStringLiteral("SuoniSImili"), QStringLiteral("FormMenuSuoniSimili")},
        {QStringLiteral("altre difficoltà"), QStringLiteral("FormMenuCG")},
        {QStringLiteral("gruppi"), QStringLiteral("FormMenuGruppi")},
        {QStringLiteral("cq"), QStringLiteral("FormMenuCQ")},
        {QStringLiteral("accento"), QStringLiteral("FormMenuAccento")},
        {QStringLiteral("apostrofo"), QStringLiteral("FormMenuApostrofo")},
        {QStringLiteral("h"), QStringLiteral("FormMenuH")},
    };
    return menus.value(marker);
}

QString ExerciseWindow::formNameFor(Kind kind)
{
    switch (kind) {
    case Kind::Words:
        return QStringLiteral("FormEsercizi");
    case Kind::Sentences:
        return QStringLiteral("FormEsFrasi");
    case Kind::Review:
        return QStringLiteral("FormEserciziRiep");
    }
    return {};
}

ExerciseWindow::ExerciseWindow(Kind kind, QWidget *parent)
    : Form(formNameFor(kind), QSize(8490, 5790), parent)
    , m_kind(kind)
{
    // Sentences bring longer spellings: their buttons are wider.
    const bool wide = kind == Kind::Sentences;

    m_etArticoli = addControl(new QLabel, QRect(600, 1560, 7335, 1095));
    m_etArticoli->setObjectName(QStringLiteral("EtArticoli"));
    m_etArticoli->setAlignment(Qt::AlignCenter);
    m_etArticoli->setWordWrap(kind == Kind::Sentences);
    m_etArticoli->setAutoFillBackground(true);

    const QList<QRect> answerPlaces = wide ? QList<QRect>{{2280, 3000, 1935, 1092}, {4560, 3000, 1935, 1092}}
                                           : QList<QRect>{{2640, 3000, 1212, 1092}, {4680, 3000, 1212, 1092}};
    const QStringList answerNames = {QStringLiteral("BtIl"), QStringLiteral("Btlo")};
    for (int i = 0; i < answerPlaces.size(); ++i) {
        auto *button = addControl(new QPushButton, answerPlaces[i]);
        button->setObjectName(answerNames[i]);
        connect(button, &QPushButton::clicked, this, [this, i] { answer(i); });
        m_answerButtons << button;
    }

    m_command1 = addControl(new QPushButton(QStringLiteral("avanti")), QRect(6000, 4560, 1935, 975));
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setFont(arialBold(14.25));
    m_command1->hide();
    connect(m_command1, &QPushButton::clicked, this, &ExerciseWindow::Command1_Click);

    m_command2 = addControl(new QPushButton(QStringLiteral("leggi")),
        wide ? QRect(3360, 4560, 1935, 975) : QRect(3240, 4560, 1935, 975));
    m_command2->setObjectName(QStringLiteral("Command2"));
    m_command2->setFont(arialBold(14.25));
    connect(m_command2, &QPushButton::clicked, this, &ExerciseWindow::Command2_Click);

    const QString images = appState().ApplicationFolder + QStringLiteral("/images/");
    m_comandoIconaSi = addControl(new PictureBox, QRect(4560, 240, 975, 855));
    m_comandoIconaSi->setObjectName(QStringLiteral("ComandoIconaSi"));
    m_comandoIconaSi->load(images + QStringLiteral("giusto.svg"));
    m_comandoIconaNo = addControl(new PictureBox, QRect(4560, 240, 975, 855));
    m_comandoIconaNo->setObjectName(QStringLiteral("ComandoIconaNo"));
    m_comandoIconaNo->load(images + QStringLiteral("sbagliato.svg"));
    // Before the first answer the place of the signs shows neither.
    m_comandoIconaSi->hide();
    m_comandoIconaNo->hide();

    auto *label1 = addControl(new QLabel(QStringLiteral("Esatti")), QRect(6105, 330, 735, 375));
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setFont(arialBold(12));
    m_etichettaEsatti = addControl(new QLabel, QRect(6945, 210, 975, 615));
    m_etichettaEsatti->setObjectName(QStringLiteral("EtichettaEsatti"));
    m_etichettaEsatti->setFont(arialBold(18));
    auto *label5 = addControl(new QLabel(QStringLiteral("Errati")), QRect(6105, 660, 735, 495));
    label5->setObjectName(QStringLiteral("Label5"));
    label5->setFont(arialBold(12));
    m_etichettaErrati = addControl(new QLabel, QRect(6945, 540, 855, 615));
    m_etichettaErrati->setObjectName(QStringLiteral("EtichettaErrati"));
    m_etichettaErrati->setFont(arialBold(18));

    m_picAgent = addControl(new QWidget, QRect(240, 3000, 1935, 2535));
    m_picAgent->setObjectName(QStringLiteral("picAgent"));
    m_pictureScansione = addControl(new QWidget, QRect(7200, 3360, 975, 495));
    m_pictureScansione->setObjectName(QStringLiteral("PictureScansione"));
    m_pictureScansione->hide();

    m_scanning = new ExerciseScanning(this, m_answerButtons, m_command2, m_command1,
        {[this](int answer) { keyboardAnswer(answer); }, [this] { Command2_Click(); },
            [this] { ProssimaParola(); }});

    QMenuBar *bar = menuBar();
    m_mnuSuoni = bar->addAction(QString());
    m_mnuSuoni->setObjectName(QStringLiteral("mnuSuoni"));
    connect(m_mnuSuoni, &QAction::triggered, this, &ExerciseWindow::mnuSuoni_Click);
    m_menuAzzera = bar->addAction(QStringLiteral("Azzera conteggio          "));
    m_menuAzzera->setObjectName(QStringLiteral("MenuAzzera"));
    connect(m_menuAzzera, &QAction::triggered, this, &ExerciseWindow::MenuAzzera_Click);
    m_mnuStampa = bar->addAction(QStringLiteral("Stampa          "));
    m_mnuStampa->setObjectName(QStringLiteral("mnuStampa"));
    connect(m_mnuStampa, &QAction::triggered, this, &ExerciseWindow::mnuStampa_Click);
    m_mnuEsci = bar->addAction(QStringLiteral("Esci"));
    m_mnuEsci->setObjectName(QStringLiteral("mnuEsci"));
    connect(m_mnuEsci, &QAction::triggered, this, &ExerciseWindow::mnuEsci_Click);
}

void ExerciseWindow::formLoad()
{
    const AppState &state = appState();
    const ProfileSettings &settings = state.Settings;

    m_etichettaEsatti->setText(QString::number(state.RightCount));
    m_etichettaErrati->setText(QString::number(state.WrongCount));

    m_answerButtons[0]->setText(shown(state.ChoiceA));
    m_answerButtons[1]->setText(shown(state.ChoiceB));

    QPalette textPalette = m_etArticoli->palette();
    textPalette.setColor(QPalette::Window, Colours::fromNumber(settings.TextBackColour));
    textPalette.setColor(QPalette::WindowText, Colours::fromNumber(settings.TextColour));
    m_etArticoli->setPalette(textPalette);
    m_etArticoli->setFont(textFont());
    for (QPushButton *button : std::as_const(m_answerButtons))
        button->setFont(textFont());

    for (QPushButton *button : {m_answerButtons[0], m_answerButtons[1], m_command1, m_command2})
        button->setCursor(buttonPointer());

    m_command2->setVisible(settings.SpeechOn);
    m_picAgent->setVisible(settings.SpeechOn);

    switch (m_kind) {
    case Kind::Words:
        m_loadReport = CaricaParole();
        break;
    case Kind::Sentences:
        m_loadReport = CaricaFrasi();
        break;
    case Kind::Review:
        // The review filled the word store before the window opened.
        break;
    }
}

void ExerciseWindow::formActivate()
{
    m_mnuSuoni->setText(
        appState().Settings.SoundsOn ? QStringLiteral("Disattiva suoni") : QStringLiteral("Attiva suoni"));

    if (!m_reportShown && !m_loadReport.ok()) {
        m_reportShown = true;
        Dialogs::information(this, m_loadReport.text());
    }
    // A list with nothing to play is no exercise: back to the menu.
    if (appState().WordCount <= 0) {
        QMetaObject::invokeMethod(this, &ExerciseWindow::returnToTopicMenu, Qt::QueuedConnection);
        return;
    }

    m_scanning->activate();
    m_pictureScansione->setVisible(m_scanning->scanning());
    ProssimaParola();
}

void ExerciseWindow::formUnload()
{
    m_scanning->deactivate();
}

void ExerciseWindow::ProssimaParola()
{
    AppState &state = appState();
    setBackgroundColour(windowBackgroundColour());
    setBackground(m_pictureScansione, backgroundColour());
    setBackground(m_picAgent, backgroundColour());

    for (QPushButton *button : std::as_const(m_answerButtons))
        button->setEnabled(true);
    m_command1->hide();
    m_solved = false;

    ScegliParolaCasuale();
    const WordItem &item = state.wordRow(state.CurrentWordIndex);
    m_etArticoli->setText(shown(item.text));
    if (m_kind != Kind::Words) {
        m_answerButtons[0]->setText(shown(item.firstChoice));
        m_answerButtons[1]->setText(shown(item.secondChoice));
    }
    m_recordRow = ActivityRecord::addItem(m_etArticoli->text());
    m_scanning->itemShown();
}

void ExerciseWindow::MostraParola()
{
    m_etArticoli->setText(shown(ParolaCompleta(appState().CurrentWordIndex)));
}

QString ExerciseWindow::offeredSpelling(int buttonIndex) const
{
    const AppState &state = appState();
    if (m_kind == Kind::Words)
        return buttonIndex == 0 ? state.ChoiceA : state.ChoiceB;
    const WordItem &item = state.wordRow(state.CurrentWordIndex);
    return buttonIndex == 0 ? item.firstChoice : item.secondChoice;
}

void ExerciseWindow::answer(int buttonIndex)
{
    // In the scanning modes the answers come from the switch keys.
    if (appState().Settings.InputMode != 0 || m_solved)
        return;
    if (judge(buttonIndex)) {
        m_command1->show();
        // The mouse path closes the item; the keys move on to "avanti" instead.
        for (QPushButton *button : std::as_const(m_answerButtons))
            button->setEnabled(false);
    }
}

void ExerciseWindow::keyboardAnswer(int buttonIndex)
{
    if (m_solved)
        return;
    const bool right = judge(buttonIndex);
    if (right)
        m_command1->show();
    m_scanning->answered(right);
}

bool ExerciseWindow::judge(int buttonIndex)
{
    AppState &state = appState();
    const QString expected = state.wordRow(state.CurrentWordIndex).answer;
    if (expected.toUpper() == offeredSpelling(buttonIndex).toUpper()) {
        m_comandoIconaSi->show();
        m_comandoIconaNo->hide();
        incrementCount(state.RightCount);
        showCount(m_etichettaEsatti, state.RightCount, true);
        SuonoEsatto();
        m_solved = true;
        MostraParola();
        return true;
    }
    m_comandoIconaNo->show();
    m_comandoIconaSi->hide();
    incrementCount(state.WrongCount);
    showCount(m_etichettaErrati, state.WrongCount, true);
    SuonoErrato();
    ActivityRecord::markWrongAnswer(m_recordRow);
    return false;
}

void ExerciseWindow::showCount(QLabel *label, qint16 count, bool signPosition)
{
    // After an answer the count keeps a position for the sign: " 4".
    label->setText(signPosition && count >= 0 ? u' ' + QString::number(count) : QString::number(count));
}

void ExerciseWindow::Command1_Click()
{
    if (appState().Settings.InputMode != 0)
        return;
    ProssimaParola();
}

void ExerciseWindow::Command2_Click()
{
    // Reading aloud comes with the speaking character.
}

void ExerciseWindow::MenuAzzera_Click()
{
    AppState &state = appState();
    state.RightCount = 0;
    state.WrongCount = 0;
    showCount(m_etichettaEsatti, 0, false);
    showCount(m_etichettaErrati, 0, false);
}

void ExerciseWindow::mnuSuoni_Click()
{
    bool &soundsOn = appState().Settings.SoundsOn;
    soundsOn = !soundsOn;
    m_mnuSuoni->setText(soundsOn ? QStringLiteral("Disattiva suoni") : QStringLiteral("Attiva suoni"));
}

void ExerciseWindow::mnuStampa_Click()
{
    Dialogs::information(this, QStringLiteral("La stampa delle schede non è ancora disponibile."));
}

void ExerciseWindow::mnuEsci_Click()
{
    if (Dialogs::question(this, QStringLiteral("Vuoi tornare al menù?"), Dialogs::Icon::Stop))
        returnToTopicMenu();
}

QString ExerciseWindow::menuToReturnTo()
{
    const QString menu = topicMenuFor(appState().TopicMarker);
    return menu.isEmpty() ? QStringLiteral("FormMenu") : menu;
}

void ExerciseWindow::returnToTopicMenu()
{
    showForm(menuToReturnTo());
}
