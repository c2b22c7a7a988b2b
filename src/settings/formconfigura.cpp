#include "formconfigura.h"

#include "profile.h"
#include "settingsfolders.h"
#include "settingsnotice.h"

#include "feedback/agent.h"
#include "feedback/colours.h"
#include "feedback/speechtags.h"
#include "feedback/voices.h"
#include "layout/commondialogs.h"
#include "layout/dialogs.h"
#include "layout/formlog.h"
#include "layout/formnames.h"
#include "layout/legible.h"
#include "layout/twips.h"
#include "scanning/controllersource.h"
#include "state/appstate.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabBar>

#include <cmath>

namespace {

const QString kCursiveFont = QStringLiteral("Indis1");
const QString kDefaultUser = QStringLiteral("_predefinito");
// Captions are designed at this size for a 640 x 480 client area and grow with it.
constexpr double kCaptionPoints = 8;
const QSize kDesignClient(9600, 7200);
const QRect kPagePlace(120, 570, 9360, 6510);

ProfileSettings &settings()
{
    return appState().Settings;
}

// Puts a control on a page (or a frame on it) at its design place, in twips;
// the scaler then keeps its proportions.
template<typename Control> Control *place(QWidget *container, Control *control, const QRect &twips)
{
    control->setParent(container);
    control->setGeometry(Twips::toPixels(twips));
    control->setProperty("captionPoints", kCaptionPoints);
    return control;
}

template<typename Control> Control *named(Control *control, const QString &name)
{
    control->setObjectName(name);
    return control;
}

QGroupBox *frame(QWidget *container, const QString &name, const QString &caption, const QRect &twips)
{
    auto *box = place(container, named(new QGroupBox(caption), name), twips);
    box->setProperty("scaledContainer", true);
    return box;
}

// A bar over the allowed values of setting, counted in units of it.
QSlider *scrollBar(QWidget *container, const QString &name, const QRect &twips,
    qint16 ProfileSettings::*setting, int step, int unit = 1)
{
    const ProfileSchema::Setting &range = ProfileSchema::of(setting);
    auto *bar = place(container, named(new QSlider(Qt::Horizontal), name), twips);
    bar->setRange(range.minimum / unit, range.maximum / unit);
    bar->setValue(range.minimum / unit);
    bar->setSingleStep(step);
    bar->setPageStep(step * 5);
    return bar;
}

// "Velocità = " and the like take the number with a blank where a plus sign
// would stand.
QString signedNumber(int value)
{
    return value < 0 ? QString::number(value) : u' ' + QString::number(value);
}

// The captions on a page stay legible on the colour the teacher chose for
// it; those of controls that do not apply are muted.
void inkPage(QWidget *page)
{
    QPalette palette = page->palette();
    const QColor background = palette.color(QPalette::Window);
    const QColor ink = Legible::textColour(Qt::black, background);
    palette.setColor(QPalette::WindowText, ink);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, Legible::mutedTextColour(ink, background));
    page->setPalette(palette);
}

QString scanIntervalText(int quarterSeconds)
{
    return QStringLiteral("Velocità scansione: ")
        + QLocale(QLocale::Italian).toString(quarterSeconds / 4.0, 'f', 2) + QStringLiteral(" secondi");
}

// Switch times are stored in milliseconds and set in tenths of a second.
constexpr int kTenth = 100;

int tenthsOf(int milliseconds)
{
    return qRound(double(milliseconds) / kTenth);
}

// Cursive letters are written in the cursive font; printed ones in the font
// the teacher chose.
void fontForLetterCase(ProfileSettings &values)
{
    values.TextFontName
        = values.LetterCase == QLatin1String("corsivo") ? kCursiveFont : values.ChosenFontName;
}

SettingBinding::Scale inTenths()
{
    return {[](qint16 milliseconds) { return tenthsOf(milliseconds); },
        [](int tenths) { return qint16(tenths * kTenth); }};
}

QString secondsText(int milliseconds)
{
    if (milliseconds == 0)
        return QStringLiteral("nessuno");
    const QString seconds
        = QLocale(QLocale::Italian).toString(milliseconds / 1000.0, 'f', QLocale::FloatingPointShortest);
    return seconds + (milliseconds == 1000 ? QStringLiteral(" secondo") : QStringLiteral(" secondi"));
}

// The loop bar runs one step past the most rounds a profile may name: the
// end of the bar is a scan that never stops, stored as 0.
int endlessLoops()
{
    return ProfileSchema::of(&ProfileSettings::ScanLoops).maximum + 1;
}

SettingBinding::Scale loopsScale()
{
    return {[](qint16 loops) { return loops == 0 ? endlessLoops() : int(loops); },
        [](int position) { return qint16(position == endlessLoops() ? 0 : position); }};
}

QString loopsText(int loops)
{
    if (loops == 0)
        return QStringLiteral("La scansione non si ferma mai");
    if (loops == 1)
        return QStringLiteral("La scansione si ferma dopo 1 giro a vuoto");
    return QStringLiteral("La scansione si ferma dopo %1 giri a vuoto").arg(loops);
}

} // namespace

FormConfigura::FormConfigura(QWidget *parent)
    : Form(FormName::kConfiguration, kDesignClient, parent)
{
    m_tabs = addControl(named(new QTabBar, QStringLiteral("TabStrip1")), QRect(120, 120, 9360, 450));
    m_tabs->setProperty("captionPoints", kCaptionPoints);
    m_tabs->setExpanding(false);
    m_tabs->setDrawBase(false);
    for (const char *caption :
        {"Utente", "Scelte didattiche", "Fonts e Colori", "Voce e Suoni", "Modalità di input"})
        m_tabs->addTab(QString::fromUtf8(caption));

    const auto makePage = [this](const char *name) {
        auto *page = addControl(named(new QFrame, QString::fromLatin1(name)), kPagePlace);
        page->setFrameShape(QFrame::StyledPanel);
        page->setProperty("scaledContainer", true);
        return page;
    };
    m_userPage = makePage("FrameUtente");
    m_lettersPage = makePage("FrameLettere");
    m_fontsPage = makePage("FrameFonts");
    m_voicePage = makePage("FrameVoce");
    m_inputPage = makePage("FramePunt");

    buildUserPage();
    buildLettersPage();
    buildFontsPage();
    buildVoicePage();
    buildInputPage();

    QAction *leaveAction = menuBar()->addAction(QStringLiteral("&Menu"));
    leaveAction->setObjectName(QStringLiteral("mnuEsci"));
    connect(leaveAction, &QAction::triggered, this, &FormConfigura::leave);
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0 && page() != Page(index + 1))
            showPage(Page(index + 1));
    });
}

