#include "feedback/colours.h"
#include "layout/legible.h"
#include "state/appstate.h"

#include <QApplication>
#include <QImage>
#include <QMap>
#include <QPalette>
#include <QPushButton>

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
        ++seen[randomPaletteColour()];
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

bool shows(const QImage &image, const QColor &colour)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).rgb() == colour.rgb())
                return true;
        }
    }
    return false;
}

TEST(Colours, ADisabledButtonShowsAMutedButReadableCaption)
{
    // White, black, the button face, red, blue.
    for (const double number : {16777215.0, 0.0, -2147483633.0, 255.0, 16711680.0}) {
        SCOPED_TRACE(qint64(number));
        QPushButton button(QStringLiteral("hanno"));
        button.setFont(QFont(QStringLiteral("Arial"), 28, QFont::Bold));
        button.resize(160, 100);
        setButtonColour(&button, number);
        const QColor face = button.palette().color(QPalette::Button);
        const QColor enabled = button.palette().color(QPalette::Active, QPalette::ButtonText);
        const QColor muted = button.palette().color(QPalette::Disabled, QPalette::ButtonText);
        EXPECT_GE(Legible::contrast(muted, enabled), 1.5) << "plainly unlike the caption of an answer";
        EXPECT_GE(Legible::contrast(muted, face), Legible::kMutedContrast) << "still read on its button";

        EXPECT_TRUE(shows(button.grab().toImage(), enabled));
        button.setEnabled(false);
        EXPECT_FALSE(shows(button.grab().toImage(), enabled)) << "drawn muted";
    }
}

} // namespace
