// The floor of the start-up benchmark: a bare full-screen Qt window with one
// button, as small as a Qt Widgets program gets. It logs its start-up steps
// as Velmora does, so that the benchmark can set them side by side.

#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

#include <cstdio>
#include <ctime>

namespace {

void mark(const char *step)
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(
        stderr, "velmora.startup: %lld %s\n", (long long)now.tv_sec * 1000000 + now.tv_nsec / 1000, step);
}

// Marks the first paint of any widget.
class FirstPaint : public QObject
{
protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            mark("window painted");
        }
        return false;
    }

private:
    bool m_seen = false;
};

} // namespace

int main(int argc, char **argv)
{
    mark("main entered");
    QApplication app(argc, argv);
    mark("Qt application made");
    FirstPaint firstPaint;
    app.installEventFilter(&firstPaint);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.setGeometry(QGuiApplication::primaryScreen()->geometry());
    auto *button = new QPushButton(QStringLiteral("Avvio"), &window);
    button->setGeometry(300, 250, 200, 100);
    window.show();
    return app.exec();
}
