#include "testenv.h"

#include "privatehome.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// The real program, started with a home folder of its own.
class Program
{
public:
    explicit Program(const PrivateHome &home)
    {
        QProcessEnvironment env = home.environment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setProcessEnvironment(env);
        m_process.setProgram(QStringLiteral(VELMORA_EXECUTABLE));
    }

    ~Program()
    {
        // Asked to end rather than killed, the program runs the sanitizer
        // build's leak check as it ends.
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            m_process.waitForFinished(15000);
        }
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    QProcess &process() { return m_process; }

private:
    QProcess m_process;
};

bool waitFor(const std::function<bool()> &condition, int milliseconds = 20000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QTest::qWait(50);
    }
    return true;
}

TEST(Executable, FirstStartWritesTheSettingsFoldersAndASecondStartEndsAtOnce)
{
    const PrivateHome home(QStringLiteral("pupil-home"));
    const QString settings = home.dataHome() + QStringLiteral("/ImpostazioniProgrammiZerla/");
    // The font is already installed, so no first-start message waits for a click.
    const QString fonts = home.fontsFolder();
    QDir().mkpath(fonts);
    ASSERT_TRUE(QFile::copy(
        TestEnv::buildAppFolder() + QStringLiteral("/indis1.ttf"), fonts + QStringLiteral("/indis1.ttf")));

    Program first(home);
    QProcessEnvironment logged = first.process().processEnvironment();
    logged.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("velmora.forms.debug=true"));
    first.process().setProcessEnvironment(logged);
    first.process().start();
    ASSERT_TRUE(first.process().waitForStarted());
    ASSERT_TRUE(waitFor([&] { return QFileInfo(settings + QStringLiteral("Velmora/dati")).isDir(); }))
        << first.process().readAllStandardError().toStdString();
    EXPECT_TRUE(QFileInfo(settings + QStringLiteral("Velmora/utenti")).isDir());
    EXPECT_TRUE(TestEnv::readFile(settings + QStringLiteral("leggimi.txt")).startsWith("Questa cartella"));
    QTest::qWait(300);
    EXPECT_EQ(first.process().state(), QProcess::Running);
    // Loading the default profile writes nothing.
    EXPECT_TRUE(QDir(settings + QStringLiteral("Velmora/utenti")).isEmpty());

    Program second(home);
    QElapsedTimer timer;
    timer.start();
    second.process().start();
    ASSERT_TRUE(second.process().waitForFinished(10000));
    EXPECT_EQ(second.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process().exitCode(), 0);
    EXPECT_TRUE(second.process().readAllStandardOutput().isEmpty());
    EXPECT_EQ(first.process().state(), QProcess::Running);
    // The second start brought the window of the first to the front.
    QByteArray log;
    EXPECT_TRUE(waitFor([&] {
        log += first.process().readAllStandardError();
        return log.contains("brought to the front");
    })) << log.toStdString();
}

TEST(Executable, StartsPastALeftoverLockAndAProfileThatIsAPipeOrADevice)
{
    for (const char *kind : {"pipe", "device"}) {
        const PrivateHome home(QStringLiteral("home-") + QLatin1String(kind));
        const QString users = home.usersFolder();
        ASSERT_TRUE(QDir().mkpath(users));
        const QString profile = users + QStringLiteral("_predefinito.ini");
        // The font is installed, so no first-start message holds the start window back.
        const QString fonts = home.fontsFolder();
        QDir().mkpath(fonts);
        QFile::copy(
            TestEnv::buildAppFolder() + QStringLiteral("/indis1.ttf"), fonts + QStringLiteral("/indis1.ttf"));
        if (QLatin1String(kind) == QLatin1String("pipe"))
            ASSERT_EQ(mkfifo(QFile::encodeName(profile).constData(), 0600), 0);
        else
            ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), profile));
        TestEnv::writeFile(home.runtimeDir() + QStringLiteral("/velmora.lock"), "");

        Program program(home);
        QProcessEnvironment env = program.process().processEnvironment();
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("velmora.forms.debug=true"));
        program.process().setProcessEnvironment(env);
        QByteArray log;
        program.process().start();
        EXPECT_TRUE(waitFor([&] {
            log += program.process().readAllStandardError();
            return log.contains("shown FormAvvio") || program.process().state() == QProcess::NotRunning;
        })) << kind;
        EXPECT_TRUE(log.contains("shown FormAvvio")) << kind << "\n" << log.toStdString();
    }
}