FormConfigura::~FormConfigura() = default;

void FormConfigura::buildUserPage()
{
    const QStringList captions = {QStringLiteral("Utente predefinito"), QStringLiteral("Modifica utente"),
        QStringLiteral("Nuovo utente")};
    for (int i = 0; i < captions.size(); ++i) {
        auto *option = place(m_userPage,
            named(new QRadioButton(captions[i]), QStringLiteral("OptionUtente_%1").arg(i)),
            QRect(360, 360 + 600 * i, 3840, 480));
        m_userOptions << option;
    }
    m_userOptions[0]->setChecked(true);
    for (int i = 0; i < captions.size(); ++i) {
        QRadioButton *option = m_userOptions[i];
        // A click on the selected option still counts: the teacher may want
        // the default user back after choosing another one on the main menu.
        // An option toggled without a click (by a screen reader or an
        // on-screen switch program) counts as well.
        connect(option, &QRadioButton::pressed, this, [this] { m_userOptionPressed = true; });
        connect(option, &QRadioButton::released, this, [this] { m_userOptionPressed = false; });
        connect(option, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on && !m_userOptionPressed)
                chooseUserOption(i);
        });
        connect(option, &QRadioButton::clicked, this, [this, i] { chooseUserOption(i); });
    }

    m_userList = place(m_userPage, named(new QListWidget, QStringLiteral("ListModificaUtente")),
        QRect(4560, 360, 4320, 3120));
    m_userList->hide();
    m_userList->setAccessibleName(QStringLiteral("Utenti"));
    connect(m_userList, &QListWidget::itemClicked, this, &FormConfigura::chooseListedUser);
    connect(m_userList, &QListWidget::itemActivated, this, &FormConfigura::chooseListedUser);

    m_newUserName = place(
        m_userPage, named(new QLineEdit, QStringLiteral("TextNuovoUtente")), QRect(4560, 1560, 4320, 480));
    m_newUserName->hide();
    m_newUserName->setAccessibleName(QStringLiteral("Nome del nuovo utente"));
    connect(m_newUserName, &QLineEdit::textChanged, this, &FormConfigura::typeNewUser);

    m_userNameProblem = place(
        m_userPage, named(new QLabel, QStringLiteral("LabelNomeNonValido")), QRect(4560, 2100, 4320, 1080));
    m_userNameProblem->setWordWrap(true);
    m_userNameProblem->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_userNameProblem->hide();

    m_keepRecord = place(m_userPage,
        named(new QCheckBox(QStringLiteral("Tieni traccia dell'attività eseguita")),
            QStringLiteral("CheckSalvaUtente")),
        QRect(360, 3840, 8400, 480));
    bind(SettingBinding::check(&ProfileSettings::KeepActivityRecord, m_keepRecord, settings()));

    place(m_userPage, new QLabel(QStringLiteral("Utente attuale:")), QRect(360, 4680, 2400, 480));
    m_userName = place(m_userPage, named(new QLabel, QStringLiteral("Label4")), QRect(2880, 4680, 6000, 480));
    m_userName->setProperty("captionBold", true);
}

void FormConfigura::buildLettersPage()
{
    QGroupBox *letterCaseFrame = frame(m_lettersPage, QStringLiteral("Frame1"),
        QStringLiteral("Tipo di carattere"), QRect(360, 360, 4800, 2760));
    m_lowerCase = place(letterCaseFrame,
        named(new QRadioButton(QStringLiteral("minuscolo")), QStringLiteral("minuscolo")),
        QRect(360, 480, 4080, 600));
    m_upperCase = place(letterCaseFrame,
        named(new QRadioButton(QStringLiteral("MAIUSCOLO")), QStringLiteral("maiuscolo")),
        QRect(360, 1140, 4080, 600));
    m_cursive = place(letterCaseFrame,
        named(new QRadioButton(QStringLiteral("corsivo")), QStringLiteral("corsivo")),
        QRect(360, 1800, 4080, 720));
    m_cursive->setProperty("captionFamily", kCursiveFont);

    bind(SettingBinding::options(&ProfileSettings::LetterCase, {m_lowerCase, m_upperCase, m_cursive},
        {QStringLiteral("minuscolo"), QStringLiteral("maiuscolo"), QStringLiteral("corsivo")}, settings(),
        thenShow([] { fontForLetterCase(settings()); })));

    m_reviewMissed = place(m_lettersPage,
        named(new QCheckBox(QStringLiteral("Ripassa le parole sbagliate")), QStringLiteral("CheckRipassa")),
        QRect(360, 3480, 8400, 480));
    bind(SettingBinding::check(&ProfileSettings::ReviewMissedWords, m_reviewMissed, settings()));
}

