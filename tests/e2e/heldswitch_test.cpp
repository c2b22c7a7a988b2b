#include "testenv.h"
#include "xsession.h"

#include <QColor>

#include <gtest/gtest.h>

#include <iostream>

// The real program under a virtual X server with its key auto-repeat on,
// worked with xdotool the way a switch interface sends keys: a switch held
// for two seconds must act once, a key pressed for one window must not act
// in the next, and the profile's acceptance and release times and scanned
// way out work as a pupil meets them.
namespace {

constexpr int kHold = 2000;
const QColor kBackground(255, 255, 0);
const QColor kButton(255, 255, 255);
const QColor kHighlight(0, 0, 255);

ProfileSettings switchProfile(InputMode inputMode)
{
    ProfileSettings settings;
    settings.setInputMode(inputMode);
    settings.ScanInterval = 4;
    settings.SpeechOn = false;
    settings.SoundsOn = false;
    settings.RandomBackground = false;
    settings.BackgroundColour = 0x00FFFF;
    settings.ButtonColour = 0xFFFFFF;
    settings.SelectedButtonColour = 0xFF0000;
    // These tests press faster than a pupil can; the guard has a test of its own.
    settings.SelectionGuard = 0;
    return settings;
}

// The share of the pixels of `place` that are exactly `colour`.
double share(const QImage &image, const QRect &place, const QColor &colour)
{
    int found = 0;
    for (int y = place.top(); y <= place.bottom(); ++y) {
        for (int x = place.left(); x <= place.right(); ++x)
            found += image.pixelColor(x, y) == colour;
    }
    return place.isEmpty() ? 0 : double(found) / (place.width() * place.height());
}

class HeldSwitch : public ::testing::Test
{
protected:
    void startIn(InputMode inputMode) { start(switchProfile(inputMode)); }
    void start(const ProfileSettings &settings)
    {
        ASSERT_TRUE(x.start(settings)) << x.error().toStdString();
        // Out of the way of every button.
        x.xdotool({QStringLiteral("mousemove"), QStringLiteral("1023"), QStringLiteral("767")});
    }

    // Enter on the start window; the log line after the main menu's.
    int enterMainMenu()
    {
        const int from = x.lineCount();
        x.tap(QStringLiteral("Return"));
        return expectShown(QStringLiteral("FormMenu"), from);
    }

    // Starts with the settings and waits for the main menu's first highlight.
    int startOnMainMenu(const ProfileSettings &settings)
    {
        start(settings);
        const int from = enterMainMenu();
        EXPECT_GE(x.waitForLine(QStringLiteral("highlight Command1_0"), from), 0);
        return x.lineCount();
    }

    // Waits for the form, from log line `from` on; the line after it.
    int expectShown(const QString &form, int from)
    {
        const int line = x.waitForLine(QStringLiteral("shown ") + form, from);
        EXPECT_GE(line, 0) << "no " << form.toStdString();
        return line + 1;
    }

    void TearDown() override
    {
        if (HasFailure())
            std::cerr << "The program's log:\n" << x.log().toStdString() << '\n';
    }

    QStringList selections(int from) { return x.linesWith(QStringLiteral("select "), from); }

    // Waits for a line with the text, lets the program run on for a while,
    // then counts them all: whatever lags behind is counted too.
    int countSettled(const QString &text, int from)
    {
        x.waitForLine(text, from);
        x.settle(700);
        return int(x.linesWith(text, from).size());
    }

    // Waits until the program has seen the release of a key whose press went
    // to another window.
    void expectIgnoredRelease(int from)
    {
        EXPECT_GE(x.waitForLine(QStringLiteral("without its press: ignored"), from), 0);
        x.settle(300);
    }

