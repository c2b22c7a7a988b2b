#include "scanning/scancycles.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

// Writes down what a cycle asks of its window, one line per request.
class Recorder : public MenuScanActions, public ExerciseScanActions
{
public:
    void highlight(int index) override { log << QStringLiteral("light %1").arg(index); }
    void highlight(const QList<int> &buttons) override
    {
        QStringList numbers;
        for (int button : buttons)
            numbers << QString::number(button);
        log << QStringLiteral("light %1").arg(buttons.isEmpty() ? QStringLiteral("-1") : numbers.join(u' '));
    }
    void select(int index) override { log << QStringLiteral("select %1").arg(index); }
    void choose(int answer) override { log << QStringLiteral("choose %1").arg(answer); }
    void read() override { log << QStringLiteral("read"); }
    void nextItem() override { log << QStringLiteral("next"); }
    void leave() override { log << QStringLiteral("leave"); }
    void runTimer(Scan::Timer timer) override
    {
        static const char *const names[] = {"stop", "start", "start new"};
        log << QString::fromLatin1(names[int(timer)]);
    }

    void selectionMade() override
    {
        if (signs)
            log << QStringLiteral("selected");
    }
    void showStopped(bool stopped) override
    {
        if (signs)
            log << (stopped ? QStringLiteral("sign stopped") : QStringLiteral("sign gone"));
    }

    QStringList take() { return std::exchange(log, {}); }

    QStringList log;
    // Whether selections and the stopped sign are written down too.
    bool signs = false;
};

QStringList lines(std::initializer_list<const char *> texts)
{
    QStringList result;
    for (const char *text : texts)
        result << QString::fromLatin1(text);
    return result;
}

TEST(ScanInterval, QuarterSecondsWithTheDefaultForNonsense)
{
    EXPECT_EQ(Scan::intervalMs(4), 1000);
    EXPECT_EQ(Scan::intervalMs(6), 1500);
    EXPECT_EQ(Scan::intervalMs(1), 250);
    EXPECT_EQ(Scan::intervalMs(0), 1000);
    EXPECT_EQ(Scan::intervalMs(-3), 1000);
    EXPECT_EQ(Scan::intervalMs(200), 50000) << "no 16-bit overflow";

    EXPECT_EQ(Scan::firstStepMs(1000, 100), 1000);
    EXPECT_EQ(Scan::firstStepMs(1000, 250), 2500);
    EXPECT_EQ(Scan::firstStepMs(15000, 300), 45000);
    EXPECT_EQ(Scan::firstStepMs(1000, 0), 1000) << "never shorter than a step";
}

TEST(ScanRows, ButtonsLaidOutInColumnsAreGroupedInRowsFromTheLeft)
{
    // The largest topic menu: four columns of five places, filled by column.
    QList<QRect> places;
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < (column == 3 ? 2 : 5); ++row)
            places << QRect(
                120 + 2520 * column, 240 + 1200 * (row == 1 && column == 3 ? 4 : row), 2300, 1000);
    }
    // A button a little off the line still belongs to it.
    places[6].translate(0, 300);
    const QList<QList<int>> rows = Scan::rowsOf(places);
    const QList<QList<int>> expected = {{0, 5, 10, 15}, {1, 6, 11}, {2, 7, 12}, {3, 8, 13}, {4, 9, 14, 16}};
    EXPECT_EQ(rows, expected);
    EXPECT_TRUE(Scan::rowsOf({}).isEmpty());
}

TEST(MenuScan, ManualScanningHighlightsTheFirstButtonAtOnceAndWrapsAround)
{
    Recorder recorder;
    MenuScan scan(3, recorder);
    scan.activate(InputMode::Manual);
    EXPECT_EQ(recorder.take(), lines({"light 0"}));

    for (int i = 0; i < 3; ++i)
        scan.keyUp(Scan::kSwitch1);
    EXPECT_EQ(recorder.take(), lines({"light 1", "light 2", "light 0"}));

    // Presses, other keys and ticks move nothing.
    scan.keyDown(Scan::kSwitch1);
    scan.keyUp(Scan::kOtherInput);
    scan.tick();
    EXPECT_TRUE(recorder.take().isEmpty());

    scan.keyUp(Scan::kSwitch1);
    scan.keyUp(Scan::kSwitch2);
    EXPECT_EQ(recorder.take(), lines({"light 1", "select 1"}));
}

