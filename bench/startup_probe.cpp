// Started by bench_startup: runs one start-up, either Velmora's or a bare Qt
// window's, and prints the time from launch to the first paint of the window
// and the resident memory at that moment, then exits.
//
//   startup_probe velmora|bare LAUNCH_NS APP_FOLDER

#include "app/startup.h"
#include "layout/formhost.h"
#include "state/appstate.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {

qint64 nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

class FirstPaint : public QObject
{
public:
    explicit FirstPaint(qint64 launchNs)
        : m_launchNs(launchNs)
    { }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            const double ms = double(nowNs() - m_launchNs) / 1e6;
            // Measured once the paint has run, like a user would see it.
            QTimer::singleShot(0, [ms] {
                std::printf("%.3f %ld\n", ms, residentKb());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    qint64 m_launchNs;
    bool m_done = false;
};

} // namespace

int main(int argc, char **argv)
{
    if (argc < 4)
        return 2;
    const QByteArray mode = argv[1];
    const qint64 launchNs = QByteArray(argv[2]).toLongLong();

    QApplication app(argc, argv);
    FirstPaint firstPaint(launchNs);
    app.installEventFilter(&firstPaint);

    if (mode == "bare") {
        QWidget window;
        auto *button = new QPushButton(QStringLiteral("Avvio"), &window);
        button->setGeometry(100, 100, 300, 150);
        window.setGeometry(QGuiApplication::primaryScreen()->geometry());
        window.showFullScreen();
        return app.exec();
    }

    appState().ApplicationFolder = QString::fromLocal8Bit(argv[3]);
    Velmora velmora;
    if (!velmora.start())
        return 3;
    return app.exec();
}
