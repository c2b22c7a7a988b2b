// Automatic scanning as a pupil sees it: how evenly the highlight steps over
// the main menu at 1 s and at 0.25 s (each step repaints the menu), and how
// long a switch release takes to show the highlight on the next button.
//
//   bench_scanning [STEPS]   (default 100 steps per interval)

#include "app/formmenu.h"
#include "app/startup.h"
#include "layout/formhost.h"
#include "scanning/menuscanning.h"
#include "state/appstate.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTest>

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

FormMenu *showMenu(FormHost &host, int mode, int scanInterval)
{
    appState().Settings.InputMode = qint16(mode);
    appState().Settings.ScanInterval = qint16(scanInterval);
    auto *menu = static_cast<FormMenu *>(host.showForm(QStringLiteral("FormMenu")));
    QCoreApplication::processEvents();
    return menu;
}

void measureSteps(FormHost &host, int scanInterval, int steps)
{
    const double intervalMs = scanInterval * 250.0;
    FormMenu *menu = showMenu(host, 2, scanInterval);
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

void measureKeyToHighlight(FormHost &host, int presses)
{
    FormMenu *menu = showMenu(host, 1, 4);
    std::vector<double> times;
    for (int i = 0; i < presses; ++i) {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : menu;
        QTest::keyPress(target, Qt::Key_Space);
        QElapsedTimer clock;
        clock.start();
        QTest::keyRelease(target, Qt::Key_Space);
        menu->repaint();
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("space release to highlight repainted, %d presses: median %.2f ms, worst %.2f ms\n", presses,
        median(times), *std::max_element(times.begin(), times.end()));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int steps = argc > 1 ? std::max(2, std::atoi(argv[1])) : 100;

    // Profiles go to a folder of their own, never the real home.
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    appState().ApplicationFolder = home.path();

    FormHost host;
    registerForms(host);
    host.resize(1280, 800);
    host.show();

    measureKeyToHighlight(host, 200);
    measureSteps(host, 1, steps);
    measureSteps(host, 4, steps);
    return 0;
}