TEST(MenuScan, AutomaticScanningWaitsOneIntervalAndASpaceBeforeItSelectsNothing)
{
    Recorder recorder;
    MenuScan scan(9, recorder);
    scan.activate(InputMode::Automatic);
    EXPECT_EQ(recorder.take(), lines({"start new"}));

    scan.keyDown(Scan::kSwitch1);
    scan.keyUp(Scan::kSwitch1);
    scan.tick();
    EXPECT_EQ(recorder.take(), lines({"stop", "start", "light 0"}));
    scan.keyDown(Scan::kSwitch1);
    scan.keyUp(Scan::kSwitch1);
    EXPECT_EQ(recorder.take(), lines({"stop", "start", "select 0"}));
}

TEST(MenuScan, AutomaticScanningGoesOnThroughOtherKeysAndSelectsOnASpace)
{
    Recorder recorder;
    MenuScan scan(2, recorder);
    scan.activate(InputMode::Automatic);
    scan.tick();
    scan.tick();
    scan.tick();
    EXPECT_EQ(recorder.take(), lines({"start new", "light 0", "light 1", "light 0"}));

    // A key that is no switch of automatic scanning must not freeze the highlight.
    scan.keyDown(Scan::kOtherInput);
    scan.keyUp(Scan::kOtherInput);
    scan.keyDown(Scan::kSwitch2);
    scan.keyUp(Scan::kSwitch2);
    EXPECT_TRUE(recorder.take().isEmpty());
    EXPECT_FALSE(Scan::isSwitch(InputMode::Automatic, Scan::kSwitch2));
    EXPECT_TRUE(Scan::isSwitch(InputMode::Manual, Scan::kSwitch2));
    EXPECT_FALSE(Scan::isSwitch(InputMode::Mouse, Scan::kSwitch1));

    // The release restarts the interval before the selection acts, so a
    // selection that stays in the window keeps scanning.
    scan.keyDown(Scan::kSwitch1);
    scan.keyUp(Scan::kSwitch1);
    EXPECT_EQ(recorder.take(), lines({"stop", "start", "select 0"}));
}

TEST(MenuScan, MouseModeIgnoresKeysAndTicks)
{
    Recorder recorder;
    MenuScan scan(4, recorder);
    scan.activate(InputMode::Mouse);
    scan.keyDown(Scan::kSwitch1);
    scan.keyUp(Scan::kSwitch1);
    scan.keyUp(Scan::kSwitch2);
    scan.tick();
    EXPECT_TRUE(recorder.take().isEmpty());
    EXPECT_EQ(scan.scanIndex(), Scan::kNone);
}

TEST(MenuScan, ANewActivationStartsOver)
{
    Recorder recorder;
    MenuScan scan(3, recorder);
    scan.activate(InputMode::Manual);
    scan.keyUp(Scan::kSwitch1);
    scan.activate(InputMode::Manual);
    EXPECT_EQ(recorder.take(), lines({"light 0", "light 1", "light 0"}));
}

TEST(MenuScan, ByRowsASelectionEntersTheRowAndARoundWithoutOneGoesBackToTheRows)
{
    Recorder recorder;
    MenuScan scan(5, recorder);
    scan.setRows({{0, 3}, {1}, {2, 4}});
    scan.activate(InputMode::Automatic);
    for (int i = 0; i < 3; ++i)
        scan.tick();
    EXPECT_EQ(recorder.take(), lines({"start new", "light 0 3", "light 1", "light 2 4"}));

    scan.keyDown(Scan::kSwitch1);
    scan.keyUp(Scan::kSwitch1);
    scan.tick();
    EXPECT_EQ(recorder.take(), lines({"stop", "start", "light 2", "light 4"}));
    // Back on the row just left, so the pupil can enter it again at once.
    scan.tick();
    scan.tick();
    EXPECT_EQ(recorder.take(), lines({"light 2 4", "light 0 3"}));

    // A row of one button is selected without entering it.
    scan.tick();
    scan.keyDown(Scan::kSwitch1);
    scan.keyUp(Scan::kSwitch1);
    EXPECT_EQ(recorder.take(), lines({"light 1", "stop", "start", "select 1"}));

    scan.activate(InputMode::Manual);
    scan.keyUp(Scan::kSwitch2);
    scan.keyUp(Scan::kSwitch1);
    scan.keyUp(Scan::kSwitch2);
    EXPECT_EQ(recorder.take(), lines({"light 0 3", "light 0", "light 3", "select 3"}));
}

