#include "scanning/switchtiming.h"

#include "scanning/scancycles.h"

#include <gtest/gtest.h>

namespace {

using Press = SwitchTiming::Press;
using Release = SwitchTiming::Release;

TEST(SwitchTiming, WithoutTimesEveryPressCountsAtOnce)
{
    SwitchTiming timing;
    for (qint64 t : {0, 10, 20}) {
        EXPECT_EQ(timing.press(Scan::kSpace, t), Press::Counted);
        EXPECT_EQ(timing.release(Scan::kSpace, t + 1), Release::Counted);
    }
    EXPECT_EQ(timing.progress(30), -1);
    EXPECT_EQ(timing.release(Scan::kEnter, 40), Release::Dropped) << "a release without its press";
}

TEST(SwitchTiming, APressCountsOnlyOnceHeldForTheAcceptanceTime)
{
    SwitchTiming timing;
    timing.setTimes(500, 0);
    EXPECT_EQ(timing.press(Scan::kSpace, 1000), Press::Timed);
    EXPECT_EQ(timing.acceptedAt(Scan::kSpace), 1500);
    EXPECT_DOUBLE_EQ(timing.progress(1250), 0.5);
    EXPECT_FALSE(timing.accept(Scan::kSpace, 1499));
    EXPECT_EQ(timing.release(Scan::kSpace, 1499), Release::TooShort);
    EXPECT_EQ(timing.progress(1500), -1);

    timing.press(Scan::kSpace, 2000);
    EXPECT_TRUE(timing.accept(Scan::kSpace, 2500));
    EXPECT_FALSE(timing.accept(Scan::kSpace, 2600)) << "a press counts once";
    EXPECT_EQ(timing.acceptedAt(Scan::kSpace), -1);
    EXPECT_EQ(timing.release(Scan::kSpace, 4000), Release::Counted);
}

TEST(SwitchTiming, PressesWithinTheReleaseTimeOfTheSameSwitchAreDropped)
{
    SwitchTiming timing;
    timing.setTimes(0, 300);
    timing.press(Scan::kSpace, 0);
    timing.release(Scan::kSpace, 100);
    EXPECT_EQ(timing.press(Scan::kSpace, 250), Press::Dropped);
    EXPECT_FALSE(timing.accept(Scan::kSpace, 1000));
    EXPECT_EQ(timing.release(Scan::kSpace, 260), Release::Dropped);
    // The other switch is a different hand movement.
    EXPECT_EQ(timing.press(Scan::kEnter, 270), Press::Counted);
    // The window runs from the counted release, not from the bounce.
    EXPECT_EQ(timing.press(Scan::kSpace, 400), Press::Counted);

    // Windows share the times of the releases: the bounce of the press that
    // opened a window is dropped in the window it opened.
    QHash<int, qint64> shared;
    SwitchTiming menu(shared);
    SwitchTiming opened(shared);
    menu.setTimes(0, 300);
    opened.setTimes(0, 300);
    menu.press(Scan::kEnter, 0);
    menu.release(Scan::kEnter, 10);
    EXPECT_EQ(opened.press(Scan::kEnter, 100), Press::Dropped);

    // A press too short to count opens no window.
    timing.setTimes(200, 300);
    timing.release(Scan::kSpace, 1000);
    timing.press(Scan::kSpace, 1400);
    EXPECT_EQ(timing.release(Scan::kSpace, 1450), Release::TooShort);
    EXPECT_EQ(timing.press(Scan::kSpace, 1500), Press::Timed);
}

} // namespace
