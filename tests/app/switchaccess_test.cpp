#include "fakes.h"
#include "testenv.h"

#include "app/formmenu.h"
#include "app/program.h"
#include "app/startup.h"
#include "app/topicmenu.h"
#include "exercises/exercisewindow.h"
#include "feedback/colours.h"
#include "layout/formhost.h"
#include "scanning/exercisescanning.h"
#include "scanning/menuscanning.h"
#include "scanning/scannedquestion.h"
#include "settings/settingsfolders.h"
#include "state/appstate.h"
#include "state/random.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The whole program's windows over a program folder whose "Uso  h" lists
// hold one item each.
class SwitchAccessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        registerForms(host);
        host.resize(1024, 768);
        host.show();
        // Keys go where the focus is, as on a desktop.
        host.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&host));
        AppState &state = appState();
        state.ApplicationFolder = TestEnv::makeFolder(QStringLiteral("program"));
        QDir().mkpath(state.ApplicationFolder + QStringLiteral("/testidifort/h"));
        TestEnv::writeFile(
            state.ApplicationFolder + QStringLiteral("/testidifort/h/aha.txt"), "_ casa,a\r\n");
        state.UserName = QStringLiteral("anna");
        for (const QString &folder : SettingsFolders::all())
            QDir().mkpath(folder);
        state.ProfilePath = ProfileFiles::pathFor(state.UserName);
        state.Settings.SelectedButtonColour = 65280;
        state.Settings.ButtonColour = 0xC0C0C0;
        Random::setSource([] { return 0.0; });
    }

    void TearDown() override { Random::setSource({}); }

    template<typename FormType> FormType *current() { return qobject_cast<FormType *>(host.currentForm()); }

    void press(Qt::Key key) { SwitchPress::press(key, host.currentForm()); }
    static bool lit(QWidget *button) { return SwitchPress::lit(button); }

    // The pointer moves over the widget, as the window system reports it.
    static void hover(QWidget *widget)
    {
        const QPointF local(2, 2);
        QMouseEvent move(
            QEvent::MouseMove, local, widget->mapToGlobal(local), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &move);
    }

    static QColor colour(QPushButton *button) { return button->palette().color(QPalette::Button); }

    RecordedDialogs dialogs;
    RecordedSounds sounds;
    FormHost host;
};

TEST_F(SwitchAccessTest, OneSwitchTakesAPupilFromTheMainMenuToTheNextWord)
{
    appState().Settings.setInputMode(InputMode::Automatic);
    appState().Settings.ScanInterval = 4;
    FormMenu *menu = static_cast<FormMenu *>(host.showForm(QStringLiteral("FormMenu")));
    MenuScanning *scanning = menu->scanning();
    EXPECT_TRUE(scanning->timer().isActive());
    EXPECT_EQ(scanning->timer().interval(), 1000);
    EXPECT_EQ(scanning->highlighter().highlighted(), -1) << "nothing is lit before the first step";

    for (int i = 0; i < 8; ++i)
        scanning->tick();
    EXPECT_TRUE(lit(menu->button(7)));
    press(Qt::Key_Space);

    auto *topic = current<TopicMenuForm>();
    ASSERT_TRUE(topic);
    EXPECT_EQ(topic->formName(), QStringLiteral("FormMenuH"));
    topic->scanning()->tick();
    EXPECT_TRUE(lit(topic->button(0)));
    press(Qt::Key_Space);

    auto *exercise = current<ExerciseWindow>();
    ASSERT_TRUE(exercise);
    EXPECT_TRUE(lit(exercise->answerButton(0)));
    press(Qt::Key_Space);
    EXPECT_EQ(appState().RightCount, 1);
    EXPECT_EQ(exercise->wordLabel()->text(), QStringLiteral("a casa"));
    EXPECT_TRUE(lit(exercise->nextButton()));
    press(Qt::Key_Space);
    EXPECT_EQ(exercise->wordLabel()->text(), QStringLiteral("_ casa"));
    EXPECT_TRUE(exercise->scanning()->timer().isActive());

    const AppState &state = appState();
    ASSERT_EQ(state.CaptionTrailCount, 4);
    EXPECT_EQ(state.CaptionTrail[1].caption, QStringLiteral("Uso  h"));
    EXPECT_EQ(state.CaptionTrail[2].caption, QStringLiteral("a  ha"));
}

