#include "testenv.h"
#include "xsession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <sys/stat.h>

// The real program with parts of its installation missing, damaged or
// replaced by something that is no file: it tells the teacher once, and a
// pupil can still work and leave.
namespace {

// A program folder of its own: the build's executable and the module with the
// rest of the program copied (it finds both its data and the module beside itself), the build's data linked,
// but for the folders named, which start empty.
QString programCopy(const QStringList &ownFolders)
{
    const QString copy = TestEnv::makeFolder(QStringLiteral("programma"));
    const QDir build(TestEnv::buildAppFolder());
    for (const QString &name : {QStringLiteral("characters"), QStringLiteral("images"),
             QStringLiteral("suoni"), QStringLiteral("testidifort"), QStringLiteral("indis1.ttf")}) {
        const QString target = copy + u'/' + name;
        if (ownFolders.contains(name))
            EXPECT_TRUE(QDir().mkpath(target));
        else
            EXPECT_TRUE(QFile::link(build.absoluteFilePath(name), target)) << name.toStdString();
    }
    EXPECT_TRUE(QFile::copy(QStringLiteral(VELMORA_EXECUTABLE), copy + QStringLiteral("/velmora")));
    EXPECT_TRUE(QFile::copy(build.absoluteFilePath(QStringLiteral("velmora-program.so")),
        copy + QStringLiteral("/velmora-program.so")));
    return copy;
}

// Clicks the named control once it is in place, from log line `from` on;
// the log line after the click.
int click(XSession &x, const QString &control, int from)
{
    const QString placed = QStringLiteral("control %1 ").arg(control);
    const int line = x.waitForLine(placed, std::max(from, 0));
    EXPECT_GE(line, 0) << "no " << control.toStdString();
    const QRect place = XSession::placeIn(x.linesWith(placed, std::max(line, 0)).value(0));
    const int next = x.lineCount();
    x.clickAt(place.center());
    return next;
}

// With the mouse, from the start window into the first exercise of the
// first topic; the log line the exercise was shown on.
int openFirstExercise(XSession &x)
{
    int from = x.lineCount();
    x.tap(QStringLiteral("Return"));
    from = click(x, QStringLiteral("Command1_0"), x.waitForLine(QStringLiteral("shown FormMenu"), from));
    from = click(
        x, QStringLiteral("Command1_0"), x.waitForLine(QStringLiteral("shown FormMenuSuoniSimili"), from));
    const int shown = x.waitForLine(QStringLiteral("shown FormEsercizi"), from);
    EXPECT_GE(shown, 0);
    return std::max(shown, 0);
}

// Checks that the message box shown from log line `from` on says each of
// the texts, and answers it; the log line after it.
int expectMessage(XSession &x, const QStringList &texts, int from)
{
    EXPECT_GE(x.waitForLine(QStringLiteral("message "), from), 0) << "no message box";
    x.settle(300);
    for (const QString &text : texts) {
        // The speech engine logs its own problem too, whenever its start ends.
        QStringList told = x.linesWith(text, from);
        told.removeIf([](const QString &line) { return line.startsWith(QLatin1String("velmora.speech:")); });
        EXPECT_EQ(told.size(), 1) << text.toStdString();
    }
    const int next = x.lineCount();
    x.tap(QStringLiteral("Return"));
    return next;
}

auto logOnFailure(XSession &x)
{
    return qScopeGuard([&x] {
        if (::testing::Test::HasFailure())
            std::cerr << "The program's log:\n" << x.log().toStdString() << '\n';
    });
}

TEST(Missing, ASoundThatIsANamedPipeIsNeverOpenedAndEsciStillEndsTheProgram)
{
    const QString folder = programCopy({QStringLiteral("suoni")});
    for (const char *name : {"si1.wav", "si2.wav", "si3.wav", "si4.wav", "no.wav"}) {
        const QString path = folder + QStringLiteral("/suoni/") + QLatin1String(name);
        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    }
    ProfileSettings settings;
    settings.setInputMode(InputMode::Mouse);
    settings.SpeechOn = false;
    settings.SoundsOn = true;
    XSession x;
    x.setProgram(folder + QStringLiteral("/velmora"), folder);
    ASSERT_TRUE(x.start(settings)) << x.error().toStdString();
    const auto log = logOnFailure(x);

    const int shown = openFirstExercise(x);
    int from
        = expectMessage(x, {QStringLiteral("message Alcuni suoni delle risposte non si sentiranno")}, shown);
    EXPECT_EQ(x.linesWith(QStringLiteral(" non è un file normale"), shown).size(), 5);

    // A right or wrong answer plays one of the pipes.
    from = click(x, QStringLiteral("BtIl"), from);
    ASSERT_GE(x.waitForLine(QStringLiteral("exercises: answer"), from), 0);
    x.settle(500);
    const QRect exit = XSession::placeIn(x.linesWith(QStringLiteral("menu mnuEsci"), shown).value(0));
    ASSERT_FALSE(exit.isEmpty());
    x.clickAt(exit.center());
    ASSERT_GE(x.waitForLine(QStringLiteral("question "), from), 0);
    x.settle(300);
    x.tap(QStringLiteral("Return"));
    from = x.waitForLine(QStringLiteral("shown FormMenuSuoniSimili"), from);
    ASSERT_GE(from, 0);
    // The topic menu's last button goes back to the main menu, whose last is "Esci".
    x.waitForLine(QStringLiteral("control Command1_"), from);
    x.settle(300);
    const QString back = x.linesWith(QStringLiteral("control Command1_"), from).last().section(u' ', -5, -5);
    from = click(x, back, from);
    click(x, QStringLiteral("Command1_8"), x.waitForLine(QStringLiteral("shown FormMenu"), from));
    QElapsedTimer ending;
    ending.start();
    EXPECT_EQ(x.waitForExit(2000), 0);
    EXPECT_LT(ending.elapsed(), 2000);
}

TEST(Missing, AMissingOrDamagedCharacterAndMissingVoiceDataAreToldWhenTheFirstExerciseOpens)
{
    ProfileSettings settings;
    settings.setInputMode(InputMode::Mouse);
    settings.SpeechOn = true;
    settings.SoundsOn = false;
    for (const bool damaged : {true, false}) {
        SCOPED_TRACE(damaged ? "a damaged character and no voice data" : "a character that is not there");
        XSession x;
        QProcessEnvironment extra;
        QStringList told;
        if (damaged) {
            const QString folder = programCopy({QStringLiteral("characters")});
            TestEnv::writeFile(folder + QStringLiteral("/characters/merlin.svg"), "<svg><g id=\"body\">");
            x.setProgram(folder + QStringLiteral("/velmora"), folder);
            extra.insert(QStringLiteral("ESPEAK_DATA_PATH"), TestEnv::makeFolder(QStringLiteral("no-voice")));
            told << QStringLiteral("message Il personaggio \"Merlin\" non si può disegnare")
                 << QStringLiteral("Il sintetizzatore vocale non si avvia");
        } else {
            settings.AgentCharacter = QStringLiteral("Nessuno");
            told << QStringLiteral("message Il personaggio \"Nessuno\" non si trova");
        }
        ASSERT_TRUE(x.start(settings, extra)) << x.error().toStdString();
        const auto log = logOnFailure(x);
        const int from = expectMessage(x, told, openFirstExercise(x));
        EXPECT_GE(x.waitForLine(QStringLiteral("item "), from), 0) << "the exercise goes on";
    }
}

} // namespace