void FormConfigura::buildFontsPage()
{
    QGroupBox *backgroundFrame = frame(
        m_fontsPage, QStringLiteral("Frame6"), QStringLiteral("Colore sfondo"), QRect(360, 240, 4200, 2400));
    const QStringList captions = {QStringLiteral("Colore casuale"), QStringLiteral("Colore fisso")};
    for (int i = 0; i < captions.size(); ++i) {
        auto *option = place(backgroundFrame,
            named(new QRadioButton(captions[i]), QStringLiteral("OptionColoreCasualeFisso_%1").arg(i)),
            QRect(240, 480 + 540 * i, 3720, 480));
        m_backgroundOptions << option;
    }
    bind(SettingBinding::options(
        &ProfileSettings::RandomBackground, m_backgroundOptions, {true, false}, settings(), thenShow()));
    m_backgroundColourButton = place(backgroundFrame,
        named(new QPushButton(QStringLiteral("Colori")), QStringLiteral("CommandSceltaColori")),
        QRect(240, 1680, 2400, 540));
    connect(m_backgroundColourButton, &QPushButton::clicked, this, &FormConfigura::chooseBackgroundColour);

    QGroupBox *textFrame = frame(m_fontsPage, QStringLiteral("Frame5"), QStringLiteral("Testo e bottoni"),
        QRect(4800, 240, 4200, 2400));
    const auto button = [textFrame](const QString &caption, const QString &name, const QRect &twips) {
        return place(textFrame, named(new QPushButton(caption), name), twips);
    };
    m_fontButton
        = button(QStringLiteral("Font"), QStringLiteral("CommandSceltaFont"), QRect(240, 480, 1800, 600));
    m_textColourButton = button(QStringLiteral("Colore font"), QStringLiteral("CommandSceltaColoreFont"),
        QRect(2160, 480, 1800, 600));
    m_textBackgroundButton = button(QStringLiteral("Sfondo testo"),
        QStringLiteral("CommandSceltaSfondoTesto"), QRect(240, 1320, 1800, 600));
    m_buttonColourButton = button(QStringLiteral("Bottoni"), QStringLiteral("CommandSceltaColoreBottoni"),
        QRect(2160, 1320, 1800, 600));
    connect(m_fontButton, &QPushButton::clicked, this, &FormConfigura::chooseTextFont);
    connect(m_textColourButton, &QPushButton::clicked, this, &FormConfigura::chooseTextColour);
    connect(m_textBackgroundButton, &QPushButton::clicked, this, &FormConfigura::chooseTextBackground);
    connect(m_buttonColourButton, &QPushButton::clicked, this, &FormConfigura::chooseButtonColour);

    m_textSample = place(m_fontsPage,
        named(new QLabel(QStringLiteral("Esempio di font e colore del testo")),
            QStringLiteral("LabelFontSelezionato")),
        QRect(360, 2880, 8640, 3240));
    m_textSample->setProperty("captionPoints", QVariant());
    m_textSample->setAlignment(Qt::AlignCenter);
    m_textSample->setWordWrap(true);
    bind(SettingBinding::fontFamily(&ProfileSettings::TextFontName, m_textSample));
    bind(SettingBinding::fontSize(&ProfileSettings::TextFontSize, m_textSample));
    bind(SettingBinding::colour(&ProfileSettings::TextColour, {m_textSample}, QPalette::WindowText));
    bind(SettingBinding::colour(&ProfileSettings::TextBackColour, {m_textSample}, QPalette::Window));
    // The fixed colour, even while windows take a random one: it is what "Colori" changes.
    bind(SettingBinding::colour(&ProfileSettings::BackgroundColour, pages(), QPalette::Window));
    bind(SettingBinding::colour(&ProfileSettings::ButtonColour, {m_buttonColourButton}, QPalette::Button));

    m_pickedColour
        = place(m_fontsPage, named(new QLabel, QStringLiteral("LabelPerColore")), QRect(0, 0, 0, 0));
    m_pickedColour->hide();
}

