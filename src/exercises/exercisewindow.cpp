#include "exercisewindow.h"
#include "reviewqueue.h"

#include "feedback/agent.h"
#include "feedback/colours.h"
#include "feedback/sounds.h"
#include "feedback/speechoutput.h"
#include "feedback/speechtags.h"
#include "feedback/spokencues.h"
#include "layout/dialogs.h"
#include "layout/fontfit.h"
#include "layout/formlog.h"
#include "layout/formnames.h"
#include "layout/legible.h"
#include "layout/picturebox.h"
#include "records/activityrecord.h"
#include "records/history.h"
#include "scanning/exercisescanning.h"
#include "scanning/scanclock.h"
#include "state/appstate.h"
#include "state/logcategories.h"

#include <QAction>
#include <QDateTime>
#include <QFileInfo>
#include <QFont>
#include <QHash>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

namespace {

bool upperCase()
{
    return appState().Settings.capitals();
}

QString shown(const QString &text)
{
    return upperCase() ? text.toUpper() : text;
}

QFont textFont()
{
    const ProfileSettings &settings = appState().Settings;
    QFont font(settings.TextFontName);
    font.setPointSize(Legible::textPoints(settings.TextFontSize));
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

// Where a configuration puts its controls, in design twips.
struct WindowLayout
{
    QSize canvas;
    QRect word;
    QList<QRect> answers;
    // The spellings of windows whose buttons never change; empty when each
    // item or menu brings its pair.
    QStringList fixedSpellings;
    QRect next;
    QRect read;
    QRect signs;
    int countsLeft = 0; // the captions "Esatti" and "Errati"; the counts follow
    QRect agent;
    QRect scan;
    // The scanned way out: in a corner that no other control uses.
    QRect wayOut{240, 240, 1935, 975};
};

WindowLayout layoutFor(ExerciseWindow::Kind kind)
{
    using Kind = ExerciseWindow::Kind;
    WindowLayout layout;
    if (kind == Kind::Articles || kind == Kind::Syllables) {
        layout.signs = {3720, 240, 975, 855};
        layout.countsLeft = 5265;
        layout.scan = {6480, 3240, 975, 495};
    } else {
        layout.canvas = {8490, 5790};
        layout.word = {600, 1560, 7335, 1095};
        layout.next = {6000, 4560, 1935, 975};
        layout.read = {3240, 4560, 1935, 975};
        layout.signs = {4560, 240, 975, 855};
        layout.countsLeft = 6105;
        layout.agent = {240, 3000, 1935, 2535};
        layout.scan = {7200, 3360, 975, 495};
    }
    switch (kind) {
    case Kind::Words:
    case Kind::Review:
        layout.answers = {{2640, 3000, 1212, 1092}, {4680, 3000, 1212, 1092}};
        break;
    case Kind::Sentences:
        // Sentences bring longer spellings: their buttons are wider.
        layout.answers = {{2280, 3000, 1935, 1092}, {4560, 3000, 1935, 1092}};
        layout.read = {3360, 4560, 1935, 975};
        break;
    case Kind::Articles:
        layout.canvas = {7485, 5340};
        layout.word = {480, 1440, 6495, 1095};
        layout.answers = {{1800, 2760, 1212, 1092}, {3360, 2760, 1212, 1092}, {4920, 2760, 1212, 1092}};
        layout.fixedSpellings = {QStringLiteral("la"), QStringLiteral("lo"), QStringLiteral("l'")};
        layout.next = {5160, 4080, 1935, 975};
        layout.read = {2880, 4080, 1935, 975};
        layout.agent = {120, 3240, 1575, 1935};
        break;
    case Kind::Syllables:
        layout.canvas = {7485, 5655};
        layout.word = {1800, 1440, 5175, 1095};
        for (int left : {600, 1920, 3240, 4560, 5880})
            layout.answers << QRect(left, 3120, 1212, 1092);
        layout.fixedSpellings = {QStringLiteral("gna"), QStringLiteral("gne"), QStringLiteral("gni"),
            QStringLiteral("gno"), QStringLiteral("gnu")};
        layout.next = {5160, 4440, 1935, 975};
        layout.read = {2880, 4440, 1935, 975};
        layout.agent = {120, 720, 1575, 1815};
        layout.wayOut = {1800, 240, 1800, 975};
        break;
    }
    return layout;
}

} // namespace

QString ExerciseWindow::topicMenuFor(const QString &marker)
{
    static const QHash<QString, QString> menus = {
        {QStringLiteral("doppie"), FormName::kDoublesMenu},
        {QStringLiteral("SuoniSImili"), FormName::kSimilarSoundsMenu},
        {QStringLiteral("altre difficoltà"), FormName::kCGMenu},
        {QStringLiteral("gruppi"), FormName::kGroupsMenu},
        {QStringLiteral("cq"), FormName::kCQMenu},
        {QStringLiteral("accento"), FormName::kAccentMenu},
        {QStringLiteral("apostrofo"), FormName::kApostropheMenu},
        {QStringLiteral("h"), FormName::kHMenu},
    };
    return menus.value(marker);
}

QString ExerciseWindow::formNameFor(Kind kind)
{
    switch (kind) {
    case Kind::Words:
        return FormName::kWordExercise;
    case Kind::Sentences:
        return FormName::kSentenceExercise;
    case Kind::Review:
        return FormName::kReviewExercise;
    case Kind::Articles:
        return FormName::kArticleExercise;
    case Kind::Syllables:
        return FormName::kSyllableExercise;
    }
    return {};
}

ExerciseWindow::ExerciseWindow(Kind kind, QWidget *parent)
    : Form(formNameFor(kind), layoutFor(kind).canvas, parent)
    , m_kind(kind)
{
    const WindowLayout layout = layoutFor(kind);
    m_wordLabel = addControl(new QLabel, layout.word);
    m_wordLabel->setObjectName(QStringLiteral("EtArticoli"));
    m_wordLabel->setAlignment(Qt::AlignCenter);
    m_wordLabel->setWordWrap(kind == Kind::Sentences);
    m_wordLabel->setAutoFillBackground(true);

    const bool pair = layout.fixedSpellings.isEmpty();
    for (int i = 0; i < layout.answers.size(); ++i) {
        auto *button = addControl(new QPushButton, layout.answers[i]);
        button->setObjectName(pair ? (i == 0 ? QStringLiteral("BtIl") : QStringLiteral("Btlo"))
                                   : QStringLiteral("Bottone_%1").arg(i));
        connect(button, &QPushButton::clicked, this, [this, i] { answer(i); });
        m_answerButtons << button;
    }
    m_fixedSpellings = layout.fixedSpellings;

    m_nextButton = addControl(new QPushButton(QStringLiteral("avanti")), layout.next);
    m_nextButton->setObjectName(QStringLiteral("Command1"));
    m_nextButton->setFont(arialFont(14.25, true));
    m_nextButton->hide();
    connect(m_nextButton, &QPushButton::clicked, this, &ExerciseWindow::onNextClicked);

    m_readButton = addControl(new QPushButton(QStringLiteral("leggi")), layout.read);
    m_readButton->setObjectName(QStringLiteral("Command2"));
    m_readButton->setFont(arialFont(14.25, true));
    connect(m_readButton, &QPushButton::clicked, this, &ExerciseWindow::onReadClicked);

    m_wayOutButton = addControl(new QPushButton(QStringLiteral("menu")), layout.wayOut);
    m_wayOutButton->setObjectName(QStringLiteral("CommandMenu"));
    m_wayOutButton->setFont(arialFont(14.25, true));
    m_wayOutButton->hide();
    // A pupil who scans leaves without being asked, so no message box stops them.
    connect(m_wayOutButton, &QPushButton::clicked, this, &ExerciseWindow::returnToTopicMenu);

    const QString images = appState().ApplicationFolder + QStringLiteral("/images/");
    m_rightSign = addControl(new PictureBox, layout.signs);
    m_rightSign->setObjectName(QStringLiteral("ComandoIconaSi"));
    m_rightSign->load(images + QStringLiteral("giusto.svg"));
    m_wrongSign = addControl(new PictureBox, layout.signs);
    m_wrongSign->setObjectName(QStringLiteral("ComandoIconaNo"));
    m_wrongSign->load(images + QStringLiteral("sbagliato.svg"));
    // Before the first answer the place of the signs shows neither.
    m_rightSign->hide();
    m_wrongSign->hide();

    auto *label1 = addControl(new QLabel(QStringLiteral("Esatti")), QRect(layout.countsLeft, 330, 735, 375));
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setFont(arialFont(12, true));
    m_rightCountLabel = addControl(new QLabel, QRect(layout.countsLeft + 840, 210, 975, 615));
    m_rightCountLabel->setObjectName(QStringLiteral("EtichettaEsatti"));
    m_rightCountLabel->setFont(arialFont(18, true));
    auto *label5 = addControl(new QLabel(QStringLiteral("Errati")), QRect(layout.countsLeft, 660, 735, 495));
    label5->setObjectName(QStringLiteral("Label5"));
    label5->setFont(arialFont(12, true));
    m_wrongCountLabel = addControl(new QLabel, QRect(layout.countsLeft + 840, 540, 855, 615));
    m_wrongCountLabel->setObjectName(QStringLiteral("EtichettaErrati"));
    m_wrongCountLabel->setFont(arialFont(18, true));

    m_agentPlace = addControl(new QWidget, layout.agent);
    m_agentPlace->setObjectName(QStringLiteral("picAgent"));
    m_scanningSign = addControl(new QWidget, layout.scan);
    m_scanningSign->setObjectName(QStringLiteral("PictureScansione"));
    m_scanningSign->hide();
    // The keys reach the scan through its key filter, so the box only marks
    // the scanning modes; below every control, it never hides a button.
    m_scanningSign->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_scanningSign->lower();

    m_scanning = new ExerciseScanning(this, {m_answerButtons, m_readButton, m_nextButton, m_wayOutButton},
        {[this](int answer) { keyboardAnswer(answer); }, [this] { onReadClicked(); },
            [this] { showNextItem(); }, [this] { returnToTopicMenu(); }});
    // The answers' captions come from the word lists; each spelling is said
    // by its cue, which the engine does not say like the spellings beside it.
    m_scanning->setCaptionVoice([this](const QString &caption, std::function<void()> over) {
        const QString cue = caption.isEmpty() ? QString() : shown(SpokenCues::cueFor(untagged(caption)));
        if (m_agent)
            m_agent->sayCaption(cue, std::move(over));
        else
            Speech::sayCue(cue, std::move(over));
    });

    QMenuBar *bar = menuBar();
    // The syllable window has no sounds command.
    if (kind != Kind::Syllables) {
        m_soundsAction = bar->addAction(QString());
        m_soundsAction->setObjectName(QStringLiteral("mnuSuoni"));
        connect(m_soundsAction, &QAction::triggered, this, &ExerciseWindow::onSoundsChosen);
    }
    m_resetCountsAction = bar->addAction(QStringLiteral("Azzera conteggio          "));
    m_resetCountsAction->setObjectName(QStringLiteral("MenuAzzera"));
    connect(m_resetCountsAction, &QAction::triggered, this, &ExerciseWindow::onResetCountsChosen);
    m_printAction = bar->addAction(QStringLiteral("Stampa          "));
    m_printAction->setObjectName(QStringLiteral("mnuStampa"));
    connect(m_printAction, &QAction::triggered, this, &ExerciseWindow::onPrintChosen);
    m_exitAction = bar->addAction(QStringLiteral("Esci"));
    m_exitAction->setObjectName(QStringLiteral("mnuEsci"));
    connect(m_exitAction, &QAction::triggered, this, &ExerciseWindow::onExitChosen);
}

void ExerciseWindow::formLoad()
{
    const AppState &state = appState();
    const ProfileSettings &settings = state.Settings;

    m_rightCountLabel->setText(QString::number(state.RightCount));
    m_wrongCountLabel->setText(QString::number(state.WrongCount));

    for (int i = 0; i < m_answerButtons.size(); ++i)
        m_answerButtons[i]->setText(shown(offeredSpelling(i)));

    QPalette textPalette = m_wordLabel->palette();
    textPalette.setColor(QPalette::Window, Colours::fromNumber(settings.TextBackColour));
    textPalette.setColor(QPalette::WindowText,
        Legible::textColour(
            Colours::fromNumber(settings.TextColour), Colours::fromNumber(settings.TextBackColour)));
    m_wordLabel->setPalette(textPalette);
    m_wordLabel->setFont(textFont());
    fitAnswerCaptions();

    for (QPushButton *button : std::as_const(m_answerButtons)) {
        // Also in the system's colours, for the muted caption of an answered item.
        setButtonColour(button, settings.ButtonColour);
        button->setCursor(buttonPointer());
    }
    m_nextButton->setCursor(buttonPointer());
    m_readButton->setCursor(buttonPointer());
    m_wayOutButton->setCursor(buttonPointer());
    m_wayOutButton->setVisible(ExerciseScanning::offersWayOut());

    if (settings.SpeechOn)
        makeAgent();
    m_readButton->setVisible(settings.SpeechOn);
    m_agentPlace->setVisible(settings.SpeechOn);

    switch (m_kind) {
    case Kind::Words:
    case Kind::Articles:
    case Kind::Syllables:
        m_loadReport = loadWords(offeredSpellings());
        break;
    case Kind::Sentences:
        m_loadReport = loadSentences();
        break;
    case Kind::Review:
        // The review filled the word store before the window opened.
        break;
    }
    m_reviewQueue.reset();
    if (settings.ReviewMissedWords) {
        QStringList words;
        for (int row = 1; row <= state.WordCount; ++row)
            words << untagged(completedItem(row));
        const QString list = historyListName(state.WordListPath);
        QList<Answer> earlier;
        for (const Answer &answer : History::instance().answers(state.UserName)) {
            if (answer.list == list)
                earlier << answer;
        }
        m_reviewQueue = std::make_unique<ReviewQueue>(words, earlier);
    }
}

void ExerciseWindow::formActivate()
{
    if (m_soundsAction)
        m_soundsAction->setText(appState().Settings.SoundsOn ? QStringLiteral("Disattiva suoni")
                                                             : QStringLiteral("Attiva suoni"));

    if (!m_reportShown && !m_loadReport.ok()) {
        m_reportShown = true;
        Dialogs::information(this, m_loadReport.text());
    }
    tellWhatIsMissing();
    // A list with nothing to play is no exercise: back to the menu.
    if (appState().WordCount <= 0) {
        QMetaObject::invokeMethod(this, &ExerciseWindow::returnToTopicMenu, Qt::QueuedConnection);
        return;
    }

    m_scanning->activate();
    m_scanningSign->setVisible(m_scanning->active());
    greetPupil();
    showNextItem();
    logControls(clientArea());
}

void ExerciseWindow::formResize()
{
    Form::formResize();
    fitAnswerCaptions();
}

void ExerciseWindow::fitAnswerCaptions()
{
    QStringList captions;
    QSize room(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    for (const QPushButton *button : std::as_const(m_answerButtons)) {
        // A blank each side keeps the letters off the button's edge.
        captions << u' ' + button->text() + u' ';
        room = room.boundedTo(FontFit::captionRoom(button));
    }
    // One size for all of them, as on the menus.
    QFont font = textFont();
    font.setPointSize(FontFit::shrunkPointSize(captions, font, room, Legible::kMinTextPoints));
    for (QPushButton *button : std::as_const(m_answerButtons))
        button->setFont(font);
}

void ExerciseWindow::formUnload()
{
    m_scanning->deactivate();
    dismissAgent();
}

ExerciseWindow::~ExerciseWindow() = default;

void ExerciseWindow::makeAgent()
{
    const AppState &state = appState();
    const ProfileSettings &settings = state.Settings;
    m_agent = std::make_unique<Agent>(clientArea());
    // The syllable window always has Merlin, with the balloon in the text
    // font and the character's own voice.
    const bool syllables = m_kind == Kind::Syllables;
    m_agent->loadCharacter(syllables ? QStringLiteral("Merlin") : settings.AgentCharacter);
    m_agent->setLanguage(Agent::languageNumber(state.AgentLanguageId));
    m_agent->setBalloonBit(Agent::BalloonShown, settings.BalloonVisible);
    m_agent->setBalloonBit(Agent::BalloonHoldsAllText, settings.BalloonHoldsAllText);
    if (syllables) {
        m_agent->setBalloonFont(settings.TextFontName, settings.TextFontSize);
    } else {
        m_agent->setBalloonFont(settings.BalloonFontName, settings.BalloonFontSize);
        m_agent->setVoice(settings.VoiceModeId);
    }
}

void ExerciseWindow::greetPupil()
{
    if (!appState().Settings.SpeechOn || !m_agent)
        return;
    // The character stands in the box kept for it, a little below its top.
    constexpr int below = 50;
    const int height
        = m_agentPlace->height() > 2 * below ? m_agentPlace->height() - below : m_agentPlace->height();
    m_agent->setCharacterSize({m_agentPlace->width(), height});
    m_agent->moveTo(m_agentPlace->mapToGlobal(QPoint(0, m_agentPlace->height() - height)));
    m_agent->show();
    m_agent->greet(shown(QStringLiteral("Ciao!")));
}

void ExerciseWindow::readItemAloud()
{
    if (!appState().Settings.SpeechOn || !m_agent)
        return;
    m_agent->stopAll();
    m_agent->speak(untagged(shown(completedItem(appState().CurrentWordIndex))));
}

void ExerciseWindow::dismissAgent()
{
    if (m_agent)
        m_agent->stopAll();
    m_agent.reset();
}

void ExerciseWindow::showNextItem()
{
    AppState &state = appState();
    setBackgroundColour(windowBackgroundColour());
    setBackground(m_scanningSign, backgroundColour());
    setBackground(m_agentPlace, backgroundColour());

    for (QPushButton *button : std::as_const(m_answerButtons))
        button->setEnabled(true);
    m_nextButton->hide();
    m_solved = false;

    if (m_reviewQueue)
        state.CurrentWordIndex = qint16(m_reviewQueue->next());
    else
        pickRandomItem();
    const WordItem &item = state.wordRow(state.CurrentWordIndex);
    const QStringList spellings = offeredSpellings();
    for (int i = 0; i < m_answerButtons.size(); ++i)
        m_answerButtons[i]->setText(shown(spellings[i]));
    fitAnswerCaptions();
    m_wordLabel->setText(shown(gapShownApart(item.text, spellings)));
    // The syllable exercise leaves no trace in the record, nor does a teacher trying a list.
    m_recordRow = m_kind == Kind::Syllables || !state.TriedListPath.isEmpty()
        ? 0
        : ActivityRecord::addItem(m_wordLabel->text());
    // The right button is logged for sessions driven from outside, which play the pupil.
    QString rightButton;
    for (int i = 0; i < m_answerButtons.size() && rightButton.isEmpty(); ++i) {
        if (isRightSpelling(i))
            rightButton = m_answerButtons[i]->objectName();
    }
    qCDebug(
        lcExercises, "item %s, right answer %s", qPrintable(m_wordLabel->text()), qPrintable(rightButton));
    m_itemShownAt = ScanClock::now();
    m_scanning->itemShown();
}

void ExerciseWindow::showCompletedItem()
{
    m_wordLabel->setText(shown(completedItem(appState().CurrentWordIndex)));
}

QString ExerciseWindow::offeredSpelling(int buttonIndex) const
{
    const AppState &state = appState();
    if (!m_fixedSpellings.isEmpty())
        return m_fixedSpellings.value(buttonIndex);
    if (m_kind == Kind::Words)
        return buttonIndex == 0 ? state.ChoiceA : state.ChoiceB;
    const WordItem &item = state.wordRow(state.CurrentWordIndex);
    return buttonIndex == 0 ? item.firstChoice : item.secondChoice;
}

QStringList ExerciseWindow::offeredSpellings() const
{
    QStringList spellings;
    for (int i = 0; i < m_answerButtons.size(); ++i)
        spellings << offeredSpelling(i);
    return spellings;
}

void ExerciseWindow::answer(int buttonIndex)
{
    // In the scanning modes the answers come from the switch keys.
    if (m_scanning->active() || m_solved)
        return;
    if (judge(buttonIndex)) {
        m_nextButton->show();
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
        m_nextButton->show();
    m_scanning->answered(right);
}

bool ExerciseWindow::isRightSpelling(int buttonIndex) const
{
    const AppState &state = appState();
    return state.wordRow(state.CurrentWordIndex).answer.toUpper() == offeredSpelling(buttonIndex).toUpper();
}

bool ExerciseWindow::judge(int buttonIndex)
{
    AppState &state = appState();
    const bool right = isRightSpelling(buttonIndex);
    qCDebug(
        lcExercises, "answer %s: %s", qPrintable(offeredSpelling(buttonIndex)), right ? "right" : "wrong");
    recordAnswer(buttonIndex, right);
    if (right) {
        m_rightSign->show();
        m_wrongSign->hide();
        incrementCount(state.RightCount);
        showCount(m_rightCountLabel, state.RightCount, true);
        playRightSound();
        m_solved = true;
        showCompletedItem();
        return true;
    }
    m_wrongSign->show();
    m_rightSign->hide();
    incrementCount(state.WrongCount);
    showCount(m_wrongCountLabel, state.WrongCount, true);
    playWrongSound();
    ActivityRecord::markWrongAnswer(m_recordRow);
    return false;
}

void ExerciseWindow::recordAnswer(int buttonIndex, bool right)
{
    const AppState &state = appState();
    const ProfileSettings &settings = state.Settings;
    Answer answer;
    answer.pupil = state.UserName;
    answer.answeredAt = QDateTime::currentDateTime();
    answer.topic = state.TopicMarker;
    answer.list = historyListName(state.WordListPath);
    answer.item = untagged(m_wordLabel->text());
    answer.word = untagged(completedItem(state.CurrentWordIndex));
    answer.choices = offeredSpellings();
    answer.chosen = offeredSpelling(buttonIndex);
    answer.right = right;
    answer.mode = settings.inputMode();
    answer.responseMs = ScanClock::now() - m_itemShownAt;
    if (m_scanning->active()) {
        const ExerciseScanning::PressTiming timing = m_scanning->lastChoiceTiming();
        answer.dwellMs = timing.dwellMs;
        const bool rightLitBefore = timing.answerLitBefore >= 0 && isRightSpelling(timing.answerLitBefore);
        answer.timingMiss = isTimingMiss(
            right, answer.mode, answer.dwellMs, Scan::intervalMs(settings.ScanInterval), rightLitBefore);
    }
    // A teacher trying a list answers as no pupil.
    if (state.TriedListPath.isEmpty())
        History::instance().record(answer);
    if (m_reviewQueue)
        m_reviewQueue->answered(right, answer.timingMiss);
}

void ExerciseWindow::showCount(QLabel *label, qint16 count, bool signPosition)
{
    // After an answer the count keeps a position for the sign: " 4".
    label->setText(signPosition && count >= 0 ? u' ' + QString::number(count) : QString::number(count));
}

void ExerciseWindow::onNextClicked()
{
    if (m_scanning->active())
        return;
    showNextItem();
}

void ExerciseWindow::onReadClicked()
{
    readItemAloud();
}

void ExerciseWindow::onResetCountsChosen()
{
    AppState &state = appState();
    state.RightCount = 0;
    state.WrongCount = 0;
    showCount(m_rightCountLabel, 0, false);
    showCount(m_wrongCountLabel, 0, false);
}

void ExerciseWindow::onSoundsChosen()
{
    bool &soundsOn = appState().Settings.SoundsOn;
    soundsOn = !soundsOn;
    m_soundsAction->setText(soundsOn ? QStringLiteral("Disattiva suoni") : QStringLiteral("Attiva suoni"));
    tellWhatIsMissing();
}

void ExerciseWindow::tellWhatIsMissing()
{
    AppState &state = appState();
    QStringList told;
    if (state.Settings.SpeechOn && m_agent && !state.SpeechProblemShown) {
        const QString problem = m_agent->problem();
        state.SpeechProblemShown = !problem.isEmpty();
        if (!problem.isEmpty())
            told << problem;
    }
    if (state.Settings.SoundsOn && !state.SoundProblemShown) {
        const QString problem = Sounds::problem();
        state.SoundProblemShown = !problem.isEmpty();
        if (!problem.isEmpty())
            told << problem;
    }
    if (!told.isEmpty())
        Dialogs::information(this, told.join(QStringLiteral("\r\n\r\n")));
}

void ExerciseWindow::onPrintChosen()
{
    // Sentences have a worksheet of their own; every other list prints as words.
    showOnTop(m_kind == Kind::Sentences ? FormName::kSentenceSheet : FormName::kWordSheet);
}

void ExerciseWindow::onExitChosen()
{
    if (Dialogs::question(this, QStringLiteral("Vuoi tornare al menù?"), Dialogs::Icon::Stop))
        returnToTopicMenu();
}

QString ExerciseWindow::menuToReturnTo()
{
    if (!appState().TriedListPath.isEmpty())
        return FormName::kWordLists;
    const QString menu = topicMenuFor(appState().TopicMarker);
    return menu.isEmpty() ? FormName::kMainMenu : menu;
}

void ExerciseWindow::returnToTopicMenu()
{
    showForm(menuToReturnTo());
}

#include "moc_exercisewindow.cpp"
