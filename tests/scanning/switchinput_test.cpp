#include "scanning/scancycles.h"
#include "scanning/switchinput.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

TEST(SwitchInput, TextRoundTripsAndNamesEachInputInItalian)
{
    const struct
    {
        const char *text;
        const char *name;
    } inputs[] = {
        {"key:Space", "tasto spazio"},
        {"key:Return", "tasto Invio"},
        {"key:F7", "tasto F7"},
        {"key:1", "tasto 1"},
        {"key:Tab", "tasto Tab"},
        {"mouse:left", "clic sinistro del mouse"},
        {"mouse:right", "clic destro del mouse"},
        {"mouse:middle", "clic centrale del mouse"},
        {"controller:a", "pulsante A del controller"},
        {"controller:leftshoulder", "dorsale sinistro del controller"},
    };
    for (const auto &input : inputs) {
        const std::optional<SwitchInput> read = SwitchInput::fromText(QString::fromLatin1(input.text));
        ASSERT_TRUE(read) << input.text;
        EXPECT_EQ(read->toText(), QLatin1String(input.text));
        EXPECT_EQ(read->italianName(), QString::fromUtf8(input.name));
    }
    for (const char *damaged : {"", "Space", "key:", "key:Escape", "key:Ctrl+A", "key:Space,Tab",
             "mouse:fourth", "controller:z", "joystick:a"})
        EXPECT_FALSE(SwitchInput::fromText(QString::fromLatin1(damaged))) << damaged;

    // The keypad's Enter is the same switch as Enter.
    QKeyEvent keypadEnter(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(SwitchInput::fromEvent(&keypadEnter), SwitchInput::key(Qt::Key_Return));
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    EXPECT_FALSE(SwitchInput::fromEvent(&escape));
    QMouseEvent back(
        QEvent::MouseButtonPress, QPointF(), QPointF(), Qt::BackButton, Qt::BackButton, Qt::NoModifier);
    EXPECT_FALSE(SwitchInput::fromEvent(&back)) << "only left, right and middle are switches";

    // Every input has its own number in a table of inputs that are down.
    EXPECT_NE(SwitchInput::mouse(Qt::LeftButton).id(), SwitchInput::key(Qt::Key_unknown).id());
    EXPECT_NE(SwitchInput::mouse(Qt::LeftButton).id(), SwitchInput::controller(1).id());
    EXPECT_NE(SwitchInput::controller(0).id(), SwitchInput::key(0).id());
}

TEST(SwitchMap, DamagedOrClashingSwitchesFallBackToSpaceAndEnter)
{
    const SwitchMap defaults;
    EXPECT_EQ(defaults.switchOf(SwitchInput::key(Qt::Key_Space)), Scan::kSwitch1);
    EXPECT_EQ(defaults.switchOf(SwitchInput::key(Qt::Key_Enter)), Scan::kSwitch2);
    EXPECT_EQ(defaults.switchOf(SwitchInput::mouse(Qt::LeftButton)), Scan::kOtherInput);
    EXPECT_FALSE(defaults.usesMouse());

    const SwitchMap mapped(QStringLiteral("mouse:right"), QStringLiteral("controller:b"));
    EXPECT_EQ(mapped.switchOf(SwitchInput::mouse(Qt::RightButton)), Scan::kSwitch1);
    EXPECT_EQ(mapped.switchOf(SwitchInput::controller(1)), Scan::kSwitch2);
    EXPECT_EQ(mapped.switchOf(SwitchInput::key(Qt::Key_Space)), Scan::kOtherInput);
    EXPECT_TRUE(mapped.usesMouse());
    EXPECT_TRUE(mapped.usesController());

    EXPECT_EQ(SwitchMap(QStringLiteral("rubbish"), QStringLiteral("key:F8")).first(),
        SwitchInput::key(Qt::Key_Space));
    const SwitchMap same(QStringLiteral("key:F7"), QStringLiteral("key:F7"));
    EXPECT_EQ(same.second(), SwitchInput::key(Qt::Key_Return));
    const SwitchMap enterFirst(QStringLiteral("key:Return"), QStringLiteral("key:Return"));
    EXPECT_EQ(enterFirst.second(), SwitchInput::key(Qt::Key_Space));
}
