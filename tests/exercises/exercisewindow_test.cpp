#include "fakes.h"
#include "testenv.h"

#include "exercises/exercisewindow.h"
#include "exercises/wordstore.h"
#include "feedback/agent.h"
#include "feedback/characterview.h"
#include "feedback/colours.h"
#include "layout/formhost.h"
#include "layout/legible.h"
#include "layout/picturebox.h"
#include "records/history.h"
#include "scanning/exercisescanning.h"
#include "scanning/scanclock.h"
#include "state/appstate.h"
#include "state/random.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// A host with the exercise window and a stand-in for the menu it returns to.
class ExerciseTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        host.registerForm(QStringLiteral("FormMenuH"), [] {
            return new Form(QStringLiteral("FormMenuH"), {900, 900});
        });
        host.registerForm(QStringLiteral("FormMenu"), [] {
            return new Form(QStringLiteral("FormMenu"), {900, 900});
        });
        host.registerForm(QStringLiteral("formStampaFrasi"), [] {
            return new Form(QStringLiteral("formStampaFrasi"), {900, 900});
        });
        for (auto kind :
            {ExerciseWindow::Kind::Words, ExerciseWindow::Kind::Sentences, ExerciseWindow::Kind::Review,
                ExerciseWindow::Kind::Articles, ExerciseWindow::Kind::Syllables})
            host.registerForm(ExerciseWindow::formNameFor(kind), [kind] { return new ExerciseWindow(kind); });
        host.resize(1024, 768);
        host.show();
        AppState &state = appState();
        state.TopicMarker = QStringLiteral("h");
        state.ChoiceA = QStringLiteral("a");
        state.ChoiceB = QStringLiteral("ha");
        // Always the first row, unless a test says otherwise.
        Random::setSource([] { return 0.0; });
    }

    void TearDown() override { Random::setSource({}); }

    ExerciseWindow *open(const QByteArray &list, ExerciseWindow::Kind kind = ExerciseWindow::Kind::Words)
    {
        const QString path = TestEnv::home() + QStringLiteral("/list.txt");
        TestEnv::writeFile(path, list);
        appState().WordListPath = path;
        return static_cast<ExerciseWindow *>(host.showForm(ExerciseWindow::formNameFor(kind)));
    }

    void click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    void press(Qt::Key key) { SwitchPress::press(key, host.currentForm()); }
    static bool lit(QWidget *button) { return SwitchPress::lit(button); }

    RecordedDialogs dialogs;
    RecordedSounds sounds;
    FormHost host;
};

TEST_F(ExerciseTest, ARightAnswerSignsCountsAndCompletesTheWord)
{
    appState().RightCount = 3;
    appState().WrongCount = 2;
    ExerciseWindow *window = open("Marco _ un gatto,ha\r\n");
    EXPECT_EQ(window->rightCountLabel()->text(), QStringLiteral("3"));
    EXPECT_EQ(window->wrongCountLabel()->text(), QStringLiteral("2"));
    EXPECT_EQ(window->answerButton(0)->text(), QStringLiteral("a"));
    EXPECT_EQ(window->answerButton(1)->text(), QStringLiteral("ha"));
    EXPECT_EQ(window->wordLabel()->text(), QStringLiteral("Marco _ un gatto"));
    EXPECT_FALSE(window->rightSign()->isVisible());
    EXPECT_FALSE(window->wrongSign()->isVisible());
    EXPECT_FALSE(window->nextButton()->isVisible());

    click(window->answerButton(1));
    EXPECT_TRUE(window->rightSign()->isVisible());
    EXPECT_FALSE(window->wrongSign()->isVisible());
    EXPECT_EQ(window->rightCountLabel()->text(), QStringLiteral(" 4"));
    EXPECT_EQ(appState().RightCount, 4);
    EXPECT_EQ(window->wordLabel()->text(), QStringLiteral("Marco ha un gatto"));
    EXPECT_TRUE(window->nextButton()->isVisible());
    EXPECT_FALSE(window->answerButton(0)->isEnabled());
    EXPECT_FALSE(window->answerButton(1)->isEnabled());
    // The caption of a button that no longer answers is muted, not faded away.
    const QPalette answered = window->answerButton(0)->palette();
    const QColor muted = answered.color(QPalette::Disabled, QPalette::ButtonText);
    EXPECT_GE(Legible::contrast(muted, answered.color(QPalette::Active, QPalette::ButtonText)), 1.5);
    EXPECT_GE(Legible::contrast(muted, answered.color(QPalette::Button)), Legible::kMutedContrast);
    ASSERT_EQ(sounds.played().size(), 1);
    EXPECT_TRUE(sounds.played().first().contains(QStringLiteral("/suoni/si")));

    click(window->nextButton());
    EXPECT_EQ(window->wordLabel()->text(), QStringLiteral("Marco _ un gatto"));
    EXPECT_TRUE(window->answerButton(0)->isEnabled());
    EXPECT_FALSE(window->nextButton()->isVisible());
}