void FormConfigura::buildVoicePage()
{
    place(m_voicePage, new QLabel(QStringLiteral("Voce:")), QRect(240, 120, 4200, 360));
    m_voiceList
        = place(m_voicePage, named(new QListWidget, QStringLiteral("List1")), QRect(240, 480, 4200, 1680));
    m_voiceList->setAccessibleName(QStringLiteral("Voce"));
    bind(SettingBinding::list(
        &ProfileSettings::VoiceModeId, m_voiceList, settings(),
        [](const QString &modeId) {
            const VoiceInfo *voice = Voices::byModeId(modeId);
            const QList<VoiceInfo> &voices = Voices::italian();
            for (int row = 0; voice && row < voices.size(); ++row) {
                if (voices[row].modeId == voice->modeId)
                    return row;
            }
            return -1;
        },
        [](int row) { return Voices::italian().value(row).modeId; },
        [this] {
            if (m_agent)
                m_agent->setVoice(settings().VoiceModeId);
        }));

    place(m_voicePage, new QLabel(QStringLiteral("Personaggio:")), QRect(4680, 120, 2160, 360));
    m_characterList
        = place(m_voicePage, named(new QListWidget, QStringLiteral("List2")), QRect(4680, 480, 2160, 1680));
    m_characterList->setAccessibleName(QStringLiteral("Personaggio"));
    bind(SettingBinding::list(
        &ProfileSettings::AgentCharacter, m_characterList, settings(),
        [this](const QString &name) {
            const QList<QListWidgetItem *> match = m_characterList->findItems(name, Qt::MatchFixedString);
            return match.isEmpty() ? -1 : m_characterList->row(match.first());
        },
        [this](int row) { return m_characterList->item(row)->text(); }, [this] { chooseCharacter(); }));

    auto *line = place(m_voicePage, named(new QFrame, QStringLiteral("Line1")), QRect(240, 2280, 8880, 30));
    line->setFrameShape(QFrame::HLine);

    m_speechOn
        = place(m_voicePage, named(new QCheckBox(QStringLiteral("Attiva parlato")), QStringLiteral("Check1")),
            QRect(240, 2400, 4200, 420));
    bind(SettingBinding::check(&ProfileSettings::SpeechOn, m_speechOn, settings(), thenShow()));

    m_speedLabel
        = place(m_voicePage, named(new QLabel, QStringLiteral("Label1")), QRect(240, 2880, 2040, 420));
    m_speedBar = scrollBar(m_voicePage, QStringLiteral("HScroll1"), QRect(2280, 2880, 2160, 420),
        &ProfileSettings::SpeechSpeed, 5);
    m_speedBar->setAccessibleName(QStringLiteral("Velocità della voce"));
    bind(SettingBinding::slider(&ProfileSettings::SpeechSpeed, m_speedBar, settings(), thenShow()));
    m_pitchLabel
        = place(m_voicePage, named(new QLabel, QStringLiteral("Label2")), QRect(240, 3360, 2040, 420));
    m_pitchBar = scrollBar(m_voicePage, QStringLiteral("HScroll2"), QRect(2280, 3360, 2160, 420),
        &ProfileSettings::SpeechPitch, 5);
    m_pitchBar->setAccessibleName(QStringLiteral("Tono della voce"));
    bind(SettingBinding::slider(&ProfileSettings::SpeechPitch, m_pitchBar, settings(), thenShow()));

    m_tryVoiceButton = place(m_voicePage,
        named(new QPushButton(QStringLiteral("Prova voce")), QStringLiteral("CommandProvaVoce")),
        QRect(240, 3900, 2040, 540));
    connect(m_tryVoiceButton, &QPushButton::clicked, this, &FormConfigura::tryVoice);
    place(m_voicePage, named(new QLineEdit(QStringLiteral("Questa è la mia voce")), QStringLiteral("Text1")),
        QRect(2400, 3900, 2040, 540))
        ->setAccessibleName(QStringLiteral("Frase di prova"));

    m_balloonShown = place(m_voicePage,
        named(new QCheckBox(QStringLiteral("Fumetto visibile")), QStringLiteral("ChkFumetto")),
        QRect(240, 4560, 6240, 420));
    m_balloonShown->setChecked(true);
    bind(SettingBinding::check(&ProfileSettings::BalloonVisible, m_balloonShown, settings(),
        thenShow([this] { sayBalloonSetting(); })));
    m_balloonHoldsAllText = place(m_voicePage,
        named(new QCheckBox(QStringLiteral("Fumetto che contiene tutto il testo")),
            QStringLiteral("CheckContieneTesto")),
        QRect(240, 5010, 6240, 420));
    m_balloonHoldsAllText->setChecked(true);
    bind(SettingBinding::check(
        &ProfileSettings::BalloonHoldsAllText, m_balloonHoldsAllText, settings(), thenShow([this] {
            if (m_agent) {
                m_agent->speak(
                    (settings().BalloonHoldsAllText
                            ? QStringLiteral("Il fumetto conterrà tutto il testo.")
                            : QStringLiteral("Il fumetto avrà dimensioni ridotte e rimarrà visibile "
                                             "solo una parte del testo."))
                    + m_speechTags);
            }
        })));

    m_balloonFontButton = place(m_voicePage,
        named(new QPushButton(QStringLiteral("Font fumetto")), QStringLiteral("CommandFontFumetto")),
        QRect(240, 5520, 2040, 540));
    connect(m_balloonFontButton, &QPushButton::clicked, this, &FormConfigura::chooseBalloonFont);
    m_balloonSample = place(m_voicePage,
        named(new QLabel(QStringLiteral("Fumetto")), QStringLiteral("Label3")), QRect(2400, 5460, 4080, 660));
    m_balloonSample->setProperty("captionPoints", QVariant());
    bind(SettingBinding::fontFamily(&ProfileSettings::BalloonFontName, m_balloonSample));
    bind(SettingBinding::fontSize(&ProfileSettings::BalloonFontSize, m_balloonSample));

    m_soundsOn = place(m_voicePage,
        named(new QCheckBox(QStringLiteral("Attiva suoni")), QStringLiteral("CheckSuoni")),
        QRect(6720, 5640, 2400, 420));
    m_soundsOn->setChecked(true);
    bind(SettingBinding::check(&ProfileSettings::SoundsOn, m_soundsOn, settings()));

    // The character stands here, clear of every control.
    m_characterPlace
        = place(m_voicePage, named(new QWidget, QStringLiteral("picAgent")), QRect(6960, 2400, 2160, 3120));

    // Between the voice's controls and the character, what keeps the
    // character from being seen or heard.
    m_characterProblem = place(m_voicePage, named(new QLabel, QStringLiteral("LabelProblemaPersonaggio")),
        QRect(4560, 2400, 2280, 2040));
    m_characterProblem->setWordWrap(true);
    m_characterProblem->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_characterProblem->hide();
}

void FormConfigura::showCharacterProblem()
{
    const QString problem = m_agent ? m_agent->problem() : QString();
    m_characterProblem->setText(problem);
    m_characterProblem->setVisible(!problem.isEmpty());
}

