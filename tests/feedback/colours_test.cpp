#include "feedback/colours.h"
#include "state/appstate.h"

#include <QApplication>
#include <QMap>

#include <QPalette>
#include <algorithm>

#include <gtest/gtest.h>

namespace {

TEST(Colours, NumbersAreBlueGreenRed)
{
    EXPECT_EQ(Colours::fromNumber(255), QColor(255, 0, 0));
    EXPECT_EQ(Colours::fromNumber(16777152), QColor(0xC0, 0xFF, 0xFF));
    EXPECT_EQ(Colours::fromNumber(0x0040C0), QColor(0xC0, 0x40, 0x00));
    EXPECT_EQ(Colours::toNumber(QColor(0xFF, 0xC0, 0x80)), 8438015.0);
    EXPECT_EQ(Colours::fromNumber(-2147483633.0), QApplication::palette().color(QPalette::Button))
        << "the top bit names a system colour";
}

TEST(Colours, RandomBackgroundsComeFromThePaletteWithPinkTwiceAsOften)
{
    QMap<double, int> seen;
    constexpr int draws = 36000;
    for (int i = 0; i < draws; ++i)
        ++seen[ColoreCasuale()];
    EXPECT_EQ(seen.size(), 17);
    for (auto it = seen.cbegin(); it != seen.cend(); ++it) {
        EXPECT_NE(std::find(Colours::palette().begin(), Colours::palette().end(), it.key()),
            Colours::palette().end());
        const int expected = it.key() == 16761087 ? 4000 : 2000;
        EXPECT_NEAR(it.value(), expected, expected / 6) << qint64(it.key());
    }
}

TEST(Colours, WindowBackgroundFollowsTheProfile)
{
    ProfileSettings &settings = appState().Settings;
    settings.RandomBackground = false;
    settings.BackgroundColour = 65535;
    EXPECT_EQ(windowBackgroundColour(), QColor(255, 255, 0));
}

} // namespace
