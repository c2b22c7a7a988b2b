#include "testenv.h"
#include "xsession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>

// The real program heard through a sound server of the test's own, whose
// only output is a silent sink recorded from its monitor: the greeting,
// "leggi" and a wrong answer must each reach it as sound.
namespace {

constexpr int kRate = 22050;

class SoundServer
{
public:
    ~SoundServer()
    {
        for (QProcess *process : {&m_recorder, &m_server}) {
            process->terminate();
            if (!process->waitForFinished(3000)) {
                process->kill();
                process->waitForFinished();
            }
        }
    }

    bool start()
    {
        m_socket = m_home.runtimeDir() + QStringLiteral("/native");
        m_server.setProcessEnvironment(m_home.environment());
        m_server.start(QStringLiteral("pulseaudio"),
            {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                QStringLiteral("--disable-shm=yes"), QStringLiteral("-L"),
                QStringLiteral("module-null-sink sink_name=heard"), QStringLiteral("-L"),
                QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + m_socket});
        QElapsedTimer waited;
        waited.start();
        while (!QFileInfo::exists(m_socket) && waited.elapsed() < 10000
            && m_server.state() != QProcess::NotRunning)
            QThread::msleep(50);
        if (!QFileInfo::exists(m_socket))
            return false;
        m_recording = m_home.path() + QStringLiteral("/heard.raw");
        m_recorder.setProcessEnvironment(environment());
        m_recorder.setStandardOutputFile(m_recording);
        m_recorder.start(QStringLiteral("parec"),
            {QStringLiteral("-d"), QStringLiteral("heard.monitor"), QStringLiteral("--format=s16le"),
                QStringLiteral("--rate=%1").arg(kRate), QStringLiteral("--channels=1"),
                QStringLiteral("--latency-msec=20")});
        return m_recorder.waitForStarted();
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + m_socket);
        return env;
    }

    // Where the recording has reached, in samples.
    qint64 now() const { return QFileInfo(m_recording).size() / 2; }

    // The milliseconds of sound louder than a whisper from sample `from` on.
    int loudMilliseconds(qint64 from, qint64 to = -1) const
    {
        QFile file(m_recording);
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        const QByteArray bytes = file.readAll();
        const auto *samples = reinterpret_cast<const qint16 *>(bytes.constData());
        const qint64 end = to < 0 ? bytes.size() / 2 : std::min<qint64>(to, bytes.size() / 2);
        constexpr int window = kRate / 100;
        int loud = 0;
        for (qint64 start = from; start + window <= end; start += window) {
            double sum = 0;
            for (qint64 i = start; i < start + window; ++i)
                sum += double(samples[i]) * samples[i];
            loud += std::sqrt(sum / window) > 300 ? 10 : 0;
        }
        return loud;
    }

private:
    PrivateHome m_home{QStringLiteral("velmora-pulse")};
    QString m_socket;
    QString m_recording;
    QProcess m_server;
    QProcess m_recorder;
};

} // namespace

TEST(Heard, TheGreetingLeggiAndAWrongAnswerAreHeard)
{
    SoundServer sound;
    ASSERT_TRUE(sound.start()) << "no sound server: is pulseaudio installed?";

    ProfileSettings settings;
    // Manual scanning: Enter selects, space moves on; no mouse needed.
    settings.setInputMode(InputMode::Manual);
    settings.SpeechOn = true;
    settings.SoundsOn = true;
    settings.BalloonVisible = true;
    XSession x;
    ASSERT_TRUE(x.start(settings, sound.environment())) << x.error().toStdString();
    const auto dumpLogOnFailure = qScopeGuard([&] {
        if (::testing::Test::HasFailure())
            std::cerr << "The program's log:\n" << x.log().toStdString() << '\n';
    });

    // Start window, "Suoni simili", "b p".
    for (const char *form : {"FormMenu", "FormMenuSuoniSimili", "FormEsercizi"}) {
        const int from = x.lineCount();
        x.tap(QStringLiteral("Return"));
        ASSERT_GE(x.waitForLine(QStringLiteral("shown ") + QLatin1String(form), from), 0) << form;
        // Past the selection guard of a menu just opened.
        if (qstrcmp(form, "FormEsercizi") != 0)
            x.settle(800);
    }
    const qint64 greeting = sound.now();
    x.waitForLine(QStringLiteral("speak \"Ciao!\""));
    x.settle(2000);
    EXPECT_GE(sound.loudMilliseconds(greeting), 200) << "the greeting";

    // Past both answers to "leggi".
    x.tap(QStringLiteral("space"));
    x.tap(QStringLiteral("space"));
    x.settle(300);
    qint64 from = sound.now();
    int line = x.lineCount();
    x.tap(QStringLiteral("Return"));
    ASSERT_GE(x.waitForLine(QStringLiteral("speak \""), line), 0);
    x.settle(2000);
    EXPECT_GE(sound.loudMilliseconds(from), 150) << "the word read aloud";

    // Back to the first answer; a right one moves on to the next item, until
    // one is wrong.
    x.tap(QStringLiteral("space"));
    x.settle(300);
    bool wrong = false;
    for (int attempt = 0; attempt < 8 && !wrong; ++attempt) {
        from = sound.now();
        line = x.lineCount();
        x.tap(QStringLiteral("Return"));
        ASSERT_GE(x.waitForLine(QStringLiteral("answer "), line), 0);
        wrong = !x.linesWith(QStringLiteral(": wrong"), line).isEmpty();
        x.settle(1500);
        if (!wrong) {
            x.tap(QStringLiteral("Return"));
            x.settle(800);
        }
    }
    ASSERT_TRUE(wrong) << "never a wrong answer";
    EXPECT_GE(sound.loudMilliseconds(from), 150) << "the wrong-answer sound";
}