void FormConfigura::buildInputPage()
{
    const QStringList captions
        = {QStringLiteral("Mouse o tastiera"), QStringLiteral("Scansione manuale - spazio e invio "),
            QStringLiteral("Scansione automatica - spazio")};
    // The mode and what goes with it on the left; how switches are read on
    // the right; options of the scanning across the foot.
    for (int i = 0; i < captions.size(); ++i) {
        auto *option
            = place(m_inputPage, named(new QRadioButton(captions[i]), QStringLiteral("Option4_%1").arg(i)),
                QRect(360, 360 + 600 * i, 4320, 480));
        m_inputModes << option;
    }
    bind(SettingBinding::options(&ProfileSettings::InputMode, m_inputModes,
        {qint16(InputMode::Mouse), qint16(InputMode::Manual), qint16(InputMode::Automatic)}, settings(),
        thenShow()));
    m_systemCursor = place(m_inputPage,
        named(new QCheckBox(QStringLiteral("Usa cursore di sistema")),
            QStringLiteral("CheckDisabilitaMousePersonalizzato")),
        QRect(360, 2160, 4320, 480));
    bind(SettingBinding::check(&ProfileSettings::UseSystemCursor, m_systemCursor, settings()));

    m_scanLabel
        = place(m_inputPage, named(new QLabel, QStringLiteral("Label7")), QRect(360, 2160, 4320, 360));
    m_scanBar = scrollBar(m_inputPage, QStringLiteral("HScroll3"), QRect(360, 2520, 4320, 360),
        &ProfileSettings::ScanInterval, 1);
    m_scanBar->setPageStep(4);
    m_scanBar->setAccessibleName(QStringLiteral("Velocità scansione"));
    bind(SettingBinding::slider(&ProfileSettings::ScanInterval, m_scanBar, settings(), thenShow()));

    // Each switch: what it is now, and the button that waits for a new one.
    for (int i = 0; i < 2; ++i) {
        const int y = 3000 + 900 * i;
        m_switchNames[i] = place(m_inputPage, named(new QLabel, QStringLiteral("LabelSensore%1").arg(i + 1)),
            QRect(360, y, 4320, 360));
        m_switchButtons[i] = place(m_inputPage,
            named(new QPushButton(QStringLiteral("Imposta sensore %1").arg(i + 1)),
                QStringLiteral("CommandSensore%1").arg(i + 1)),
            QRect(360, y + 360, 2400, 420));
        connect(m_switchButtons[i], &QPushButton::clicked, this, [this, i] { setUpSwitch(i); });
    }
    bind(SettingBinding::switchInput(&ProfileSettings::Switch1Input, m_switchNames[0]));
    bind(SettingBinding::switchInput(&ProfileSettings::Switch2Input, m_switchNames[1]));
    m_cancelSwitch = place(m_inputPage,
        named(new QPushButton(QStringLiteral("Annulla")), QStringLiteral("CommandAnnullaSensore")),
        QRect(2880, 3360, 1800, 420));
    m_cancelSwitch->hide();
    // Beside the first switch's button; the set-up's "Annulla" takes its place while it waits.
    m_switchCheckButton = place(m_inputPage,
        named(new QPushButton(QStringLiteral("Prova il sensore")), QStringLiteral("CommandProvaSensore")),
        QRect(2880, 3360, 1800, 420));
    connect(m_switchCheckButton, &QPushButton::clicked, this, [this] {
        m_backFromSwitchCheck = true;
        showOnTop(FormName::kSwitchCheck);
    });
    m_switchCapture = new SwitchCapture(this);
    connect(m_cancelSwitch, &QPushButton::clicked, m_switchCapture, &SwitchCapture::cancel);
    connect(m_switchCapture, &SwitchCapture::captured, this, &FormConfigura::takeSwitch);
    connect(m_switchCapture, &SwitchCapture::countdown, this, &FormConfigura::showSwitchCountdown);
    connect(m_switchCapture, &SwitchCapture::cancelled, this, &FormConfigura::endSwitchSetUp);

    m_selectedButtonColourButton = place(m_inputPage,
        named(new QPushButton(QStringLiteral("Colore bottone selezionato")),
            QStringLiteral("CommandSceltaColoreBottoniSelezionati")),
        QRect(4920, 5340, 4080, 480));
    connect(m_selectedButtonColourButton, &QPushButton::clicked, this,
        &FormConfigura::chooseSelectedButtonColour);
    bind(SettingBinding::colour(
        &ProfileSettings::SelectedButtonColour, {m_selectedButtonColourButton}, QPalette::Button));

    // Five settings, each a caption over its bar, down the right side.
    const auto label = [this](const char *name, int y) {
        return place(m_inputPage, named(new QLabel, QString::fromLatin1(name)), QRect(4920, y, 4080, 360));
    };
    const auto bar
        = [this](const char *name, int y, qint16 ProfileSettings::*setting, int step, int unit = 1) {
              return scrollBar(m_inputPage, QString::fromLatin1(name), QRect(4920, y + 420, 4080, 360),
                  setting, step, unit);
          };
    const auto time = [this](qint16 ProfileSettings::*setting, QSlider *bar, const char *name) {
        bar->setAccessibleName(QString::fromUtf8(name));
        bind(SettingBinding::slider(setting, bar, settings(), thenShow(), inTenths()));
    };
    m_acceptanceLabel = label("LabelAccettazione", 360);
    m_acceptanceBar = bar("HScrollAccettazione", 360, &ProfileSettings::AcceptanceTime, 1, kTenth);
    time(&ProfileSettings::AcceptanceTime, m_acceptanceBar, "Tempo di accettazione");
    m_releaseLabel = label("LabelRilascio", 1200);
    m_releaseBar = bar("HScrollRilascio", 1200, &ProfileSettings::ReleaseTime, 1, kTenth);
    time(&ProfileSettings::ReleaseTime, m_releaseBar, "Tempo di rilascio");
    m_guardLabel = label("LabelAttesaScelta", 2040);
    m_guardBar = bar("HScrollAttesaScelta", 2040, &ProfileSettings::SelectionGuard, 1, kTenth);
    time(&ProfileSettings::SelectionGuard, m_guardBar, "Attesa dopo una scelta");
    // The first step and the rounds beside the scan interval: all three are
    // for automatic scanning only.
    m_firstStepLabel = label("LabelPrimoPasso", 2880);
    m_firstStepBar = bar("HScrollPrimoPasso", 2880, &ProfileSettings::FirstStepDelay, 10);
    m_firstStepBar->setAccessibleName(QStringLiteral("Attesa iniziale"));
    bind(SettingBinding::slider(&ProfileSettings::FirstStepDelay, m_firstStepBar, settings(), thenShow()));
    m_loopsLabel = label("LabelGiri", 3720);
    m_loopsBar = bar("HScrollGiri", 3720, &ProfileSettings::ScanLoops, 1);
    m_loopsBar->setRange(1, endlessLoops());
    m_loopsBar->setAccessibleName(QStringLiteral("Giri a vuoto prima che la scansione si fermi"));
    bind(SettingBinding::slider(
        &ProfileSettings::ScanLoops, m_loopsBar, settings(), thenShow(), loopsScale()));

    const auto check = [this](const char *caption, const char *name, int y, bool ProfileSettings::*setting) {
        auto *box
            = place(m_inputPage, named(new QCheckBox(QString::fromUtf8(caption)), QString::fromLatin1(name)),
                QRect(360, y, 4320, 480));
        bind(SettingBinding::check(setting, box, settings(), thenShow()));
        return box;
    };
    m_spokenHighlight = check("La voce legge il pulsante evidenziato", "CheckLeggiEvidenziato", 4800,
        &ProfileSettings::SpokenHighlight);
    m_rowColumn = check("Nei menu, scansione per righe e colonne", "CheckRigheColonne", 5340,
        &ProfileSettings::RowColumnScanning);
    m_wayOut = check("Negli esercizi, un pulsante «menu» per uscire", "CheckPulsanteMenu", 5880,
        &ProfileSettings::WayOutButton);
    m_cueVolumeLabel = place(
        m_inputPage, named(new QLabel, QStringLiteral("LabelVolumeLettura")), QRect(4920, 4800, 1920, 480));
    m_cueVolumeBar = scrollBar(m_inputPage, QStringLiteral("HScrollVolumeLettura"),
        QRect(6840, 4860, 2160, 360), &ProfileSettings::CueVolume, 10);
    m_cueVolumeBar->setAccessibleName(QStringLiteral("Volume della lettura dei pulsanti"));
    bind(SettingBinding::slider(&ProfileSettings::CueVolume, m_cueVolumeBar, settings(), thenShow()));
    m_switchProblem = place(
        m_inputPage, named(new QLabel, QStringLiteral("LabelProblemaSensore")), QRect(4920, 5880, 4080, 600));
    m_switchProblem->setWordWrap(true);
    m_switchProblem->hide();
}

