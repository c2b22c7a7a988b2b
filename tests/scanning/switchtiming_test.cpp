#include "scanning/switchtiming.h"

#include "scanning/scancycles.h"
#include "scanning/scantimer.h"
#include "scanning/selectionguard.h"

#include <gtest/gtest.h>

namespace {

using Press = SwitchTiming::Press;
using Release = SwitchTiming::Release;

TEST(SwitchTiming, WithoutTimesEveryPressCountsAtOnce)
{
    SwitchTiming timing;
    for (qint64 t : {0, 10, 20}) {
        EXPECT_EQ(timing.press(Scan::kSwitch1, t), Press::Counted);
        EXPECT_EQ(timing.release(Scan::kSwitch1, t + 1), Release::Counted);
    }
    EXPECT_EQ(timing.progress(30), -1);
    EXPECT_EQ(timing.release(Scan::kSwitch2, 40), Release::Dropped) << "a release without its press";
}

TEST(SwitchTiming, APressCountsOnlyOnceHeldForTheAcceptanceTime)
{
    SwitchTiming timing;
    timing.setTimes(500, 0);
    EXPECT_EQ(timing.press(Scan::kSwitch1, 1000), Press::Timed);
    EXPECT_EQ(timing.acceptedAt(Scan::kSwitch1), 1500);
    EXPECT_DOUBLE_EQ(timing.progress(1250), 0.5);
    EXPECT_FALSE(timing.accept(Scan::kSwitch1, 1499));
    EXPECT_EQ(timing.release(Scan::kSwitch1, 1499), Release::TooShort);
    EXPECT_EQ(timing.progress(1500), -1);

    timing.press(Scan::kSwitch1, 2000);
    EXPECT_TRUE(timing.accept(Scan::kSwitch1, 2500));
    EXPECT_FALSE(timing.accept(Scan::kSwitch1, 2600)) << "a press counts once";
    EXPECT_EQ(timing.acceptedAt(Scan::kSwitch1), -1);
    EXPECT_EQ(timing.release(Scan::kSwitch1, 4000), Release::Counted);
}

TEST(SwitchTiming, PressesWithinTheReleaseTimeOfTheSameSwitchAreDropped)
{
    SwitchTiming timing;
    timing.setTimes(0, 300);
    timing.press(Scan::kSwitch1, 0);
    timing.release(Scan::kSwitch1, 100);
    EXPECT_EQ(timing.press(Scan::kSwitch1, 250), Press::Dropped);
    EXPECT_FALSE(timing.accept(Scan::kSwitch1, 1000));
    EXPECT_EQ(timing.release(Scan::kSwitch1, 260), Release::Dropped);
    // The other switch is a different hand movement.
    EXPECT_EQ(timing.press(Scan::kSwitch2, 270), Press::Counted);
    // The window runs from the counted release, not from the bounce.
    EXPECT_EQ(timing.press(Scan::kSwitch1, 400), Press::Counted);

    // Windows share the times of the releases: the bounce of the press that
    // opened a window is dropped in the window it opened.
    QHash<int, qint64> shared;
    SwitchTiming menu(shared);
    SwitchTiming opened(shared);
    menu.setTimes(0, 300);
    opened.setTimes(0, 300);
    menu.press(Scan::kSwitch2, 0);
    menu.release(Scan::kSwitch2, 10);
    EXPECT_EQ(opened.press(Scan::kSwitch2, 100), Press::Dropped);

    // A press too short to count opens no window.
    timing.setTimes(200, 300);
    timing.release(Scan::kSwitch1, 1000);
    timing.press(Scan::kSwitch1, 1400);
    EXPECT_EQ(timing.release(Scan::kSwitch1, 1450), Release::TooShort);
    EXPECT_EQ(timing.press(Scan::kSwitch1, 1500), Press::Timed);
}

} // namespace

namespace {

TEST(SelectionGuard, APressCountsOnlyOnceTheHighlightHasStoodTheGuardTime)
{
    SelectionGuard guard;
    guard.setTime(500);
    // A window just opened, its first highlight not yet shown.
    guard.arm(0, false);
    EXPECT_TRUE(guard.holds(3000)) << "nothing seen, nothing chosen";
    guard.highlightMoved(3000, true);
    EXPECT_TRUE(guard.holds(3499));
    EXPECT_FALSE(guard.holds(3500));

    // A selection with the highlight standing: the guard runs from now, and
    // a step of the highlight during it does not start it again.
    guard.arm(4000, true);
    EXPECT_TRUE(guard.holds(4200)) << "the second of a double hit";
    guard.highlightMoved(4300, true);
    EXPECT_FALSE(guard.holds(4500));

    guard.setTime(0);
    guard.arm(5000, false);
    EXPECT_FALSE(guard.holds(5000)) << "0 acts on every press at once";
}

TEST(ScanTimer, TheCountdownIsTheShareOfTheWaitLeftAndStandsStillWhilePaused)
{
    qint64 nowNs = 0;
    ScanTimer timer(nullptr, [&nowNs] { return nowNs; });
    constexpr qint64 ms = 1000000;
    EXPECT_EQ(timer.leftOfWait(), -1);

    // The first wait in a new window is longer; it counts down from its own length.
    timer.start(1000, 2500);
    EXPECT_DOUBLE_EQ(timer.leftOfWait(), 1.0);
    nowNs = 1250 * ms;
    EXPECT_DOUBLE_EQ(timer.leftOfWait(), 0.5);
    timer.pause();
    nowNs = 9000 * ms;
    EXPECT_DOUBLE_EQ(timer.leftOfWait(), 0.5) << "a press being timed holds the countdown";
    timer.resume();
    nowNs += 625 * ms;
    EXPECT_DOUBLE_EQ(timer.leftOfWait(), 0.25);
    EXPECT_EQ(timer.remainingMs(), 625);

    timer.start(1000);
    nowNs += 900 * ms;
    EXPECT_NEAR(timer.leftOfWait(), 0.1, 1e-9);
    timer.stop();
    EXPECT_EQ(timer.leftOfWait(), -1);
}

} // namespace