TEST_F(ExerciseTest, WrongAnswersAreCountedAndMarkedOnTheItemsRecordRow)
{
    appState().ChoiceA = QStringLiteral("o");
    appState().ChoiceB = QStringLiteral("ho");
    ExerciseWindow *window = open("io _ fame,ho\r\n");
    ASSERT_EQ(appState().CaptionTrailCount, 1);
    EXPECT_EQ(appState().CaptionTrail[1].item, QStringLiteral("io _ fame"));

    click(window->answerButton(0));
    click(window->answerButton(0));
    EXPECT_TRUE(window->wrongSign()->isVisible());
    EXPECT_FALSE(window->rightSign()->isVisible());
    EXPECT_EQ(window->wrongCountLabel()->text(), QStringLiteral(" 2"));
    EXPECT_EQ(window->wordLabel()->text(), QStringLiteral("io _ fame")) << "the gap stays";
    EXPECT_TRUE(window->answerButton(0)->isEnabled());
    EXPECT_EQ(appState().CaptionTrail[1].marks, QStringLiteral(" *  * "));
    EXPECT_EQ(sounds.played().last(), appState().ApplicationFolder + QStringLiteral("/suoni/no.wav"));
}

TEST_F(ExerciseTest, CapitalsEverywhereAndAnswersStillRecognised)
{
    appState().Settings.LetterCase = QStringLiteral("maiuscolo");
    appState().ChoiceA = QStringLiteral("e");
    appState().ChoiceB = QStringLiteral("\u00e9");
    ExerciseWindow *window = open("perch_,\xE9\r\n");
    EXPECT_EQ(window->answerButton(1)->text(), QStringLiteral("\u00c9"));
    EXPECT_EQ(window->wordLabel()->text(), QStringLiteral("PERCH_"));
    EXPECT_EQ(appState().CaptionTrail[appState().CaptionTrailCount].item, QStringLiteral("PERCH_"));
    click(window->answerButton(1));
    EXPECT_EQ(window->wordLabel()->text(), QStringLiteral("PERCH\u00c9"));
}

TEST_F(ExerciseTest, ScanningModesIgnoreClicksOnAnswersAndNext)
{
    appState().Settings.setInputMode(InputMode::Manual);
    ExerciseWindow *window = open("vado _ scuola,a\r\n");
    click(window->answerButton(0));
    click(window->answerButton(1));
    EXPECT_EQ(appState().RightCount, 0);
    EXPECT_EQ(appState().WrongCount, 0);
    EXPECT_FALSE(window->rightSign()->isVisible());
}

TEST_F(ExerciseTest, MenuCommandsResetCountsSwitchSoundsAndLeave)
{
    appState().RightCount = 7;
    ExerciseWindow *window = open("vado _ scuola,a\r\n");
    window->resetCountsAction()->trigger();
    EXPECT_EQ(appState().RightCount, 0);
    EXPECT_EQ(window->rightCountLabel()->text(), QStringLiteral("0"));

    EXPECT_EQ(window->soundsAction()->text(), QStringLiteral("Disattiva suoni"));
    window->soundsAction()->trigger();
    EXPECT_FALSE(appState().Settings.SoundsOn);
    EXPECT_EQ(window->soundsAction()->text(), QStringLiteral("Attiva suoni"));
    click(window->answerButton(0));
    EXPECT_TRUE(sounds.played().isEmpty());
    window->soundsAction()->trigger();
    EXPECT_TRUE(appState().Settings.SoundsOn);
    EXPECT_EQ(window->soundsAction()->text(), QStringLiteral("Disattiva suoni"));

    dialogs.answerQuestionsWith(false);
    window->exitAction()->trigger();
    EXPECT_EQ(dialogs.messages().last(), QStringLiteral("Vuoi tornare al menù?"));
    EXPECT_EQ(host.currentForm(), window);
    EXPECT_TRUE(window->solved()) << "No leaves everything as it was";

    dialogs.answerQuestionsWith(true);
    window->exitAction()->trigger();
    EXPECT_EQ(host.currentForm()->formName(), QStringLiteral("FormMenuH"));
}