void FormConfigura::setUpSwitch(int index)
{
    m_switchBeingSet = index;
    m_switchProblem->hide();
    m_switchCheckButton->hide();
    m_cancelSwitch->move(m_cancelSwitch->x(), m_switchButtons[index]->y());
    m_cancelSwitch->show();
    m_switchCapture->start(m_cancelSwitch);
    const QString problem = Controllers::source().problem();
    if (!problem.isEmpty()) {
        m_switchProblem->setText(problem);
        m_switchProblem->show();
    }
}

void FormConfigura::showSwitchCountdown(int secondsLeft)
{
    if (m_switchBeingSet < 0)
        return;
    m_switchNames[m_switchBeingSet]->setText(
        QStringLiteral("Premere il sensore %1 entro %2 secondi").arg(m_switchBeingSet + 1).arg(secondsLeft));
}

void FormConfigura::takeSwitch(const SwitchInput &input)
{
    const int index = m_switchBeingSet;
    if (index < 0)
        return;
    ProfileSettings &values = settings();
    const SwitchMap switches(values.Switch1Input, values.Switch2Input);
    const SwitchInput other = index == 0 ? switches.second() : switches.first();
    // Only manual scanning shows, and uses, the second switch: otherwise it
    // makes way, taking the input the first switch leaves.
    if (input == other && index == 0 && values.inputMode() != InputMode::Manual) {
        values.Switch2Input = switches.first().toText();
    } else if (input == other) {
        m_switchProblem->setText(QStringLiteral("%1 è già il sensore %2: premere un altro tasto o pulsante.")
                                     .arg(input.italianName(), QString::number(2 - index)));
        m_switchProblem->show();
        // Waiting again, for another input.
        m_switchCapture->start(m_cancelSwitch);
        return;
    }
    (index == 0 ? values.Switch1Input : values.Switch2Input) = input.toText();
    endSwitchSetUp();
}

void FormConfigura::endSwitchSetUp()
{
    m_switchBeingSet = -1;
    m_switchCapture->cancel();
    m_cancelSwitch->hide();
    showSettings();
}

QList<QWidget *> FormConfigura::pages() const
{
    return {m_userPage, m_lettersPage, m_fontsPage, m_voicePage, m_inputPage};
}

SettingBinding::Changed FormConfigura::thenShow(std::function<void()> effect)
{
    return [this, effect = std::move(effect)] {
        if (effect)
            effect();
        showSettings();
    };
}

void FormConfigura::formLoad()
{
    // A damaged profile may hold values no control can show.
    ProfileSchema::keepInRange(settings());
    fontForLetterCase(settings());
    fillVoiceLists();
    loadCharacter();
}

void FormConfigura::formActivate()
{
    showUserName();
    setUpCharacter();
    hidePages();
    showSettings();
    // Back from the switch check, the teacher sees the timings it may have changed.
    if (m_backFromSwitchCheck) {
        m_backFromSwitchCheck = false;
        showPage(InputPage);
        return;
    }
    // Opening tells what a hidden balloon means, as ticking its box off would.
    if (!settings().BalloonVisible)
        sayBalloonSetting();
    showPage(UserPage);
}

void FormConfigura::formResize()
{
    Form::formResize();
    scaleFonts();
    if (m_agent && m_voicePage->isVisible())
        placeCharacter();
}

void FormConfigura::formUnload()
{
    if (m_agent)
        m_agent->stopAll();
    m_agent.reset();
}

void FormConfigura::scaleFonts()
{
    const QSize design = Twips::toPixels(kDesignClient);
    const double ratio = std::min(
        double(clientArea()->width()) / design.width(), double(clientArea()->height()) / design.height());
    const QList<QWidget *> controls = clientArea()->findChildren<QWidget *>();
    for (QWidget *control : controls) {
        const QVariant points = control->property("captionPoints");
        if (!points.isValid())
            continue;
        QFont font
            = arialFont(std::max(7.0, points.toDouble() * ratio), control->property("captionBold").toBool());
        const QString family = control->property("captionFamily").toString();
        if (!family.isEmpty())
            font.setFamily(family);
        control->setFont(font);
    }
}

void FormConfigura::showPage(Page page)
{
    hidePages();
    if (m_agent)
        m_agent->hide();
    QWidget *shown = pages().value(page - 1);
    if (!shown)
        return;
    {
        const QSignalBlocker blocker(m_tabs);
        m_tabs->setCurrentIndex(page - 1);
    }
    shown->show();
    shown->raise();
    if (page == VoicePage) {
        showCharacterProblem();
        placeCharacter();
        if (m_agent)
            m_agent->show();
    }
    logControls(clientArea());
}

FormConfigura::Page FormConfigura::page() const
{
    const QList<QWidget *> all = pages();
    for (int i = 0; i < all.size(); ++i) {
        if (all[i]->isVisibleTo(clientArea()))
            return Page(i + 1);
    }
    return UserPage;
}

void FormConfigura::hidePages()
{
    // A switch is set up on its own page only.
    if (m_switchBeingSet >= 0)
        endSwitchSetUp();
    for (QWidget *page : pages())
        page->hide();
}