TEST(MenuScan, AfterItsLoopsAutomaticScanningStopsOnNoButtonUntilASpaceStartsItAgain)
{
    Recorder recorder;
    MenuScan scan(2, recorder);
    scan.setLoops(2);
    scan.activate(InputMode::Automatic);
    for (int i = 0; i < 6; ++i)
        scan.tick();
    EXPECT_EQ(recorder.take(),
        lines({"start new", "light 0", "light 1", "light 0", "light 1", "light -1", "stop"}));
    EXPECT_TRUE(scan.stopped());

    // The press of the restart selects nothing.
    scan.keyDown(Scan::kSwitch1);
    scan.keyUp(Scan::kSwitch1);
    EXPECT_EQ(recorder.take(), lines({"stop", "light 0", "start"}));
    EXPECT_FALSE(scan.stopped());

    // A selection starts the count of rounds again.
    scan.tick();
    scan.keyDown(Scan::kSwitch1);
    scan.keyUp(Scan::kSwitch1);
    for (int i = 0; i < 4; ++i)
        scan.tick();
    EXPECT_EQ(recorder.take(),
        lines({"light 1", "stop", "start", "select 1", "light 0", "light 1", "light 0", "light 1"}));
    EXPECT_FALSE(scan.stopped());
}

class ExerciseScanTest : public ::testing::Test
{
protected:
    // A window with `answers` answer buttons, its first item shown.
    ExerciseScan &start(int answers, InputMode mode, bool speechOn, bool wayOut = false, int loops = 0)
    {
        scan = std::make_unique<ExerciseScan>(answers, recorder);
        scan->setLoops(loops);
        scan->activate(mode, speechOn, wayOut);
        scan->itemShown();
        recorder.take();
        return *scan;
    }

    QStringList spaces(int count)
    {
        for (int i = 0; i < count; ++i)
            scan->keyUp(Scan::kSwitch1);
        return recorder.take();
    }

    Recorder recorder;
    std::unique_ptr<ExerciseScan> scan;
};

TEST_F(ExerciseScanTest, TheRingIsTheAnswersThenReadAloudOnlyWithSpeech)
{
    start(2, InputMode::Manual, true);
    EXPECT_EQ(spaces(3), lines({"light 1", "light 2", "light 0"}));

    start(2, InputMode::Manual, false);
    EXPECT_EQ(spaces(3), lines({"light 1", "light 0", "light 1"}));

    start(5, InputMode::Manual, true);
    EXPECT_EQ(spaces(6), lines({"light 1", "light 2", "light 3", "light 4", "light 5", "light 0"}));

    start(3, InputMode::Automatic, false);
    for (int i = 0; i < 4; ++i)
        scan->tick();
    EXPECT_EQ(recorder.take(), lines({"light 1", "light 2", "light 0", "light 1"}));
}

TEST_F(ExerciseScanTest, TheWayOutComesLastInTheRingAndLeaves)
{
    start(2, InputMode::Manual, true, true);
    EXPECT_EQ(spaces(4), lines({"light 1", "light 2", "light -3", "light 0"}));
    spaces(3);
    scan->keyUp(Scan::kSwitch2);
    EXPECT_EQ(recorder.take(), lines({"leave"}));

    start(2, InputMode::Automatic, false, true);
    scan->tick();
    scan->tick();
    scan->keyDown(Scan::kSwitch1);
    scan->keyUp(Scan::kSwitch1);
    EXPECT_EQ(recorder.take(), lines({"light 1", "light -3", "stop", "start", "leave"}));
}

TEST_F(ExerciseScanTest, AfterItsLoopsTheScanStopsAndASpaceStartsFromTheFirstAnswer)
{
    start(2, InputMode::Automatic, true, false, 1);
    for (int i = 0; i < 4; ++i)
        scan->tick();
    EXPECT_EQ(recorder.take(), lines({"light 1", "light 2", "light -1", "stop"}));

    scan->keyDown(Scan::kSwitch1);
    scan->keyUp(Scan::kSwitch1);
    EXPECT_EQ(recorder.take(), lines({"stop", "light 0", "start"}));

    // A new item counts its rounds afresh.
    scan->tick();
    scan->itemShown();
    scan->tick();
    scan->tick();
    EXPECT_EQ(recorder.take(), lines({"light 1", "light 0", "light 1", "light 2"}));
}

TEST_F(ExerciseScanTest, EveryItemStartsOnTheFirstAnswer)
{
    Recorder fresh;
    ExerciseScan scan(3, fresh);
    scan.activate(InputMode::Automatic, true);
    EXPECT_EQ(fresh.take(), lines({"start new"}));
    scan.itemShown();
    EXPECT_EQ(fresh.take(), lines({"light 0"}));

    scan.activate(InputMode::Mouse, true);
    scan.itemShown();
    EXPECT_TRUE(fresh.take().isEmpty()) << "nothing is highlighted for the mouse";
}