TEST_F(ExerciseTest, CountsStopAtTheirLargestValue)
{
    appState().RightCount = 32767;
    ExerciseWindow *window = open("vado _ scuola,a\r\n");
    click(window->answerButton(0));
    EXPECT_EQ(appState().RightCount, 32767);
    EXPECT_EQ(window->rightCountLabel()->text(), QStringLiteral(" 32767"));
}

TEST_F(ExerciseTest, AMissingListIsReportedAndLeadsBackToTheMenu)
{
    appState().WordListPath = TestEnv::home() + QStringLiteral("/nowhere.txt");
    host.showForm(QStringLiteral("FormEsercizi"));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains(QStringLiteral("nowhere.txt")));
    QCoreApplication::processEvents();
    EXPECT_EQ(host.currentForm()->formName(), QStringLiteral("FormMenuH"));
}

TEST_F(ExerciseTest, AListWithSomeBadRecordsIsReportedAndStillPlays)
{
    // The first word answers neither button and is left out.
    ExerciseWindow *window = open("_ sonno,o\r\nvado _ scuola,a\r\n_anana\r\n");
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains(QStringLiteral("riga 1: la risposta «o»")));
    EXPECT_TRUE(dialogs.messages().first().contains(QStringLiteral("riga 3")));
    QCoreApplication::processEvents();
    EXPECT_EQ(host.currentForm(), window);
    EXPECT_EQ(window->wordLabel()->text(), QStringLiteral("vado _ scuola"));
}

TEST_F(ExerciseTest, SentencesBringTheirOwnPairs)
{
    double draw = 0.0;
    Random::setSource([&draw] { return draw; });
    ExerciseWindow *window
        = open("Io _ fame[ho-o]ho\r\nLoro _ sete[anno-hanno]hanno\r\n", ExerciseWindow::Kind::Sentences);
    EXPECT_EQ(window->answerButton(0)->text(), QStringLiteral("ho"));
    EXPECT_EQ(window->answerButton(1)->text(), QStringLiteral("o"));
    click(window->answerButton(0));
    EXPECT_EQ(window->wordLabel()->text(), QStringLiteral("Io ho fame"));
    EXPECT_EQ(window->answerButton(0)->text(), QStringLiteral("ho"))
        << "captions stay those of the solved item";

    draw = 0.75;
    appState().Settings.LetterCase = QStringLiteral("maiuscolo");
    click(window->nextButton());
    EXPECT_EQ(window->wordLabel()->text(), QStringLiteral("LORO _ SETE"));
    EXPECT_EQ(window->answerButton(0)->text(), QStringLiteral("ANNO"));
    EXPECT_EQ(window->answerButton(1)->text(), QStringLiteral("HANNO"));
    click(window->answerButton(0));
    EXPECT_EQ(appState().WrongCount, 1);
    click(window->answerButton(1));
    EXPECT_EQ(window->wordLabel()->text(), QStringLiteral("LORO HANNO SETE"));

    window->printAction()->trigger();
    ASSERT_TRUE(host.formOnTop());
    EXPECT_EQ(host.formOnTop()->formName(), QStringLiteral("formStampaFrasi"));
}

TEST_F(ExerciseTest, AReviewPlaysTheStoreAgainstEachItemsOwnPair)
{
    AppState &state = appState();
    state.writableWordRow(1) = {
        QStringLiteral("Marco _ un gatto"), QStringLiteral("ha"), QStringLiteral("a"), QStringLiteral("ha")};
    state.writableWordRow(2) = {QStringLiteral("l'_ scorso"), QStringLiteral("anno"), QStringLiteral("anno"),
        QStringLiteral("hanno")};
    state.WordCount = 2;
    Random::setSource([] { return 0.6; });
    auto *window = static_cast<ExerciseWindow *>(host.showForm(QStringLiteral("FormEserciziRiep")));
    EXPECT_EQ(window->answerButton(0)->text(), QStringLiteral("anno"));
    click(window->answerButton(0));
    EXPECT_TRUE(window->solved());
}

