#include "xsession.h"

#include "settings/profile.h"

#include <QFile>
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
    settings.setInputMode(InputMode::Automatic);
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

// With the mouse, as a teacher sets up the class: a switch pupil chosen on
// the main menu scans there at once, and the configuration window shows the
// pupil chosen from its list, whatever was shown before.
TEST(ConfigurationWindow, ThePupilChosenWithTheMouseIsTheOneShownAndApplied)
{
    ProfileSettings mouse;
    mouse.SpeechOn = false;
    mouse.SoundsOn = false;
    XSession x;
    ASSERT_TRUE(x.start(mouse)) << x.error().toStdString();
    const auto fail = qScopeGuard([&x] {
        if (::testing::Test::HasFailure())
            std::cerr << "The program's log:\n" << x.log().toStdString() << '\n';
    });
    ProfileSettings scanning = mouse;
    scanning.setInputMode(InputMode::Automatic);
    const QString pupilFile = x.usersFolder() + QStringLiteral("gruppo1.ini");
    {
        QFile file(pupilFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Profile::serialize(scanning));
    }
    const auto click = [&x](const QString &control, int from) {
        EXPECT_TRUE(x.clickControl(control, from)) << control.toStdString();
    };

    int from = x.lineCount();
    x.tap(QStringLiteral("Return"));
    from = x.waitForLine(QStringLiteral("shown FormMenu"), from);
    ASSERT_GE(from, 0);
    click(QStringLiteral("Combo1"), from);
    click(QStringLiteral("Combo1/gruppo1"), from);
    from = x.lineCount();
    EXPECT_GE(x.waitForLine(QStringLiteral("highlight Command1_0"), from, 5000), 0)
        << "the switch pupil scans the main menu at once";

    const QStringList config = x.linesWith(QStringLiteral("menu mnuConfig"));
    ASSERT_FALSE(config.isEmpty());
    x.clickAt(XSession::placeIn(config.last()).center());
    from = x.waitForLine(QStringLiteral("shown FormConfigura"), from);
    ASSERT_GE(from, 0);
    click(QStringLiteral("OptionUtente_0"), from); // the default pupil, a mouse user
    click(QStringLiteral("OptionUtente_1"), from);
    const QRect list
        = XSession::placeIn(x.linesWith(QStringLiteral("control ListModificaUtente "), from).value(0));
    ASSERT_FALSE(list.isEmpty());
    x.clickAt(list.topLeft() + QPoint(30, 10)); // GRUPPO1, the only pupil listed
    x.settle(400);
    const int tabs = x.lineCount();
    click(QStringLiteral("TabStrip1_tab5"), from);
    click(QStringLiteral("Option4_0"), tabs);
    const QStringList leave = x.linesWith(QStringLiteral("menu mnuEsci"), from);
    ASSERT_FALSE(leave.isEmpty());
    x.clickAt(XSession::placeIn(leave.last()).center());

    from = x.waitForLine(QStringLiteral("shown FormMenu"), from);
    ASSERT_GE(from, 0);
    QFile file(pupilFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::optional<ProfileSettings> saved = Profile::parseBytes(file.readAll());
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->InputMode, 0) << "the click on «Mouse o tastiera» reached the pupil shown";
    x.settle(2000);
    EXPECT_TRUE(x.linesWith(QStringLiteral("highlight Command1"), from).isEmpty()) << "no scanning any more";
}

} // namespace
