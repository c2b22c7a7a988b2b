// "leggi" as a pupil presses it: from the click to the first samples of the
// word handed to the audio output, with the character on screen; the
// spoken highlight: from a step of the highlight to the first samples of the
// cue of the button it lit; and the memory the program holds while the
// character is shown and speaking.
// Without PULSE_SERVER it starts a sound server of its own with a silent
// sink, so that the samples go to a real audio output.

#include "privatehome.h"

#include "exercises/exercisewindow.h"
#include "feedback/agent.h"
#include "feedback/playedspeech.h"
#include "feedback/sounds.h"
#include "layout/formhost.h"
#include "layout/formnames.h"
#include "scanning/exercisescanning.h"
#include "state/appstate.h"

#include <QApplication>
#include <QAudioDevice>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaDevices>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class SilentOutput : public SoundOutput
{
public:
    void play(const QString &) override { }
};

double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

bool startSoundServer(QProcess &server, const PrivateHome &home)
{
    const QString socket = home.runtimeDir() + QStringLiteral("/native");
    server.setProcessEnvironment(home.environment());
    server.start(QStringLiteral("pulseaudio"),
        {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
            QStringLiteral("--disable-shm=yes"), QStringLiteral("-L"), QStringLiteral("module-null-sink"),
            QStringLiteral("-L"),
            QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + socket});
    for (int i = 0; i < 100 && !QFile::exists(socket); ++i)
        QThread::msleep(50);
    qputenv("PULSE_SERVER", (QStringLiteral("unix:") + socket).toLocal8Bit());
    return QFile::exists(socket);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const int presses = argc > 1 ? std::max(1, atoi(argv[1])) : 50;
    const PrivateHome home(QStringLiteral("velmora-bench"));
    QProcess server;
    if (qEnvironmentVariableIsEmpty("PULSE_SERVER") && !startSoundServer(server, home))
        std::fprintf(stderr, "no sound server; the samples are timed by the clock\n");

    QApplication app(argc, argv);
    AppState &state = appState();
    state.ApplicationFolder = QCoreApplication::applicationDirPath();
    state.AgentLanguageId = QStringLiteral("&H410");
    QFile list(home.path() + QStringLiteral("/aha.txt"));
    list.open(QIODevice::WriteOnly);
    for (int i = 0; i < 50; ++i)
        list.write(QByteArray("Marco _ un gatto numero ") + QByteArray::number(i) + ",ha\r\n");
    list.close();
    state.WordListPath = list.fileName();
    state.ChoiceA = QStringLiteral("a");
    state.ChoiceB = QStringLiteral("ha");
    state.TopicMarker = QStringLiteral("h");
    state.Settings.BalloonVisible = true;
    Sounds::setOutput(std::make_unique<SilentOutput>());

    FormHost host;
    host.registerForm(
        FormName::kWordExercise, [] { return new ExerciseWindow(ExerciseWindow::Kind::Words); });
    host.resize(1280, 800);
    host.show();
    state.Settings.SpeechOn = false;
    host.showForm(FormName::kWordExercise);
    QTest::qWait(300);
    const double silentMegabytes = residentMegabytes();

    state.Settings.SpeechOn = true;
    auto *window = static_cast<ExerciseWindow *>(host.showForm(FormName::kWordExercise));
    auto *speech = dynamic_cast<PlayedSpeech *>(&Speech::output());
    const bool realOutput = !QMediaDevices::defaultAudioOutput().isNull();
    QTest::qWait(2500);

    std::vector<double> milliseconds;
    double speakingMegabytes = 0;
    for (int i = 0; i < presses; ++i) {
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(window->readButton(), Qt::LeftButton);
        while (speech->bytesHandedOver() == 0 && clock.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        milliseconds.push_back(clock.nsecsElapsed() / 1e6);
        QTest::qWait(150);
        speakingMegabytes = std::max(speakingMegabytes, residentMegabytes());
    }
    std::sort(milliseconds.begin(), milliseconds.end());

    // Automatic scanning with the spoken highlight; the steps are taken here,
    // long before the scan's own clock would take one.
    state.Settings.setInputMode(InputMode::Automatic);
    state.Settings.SpokenHighlight = true;
    state.Settings.ScanInterval = 60;
    state.Settings.ScanLoops = 0;
    window = static_cast<ExerciseWindow *>(host.showForm(FormName::kWordExercise));
    QTest::qWait(2500);
    std::vector<double> cueMilliseconds;
    for (int i = 0; i < presses; ++i) {
        QElapsedTimer clock;
        clock.start();
        window->scanning()->tick();
        while (speech->bytesHandedOver() == 0 && clock.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        cueMilliseconds.push_back(clock.nsecsElapsed() / 1e6);
        QTest::qWait(150);
    }
    std::sort(cueMilliseconds.begin(), cueMilliseconds.end());

    std::printf("audio output: %s\n", realOutput ? "sound server" : "none (clock)");
    std::printf(
        "leggi to first samples handed over (%d presses): median %.2f ms, worst %.2f ms (target < 30 ms)\n",
        presses, milliseconds[milliseconds.size() / 2], milliseconds.back());
    std::printf(
        "highlight step to the cue's first samples handed over (%d steps): median %.2f ms, worst %.2f ms "
        "(target < 30 ms)\n",
        presses, cueMilliseconds[cueMilliseconds.size() / 2], cueMilliseconds.back());
    std::printf(
        "resident memory: %.1f MB with the window silent, %.1f MB with the character shown and speaking\n",
        silentMegabytes, speakingMegabytes);
    server.terminate();
    server.waitForFinished();
    return 0;
}