TEST_F(SwitchAccessTest, EsciAsksAPupilWhoScansWithNoFirst)
{
    QSignalSpy ending(&host, &FormHost::programEnding);
    appState().Settings.setInputMode(InputMode::Manual);
    auto *menu = static_cast<FormMenu *>(host.showForm(QStringLiteral("FormMenu")));
    const auto askToLeave = [this, &menu] {
        for (int i = 0; i < 8; ++i)
            press(Qt::Key_Space);
        press(Qt::Key_Return);
        ScannedQuestion *question = menu->question();
        EXPECT_TRUE(question && question->isVisible() && question->isModal());
        // Its keys go to the question, once the window system has made it active.
        for (int waited = 0; question && QApplication::activeWindow() != question && waited < 100; ++waited)
            QTest::qWait(10);
        EXPECT_EQ(QApplication::activeWindow(), question);
        return question;
    };

    ScannedQuestion *question = askToLeave();
    ASSERT_TRUE(question);
    EXPECT_EQ(question->textLabel()->text(), QStringLiteral("Vuoi uscire dal programma?"));
    EXPECT_TRUE(lit(question->noButton())) << "No is lit first";
    EXPECT_FALSE(lit(question->yesButton()));
    EXPECT_EQ(ending.count(), 0);
    press(Qt::Key_Return);
    EXPECT_FALSE(menu->question());
    EXPECT_EQ(current<FormMenu>(), menu);
    EXPECT_TRUE(lit(menu->button(0))) << "the menu's scan starts again as on arrival";
    EXPECT_FALSE(lit(menu->button(8)));
    press(Qt::Key_Space);
    EXPECT_TRUE(lit(menu->button(1))) << "the menu scans again";
    press(Qt::Key_Space);
    EXPECT_TRUE(lit(menu->button(2)));
    EXPECT_EQ(ending.count(), 0);

    host.showForm(QStringLiteral("FormMenu"));
    menu = current<FormMenu>();
    question = askToLeave();
    ASSERT_TRUE(question);
    press(Qt::Key_Space);
    EXPECT_TRUE(lit(question->yesButton()));
    EXPECT_FALSE(lit(menu->button(0))) << "the menu below stands still";
    press(Qt::Key_Return);
    EXPECT_EQ(ending.count(), 1);
    EXPECT_FALSE(menu->question());
}

TEST_F(SwitchAccessTest, EsciEndsAtOnceForTheMouse)
{
    QSignalSpy ending(&host, &FormHost::programEnding);
    auto *menu = static_cast<FormMenu *>(host.showForm(QStringLiteral("FormMenu")));
    QTest::mouseClick(menu->button(8), Qt::LeftButton);
    EXPECT_EQ(ending.count(), 1);
    EXPECT_FALSE(menu->question());
}

TEST_F(SwitchAccessTest, EitherSwitchKeyOpensTheProgram)
{
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return}) {
        host.showForm(QStringLiteral("FormAvvio"));
        press(key);
        EXPECT_TRUE(current<FormMenu>()) << key;
    }
}

TEST_F(SwitchAccessTest, TwoSwitchesOnAMenuStepWrapAndSelect)
{
    appState().Settings.setInputMode(InputMode::Manual);
    FormMenu *menu = static_cast<FormMenu *>(host.showForm(QStringLiteral("FormMenu")));
    EXPECT_TRUE(lit(menu->button(0))) << "the first button is lit at once";
    for (int i = 0; i < 9; ++i)
        press(Qt::Key_Space);
    EXPECT_TRUE(lit(menu->button(0)));
    EXPECT_FALSE(lit(menu->button(8)));
    EXPECT_EQ(colour(menu->button(8)), QColor(0xC0, 0xC0, 0xC0));

    press(Qt::Key_Space);
    press(Qt::Key_Return);
    ASSERT_TRUE(current<TopicMenuForm>());
    EXPECT_EQ(host.currentForm()->formName(), QStringLiteral("FormMenuCG"));
    EXPECT_TRUE(lit(current<TopicMenuForm>()->button(0))) << "a new visit starts afresh";
}

