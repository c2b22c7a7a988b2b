#include "xsession.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>
#include <iostream>

// The real program ended by a session that logs out while a pupil is in an
// exercise: the work done is saved first, then the program ends.
namespace {

// Clicks the first button of the menu shown from log line `from` on, once
// its buttons are in place; the log line after the click.
int clickFirstButton(XSession &x, int from)
{
    const int placed = x.waitForLine(QStringLiteral("control Command1_0 "), from);
    EXPECT_GE(placed, 0);
    const QRect button
        = XSession::placeIn(x.linesWith(QStringLiteral("control Command1_0 "), placed).value(0));
    EXPECT_FALSE(button.isEmpty());
    const int next = x.lineCount();
    x.clickAt(button.center());
    return next;
}

// With the mouse, from the start window to the first exercise of the first
// topic; the item it shows, or empty.
QString reachAnItem(XSession &x)
{
    int from = x.lineCount();
    x.tap(QStringLiteral("Return"));
    from = x.waitForLine(QStringLiteral("shown FormMenu"), from);
    EXPECT_GE(from, 0);
    from = clickFirstButton(x, from);
    from = x.waitForLine(QStringLiteral("shown FormMenuSuoniSimili"), from);
    EXPECT_GE(from, 0);
    from = clickFirstButton(x, from);
    const int shown = x.waitForLine(QStringLiteral("item "), from);
    if (shown < 0)
        return QString();
    const QString line = x.linesWith(QStringLiteral("item "), shown).value(0);
    x.settle(300);
    const QString item = line.mid(line.indexOf(QStringLiteral("item ")) + 5);
    return item.left(item.lastIndexOf(QStringLiteral(", right answer "))).trimmed();
}

QString plainText(const QString &rtf)
{
    QProcess reader;
    reader.start(QStringLiteral("unrtf"), {QStringLiteral("--text"), rtf});
    EXPECT_TRUE(reader.waitForFinished(10000)) << "unrtf is one of the test packages";
    return QString::fromUtf8(reader.readAllStandardOutput());
}

TEST(Ending, ASessionThatLogsOutLeavesThePupilsWorkSavedInTheDataFolder)
{
    ProfileSettings settings;
    settings.setInputMode(InputMode::Mouse);
    settings.KeepActivityRecord = true;
    settings.SpeechOn = false;
    settings.SoundsOn = false;
    // The session sends SIGTERM, or its X server goes away under the program.
    for (const bool displayGone : {false, true}) {
        SCOPED_TRACE(displayGone ? "the display goes away" : "SIGTERM");
        XSession x;
        ASSERT_TRUE(x.start(settings)) << x.error().toStdString();
        const auto fail = qScopeGuard([&x] {
            if (::testing::Test::HasFailure())
                std::cerr << "The program's log:\n" << x.log().toStdString() << '\n';
        });
        const QString item = reachAnItem(x);
        ASSERT_FALSE(item.isEmpty()) << "an exercise shows an item";

        if (displayGone)
            x.stopDisplay();
        else
            x.signalProgram(SIGTERM);
        // Without its display Qt itself ends the program, with 1.
        EXPECT_EQ(x.waitForExit(), displayGone ? 1 : 0);
        const QString folder = x.dataFolder() + QStringLiteral("_predefinito/");
        const QStringList saved
            = QDir(folder).entryList({QStringLiteral("Esercizi eseguiti *.rtf")}, QDir::Files);
        ASSERT_EQ(saved.size(), 1) << QDir(x.dataFolder()).entryList().join(u' ').toStdString();
        const QString text = plainText(folder + saved.first());
        EXPECT_TRUE(text.contains(QStringLiteral("Suoni simili"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("b p"))) << text.toStdString();
        EXPECT_TRUE(text.contains(item + QStringLiteral(" - "))) << item.toStdString() << "\n"
                                                                 << text.toStdString();
        EXPECT_TRUE(x.linesWith(QStringLiteral("Non ho potuto salvare")).isEmpty());
    }
}

} // namespace