TEST_F(ExerciseTest, TwoKeysPlayAWholeExercise)
{
    appState().Settings.setInputMode(InputMode::Manual);
    appState().Settings.SpeechOn = true;
    ExerciseWindow *window = open("Marco _ un gatto,ha\r\n");
    EXPECT_TRUE(lit(window->answerButton(0)));
    EXPECT_TRUE(window->scanning()->highlighter().outlineShown(0));

    press(Qt::Key_Space);
    press(Qt::Key_Space);
    EXPECT_TRUE(lit(window->readButton()));
    press(Qt::Key_Space);
    EXPECT_TRUE(lit(window->answerButton(0)));

    // Wrong: the highlight stays where it was.
    press(Qt::Key_Return);
    EXPECT_EQ(appState().WrongCount, 1);
    EXPECT_TRUE(window->wrongSign()->isVisible());
    EXPECT_EQ(appState().CaptionTrail[1].marks, QStringLiteral(" * "));
    EXPECT_TRUE(lit(window->answerButton(0)));

    press(Qt::Key_Space);
    press(Qt::Key_Return);
    EXPECT_EQ(appState().RightCount, 1);
    EXPECT_EQ(window->wordLabel()->text(), QStringLiteral("Marco ha un gatto"));
    EXPECT_TRUE(window->nextButton()->isVisible());
    EXPECT_TRUE(lit(window->nextButton()));
    EXPECT_FALSE(lit(window->answerButton(1)));
    EXPECT_TRUE(window->answerButton(1)->isEnabled()) << "the keys leave the answers enabled";
    EXPECT_EQ(sounds.played().size(), 2);

    press(Qt::Key_Space);
    EXPECT_TRUE(lit(window->nextButton())) << "space waits on avanti";
    press(Qt::Key_Return);
    EXPECT_FALSE(window->nextButton()->isVisible());
    EXPECT_EQ(window->wordLabel()->text(), QStringLiteral("Marco _ un gatto"));
    EXPECT_TRUE(lit(window->answerButton(0)));
    EXPECT_EQ(appState().CaptionTrailCount, 2);
}

TEST_F(ExerciseTest, OneKeyPlaysAWholeExercise)
{
    appState().Settings.setInputMode(InputMode::Automatic);
    appState().Settings.ScanInterval = 6;
    appState().Settings.SpeechOn = false;
    appState().ChoiceA = QStringLiteral("o");
    appState().ChoiceB = QStringLiteral("ho");
    ExerciseWindow *window = open("io _ fame,ho\r\n");
    ExerciseScanning *scanning = window->scanning();
    EXPECT_TRUE(scanning->timer().isActive());
    EXPECT_EQ(scanning->timer().interval(), 1500);
    EXPECT_TRUE(lit(window->answerButton(0)));

    // A held key stops the steps; its release answers and starts them again.
    QWidget *target = host.currentForm();
    ScanClock::advance(SwitchPress::kLookMs);
    QTest::keyPress(target, Qt::Key_Space);
    EXPECT_FALSE(scanning->timer().isActive());
    QTest::keyRelease(target, Qt::Key_Space);
    EXPECT_EQ(appState().WrongCount, 1);
    EXPECT_TRUE(scanning->timer().isActive());

    scanning->tick();
    EXPECT_TRUE(lit(window->answerButton(1)));
    press(Qt::Key_Space);
    EXPECT_EQ(appState().RightCount, 1);
    EXPECT_TRUE(lit(window->nextButton()));
    EXPECT_FALSE(scanning->timer().isActive()) << "the highlight rests on avanti";

    press(Qt::Key_Space);
    EXPECT_FALSE(window->nextButton()->isVisible());
    EXPECT_TRUE(lit(window->answerButton(0)));
    EXPECT_TRUE(scanning->timer().isActive());

    // Another key leaves the steps going.
    press(Qt::Key_A);
    EXPECT_TRUE(scanning->timer().isActive());
}