    XSession x;
};

TEST_F(HeldSwitch, ManualScanningCountsAHeldSwitchOnceOnMenusAndInAnExercise)
{
    startIn(InputMode::Manual);
    int from = x.lineCount();
    x.hold(QStringLiteral("Return"), kHold);
    from = expectShown(QStringLiteral("FormMenu"), from);
    ASSERT_GE(x.waitForLine(QStringLiteral("highlight Command1_0"), from), 0);
    x.settle(500);
    EXPECT_TRUE(selections(from).isEmpty()) << "the Enter that opened the menu chooses nothing";
    EXPECT_EQ(x.linesWith(QStringLiteral("highlight"), from).size(), 1);

    from = x.lineCount();
    x.hold(QStringLiteral("space"), kHold);
    EXPECT_EQ(countSettled(QStringLiteral("highlight"), from), 1);
    EXPECT_EQ(x.linesWith(QStringLiteral("highlight Command1_1"), from).size(), 1);

    from = x.lineCount();
    x.hold(QStringLiteral("Return"), kHold);
    from = expectShown(QStringLiteral("FormMenuCG"), from);
    x.settle(500);
    EXPECT_EQ(selections(from - 1).size(), 0) << "one selection, then nothing";

    x.hold(QStringLiteral("Return"), kHold);
    from = expectShown(QStringLiteral("FormEsercizi"), from);
    x.settle(500);
    EXPECT_TRUE(selections(from).isEmpty());

    from = x.lineCount();
    x.hold(QStringLiteral("space"), kHold);
    EXPECT_EQ(countSettled(QStringLiteral("highlight"), from), 1);
    EXPECT_EQ(x.linesWith(QStringLiteral("highlight Btlo"), from).size(), 1);

    from = x.lineCount();
    x.hold(QStringLiteral("Return"), kHold);
    EXPECT_EQ(countSettled(QStringLiteral("exercises: answer"), from), 1);
}

TEST_F(HeldSwitch, AutomaticScanningStandsStillWhileTheSwitchIsHeldAndSelectsOnce)
{
    startIn(InputMode::Automatic);
    int from = enterMainMenu();
    // Before the first step nothing is highlighted, so nothing is chosen.
    x.tap(QStringLiteral("space"));
    const int first = x.waitForLine(QStringLiteral("highlight Command1_0"), from);
    ASSERT_GE(first, 0) << "the steps start as usual";
    const int released = x.waitForLine(QStringLiteral("key up 32"), from);
    ASSERT_GE(released, 0);
    ASSERT_LT(released, first) << "the space came after the first step";
    EXPECT_TRUE(selections(from).isEmpty());

    from = x.lineCount();
    x.xdotool({QStringLiteral("keydown"), QStringLiteral("space")});
    x.settle(200);
    const int held = x.lineCount();
    x.settle(kHold);
    EXPECT_TRUE(x.linesWith(QStringLiteral("highlight"), held).isEmpty()) << "no step while held";
    x.xdotool({QStringLiteral("keyup"), QStringLiteral("space")});
    x.waitForLine(QStringLiteral("select "), from);
    x.settle(1500);
    EXPECT_EQ(selections(from).size(), 1) << selections(from).join(u'\n').toStdString();
    EXPECT_EQ(x.linesWith(QStringLiteral("shown FormMenu"), from).size(), 1) << "one topic menu";
    EXPECT_TRUE(x.programRunning());

    // The first buttons of every topic menu open a two-choice exercise.
    from = x.lineCount();
    x.tap(QStringLiteral("space"));
    from = expectShown(QStringLiteral("FormEsercizi"), from);
    ASSERT_GE(x.waitForLine(QStringLiteral("highlight BtIl"), from - 1), 0);

    from = x.lineCount();
    x.hold(QStringLiteral("space"), kHold);
    EXPECT_EQ(countSettled(QStringLiteral("exercises: answer"), from), 1);
}

TEST_F(HeldSwitch, TheEnterThatAnswersAMessageBoxDoesNothingInTheWindowBelow)
{
    startIn(InputMode::Manual);
    int from = enterMainMenu();
    x.tap(QStringLiteral("space"));
    x.tap(QStringLiteral("Return"));
    from = expectShown(QStringLiteral("FormMenuCG"), from);
    x.tap(QStringLiteral("Return"));
    const int shown = x.waitForLine(QStringLiteral("shown FormEsercizi"), from);
    ASSERT_GE(shown, 0);
    // The menu's places are logged once the window is in place.
    ASSERT_GE(x.waitForLine(QStringLiteral("menu mnuEsci"), shown), 0);
    const QRect print = XSession::placeIn(x.linesWith(QStringLiteral("menu mnuStampa"), shown).value(0));
    const QRect exit = XSession::placeIn(x.linesWith(QStringLiteral("menu mnuEsci"), shown).value(0));
    ASSERT_FALSE(print.isEmpty());
    ASSERT_FALSE(exit.isEmpty());

    from = x.lineCount();
    x.clickAt(exit.center());
    ASSERT_GE(x.waitForLine(QStringLiteral("question "), from), 0);
    x.settle(500);
    x.tap(QStringLiteral("Return"));
    from = expectShown(QStringLiteral("FormMenuCG"), from);
    expectIgnoredRelease(from);
    EXPECT_TRUE(selections(from).isEmpty()) << "Yes took the pupil back to the menu and no further";
    EXPECT_EQ(x.linesWith(QStringLiteral("highlight"), from).size(), 1);

    // The worksheet covers the exercise: what is typed on it is no switch press there.
    x.tap(QStringLiteral("Return"));
    from = expectShown(QStringLiteral("FormEsercizi"), from);
    ASSERT_GE(x.waitForLine(QStringLiteral("menu mnuEsci"), from), 0);
    x.clickAt(print.center());
    from = expectShown(QStringLiteral("formStampa on top"), from);
    x.settle(300);
    x.tap(QStringLiteral("space"));
    x.tap(QStringLiteral("Return"));
    x.settle(500);
    EXPECT_TRUE(x.linesWith(QStringLiteral("key "), from).isEmpty()) << "the covered exercise took a key";
}

TEST_F(HeldSwitch, EverySyllableButtonShowsWholeInItsExactColour)
{
    startIn(InputMode::Manual);
    int from = enterMainMenu();
    x.tap(QStringLiteral("space"));
    x.tap(QStringLiteral("space"));
    x.tap(QStringLiteral("Return"));
    from = expectShown(QStringLiteral("FormMenuGruppi"), from);
    x.tap(QStringLiteral("Return"));
    from = expectShown(QStringLiteral("FormEsercizi5"), from);

    QList<QRect> places;
    for (int i = 0; i < 5; ++i) {
        if (i > 0)
            x.tap(QStringLiteral("space"));
        const QString name = QStringLiteral("highlight Bottone_%1").arg(i);
        const int line = x.waitForLine(name, from - 1);
        ASSERT_GE(line, 0) << name.toStdString();
        places << XSession::placeIn(x.linesWith(name, line).value(0));
        x.settle(300);
        const QImage shot = x.screenshot();
        ASSERT_FALSE(shot.isNull());
        for (int b = 0; b <= i; ++b) {
            const QRect place = places[b];
            EXPECT_EQ(share(shot, place, kBackground), 0) << "Bottone_" << b << " is covered";
            EXPECT_GT(share(shot, place, b == i ? kHighlight : kButton), 0.35)
                << "Bottone_" << b << (b == i ? " highlighted" : " plain");
        }
    }
}

TEST_F(HeldSwitch, ABriefPressSelectsNothingAndAHeldOneSelectsOnceWithItsTimeShown)
{
    ProfileSettings settings = switchProfile(InputMode::Automatic);
    settings.AcceptanceTime = 1000;
    int from = startOnMainMenu(settings);
    x.tap(QStringLiteral("space"));
    EXPECT_GE(x.waitForLine(QStringLiteral("before the acceptance time: ignored"), from), 0);
    EXPECT_GE(x.waitForLine(QStringLiteral("highlight Command1_2"), from), 0) << "the steps go on";
    EXPECT_TRUE(selections(from).isEmpty());

    from = x.lineCount();
    x.xdotool({QStringLiteral("keydown"), QStringLiteral("space")});
    ASSERT_GE(x.waitForLine(QStringLiteral("timing the press"), from), 0);
    x.settle(300);
    const QImage shot = x.screenshot();
    const QStringList lit = x.linesWith(QStringLiteral("highlight "));
    const QRect button = XSession::placeIn(lit.value(lit.size() - 1));
    x.settle(900);
    x.xdotool({QStringLiteral("keyup"), QStringLiteral("space")});
    x.waitForLine(QStringLiteral("select "), from);
    // Less than the first step of the menu it opens.
    x.settle(500);
    EXPECT_EQ(selections(from).size(), 1) << selections(from).join(u'\n').toStdString();
    EXPECT_EQ(x.linesWith(QStringLiteral("highlight"), from).size(), 0) << "the highlight waited";

    // A bar along the bottom of the highlighted button fills with white as
    // the press is timed: its start is white, its end still black.
    ASSERT_FALSE(button.isEmpty());
    const int thickness = qMax(4, qMin(button.width(), button.height()) / 10);
    const int y = button.top() + button.height() - 2 * thickness;
    const int left = button.left() + thickness + 2;
    const int width = button.width() - 2 * thickness - 4;
    EXPECT_EQ(shot.pixelColor(left + width / 10, y), QColor(Qt::white));
    EXPECT_EQ(shot.pixelColor(left + width * 19 / 20, y), QColor(Qt::black));
}

TEST_F(HeldSwitch, APressSoonAfterAReleaseIsABounceAndIgnoredAlsoInTheWindowItOpened)
{
    ProfileSettings settings = switchProfile(InputMode::Manual);
    settings.ReleaseTime = 1000;
    int from = startOnMainMenu(settings);
    x.tap(QStringLiteral("space"));
    x.tap(QStringLiteral("space"));
    EXPECT_GE(x.waitForLine(QStringLiteral("within the release time: ignored"), from), 0);
    x.settle(1200);
    x.tap(QStringLiteral("space"));
    ASSERT_GE(x.waitForLine(QStringLiteral("highlight Command1_2"), from), 0);
    x.settle(300);
    EXPECT_EQ(x.linesWith(QStringLiteral("highlight"), from).size(), 2)
        << x.linesWith(QStringLiteral("highlight"), from).join(u'\n').toStdString();

    x.settle(1000);
    from = x.lineCount();
    x.tap(QStringLiteral("Return"));
    x.tap(QStringLiteral("Return"));
    from = expectShown(QStringLiteral("FormMenu"), from);
    x.settle(800);
    EXPECT_TRUE(selections(from).isEmpty()) << "the bounce chose nothing in the menu it opened";
    EXPECT_EQ(x.linesWith(QStringLiteral("highlight"), from).size(), 1);
}

TEST_F(HeldSwitch, TheFirstStepWaitsLongerAndTheScanStopsAfterItsRounds)
{
    ProfileSettings settings = switchProfile(InputMode::Automatic);
    settings.FirstStepDelay = 300;
    settings.ScanLoops = 1;
    start(settings);
    int from = enterMainMenu();
    x.settle(2000);
    EXPECT_TRUE(x.linesWith(QStringLiteral("highlight"), from).isEmpty()) << "the first step waits 3 s";
    ASSERT_GE(x.waitForLine(QStringLiteral("highlight Command1_0"), from), 0);
    x.tap(QStringLiteral("space"));
    from = expectShown(QStringLiteral("FormMenu"), from);
    ASSERT_GE(x.waitForLine(QStringLiteral("highlight Command1_0"), from, 20000), 0);
    x.tap(QStringLiteral("space"));
    from = expectShown(QStringLiteral("FormEsercizi"), from);

    // Two answers: one round is two steps, then the highlight goes.
    ASSERT_GE(x.waitForLine(QStringLiteral("highlight none"), from, 20000), 0);
    const int stopped = x.lineCount();
    x.settle(2500);
    EXPECT_TRUE(x.linesWith(QStringLiteral("highlight"), stopped).isEmpty()) << "the scan stays stopped";
    x.tap(QStringLiteral("space"));
    EXPECT_GE(x.waitForLine(QStringLiteral("highlight BtIl"), stopped), 0);
    x.settle(300);
    EXPECT_TRUE(x.linesWith(QStringLiteral("exercises: answer"), from).isEmpty())
        << "the restart answers nothing";
}

TEST_F(HeldSwitch, TwoSwitchesScanTheMenuByRowsWithEachHighlightSaid)
{
    ProfileSettings settings = switchProfile(InputMode::Manual);
    settings.RowColumnScanning = true;
    settings.SpokenHighlight = true;
    start(settings);
    int from = enterMainMenu();
    ASSERT_GE(x.waitForLine(QStringLiteral("say \""), from), 0) << "the first row is said";
    x.settle(300);
    const int rowLit = int(x.linesWith(QStringLiteral("highlight Command1_"), from).size());
    EXPECT_GT(rowLit, 1) << "a whole row is lit";

    from = x.lineCount();
    x.tap(QStringLiteral("Return"));
    ASSERT_GE(x.waitForLine(QStringLiteral("say \""), from), 0);
    x.settle(300);
    EXPECT_EQ(x.linesWith(QStringLiteral("highlight Command1_"), from).size(), 1) << "the row entered";
    EXPECT_TRUE(selections(from).isEmpty());
    x.tap(QStringLiteral("space"));
    x.tap(QStringLiteral("Return"));
    from = expectShown(QStringLiteral("FormMenu"), from);
    EXPECT_EQ(selections(0).size(), 1);
}

TEST_F(HeldSwitch, TheScannedMenuButtonLeavesAnExerciseWithoutAQuestion)
{
    ProfileSettings settings = switchProfile(InputMode::Manual);
    settings.WayOutButton = true;
    int from = startOnMainMenu(settings);
    x.tap(QStringLiteral("Return"));
    const int topic = x.waitForLine(QStringLiteral("shown FormMenu"), from);
    ASSERT_GE(topic, 0);
    const QString topicLine = x.linesWith(QStringLiteral("shown FormMenu"), from).value(0);
    x.tap(QStringLiteral("Return"));
    from = x.waitForLine(QStringLiteral("shown FormEsercizi"), topic);
    ASSERT_GE(from, 0);

    x.tap(QStringLiteral("space"));
    x.tap(QStringLiteral("space"));
    ASSERT_GE(x.waitForLine(QStringLiteral("highlight CommandMenu"), from), 0);
    x.tap(QStringLiteral("Return"));
    EXPECT_GE(x.waitForLine(topicLine.mid(topicLine.indexOf(QStringLiteral("shown "))), from), 0);
    EXPECT_TRUE(x.linesWith(QStringLiteral("question "), from).isEmpty());
}

TEST_F(HeldSwitch, EsciAsksFirstNoGoesBackToTheScanningMenuAndYesEndsTheProgram)
{
    ProfileSettings settings = switchProfile(InputMode::Automatic);
    // Steps long enough to wait after a window opens and still press on the button lit.
    settings.ScanInterval = 6;
    start(settings);
    int from = enterMainMenu();
    const auto chooseWhenLit = [this](const char *button, int from) {
        const QString lit = QStringLiteral("highlight ") + QLatin1String(button);
        ASSERT_GE(x.waitForLine(lit, from, 30000), 0) << button;
        x.settle(700);
        x.tap(QStringLiteral("space"));
    };

    chooseWhenLit("Command1_8", from);
    from = expectShown(QStringLiteral("Question"), from);
    const int placed = x.waitForLine(QStringLiteral("control QuestionNo "), from);
    ASSERT_GE(placed, 0);
    const QRect no = XSession::placeIn(x.linesWith(QStringLiteral("control QuestionNo "), placed).value(0));
    EXPECT_GE(no.width(), 1024 / 3) << "a large button";
    EXPECT_GE(no.height(), 768 / 8);
    chooseWhenLit("QuestionNo", from);
    from = expectShown(QStringLiteral("FormMenu again"), from);
    ASSERT_GE(x.waitForLine(QStringLiteral("highlight Command1_0"), from), 0) << "the menu scans again";
    EXPECT_TRUE(x.programRunning());
    EXPECT_TRUE(selections(from).isEmpty()) << "the answer's press chose nothing on the menu";

    chooseWhenLit("Command1_8", from);
    from = expectShown(QStringLiteral("Question"), from);
    chooseWhenLit("QuestionYes", from);
    for (int waited = 0; waited < 50 && x.programRunning(); ++waited)
        x.settle(100);
    EXPECT_FALSE(x.programRunning());
}

} // namespace
