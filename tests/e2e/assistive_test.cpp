#include "accessibilitybus.h"
#include "testenv.h"
#include "xsession.h"

#include <gtest/gtest.h>

#include <iostream>

// A screen reader or an on-screen switch program works the windows through
// the desktop's accessibility bus: what it toggles does what a click does.
namespace {

TEST(AssistiveTechnology, NewUserToggledThroughAtSpiShowsTheBoxForTheName)
{
    AccessibilityBus bus;
    ASSERT_TRUE(bus.start(TestEnv::makeFolder(QStringLiteral("bus")))) << bus.error().toStdString();
    ProfileSettings settings;
    settings.SpeechOn = false;
    settings.SoundsOn = false;
    XSession x;
    ASSERT_TRUE(x.start(settings, bus.environment())) << x.error().toStdString();
    const auto fail = qScopeGuard([&x] {
        if (::testing::Test::HasFailure())
            std::cerr << "The program's log:\n" << x.log().toStdString() << '\n';
    });

    int from = x.lineCount();
    x.tap(QStringLiteral("Return"));
    from = x.waitForLine(QStringLiteral("shown FormMenu"), from);
    ASSERT_GE(from, 0);
    ASSERT_GE(x.waitForLine(QStringLiteral("menu mnuConfig"), from), 0);
    x.clickAt(XSession::placeIn(x.linesWith(QStringLiteral("menu mnuConfig"), from).value(0)).center());
    const int shown = x.waitForLine(QStringLiteral("control OptionUtente_2 "), from);
    ASSERT_GE(shown, 0);
    ASSERT_EQ(x.linesWith(QStringLiteral("control TextNuovoUtente "), shown).size(), 0) << "hidden at first";

    ASSERT_TRUE(bus.doAction(
        QStringLiteral("radio button"), QStringLiteral("Nuovo utente"), QStringLiteral("Toggle")))
        << bus.error().toStdString();
    EXPECT_GE(x.waitForLine(QStringLiteral("control TextNuovoUtente "), shown, 5000), 0)
        << "the box for the new user's name shows";
}

} // namespace