TEST_F(ExerciseTest, SpaceOnAFocusedAnswerMovesTheHighlightOnly)
{
    appState().Settings.setInputMode(InputMode::Manual);
    appState().Settings.SpeechOn = true;
    ExerciseWindow *window = open("vado _ scuola,a\r\n");
    window->answerButton(1)->setFocus();
    ScanClock::advance(SwitchPress::kLookMs);
    QTest::keyClick(window->answerButton(1), Qt::Key_Space);
    EXPECT_EQ(appState().RightCount + appState().WrongCount, 0) << "space moved the highlight only";
    EXPECT_TRUE(lit(window->answerButton(1)));
}

TEST_F(ExerciseTest, ThreeArticlesInCapitalsAnsweredAndClosedTogether)
{
    appState().Settings.LetterCase = QStringLiteral("maiuscolo");
    appState().TopicMarker = QStringLiteral("h");
    // "il" is no article on offer: that word is left out.
    ExerciseWindow *window = open("_ zaino,il\r\n_albero,l'\r\n", ExerciseWindow::Kind::Articles);
    ASSERT_EQ(window->answerCount(), 3);
    EXPECT_EQ(window->answerButton(0)->text(), QStringLiteral("LA"));
    EXPECT_EQ(window->answerButton(1)->text(), QStringLiteral("LO"));
    EXPECT_EQ(window->answerButton(2)->text(), QStringLiteral("L'"));
    EXPECT_EQ(window->wordLabel()->text(), QStringLiteral("_ ALBERO")) << "the gap does not tell the answer";

    click(window->answerButton(1));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(window->answerButton(i)->isEnabled());
    EXPECT_EQ(appState().CaptionTrail[1].marks, QStringLiteral(" * "));

    click(window->answerButton(2));
    EXPECT_EQ(window->wordLabel()->text(), QStringLiteral("L'ALBERO"));
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(window->answerButton(i)->isEnabled());
    EXPECT_TRUE(window->soundsAction());
}

TEST_F(ExerciseTest, FiveSyllablesChangeTheCountsButLeaveNoRecord)
{
    appState().RightCount = 2;
    // "gn" is no syllable on offer: that word is left out.
    ExerciseWindow *window = open("so_,gn\r\nba_,gno\r\n", ExerciseWindow::Kind::Syllables);
    ASSERT_EQ(window->answerCount(), 5);
    EXPECT_EQ(window->answerButton(4)->text(), QStringLiteral("gnu"));
    EXPECT_FALSE(window->soundsAction()) << "no sounds command here";
    EXPECT_EQ(window->rightCountLabel()->text(), QStringLiteral("2"));

    click(window->answerButton(0));
    click(window->answerButton(3));
    EXPECT_EQ(appState().WrongCount, 1);
    EXPECT_EQ(appState().RightCount, 3);
    EXPECT_EQ(window->wordLabel()->text(), QStringLiteral("bagno"));
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(window->answerButton(i)->isEnabled());
    EXPECT_EQ(appState().CaptionTrailCount, 0);
}

TEST_F(ExerciseTest, TheFiveButtonRingEndsWithReadAloud)
{
    appState().Settings.setInputMode(InputMode::Automatic);
    appState().Settings.SpeechOn = true;
    ExerciseWindow *window = open("ba_,gno\r\n", ExerciseWindow::Kind::Syllables);
    for (int i = 1; i < 5; ++i) {
        window->scanning()->tick();
        EXPECT_TRUE(lit(window->answerButton(i)));
    }
    window->scanning()->tick();
    EXPECT_TRUE(lit(window->readButton()));
    window->scanning()->tick();
    EXPECT_TRUE(lit(window->answerButton(0)));

    for (int i = 0; i < 3; ++i)
        window->scanning()->tick();
    press(Qt::Key_Space);
    EXPECT_EQ(appState().RightCount, 1);
    EXPECT_TRUE(lit(window->nextButton()));
}