TEST(Executable, TheStartWindowNeedsNoneOfTheLibrariesBehindIt)
{
    const QString folder = QFileInfo(QStringLiteral(VELMORA_EXECUTABLE)).absolutePath();
    QString dynamic;
    for (const QString &file :
        {QStringLiteral(VELMORA_EXECUTABLE), folder + QStringLiteral("/libvelmora-start.so")}) {
        QProcess readelf;
        readelf.start(QStringLiteral("readelf"), {QStringLiteral("-d"), file});
        ASSERT_TRUE(readelf.waitForFinished(30000));
        dynamic += QString::fromUtf8(readelf.readAllStandardOutput());
    }
    ASSERT_TRUE(dynamic.contains(QLatin1String("[libQt6Widgets.so.6]"))) << dynamic.toStdString();
    // They come with the rest of the program, once the start window leads on.
    for (const char *library : {"Multimedia", "Network", "PrintSupport", "Sql", "Charts", "OpenGL", "espeak"})
        EXPECT_FALSE(dynamic.contains(QLatin1String(library))) << library << " in\n" << dynamic.toStdString();
}

TEST(Executable, WithoutADisplayItSaysHowToRunIt)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("HOME"), TestEnv::home());
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(VELMORA_EXECUTABLE), {});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 1);
    const QString message = QString::fromLocal8Bit(process.readAllStandardError());
    EXPECT_TRUE(message.contains(QStringLiteral("xvfb-run"))) << message.toStdString();
    EXPECT_EQ(message.count(u'\n'), 1) << "one sentence";
}

struct Answer
{
    int exitCode = -1;
    QString out;
    QString errors;
};

// The program run with these arguments and no display at all.
Answer runWithoutDisplay(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("HOME"), TestEnv::home());
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(VELMORA_EXECUTABLE), arguments);
    Answer answer;
    if (process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit)
        answer.exitCode = process.exitCode();
    answer.out = QString::fromUtf8(process.readAllStandardOutput());
    answer.errors = QString::fromUtf8(process.readAllStandardError());
    return answer;
}

TEST(CommandLine, HelpAndVersionAnswerWithoutADisplay)
{
    for (const char *option : {"--help", "-h"}) {
        const Answer help = runWithoutDisplay({QLatin1String(option)});
        EXPECT_EQ(help.exitCode, 0) << option;
        EXPECT_TRUE(help.out.startsWith(QStringLiteral("Uso: velmora"))) << help.out.toStdString();
        EXPECT_TRUE(help.out.contains(QStringLiteral("--version"))) << option;
        EXPECT_TRUE(help.errors.isEmpty()) << help.errors.toStdString();
    }
    for (const char *option : {"--version", "-V"}) {
        const Answer version = runWithoutDisplay({QLatin1String(option)});
        EXPECT_EQ(version.exitCode, 0) << option;
        EXPECT_TRUE(
            QRegularExpression(QStringLiteral("^Velmora \\d+\\.\\d+\\S*\n$")).match(version.out).hasMatch())
            << version.out.toStdString();
    }
}

TEST(CommandLine, AnythingElseIsRefusedInOneLineAndTheProgramDoesNotStart)
{
    for (const QStringList &arguments : QList<QStringList>{{QStringLiteral("--fullscreen")},
             {QStringLiteral("parole.txt")}, {QStringLiteral("--help"), QStringLiteral("--bogus")},
             {QStringLiteral("--version"), QStringLiteral("--help")}}) {
        const Answer answer = runWithoutDisplay(arguments);
        const std::string shown = arguments.join(u' ').toStdString();
        EXPECT_EQ(answer.exitCode, 2) << shown;
        EXPECT_TRUE(answer.out.isEmpty()) << shown;
        EXPECT_EQ(answer.errors.count(u'\n'), 1) << answer.errors.toStdString();
        EXPECT_TRUE(answer.errors.contains(arguments.last())) << answer.errors.toStdString();
        // Not the message about a missing display: the program stopped before.
        EXPECT_FALSE(answer.errors.contains(QStringLiteral("xvfb-run"))) << shown;
    }
}

} // namespace
