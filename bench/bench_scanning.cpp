// Automatic scanning as a pupil sees it: how evenly the highlight steps over
// the main menu at 1 s and at 0.25 s (each step repaints the menu), how
// long a switch release takes to show the highlight on the next button
// (acceptance and release times at 0), and how many automatic steps a pupil
// waits to reach each button of the largest topic menu, one by one against
// by rows and columns.
// Under an X server (DISPLAY set, e.g. xvfb-run) the release is also
// measured for real X key events sent by xdotool, from the event's arrival in
// the program to the next button repainted. Releases are measured with the
// selection guard off and on. Last, the processor time taken while the menu
// scans by itself, with its countdown, against the menu at rest.
//
//   bench_scanning [STEPS]   (default 100 steps per interval)

#include "privatehome.h"

#include "app/formmenu.h"
#include "app/program.h"
#include "app/topicmenu.h"
#include "layout/flatbuttonstyle.h"
#include "layout/formhost.h"
#include "layout/formnames.h"
#include "scanning/controllersource.h"
#include "scanning/menuscanning.h"
#include "scanning/scanclock.h"
#include "scanning/switchkeys.h"
#include "state/appstate.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The selection guard of the runs that follow: 0 (off) or the default.
int guardMs = 0;

// Before each press the pupil has looked at the highlight longer than the guard.
void lookAtTheHighlight()
{
    ScanClock::advance(guardMs + 100);
}

const char *guardName()
{
    return guardMs > 0 ? "guard on" : "guard off";
}

FormMenu *showMenu(FormHost &host, InputMode mode, int scanInterval)
{
    appState().Settings.SelectionGuard = qint16(guardMs);
    appState().Settings.setInputMode(mode);
    appState().Settings.ScanInterval = qint16(scanInterval);
    appState().Settings.AcceptanceTime = 0;
    appState().Settings.ReleaseTime = 0;
    auto *menu = static_cast<FormMenu *>(host.showForm(FormName::kMainMenu));
    QCoreApplication::processEvents();
    return menu;
}

void measureSteps(FormHost &host, int scanInterval, int steps)
{
    const double intervalMs = scanInterval * 250.0;
    FormMenu *menu = showMenu(host, InputMode::Automatic, scanInterval);
    QElapsedTimer clock;
    clock.start();
    std::vector<double> at;
    QEventLoop loop;
    QObject::connect(&menu->scanning()->timer(), &ScanTimer::tick, menu, [&] {
        at.push_back(clock.nsecsElapsed() / 1e6);
        menu->repaint();
        if (int(at.size()) == steps)
            loop.quit();
    });
    loop.exec();

    std::vector<double> intervalErrors;
    double worst = 0;
    for (std::size_t i = 1; i < at.size(); ++i) {
        const double error = at[i] - at[i - 1] - intervalMs;
        intervalErrors.push_back(std::abs(error));
        worst = std::max(worst, std::abs(error));
    }
    // How much later the last step comes than whole intervals after the first.
    const double drift = at.back() - at.front() - intervalMs * double(at.size() - 1);
    std::printf("interval %4.0f ms, %d steps: median deviation %.2f ms, worst %.2f ms, drift %.2f ms\n",
        intervalMs, steps, median(intervalErrors), worst, drift);
}

double measureKeyToHighlight(FormHost &host, int presses)
{
    FormMenu *menu = showMenu(host, InputMode::Manual, 4);
    std::vector<double> times;
    for (int i = 0; i < presses; ++i) {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : menu;
        lookAtTheHighlight();
        QTest::keyPress(target, Qt::Key_Space);
        QElapsedTimer clock;
        clock.start();
        QTest::keyRelease(target, Qt::Key_Space);
        menu->repaint();
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("space release to highlight repainted, %s, %d presses: median %.2f ms, worst %.2f ms\n",
        guardName(), presses, median(times), *std::max_element(times.begin(), times.end()));
    return median(times);
}

// From a real X key release reaching the program to the paint of the
// button it highlights.
class ReleaseToPaint : public QObject
{
public:
    explicit ReleaseToPaint(FormMenu *menu)
        : m_menu(menu)
    {
        m_clock.start();
    }

    std::vector<double> times;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const bool release
            = event->type() == QEvent::KeyRelease || event->type() == QEvent::MouseButtonRelease;
        if (release && watched->isWindowType()) {
            m_releasedAt = m_clock.nsecsElapsed();
        } else if (event->type() == QEvent::Paint && m_releasedAt >= 0
            && watched == m_menu->button(m_menu->scanning()->highlighter().highlighted())) {
            times.push_back(double(m_clock.nsecsElapsed() - m_releasedAt) / 1e6);
            m_releasedAt = -1;
        }
        return false;
    }

private:
    FormMenu *m_menu;
    QElapsedTimer m_clock;
    qint64 m_releasedAt = -1;
};