TEST_F(ExerciseTest, LeggiStopsTheGreetingAndSaysTheCompletedItem)
{
    RecordedSpeech speech(60000);
    appState().ChoiceA = QStringLiteral("s");
    appState().ChoiceB = QStringLiteral("z");
    for (const char *record : {"ca_a,s\r\n", "ca__a,s\r\n", "ca_a_,s\r\n"}) {
        ExerciseWindow *window = open(record);
        ASSERT_TRUE(window->agent());
        click(window->readButton());
        EXPECT_EQ(speech.said().last(), QStringLiteral("casa")) << record;
    }
    EXPECT_FALSE(speech.said().contains(QStringLiteral("Ciao!"))) << "each read cut the greeting short";

    appState().Settings.LetterCase = QStringLiteral("maiuscolo");
    ExerciseWindow *window = open("ca_a,s\r\n");
    QTRY_COMPARE(speech.said().last(), QStringLiteral("CIAO!"));
    click(window->readButton());
    EXPECT_EQ(speech.said().last(), QStringLiteral("CASA"));
    EXPECT_TRUE(window->agent()->isShown());
}

TEST_F(ExerciseTest, AWordFromAListCannotChangeTheVoice)
{
    RecordedSpeech speech(60000);
    appState().ChoiceA = QStringLiteral("s");
    appState().ChoiceB = QStringLiteral("z");
    ExerciseWindow *window = open("ca_a\\Spd=400\\\\Pit=0\\,s\r\n");
    click(window->readButton());
    ASSERT_FALSE(speech.utterances().isEmpty());
    const Utterance &word = speech.utterances().last();
    const Utterance profile = Speech::profileUtterance(QStringLiteral("casa"), QString());
    EXPECT_TRUE(word.text.startsWith(QStringLiteral("casa"))) << word.text.toStdString();
    EXPECT_FALSE(word.text.contains(u'\\'));
    EXPECT_EQ(word.rate, profile.rate);
    EXPECT_EQ(word.pitch, profile.pitch);
}

TEST_F(ExerciseTest, WhatKeepsTheCharacterOrTheSoundsAwayIsToldOnceInARun)
{
    RecordedSpeech speech;
    appState().ApplicationFolder = TestEnv::makeFolder(QStringLiteral("vuota"));
    open("ca_a,a\r\n");
    ASSERT_EQ(dialogs.messages().size(), 1);
    const QString message = dialogs.messages().first();
    EXPECT_TRUE(message.contains(QStringLiteral("Il personaggio \"Merlin\" non si trova")))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("Alcuni suoni delle risposte non si sentiranno")));
    EXPECT_TRUE(message.contains(QStringLiteral("no.wav")));

    open("ca_a,a\r\n");
    EXPECT_EQ(dialogs.messages().size(), 1) << "once in a run";
}

TEST_F(ExerciseTest, WithoutSpeechThereIsNoCharacterAndLeggiIsSilent)
{
    RecordedSpeech speech;
    appState().Settings.SpeechOn = false;
    ExerciseWindow *window = open("ca_a,s\r\n");
    EXPECT_FALSE(window->agent());
    EXPECT_FALSE(window->readButton()->isVisible());
    EXPECT_FALSE(window->findChild<QWidget *>(QStringLiteral("picAgent"))->isVisible());
    window->readButton()->click();
    QTest::qWait(50);
    EXPECT_TRUE(speech.said().isEmpty());
}

TEST_F(ExerciseTest, TheSyllableWindowAlwaysHasMerlinInTheTextFontWithHisOwnVoice)
{
    ProfileSettings &settings = appState().Settings;
    settings.AgentCharacter = QStringLiteral("Gufo");
    settings.TextFontName = QStringLiteral("Comic Sans MS");
    settings.TextFontSize = 30;
    settings.BalloonVisible = true;
    settings.BalloonHoldsAllText = false;

    Agent *agent = open("ba_,gno\r\n", ExerciseWindow::Kind::Syllables)->agent();
    EXPECT_EQ(agent->characterName(), QStringLiteral("Merlin"));
    EXPECT_EQ(agent->balloonFont().family(), QStringLiteral("Comic Sans MS"));
    EXPECT_EQ(agent->balloonFont().pointSize(), 30);
    EXPECT_TRUE(agent->voice().isEmpty());
    EXPECT_EQ(
        agent->balloonStyle() & (Agent::BalloonShown | Agent::BalloonHoldsAllText), Agent::BalloonShown);

    agent = open("ca_a,s\r\n")->agent();
    EXPECT_EQ(agent->characterName(), QStringLiteral("Gufo"));
    EXPECT_EQ(agent->voice(), settings.VoiceModeId);
    EXPECT_EQ(agent->balloonFont().family(), QStringLiteral("Arial"));
}

