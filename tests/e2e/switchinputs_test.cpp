#include "xsession.h"

#include "settings/profile.h"

#include <QFile>

#include <gtest/gtest.h>

#include <iostream>

// Switch interfaces that click a mouse button or send another key, under a
// real X server: the pupil works menus and an exercise with them alone.
namespace {

class SwitchInputs : public ::testing::Test
{
protected:
    void start(const ProfileSettings &settings)
    {
        ASSERT_TRUE(x.start(settings)) << x.error().toStdString();
        ASSERT_GE(x.enterMainMenu(), 0);
    }

    int seeLit(const QString &button, int from)
    {
        const int line = x.seeLit(button, from);
        EXPECT_GE(line, 0) << "no highlight on " << button.toStdString();
        return line;
    }

    void click(const char *button) { x.xdotool({QStringLiteral("click"), QString::fromLatin1(button)}); }

    // Chooses whatever answer is lit until one is right, then "avanti".
    // Without a step, the highlight moves by itself.
    void answerOneItem(const std::function<void()> &select, const std::function<void()> &step = {})
    {
        bool right = false;
        for (int attempt = 0; attempt < 3 && !right; ++attempt) {
            const int from = x.lineCount();
            if (!step)
                seeLit(QStringLiteral("Bt"), from);
            select();
            ASSERT_GE(x.waitForLine(QStringLiteral("exercises: answer"), from), 0);
            right = !x.linesWith(QStringLiteral(": right"), from).isEmpty();
            x.settle(700);
            if (!right && step) {
                step();
                x.settle(700);
            }
        }
        ASSERT_TRUE(right) << "no right answer";
        const int from = x.lineCount();
        select();
        ASSERT_GE(x.waitForLine(QStringLiteral("select avanti"), from), 0);
        x.settle(700);
    }

    void TearDown() override
    {
        if (HasFailure())
            std::cerr << "The program's log:\n" << x.log().toStdString() << '\n';
    }

    XSession x;
};

TEST_F(SwitchInputs, AMouseSwitchInterfaceWorksMenusAndAnExerciseWherePointerStands)
{
    ProfileSettings settings;
    settings.setInputMode(InputMode::Manual);
    settings.SpeechOn = false;
    settings.SoundsOn = false;
    settings.Switch1Input = QStringLiteral("mouse:left");
    settings.Switch2Input = QStringLiteral("mouse:right");
    // Away from the start button: the switch starts wherever the pointer is.
    ASSERT_TRUE(x.start(settings)) << x.error().toStdString();
    x.xdotool({QStringLiteral("mousemove"), QStringLiteral("5"), QStringLiteral("5")});
    x.settle(200);
    click("3");
    ASSERT_GE(x.waitForLine(QStringLiteral("shown FormMenu")), 0);

    // The pointer rests on the main menu's last button: a click there steps.
    const QStringList last = x.linesWith(QStringLiteral("control Command1_4 "));
    ASSERT_FALSE(last.isEmpty());
    const QPoint onButton = XSession::placeIn(last.value(0)).center();
    x.xdotool({QStringLiteral("mousemove"), QString::number(onButton.x()), QString::number(onButton.y())});
    int from = seeLit(QStringLiteral("Command1_0"), 0);
    x.xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
        QStringLiteral("--delay"), QStringLiteral("150"), QStringLiteral("1")});
    EXPECT_GE(x.waitForLine(QStringLiteral("highlight Command1_2"), from), 0)
        << "a double click is two steps";
    x.settle(700);
    EXPECT_TRUE(x.linesWith(QStringLiteral("highlight Command1_3"), from).isEmpty());
    EXPECT_TRUE(x.linesWith(QStringLiteral("shown Form"), from).isEmpty()) << "no button was clicked";
    // Round the ring to the first button again.
    from = x.lineCount();
    for (int i = 0; i < 12 && x.linesWith(QStringLiteral("highlight Command1_0"), from).isEmpty(); ++i) {
        click("1");
        x.settle(200);
    }
    seeLit(QStringLiteral("Command1_0"), from);

    from = x.lineCount();
    click("3");
    from = x.waitForLine(QStringLiteral("shown FormMenuSuoniSimili"), from);
    ASSERT_GE(from, 0);
    seeLit(QStringLiteral("Command1_0"), from);
    click("3");
    ASSERT_GE(x.waitForLine(QStringLiteral("shown FormEsercizi"), from), 0);
    seeLit(QStringLiteral("Bt"), from);
    for (int item = 0; item < 2; ++item)
        answerOneItem([this] { click("3"); }, [this] { click("1"); });
}

TEST_F(SwitchInputs, AKeySetUpByPressingItIsTheSwitchThatWorksTheExercise)
{
    ProfileSettings settings;
    settings.setInputMode(InputMode::Automatic);
    settings.ScanInterval = 8;
    settings.SpeechOn = false;
    settings.SoundsOn = false;
    start(settings);

    int from = x.lineCount();
    ASSERT_GE(x.waitForLine(QStringLiteral("menu mnuConfig")), 0);
    x.clickAt(XSession::placeIn(x.linesWith(QStringLiteral("menu mnuConfig")).value(0)).center());
    from = x.waitForLine(QStringLiteral("shown FormConfigura"), from);
    ASSERT_GE(from, 0);
    ASSERT_TRUE(x.clickControl(QStringLiteral("TabStrip1_tab5"), from));
    ASSERT_TRUE(x.clickControl(QStringLiteral("CommandSensore1"), from));
    x.tap(QStringLiteral("F7"));
    x.settle(400);
    const QStringList leave = x.linesWith(QStringLiteral("menu mnuEsci"), from);
    ASSERT_FALSE(leave.isEmpty());
    from = x.lineCount();
    x.clickAt(XSession::placeIn(leave.last()).center());
    ASSERT_GE(x.waitForLine(QStringLiteral("shown FormMenu"), from), 0);
    QFile saved(x.usersFolder() + QStringLiteral("_predefinito.ini"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("\r\nkey:F7\r\n"));

    // The space bar is no switch any more; F7 is.
    seeLit(QStringLiteral("Command1_0"), from);
    x.tap(QStringLiteral("space"));
    x.settle(300);
    x.tap(QStringLiteral("F7"));
    EXPECT_GE(x.waitForLine(QStringLiteral("shown FormMenuSuoniSimili"), from), 0);
    EXPECT_EQ(x.linesWith(QStringLiteral("select Command1_"), from).size(), 1);
    EXPECT_EQ(x.linesWith(QStringLiteral("select Command1_0 «Suoni simili»"), from).size(), 1)
        << "the log says what the pupil chose";
    from = x.waitForLine(QStringLiteral("shown FormMenuSuoniSimili"), from);
    ASSERT_GE(from, 0);
    seeLit(QStringLiteral("Command1_0"), from);
    x.tap(QStringLiteral("F7"));
    ASSERT_GE(x.waitForLine(QStringLiteral("shown FormEsercizi"), from), 0);
    for (int item = 0; item < 2; ++item)
        answerOneItem([this] { x.tap(QStringLiteral("F7")); });
}

} // namespace
