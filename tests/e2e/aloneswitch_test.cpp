#include "xsession.h"

#include <gtest/gtest.h>

#include <iostream>

// A child alone with one switch, under a real X server: a hand that hits
// twice answers nothing it has not seen, and a key that is no switch does
// not stop the scan.
namespace {

// Two seconds a step, so that each press below lands well inside a step.
ProfileSettings automaticScanning()
{
    ProfileSettings settings;
    settings.setInputMode(InputMode::Automatic);
    settings.ScanInterval = 8;
    settings.SpeechOn = false;
    settings.SoundsOn = false;
    settings.SelectionGuard = 500;
    return settings;
}

class AloneWithASwitch : public ::testing::Test
{
protected:
    void start(const ProfileSettings &settings)
    {
        ASSERT_TRUE(x.start(settings)) << x.error().toStdString();
        x.xdotool({QStringLiteral("mousemove"), QStringLiteral("1023"), QStringLiteral("767")});
        ASSERT_GE(x.enterMainMenu(), 0);
    }

    // Waits for the highlight, then lets the pupil look at it past the guard.
    int seeLit(const QString &button, int from)
    {
        const int line = x.seeLit(button, from);
        EXPECT_GE(line, 0) << "no highlight on " << button.toStdString();
        return line;
    }

    // Tap, a quarter of a second, tap: what a hand that hits twice sends.
    int doubleHit()
    {
        const int from = x.lineCount();
        x.hold(QStringLiteral("space"), 100);
        x.settle(250);
        x.hold(QStringLiteral("space"), 100);
        return from;
    }

    int ignoredByGuard(int from)
    {
        return int(x.linesWith(QStringLiteral("within the selection guard: ignored"), from).size());
    }

    void TearDown() override
    {
        if (HasFailure())
            std::cerr << "The program's log:\n" << x.log().toStdString() << '\n';
    }

    XSession x;
};

TEST_F(AloneWithASwitch, TheSecondTapOfADoubleHitAnswersNothingInANewExerciseRowOrItem)
{
    start(automaticScanning());
    seeLit(QStringLiteral("Command1_0"), 0);
    int from = doubleHit();
    ASSERT_GE(x.waitForLine(QStringLiteral("shown FormMenuSuoniSimili"), from), 0);

    // Into the exercise: its first answer is lit at once, and must not be taken.
    seeLit(QStringLiteral("Command1_0"), from);
    from = doubleHit();
    ASSERT_GE(x.waitForLine(QStringLiteral("shown FormEsercizi"), from), 0);
    x.settle(1000);
    EXPECT_TRUE(x.linesWith(QStringLiteral("exercises: answer"), from).isEmpty());
    EXPECT_EQ(ignoredByGuard(from), 1);

    // A right answer, then "avanti" hit twice: the new item is not answered.
    // Whatever is lit is chosen; after a wrong answer the other one comes next.
    bool right = false;
    for (int attempt = 0; attempt < 3 && !right; ++attempt) {
        from = x.lineCount();
        seeLit(QStringLiteral("Bt"), from);
        x.tap(QStringLiteral("space"));
        ASSERT_GE(x.waitForLine(QStringLiteral("exercises: answer"), from), 0);
        right = !x.linesWith(QStringLiteral(": right"), from).isEmpty();
    }
    ASSERT_TRUE(right) << "no right answer";
    seeLit(QStringLiteral("Command1 at"), from);
    from = doubleHit();
    ASSERT_GE(x.waitForLine(QStringLiteral("select avanti"), from), 0);
    x.settle(1000);
    EXPECT_TRUE(x.linesWith(QStringLiteral("exercises: answer"), from).isEmpty());
    EXPECT_EQ(ignoredByGuard(from), 1);
}

TEST_F(AloneWithASwitch, TheSecondTapOfADoubleHitDoesNotChooseInTheRowItEntered)
{
    ProfileSettings settings = automaticScanning();
    settings.RowColumnScanning = true;
    start(settings);
    // The first row is lit: "Suoni simili" beside "Doppie".
    seeLit(QStringLiteral("Command1_4"), 0);
    const int from = doubleHit();
    x.settle(1000);
    EXPECT_TRUE(x.linesWith(QStringLiteral("select "), from).isEmpty())
        << "the row is entered, nothing chosen";
    EXPECT_TRUE(x.linesWith(QStringLiteral("shown FormMenu"), from).isEmpty());
    EXPECT_EQ(ignoredByGuard(from), 1);
    EXPECT_TRUE(x.programRunning());
}

TEST_F(AloneWithASwitch, EnterAndOtherKeysNeitherFreezeNorSelectDuringAutomaticScanning)
{
    start(automaticScanning());
    const int lit = seeLit(QStringLiteral("Command1_0"), 0);
    const int from = x.lineCount();
    x.hold(QStringLiteral("Return"), 300);
    x.tap(QStringLiteral("a"));
    // The steps go on on time: the next button two seconds after the first.
    EXPECT_GE(x.waitForLine(QStringLiteral("highlight Command1_1"), lit, 2500), 0);
    EXPECT_GE(x.waitForLine(QStringLiteral("highlight Command1_2"), lit, 2500), 0);
    EXPECT_TRUE(x.linesWith(QStringLiteral("select "), from).isEmpty());
    EXPECT_EQ(x.linesWith(QStringLiteral("is not a switch: ignored"), from).size(), 4)
        << "two presses, two releases";
}

} // namespace