TEST_F(ExerciseScanTest, EnterChoosesAnAnswerOrReadsAloud)
{
    start(2, InputMode::Manual, true);
    scan->keyUp(Scan::kSwitch2);
    EXPECT_EQ(recorder.take(), lines({"choose 0"}));
    spaces(2);
    scan->keyUp(Scan::kSwitch2);
    EXPECT_EQ(recorder.take(), lines({"read"}));
}

TEST_F(ExerciseScanTest, ManualRightAnswerWaitsOnNextWhereOnlyEnterGoesOn)
{
    start(2, InputMode::Manual, true);
    scan->keyUp(Scan::kSwitch1);
    scan->keyUp(Scan::kSwitch2);
    scan->answered(true);
    EXPECT_EQ(recorder.take(), lines({"light 1", "choose 1", "light -2"}));

    EXPECT_TRUE(spaces(2).isEmpty());
    scan->keyUp(Scan::kSwitch2);
    EXPECT_EQ(recorder.take(), lines({"next"}));
}

TEST_F(ExerciseScanTest, AutomaticRightAnswerRestsOnNextUntilASpaceRestartsFromTheFirstAnswer)
{
    start(2, InputMode::Automatic, false);
    scan->tick();
    scan->keyDown(Scan::kSwitch1);
    scan->keyUp(Scan::kSwitch1);
    scan->answered(true);
    EXPECT_EQ(recorder.take(), lines({"light 1", "stop", "start", "choose 1", "light -2", "stop"}));

    scan->tick();
    EXPECT_TRUE(recorder.take().isEmpty()) << "the highlight stays on avanti";

    scan->keyDown(Scan::kSwitch1);
    scan->keyUp(Scan::kSwitch1);
    // The window shows its next item, which lights the first answer.
    EXPECT_EQ(recorder.take(), lines({"stop", "next", "start"}));
}

TEST_F(ExerciseScanTest, AutomaticWrongAnswerGoesOnFromTheChosenButton)
{
    start(2, InputMode::Automatic, true);
    scan->keyDown(Scan::kSwitch1);
    scan->keyUp(Scan::kSwitch1);
    scan->answered(false);
    scan->tick();
    EXPECT_EQ(recorder.take(), lines({"stop", "start", "choose 0", "light 1"}));
}

TEST_F(ExerciseScanTest, AnotherKeyNeitherStopsNorSelectsInAutomaticScanning)
{
    start(3, InputMode::Automatic, true);
    scan->keyDown(Scan::kSwitch2);
    scan->keyUp(Scan::kSwitch2);
    scan->tick();
    EXPECT_EQ(recorder.take(), lines({"light 1"}));
}

TEST(ScanSigns, TheCyclesTellOfEverySelectionAndOfTheStoppedScan)
{
    Recorder recorder;
    recorder.signs = true;
    MenuScan menu(2, recorder);
    menu.setLoops(1);
    menu.activate(InputMode::Automatic);
    for (int i = 0; i < 3; ++i)
        menu.tick();
    EXPECT_EQ(
        recorder.take(), lines({"start new", "light 0", "light 1", "light -1", "stop", "sign stopped"}));
    // The restart is a selection too: a second hit must not choose the first button.
    menu.keyDown(Scan::kSwitch1);
    menu.keyUp(Scan::kSwitch1);
    EXPECT_EQ(recorder.take(), lines({"stop", "sign gone", "selected", "light 0", "start"}));
    menu.keyDown(Scan::kSwitch1);
    menu.keyUp(Scan::kSwitch1);
    EXPECT_EQ(recorder.take(), lines({"stop", "start", "selected", "select 0"}));

    ExerciseScan exercise(2, recorder);
    exercise.setLoops(1);
    exercise.activate(InputMode::Automatic, false);
    exercise.itemShown();
    exercise.tick();
    exercise.tick();
    EXPECT_EQ(recorder.take(),
        lines({"start new", "selected", "light 0", "light 1", "light -1", "stop", "sign stopped"}));
    exercise.itemShown();
    EXPECT_EQ(recorder.take(), lines({"sign gone", "selected", "light 0"}));
    exercise.keyDown(Scan::kSwitch1);
    exercise.keyUp(Scan::kSwitch1);
    exercise.answered(true);
    exercise.keyDown(Scan::kSwitch1);
    exercise.keyUp(Scan::kSwitch1);
    EXPECT_EQ(recorder.take(),
        lines({"stop", "start", "selected", "choose 0", "light -2", "stop", "stop", "selected", "next",
            "start"}));
}

} // namespace