void FormConfigura::leave()
{
    saveSettingsOrWarn(this);
    showForm(FormName::kMainMenu);
}

void FormConfigura::showSettings()
{
    const ProfileSettings &values = settings();
    for (const SettingBinding &binding : m_bindings)
        binding.show(values);
    showWhatFollows();
}

// Captions that tell a value, and the controls a value enables or shows.
void FormConfigura::showWhatFollows()
{
    const ProfileSettings &values = settings();

    for (QWidget *page : pages())
        inkPage(page);
    m_backgroundColourButton->setEnabled(!values.RandomBackground);

    m_speechTags = speechTagsFor(values.SpeechSpeed, values.SpeechPitch);
    m_speedLabel->setText(QStringLiteral("Velocità = ") + signedNumber(values.SpeechSpeed));
    m_pitchLabel->setText(QStringLiteral("Tono = ") + signedNumber(values.SpeechPitch));
    if (m_agent) {
        m_agent->setBalloonBit(Agent::BalloonShown, values.BalloonVisible);
        m_agent->setBalloonBit(Agent::BalloonHoldsAllText, values.BalloonHoldsAllText);
    }
    for (QWidget *control : std::initializer_list<QWidget *>{m_tryVoiceButton, m_speedBar, m_pitchBar,
             m_balloonShown, m_balloonHoldsAllText, m_balloonFontButton})
        control->setEnabled(values.SpeechOn);
    if (values.SpeechOn && !values.BalloonVisible)
        m_balloonHoldsAllText->setEnabled(false);

    const InputMode mode = values.inputMode();
    m_systemCursor->setVisible(mode == InputMode::Mouse);
    m_scanBar->setVisible(mode == InputMode::Automatic);
    m_scanLabel->setVisible(mode == InputMode::Automatic);
    m_scanLabel->setText(scanIntervalText(values.ScanInterval));
    // How switches are read matters in both scanning modes; the first step
    // and the rounds only where the highlight moves by itself.
    for (QWidget *control : std::initializer_list<QWidget *>{m_acceptanceLabel, m_acceptanceBar,
             m_releaseLabel, m_releaseBar, m_guardLabel, m_guardBar, m_spokenHighlight, m_rowColumn, m_wayOut,
             m_cueVolumeLabel, m_cueVolumeBar, m_switchNames[0], m_switchButtons[0]})
        control->setVisible(isScanning(mode));
    // Only manual scanning has a second switch.
    m_switchNames[1]->setVisible(mode == InputMode::Manual);
    m_switchButtons[1]->setVisible(mode == InputMode::Manual);
    m_switchCheckButton->setVisible(isScanning(mode) && m_switchBeingSet < 0);
    m_cueVolumeLabel->setEnabled(values.SpokenHighlight);
    m_cueVolumeBar->setEnabled(values.SpokenHighlight);
    m_cueVolumeLabel->setText(QStringLiteral("Volume lettura: %1%").arg(values.CueVolume));
    for (QWidget *control :
        std::initializer_list<QWidget *>{m_firstStepLabel, m_firstStepBar, m_loopsLabel, m_loopsBar})
        control->setVisible(mode == InputMode::Automatic);
    m_acceptanceLabel->setText(
        QStringLiteral("Tempo di accettazione: ") + secondsText(values.AcceptanceTime));
    m_releaseLabel->setText(QStringLiteral("Tempo di rilascio: ") + secondsText(values.ReleaseTime));
    m_guardLabel->setText(values.SelectionGuard == 0
            ? QStringLiteral("Nessuna attesa dopo una scelta")
            : QStringLiteral("Attesa dopo una scelta: ") + secondsText(values.SelectionGuard));
    m_firstStepLabel->setText(
        QStringLiteral("Attesa iniziale: %1% dell'intervallo").arg(values.FirstStepDelay));
    m_loopsLabel->setText(loopsText(values.ScanLoops));
}

// User page.

void FormConfigura::showUserName()
{
    m_userName->setText(appState().UserName);
}

void FormConfigura::chooseUserOption(int index)
{
    saveSettingsOrWarn(this);
    AppState &state = appState();
    m_userNameProblem->hide();
    switch (index) {
    case 0:
        m_newUserName->hide();
        m_userList->hide();
        m_keepRecord->hide();
        // The default user's own settings, as for a user chosen from the
        // list: those on screen belong to the user just saved.
        loadUser(kDefaultUser);
        break;
    case 1:
        m_userList->show();
        m_userList->clear();
        for (const QString &name : ProfileFiles::userNames()) {
            if (name.compare(kDefaultUser, Qt::CaseInsensitive) == 0)
                continue;
            // Shown in capitals; the file keeps its own spelling, which is
            // the one the record folders and the main menu use.
            auto *item = new QListWidgetItem(name.toUpper(), m_userList);
            item->setData(Qt::UserRole, name);
        }
        m_newUserName->hide();
        m_keepRecord->show();
        break;
    case 2:
        m_userBeforeNewName = state.UserName;
        m_profileBeforeNewName = state.ProfilePath;
        {
            const QSignalBlocker blocker(m_newUserName);
            m_newUserName->clear();
        }
        m_newUserName->show();
        m_newUserName->setFocus();
        m_userList->hide();
        m_keepRecord->show();
        m_keepRecord->setChecked(false);
        break;
    default:
        break;
    }
}

void FormConfigura::chooseListedUser()
{
    const QListWidgetItem *item = m_userList->currentItem();
    if (!item)
        return;
    saveSettingsOrWarn(this);
    loadUser(item->data(Qt::UserRole).toString());
}

void FormConfigura::loadUser(const QString &name)
{
    AppState &state = appState();
    const QString character = state.Settings.AgentCharacter;
    state.UserName = name;
    state.ProfilePath = ProfileFiles::pathFor(name);
    showUserName();
    loadSettings();
    ProfileSchema::keepInRange(state.Settings);
    fontForLetterCase(state.Settings);
    if (state.Settings.AgentCharacter != character)
        loadCharacter();
    setUpCharacter();
    showSettings();
}