TEST(TopicReturn, EveryMarkerNamesItsMenu)
{
    EXPECT_EQ(ExerciseWindow::topicMenuFor(QStringLiteral("altre difficoltà")), QStringLiteral("FormMenuCG"));
    EXPECT_EQ(
        ExerciseWindow::topicMenuFor(QStringLiteral("SuoniSImili")), QStringLiteral("FormMenuSuoniSimili"));
    EXPECT_TRUE(ExerciseWindow::topicMenuFor(QStringLiteral("suonisimili")).isEmpty()) << "exact comparison";
}

} // namespace

namespace {

TEST_F(ExerciseTest, TheScannedWayOutCoversNothingAndLeavesWithoutAsking)
{
    appState().Settings.setInputMode(InputMode::Manual);
    appState().Settings.WayOutButton = true;
    appState().ChoiceA = QStringLiteral("s");
    appState().ChoiceB = QStringLiteral("z");
    const QList<std::pair<QByteArray, ExerciseWindow::Kind>> lists = {
        {"ca_a,s\r\n", ExerciseWindow::Kind::Words},
        {"Io _ fame[ho-o]ho\r\n", ExerciseWindow::Kind::Sentences},
        {"_ zaino,lo\r\n", ExerciseWindow::Kind::Articles},
        {"ba_,gno\r\n", ExerciseWindow::Kind::Syllables},
    };
    for (const auto &[list, kind] : lists) {
        ExerciseWindow *window = open(list, kind);
        QPushButton *wayOut = window->wayOutButton();
        ASSERT_TRUE(wayOut->isVisible()) << window->formName().toStdString();
        for (const QWidget *control :
            window->clientArea()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (control == wayOut || control->objectName().isEmpty())
                continue;
            EXPECT_FALSE(control->geometry().intersects(wayOut->geometry()))
                << control->objectName().toStdString() << " in " << window->formName().toStdString();
        }
    }

    ExerciseWindow *window = open("ca_a,s\r\n");
    for (int i = 0; i < 4 && !lit(window->wayOutButton()); ++i)
        press(Qt::Key_Space);
    ASSERT_TRUE(lit(window->wayOutButton())) << "after the answers and leggi";
    const qsizetype messages = dialogs.messages().size();
    press(Qt::Key_Return);
    EXPECT_EQ(host.currentForm()->formName(), QStringLiteral("FormMenuH"));
    EXPECT_EQ(dialogs.messages().size(), messages);

    appState().Settings.setInputMode(InputMode::Mouse);
    EXPECT_FALSE(open("ca_a,s\r\n")->wayOutButton()->isVisible()) << "the mouse has the menu bar";
}

TEST_F(ExerciseTest, TheHighlightSaysEachSpellingsCueAtOnceAndTheGreetingGivesWay)
{
    RecordedSpeech speech(300);
    appState().Settings.setInputMode(InputMode::Manual);
    appState().Settings.SpokenHighlight = true;
    appState().Settings.LetterCase = QStringLiteral("maiuscolo");
    open("Marco _ fame,ha\r\n");
    // The greeting was waiting for the character to show: the first cue came
    // at once and took its place.
    EXPECT_EQ(speech.said(), QStringList{"a, senza acca"});
    press(Qt::Key_Space);
    EXPECT_EQ(speech.said().last(), QStringLiteral("ha, con l'acca"));
    press(Qt::Key_Space);
    QTRY_COMPARE(speech.said().last(), QStringLiteral("leggi"));
    EXPECT_FALSE(speech.said().contains(QStringLiteral("Ciao!")));
    EXPECT_FALSE(speech.said().contains(QStringLiteral("marco ha fame")));
}

} // namespace