// A switch that is a key, or a mouse button clicked where the pointer
// stands, sent by xdotool; the median, or -1 when nothing arrived.
double measureRealReleaseToHighlight(FormHost &host, int presses, bool mouse)
{
    appState().Settings.Switch1Input = mouse ? QStringLiteral("mouse:left") : QStringLiteral("key:Space");
    FormMenu *menu = showMenu(host, InputMode::Manual, 4);
    ReleaseToPaint probe(menu);
    QCoreApplication::instance()->installEventFilter(&probe);
    const QStringList press = mouse ? QStringList{QStringLiteral("click"), QStringLiteral("1")}
                                    : QStringList{QStringLiteral("key"), QStringLiteral("space")};
    for (int i = 0; i < presses; ++i) {
        const std::size_t before = probe.times.size();
        lookAtTheHighlight();
        QProcess::startDetached(QStringLiteral("xdotool"), press);
        QElapsedTimer waited;
        waited.start();
        while (probe.times.size() == before && waited.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    QCoreApplication::instance()->removeEventFilter(&probe);
    appState().Settings.Switch1Input = QStringLiteral("key:Space");
    const char *what = mouse ? "mouse click" : "space";
    if (probe.times.empty()) {
        std::printf("real X %s release: nothing reached the program (is xdotool installed?)\n", what);
        return -1;
    }
    std::printf("real X %s release to highlight repainted, %s, %zu presses: median %.2f ms, worst %.2f ms "
                "(detectable auto-repeat %s)\n",
        what, guardName(), probe.times.size(), median(probe.times),
        *std::max_element(probe.times.begin(), probe.times.end()),
        KeyRepeatGuard::detectableAutoRepeat() ? "on" : "off");
    return median(probe.times);
}

// Controller buttons handed over as the controller source hands them to
// the GUI thread.
class BenchControllers : public ControllerSource
{
public:
    void start() override { }
    QString problem() const override { return {}; }
    void press(bool down) { down ? Q_EMIT buttonPressed(0) : Q_EMIT buttonReleased(0); }
};

// From a controller button's release arriving on the GUI thread to the
// next button repainted, beside the same for a space release.
void measureControllerToHighlight(FormHost &host, int presses, double keyMedian)
{
    auto owned = std::make_unique<BenchControllers>();
    BenchControllers *controllers = owned.get();
    Controllers::setSource(std::move(owned));
    appState().Settings.Switch1Input = QStringLiteral("controller:a");
    FormMenu *menu = showMenu(host, InputMode::Manual, 4);
    std::vector<double> times;
    for (int i = 0; i < presses; ++i) {
        lookAtTheHighlight();
        controllers->press(true);
        QElapsedTimer clock;
        clock.start();
        controllers->press(false);
        menu->repaint();
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    appState().Settings.Switch1Input = QStringLiteral("key:Space");
    host.showForm(FormName::kStart);
    Controllers::setSource(nullptr);
    std::printf("controller release to highlight repainted, %s, %d presses: median %.2f ms, worst %.2f ms; "
                "against a space release: %+.2f ms\n",
        guardName(), presses, median(times), *std::max_element(times.begin(), times.end()),
        median(times) - keyMedian);
}

void releaseSpace()
{
    QWidget *target
        = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
    QTest::keyPress(target, Qt::Key_Space);
    QTest::keyRelease(target, Qt::Key_Space);
}

// Automatic steps until `button` alone is lit, entering its row on the way
// when the menu is scanned by rows; -1 when it is never reached.
int stepsToReach(FormHost &host, int button)
{
    host.showForm(FormName::kMainMenu);
    auto *menu = static_cast<TopicMenuForm *>(host.showForm(FormName::kCGMenu));
    QCoreApplication::processEvents();
    MenuScanning *scanning = menu->scanning();
    for (int steps = 1; steps <= 2 * menu->buttonCount(); ++steps) {
        scanning->tick();
        const QList<int> &lit = scanning->highlighter().highlightedButtons();
        if (lit.size() > 1 && lit.contains(button))
            releaseSpace();
        if (scanning->highlighter().highlightedButtons() == QList<int>{button})
            return steps;
    }
    return -1;
}

void measureRowColumn(FormHost &host)
{
    appState().Settings.setInputMode(InputMode::Automatic);
    appState().Settings.ScanInterval = 4;
    const int count = int(Catalogue::menuByFormName(FormName::kCGMenu)->buttons.size());
    double linearAverage = 0;
    for (const bool rows : {false, true}) {
        appState().Settings.RowColumnScanning = rows;
        int total = 0;
        int worst = 0;
        for (int button = 0; button < count; ++button) {
            const int steps = stepsToReach(host, button);
            total += steps;
            worst = std::max(worst, steps);
        }
        const double average = double(total) / count;
        if (!rows)
            linearAverage = average;
        std::printf("largest topic menu, %d buttons, %s: steps to reach a button: average %.2f, worst %d, "
                    "%d selection%s (%.2f of one by one)\n",
            count, rows ? "by rows and columns" : "one by one", average, worst, rows ? 2 : 1, rows ? "s" : "",
            average / linearAverage);
    }
    appState().Settings.RowColumnScanning = false;
}

// The processor time the program takes over `seconds` of its event loop, in
// % of one core.
double cpuShare(int seconds)
{
    const auto used = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e6 + usage.ru_utime.tv_usec
            + usage.ru_stime.tv_usec;
    };
    QElapsedTimer wall;
    const double before = used();
    wall.start();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    return 100.0 * (used() - before) / (wall.nsecsElapsed() / 1e3);
}

// The countdown on the highlighted button repaints a thin bar many times a
// second: what that costs while the menu scans by itself, against the same
// menu worked with the mouse.
void measureCpu(FormHost &host, int seconds)
{
    showMenu(host, InputMode::Automatic, 4);
    const double scanning = cpuShare(seconds);
    showMenu(host, InputMode::Mouse, 4);
    const double idle = cpuShare(seconds);
    std::printf("processor while scanning automatically: %.2f %% of one core over %d s; idle: %.2f %%\n",
        scanning, seconds, idle);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    FlatButtonStyle::install();
    KeyRepeatGuard::install();
    const int steps = argc > 1 ? std::max(2, std::atoi(argv[1])) : 100;

    // Profiles go to a folder of their own, never the real home.
    const PrivateHome home(QStringLiteral("velmora-bench"));
    home.enter();
    appState().ApplicationFolder = home.path();

    FormHost host;
    registerForms(host);
    host.resize(1280, 800);
    host.show();

    for (const int guard : {0, 500}) {
        guardMs = guard;
        const double key = measureKeyToHighlight(host, 200);
        measureControllerToHighlight(host, 200, key);
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            host.activateWindow();
            if (QTest::qWaitForWindowActive(&host)) {
                const double realKey = measureRealReleaseToHighlight(host, 100, false);
                const QPoint inside = host.mapToGlobal(host.rect().center());
                QProcess::execute(QStringLiteral("xdotool"),
                    {QStringLiteral("mousemove"), QString::number(inside.x()), QString::number(inside.y())});
                const double click = measureRealReleaseToHighlight(host, 100, true);
                if (realKey >= 0 && click >= 0)
                    std::printf("real X mouse click against a space release, %s: %+.2f ms\n", guardName(),
                        click - realKey);
            } else {
                std::printf("real X key release: the window did not get the keyboard\n");
            }
        }
    }
    guardMs = 0;
    measureCpu(host, steps >= 100 ? 20 : 5);
    measureRowColumn(host);
    measureSteps(host, 1, steps);
    measureSteps(host, 4, steps);
    return 0;
}