void FormConfigura::typeNewUser(const QString &text)
{
    AppState &state = appState();
    const QString name = text.trimmed();
    QString problem;
    if (!name.isEmpty()) {
        problem = ProfileFiles::whyNotAUserName(name);
        if (problem.isEmpty() && QFileInfo::exists(ProfileFiles::resolve(ProfileFiles::pathFor(name)))) {
            problem = QStringLiteral("Esiste già un utente con questo nome: per cambiarne le impostazioni "
                                     "scegli «Modifica utente».");
        }
    }
    m_userNameProblem->setText(problem);
    m_userNameProblem->setVisible(!problem.isEmpty());
    // Until a usable name stands in the box, the user stays the one that
    // was in force: nothing is ever written under a name the teacher did
    // not finish, or outside the users folder.
    if (name.isEmpty() || !problem.isEmpty()) {
        state.UserName = m_userBeforeNewName;
        state.ProfilePath = m_profileBeforeNewName;
    } else {
        state.UserName = name;
        state.ProfilePath = ProfileFiles::pathFor(name);
    }
    showUserName();
}

// Letter and font page. A cancelled dialog changes nothing.

void FormConfigura::chooseBackgroundColour()
{
    if (chooseColourFor(this, m_pickedColour))
        settings().BackgroundColour = Colours::toNumber(CommonDialogs::foreColour(m_pickedColour));
    showSettings();
}

void FormConfigura::chooseButtonColour()
{
    if (chooseColourFor(this, m_pickedColour))
        settings().ButtonColour = Colours::toNumber(CommonDialogs::foreColour(m_pickedColour));
    showSettings();
}

void FormConfigura::chooseTextColour()
{
    if (chooseColourFor(this, m_pickedColour))
        settings().TextColour = Colours::toNumber(CommonDialogs::foreColour(m_pickedColour));
    showSettings();
}

void FormConfigura::chooseTextBackground()
{
    if (chooseColourFor(this, m_pickedColour))
        settings().TextBackColour = Colours::toNumber(CommonDialogs::foreColour(m_pickedColour));
    showSettings();
}

void FormConfigura::chooseTextFont()
{
    // The dialog starts from the sample, which shows the font in force.
    const std::optional<QFont> font
        = chooseFontFor(this, m_textSample) ? completeFont(this, m_textSample) : std::nullopt;
    if (font) {
        ProfileSettings &values = settings();
        if (values.LetterCase != QLatin1String("corsivo")) {
            values.TextFontName = font->family();
        } else {
            Dialogs::information(this,
                QStringLiteral(
                    "Il font scelto non verrà utilizzato mentre è attiva l'opzione per il corsivo.\r\n"
                    "Verrà invece applicata la modifica alla dimensione."));
        }
        values.TextFontSize = qint16(font->pointSize());
        values.ChosenFontName = font->family();
    }
    showSettings();
}

// Voice page.

void FormConfigura::loadCharacter()
{
    const AppState &state = appState();
    m_agent = std::make_unique<Agent>(clientArea());
    m_agent->loadCharacter(state.Settings.AgentCharacter);
    m_agent->setLanguage(Agent::languageNumber(state.AgentLanguageId));
    m_agent->setBalloonFont(state.Settings.BalloonFontName, state.Settings.BalloonFontSize);
    m_agent->setVoice(state.Settings.VoiceModeId);
}

void FormConfigura::setUpCharacter()
{
    const ProfileSettings &values = settings();
    if (!m_agent)
        return;
    m_agent->setBalloonBit(Agent::BalloonShown, values.BalloonVisible);
    m_agent->setBalloonBit(Agent::BalloonHoldsAllText, values.BalloonHoldsAllText);
    m_agent->setBalloonFont(values.BalloonFontName, values.BalloonFontSize);
    m_agent->setVoice(values.VoiceModeId);
    placeCharacter();
}

void FormConfigura::placeCharacter()
{
    if (!m_agent)
        return;
    m_agent->setCharacterSize(m_characterPlace->size());
    m_agent->moveTo(m_characterPlace->mapToGlobal(QPoint(0, 0)));
}

void FormConfigura::fillVoiceLists()
{
    const QSignalBlocker voices(m_voiceList);
    const QSignalBlocker characters(m_characterList);
    m_voiceList->clear();
    for (const VoiceInfo &voice : Voices::italian())
        m_voiceList->addItem(voice.displayName);
    m_characterList->clear();
    m_characterList->addItems(Agent::availableCharacters());
}

void FormConfigura::tryVoice()
{
    if (m_agent)
        m_agent->speak(QStringLiteral("Questa è la mia voce.") + m_speechTags);
}

void FormConfigura::sayBalloonSetting()
{
    if (m_agent) {
        m_agent->speak((settings().BalloonVisible ? QStringLiteral("Il fumetto è visibile.")
                                                  : QStringLiteral("Il fumetto non sarà visualizzato."))
            + m_speechTags);
    }
}

void FormConfigura::chooseBalloonFont()
{
    const std::optional<QFont> font
        = chooseFontFor(this, m_balloonSample) ? completeFont(this, m_balloonSample) : std::nullopt;
    if (font) {
        ProfileSettings &values = settings();
        values.BalloonFontName = font->family();
        values.BalloonFontSize = qint16(font->pointSize());
        if (m_agent)
            m_agent->setBalloonFont(values.BalloonFontName, values.BalloonFontSize);
    }
    showSettings();
}

void FormConfigura::chooseCharacter()
{
    if (m_agent)
        m_agent->stopAll();
    loadCharacter();
    // A new character takes the balloon of the settings, so the teacher sees
    // what the pupil will.
    setUpCharacter();
    showCharacterProblem();
    m_agent->show();
}

// Input page.

void FormConfigura::chooseSelectedButtonColour()
{
    if (chooseColourFor(this, m_pickedColour))
        settings().SelectedButtonColour = Colours::toNumber(CommonDialogs::foreColour(m_pickedColour));
    showSettings();
}

#include "moc_formconfigura.cpp"