TEST_F(ExerciseTest, EveryAnswerIsKeptAndAPressOneStepLateIsNotASpellingError)
{
    ASSERT_TRUE(History::instance().open(
        TestEnv::makeFolder(QStringLiteral("dati")) + QStringLiteral("/storia.sqlite")));
    AppState &state = appState();
    state.UserName = QStringLiteral("Marta");
    state.Settings.setInputMode(InputMode::Automatic);
    state.Settings.ScanInterval = 6;
    state.Settings.SpeechOn = false;
    state.ChoiceA = QStringLiteral("o");
    state.ChoiceB = QStringLiteral("ho");
    ExerciseWindow *window = open("io _ fame,ho\r\n");
    ExerciseScanning *scanning = window->scanning();
    QWidget *target = host.currentForm();
    const auto pressAfter = [&](int milliseconds) {
        ScanClock::advance(milliseconds);
        QTest::keyPress(target, Qt::Key_Space);
        QTest::keyRelease(target, Qt::Key_Space);
    };

    // "ho" is lit, then "o": a press 200 ms into "o" meant "ho".
    ScanClock::advance(SwitchPress::kLookMs);
    scanning->tick();
    ScanClock::advance(1500);
    scanning->tick();
    ASSERT_TRUE(lit(window->answerButton(0)));
    pressAfter(200);
    // "o" again, this time after a whole step on it: a spelling error.
    scanning->tick();
    ScanClock::advance(1500);
    scanning->tick();
    ASSERT_TRUE(lit(window->answerButton(0)));
    pressAfter(1000);
    scanning->tick();
    ASSERT_TRUE(lit(window->answerButton(1)));
    pressAfter(900);
    press(Qt::Key_Space);
    // The mouse keeps no dwell.
    state.Settings.setInputMode(InputMode::Mouse);
    window = open("io _ fame,ho\r\n");
    click(window->answerButton(1));

    const QList<Answer> answers = History::instance().answers(QStringLiteral("Marta"));
    ASSERT_EQ(answers.size(), 4);
    const Answer &late = answers[0];
    EXPECT_EQ(late.topic, QStringLiteral("h"));
    EXPECT_EQ(late.list, QStringLiteral("list.txt"));
    EXPECT_EQ(late.item, gapShownApart(QStringLiteral("io _ fame"), late.choices));
    EXPECT_EQ(late.word, QStringLiteral("io ho fame"));
    EXPECT_EQ(late.choices, (QStringList{QStringLiteral("o"), QStringLiteral("ho")}));
    EXPECT_EQ(late.chosen, QStringLiteral("o"));
    EXPECT_EQ(late.mode, InputMode::Automatic);
    // The switches' clock also runs in real time between the steps.
    EXPECT_GE(late.dwellMs, 200);
    EXPECT_LT(late.dwellMs, 750);
    EXPECT_TRUE(late.timingMiss);
    EXPECT_FALSE(answers[1].right);
    EXPECT_GE(answers[1].dwellMs, 1000);
    EXPECT_LT(answers[1].dwellMs, 1500);
    EXPECT_FALSE(answers[1].timingMiss) << "a whole step on the wrong spelling";
    EXPECT_TRUE(answers[2].right);
    EXPECT_FALSE(answers[2].timingMiss);
    EXPECT_EQ(answers[3].mode, InputMode::Mouse);
    EXPECT_EQ(answers[3].dwellMs, -1);
    EXPECT_TRUE(answers[3].right);
}

TEST_F(ExerciseTest, AMissedWordComesBackAFewItemsLater)
{
    QByteArray list;
    for (int i = 1; i <= 12; ++i)
        list += QStringLiteral("vado _ casa %1,a\r\nlui _ %1 anni,ha\r\n").arg(i).toLatin1();
    // Every item answered wrong first, then right; the rows shown in order.
    Random::setSource({});
    Random::seed(5);
    appState().Settings.ReviewMissedWords = true;
    ExerciseWindow *window = open(list);
    std::vector<int> rows;
    for (int item = 0; item < 10; ++item) {
        rows.push_back(appState().CurrentWordIndex);
        const bool firstIsRight
            = window->answerButton(0)->text() == appState().wordRow(appState().CurrentWordIndex).answer;
        click(window->answerButton(firstIsRight ? 1 : 0));
        click(window->answerButton(firstIsRight ? 0 : 1));
        click(window->nextButton());
    }
    EXPECT_NE(std::find(rows.begin() + 3, rows.begin() + 7, rows[0]), rows.begin() + 7)
        << "the first word missed is back 3 to 6 items later";
}