TEST_F(SwitchAccessTest, KeysThatAreNoSwitchNeitherStopTheStepsNorSelect)
{
    appState().Settings.setInputMode(InputMode::Automatic);
    auto *topic = static_cast<TopicMenuForm *>(host.showForm(QStringLiteral("FormMenuH")));
    topic->scanning()->tick();
    press(Qt::Key_A);
    press(Qt::Key_Return);
    EXPECT_TRUE(topic->scanning()->timer().isActive());
    EXPECT_EQ(host.currentForm(), topic) << "Enter selects nothing in automatic mode";
    EXPECT_TRUE(lit(topic->button(0)));
}

TEST_F(SwitchAccessTest, TheMouseLightsTheButtonUnderItInRedOnlyInMouseMode)
{
    auto *topic = static_cast<TopicMenuForm *>(host.showForm(QStringLiteral("FormMenuH")));
    hover(topic->button(2));
    EXPECT_EQ(colour(topic->button(2)), QColor(255, 0, 0)) << "red, whatever the scanning colour";
    hover(topic->button(3));
    EXPECT_EQ(colour(topic->button(2)), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(colour(topic->button(3)), QColor(255, 0, 0));
    hover(topic->clientArea());
    for (int i = 0; i < topic->buttonCount(); ++i)
        EXPECT_EQ(colour(topic->button(i)), QColor(0xC0, 0xC0, 0xC0));

    // Keys do nothing for the mouse user.
    press(Qt::Key_Space);
    press(Qt::Key_Return);
    EXPECT_EQ(host.currentForm(), topic);

    appState().Settings.setInputMode(InputMode::Manual);
    topic = static_cast<TopicMenuForm *>(host.showForm(QStringLiteral("FormMenuH")));
    hover(topic->button(2));
    EXPECT_TRUE(lit(topic->button(0)));
    EXPECT_EQ(colour(topic->button(2)), QColor(0xC0, 0xC0, 0xC0));
    QTest::mouseClick(topic->button(0), Qt::LeftButton);
    EXPECT_TRUE(current<ExerciseWindow>()) << "clicks work in every mode";
}

TEST_F(SwitchAccessTest, CaptionsFillTheButtonsInOneSizeAndCapitals)
{
    appState().Settings.LetterCase = QStringLiteral("maiuscolo");
    auto *topic = static_cast<TopicMenuForm *>(host.showForm(QStringLiteral("FormMenuH")));
    EXPECT_TRUE(topic->fontFitPending());
    topic->fitButtonFont();
    EXPECT_FALSE(topic->fontFitPending());

    QStringList captions;
    for (int i = 0; i < topic->buttonCount(); ++i)
        captions << topic->button(i)->text();
    EXPECT_TRUE(captions.contains(QStringLiteral("ANNO  HANNO")));

    // The captions fill the buttons: the longest, with four blanks each
    // side, reaches the button's width or four fifths of its height at the
    // size chosen, and stays within both one point smaller.
    QString longest;
    for (const QString &caption : std::as_const(captions)) {
        if (caption.size() > longest.size())
            longest = caption;
    }
    const QString measured = QStringLiteral("    %1    ").arg(longest);
    const QSize button = topic->button(0)->size();
    const auto fillsAt = [&](int points) {
        QFont font(appState().Settings.TextFontName);
        font.setPointSize(points);
        const QSize text = QFontMetrics(font).size(Qt::TextSingleLine, measured);
        return text.width() >= button.width() || text.height() * 5 >= button.height() * 4;
    };
    const int points = topic->button(0)->font().pointSize();
    EXPECT_TRUE(fillsAt(points)) << points << " points";
    EXPECT_FALSE(fillsAt(points - 1)) << points << " points";
    for (int i = 0; i < topic->buttonCount(); ++i) {
        EXPECT_EQ(topic->button(i)->font().pointSize(), points);
        EXPECT_EQ(topic->button(i)->font().family(), QFont(appState().Settings.TextFontName).family());
    }
}

} // namespace

