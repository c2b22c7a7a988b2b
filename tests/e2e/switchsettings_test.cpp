#include "testenv.h"
#include "xsession.h"

#include <QColor>

#include <gtest/gtest.h>

#include <iostream>

// The switch settings of a profile, against the real program under a
// virtual X server worked with xdotool: how long a press must last, how
// soon after a release a press counts again, and the scanned way out.
namespace {

ProfileSettings switchProfile(int inputMode)
{
    ProfileSettings settings;
    settings.InputMode = qint16(inputMode);
    settings.ScanInterval = 4;
    settings.SpeechOn = false;
    settings.SoundsOn = false;
    settings.RandomBackground = false;
    settings.BackgroundColour = 0x00FFFF;
    settings.ButtonColour = 0xFFFFFF;
    settings.SelectedButtonColour = 0xFF0000;
    return settings;
}

class SwitchSettings : public ::testing::Test
{
protected:
    void start(const ProfileSettings &settings)
    {
        ASSERT_TRUE(x.start(settings)) << x.error().toStdString();
        x.xdotool({QStringLiteral("mousemove"), QStringLiteral("1023"), QStringLiteral("767")});
    }

    // Enter on the start window; the log line after the main menu's.
    int enterMainMenu()
    {
        const int from = x.lineCount();
        x.tap(QStringLiteral("Return"));
        const int line = x.waitForLine(QStringLiteral("shown FormMenu"), from);
        EXPECT_GE(line, 0) << "no main menu";
        return line + 1;
    }

    void TearDown() override
    {
        if (HasFailure())
            std::cerr << "The program's log:\n" << x.log().toStdString() << '\n';
    }

    QStringList selections(int from) { return x.linesWith(QStringLiteral("select "), from); }

    XSession x;
};

TEST_F(SwitchSettings, ABriefPressSelectsNothingAndAHeldOneSelectsOnceWithItsTimeShown)
{
    ProfileSettings settings = switchProfile(2);
    settings.AcceptanceTime = 1000;
    start(settings);
    int from = enterMainMenu();
    ASSERT_GE(x.waitForLine(QStringLiteral("highlight Command1_0"), from), 0);

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

TEST_F(SwitchSettings, APressSoonAfterAReleaseIsABounceAndIgnored)
{
    ProfileSettings settings = switchProfile(1);
    settings.ReleaseTime = 1000;
    start(settings);
    int from = enterMainMenu();
    ASSERT_GE(x.waitForLine(QStringLiteral("highlight Command1_0"), from), 0);

    from = x.lineCount();
    x.tap(QStringLiteral("space"));
    x.tap(QStringLiteral("space"));
    EXPECT_GE(x.waitForLine(QStringLiteral("within the release time: ignored"), from), 0);
    x.settle(1200);
    x.tap(QStringLiteral("space"));
    ASSERT_GE(x.waitForLine(QStringLiteral("highlight Command1_2"), from), 0);
    x.settle(300);
    EXPECT_EQ(x.linesWith(QStringLiteral("highlight"), from).size(), 2)
        << x.linesWith(QStringLiteral("highlight"), from).join(u'\n').toStdString();
}

TEST_F(SwitchSettings, TheScannedMenuButtonLeavesAnExerciseWithoutAQuestion)
{
    ProfileSettings settings = switchProfile(1);
    settings.WayOutButton = true;
    start(settings);
    int from = enterMainMenu();
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

} // namespace
