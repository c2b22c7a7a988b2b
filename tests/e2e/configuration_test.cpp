#include "xsession.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <iostream>

// The teacher's window stays a mouse-and-keyboard window while the pupil's
// profile scans: typed keys reach its text box, and what is set there holds
// on the main menu the moment the window is left.
namespace {

TEST(ConfigurationWindow, ATeacherTypesANewUserWhileTheProfileScansAndTheMenuScansAfter)
{
    ProfileSettings settings;
    settings.InputMode = 2;
    settings.SpeechOn = false;
    settings.SoundsOn = false;
    XSession x;
    ASSERT_TRUE(x.start(settings)) << x.error().toStdString();
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
    const QRect option
        = XSession::placeIn(x.linesWith(QStringLiteral("control OptionUtente_2 "), shown).value(0));
    x.clickAt(QPoint(option.left() + 8, option.center().y()));
    x.settle(300);
    x.xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("60"),
        QStringLiteral("gruppo 2")});
    x.settle(300);
    const QRect leave = XSession::placeIn(x.linesWith(QStringLiteral("menu mnuEsci"), shown).value(0));
    ASSERT_FALSE(leave.isEmpty());

    from = x.lineCount();
    x.clickAt(leave.center());
    ASSERT_GE(x.waitForLine(QStringLiteral("shown FormMenu"), from), 0);
    EXPECT_TRUE(QFileInfo::exists(x.usersFolder() + QStringLiteral("gruppo 2.ini")));
    EXPECT_GE(x.waitForLine(QStringLiteral("highlight"), from), 0) << "the main menu scans at once";
}

} // namespace