namespace {

TEST_F(SwitchAccessTest, TheLargestTopicMenuIsScannedByRowsAfterALongerFirstWait)
{
    ProfileSettings &settings = appState().Settings;
    settings.setInputMode(InputMode::Automatic);
    settings.RowColumnScanning = true;
    settings.FirstStepDelay = 250;
    auto *menu = static_cast<TopicMenuForm *>(host.showForm(QStringLiteral("FormMenuCG")));
    ASSERT_EQ(menu->buttonCount(), 17);
    MenuScanning *scanning = menu->scanning();
    EXPECT_GT(scanning->timer().remainingMs(), 2400) << "the first step waits 250% of a second";
    EXPECT_LE(scanning->timer().remainingMs(), 2500);

    const auto litButtons = [menu] {
        QList<int> lit;
        for (int i = 0; i < menu->buttonCount(); ++i) {
            if (SwitchPress::lit(menu->button(i)))
                lit << i;
        }
        return lit;
    };
    scanning->tick();
    scanning->tick();
    EXPECT_EQ(litButtons(), QList<int>({1, 6, 11})) << "the second row, left to right";

    press(Qt::Key_Space);
    EXPECT_EQ(litButtons(), QList<int>({1}));
    EXPECT_LE(scanning->timer().remainingMs(), 1000) << "later steps take one interval";
    for (int i = 0; i < 3; ++i)
        scanning->tick();
    EXPECT_EQ(litButtons(), QList<int>({1, 6, 11})) << "a round without a selection goes back to the rows";
    EXPECT_EQ(current<TopicMenuForm>(), menu);
}

TEST_F(SwitchAccessTest, AfterItsRoundsTheMenuStopsOnNoButtonAndASpaceStartsItAgain)
{
    appState().Settings.setInputMode(InputMode::Automatic);
    appState().Settings.ScanLoops = 1;
    auto *menu = static_cast<FormMenu *>(host.showForm(QStringLiteral("FormMenu")));
    MenuScanning *scanning = menu->scanning();
    for (int i = 0; i <= menu->buttonCount(); ++i)
        scanning->tick();
    EXPECT_TRUE(scanning->stopped());
    EXPECT_FALSE(scanning->timer().isActive());
    EXPECT_EQ(scanning->highlighter().highlightedButtons(), QList<int>());

    // A sign that tells the pupil what to do, over no control.
    const QLabel *prompt = scanning->session().stoppedPrompt();
    ASSERT_TRUE(prompt);
    EXPECT_EQ(prompt->text(), QStringLiteral("Premi il sensore per ricominciare"));
    EXPECT_TRUE(prompt->isVisible());
    EXPECT_GE(prompt->font().pointSize(), 20) << "large";
    EXPECT_TRUE(QFontMetrics(prompt->font())
                    .boundingRect(prompt->rect(), Qt::AlignCenter | Qt::TextWordWrap, prompt->text())
                    .height()
        <= prompt->height());
    for (int i = 0; i < menu->buttonCount(); ++i)
        EXPECT_FALSE(prompt->geometry().intersects(menu->button(i)->geometry())) << i;

    press(Qt::Key_Space);
    EXPECT_EQ(current<FormMenu>(), menu) << "the restart selects nothing";
    EXPECT_TRUE(lit(menu->button(0)));
    EXPECT_TRUE(scanning->timer().isActive());
    EXPECT_FALSE(scanning->session().stoppedPrompt());
    // The countdown to the next step stands full on the button just lit.
    EXPECT_GT(scanning->highlighter().countdownShown(0), 0.9);
}

TEST_F(SwitchAccessTest, EachHighlightedCaptionIsSaidAndCutByTheNext)
{
    RecordedSpeech speech(60000);
    appState().Settings.setInputMode(InputMode::Manual);
    appState().Settings.SpokenHighlight = true;
    auto *menu = static_cast<FormMenu *>(host.showForm(QStringLiteral("FormMenu")));
    press(Qt::Key_Space);
    press(Qt::Key_Space);
    // In lower case: the engine spells a word in capitals out letter by letter.
    QStringList captions;
    for (int i = 0; i < 3; ++i)
        captions << menu->button(i)->text().simplified().toLower();
    EXPECT_EQ(speech.said(), captions);
    EXPECT_TRUE(speech.finished().isEmpty());

    appState().Settings.SpokenHighlight = false;
    host.showForm(QStringLiteral("FormMenu"));
    press(Qt::Key_Space);
    EXPECT_EQ(speech.said().size(), 3) << "silent when the profile says so";
}

} // namespace
