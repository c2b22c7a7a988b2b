#include "menuscanning.h"

#include "state/appstate.h"
#include "state/logcategories.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPushButton>

namespace {

constexpr double kMouseHighlight = 255; // pure red, whatever the profile says

} // namespace

MenuScanning::MenuScanning(
    QWidget *window, QWidget *background, const QList<QPushButton *> &buttons, std::function<void(int)> click)
    : QObject(window)
    , m_background(background)
    , m_buttons(buttons)
    , m_click(std::move(click))
    , m_scan(int(buttons.size()), *this)
    , m_session(
          window, [this](int key) { m_scan.keyDown(key); }, [this](int key) { m_scan.keyUp(key); },
          [this] { m_scan.tick(); })
{
    m_session.setButtons({buttons.cbegin(), buttons.cend()});

    m_background->setMouseTracking(true);
    m_background->installEventFilter(this);
    for (QPushButton *button : std::as_const(m_buttons)) {
        button->setMouseTracking(true);
        button->installEventFilter(this);
    }
}

MenuScanning::~MenuScanning() = default;

void MenuScanning::activate()
{
    const ProfileSettings &settings = appState().Settings;
    QList<QList<int>> rows;
    if (settings.RowColumnScanning) {
        QList<QRect> places;
        for (const QPushButton *button : std::as_const(m_buttons))
            places << button->geometry();
        rows = Scan::rowsOf(places);
    }
    m_scan.setRows(rows);
    m_scan.setLoops(settings.ScanLoops);
    m_session.start();
    m_scan.activate(settings.inputMode());
}

void MenuScanning::deactivate()
{
    m_session.stop();
}

void MenuScanning::highlight(const QList<int> &buttons)
{
    m_session.highlight(buttons);
}

void MenuScanning::select(int index)
{
    // The name first, which a session driven from outside waits for, then
    // what the pupil saw on the button.
    if (const QPushButton *button = m_buttons.value(index))
        qCDebug(lcScanning, "select %s «%s»", qPrintable(button->objectName()), qPrintable(button->text()));
    else
        qCDebug(lcScanning, "select none");
    if (m_click)
        m_click(index);
}

void MenuScanning::runTimer(Scan::Timer timer)
{
    m_session.runTimer(timer);
}

bool MenuScanning::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseMove && event->type() != QEvent::Enter)
        return false;
    if (watched == m_background) {
        // A button passes its mouse moves on to the background; those do not count.
        if (event->type() == QEvent::MouseMove
            && !m_background->childAt(static_cast<QMouseEvent *>(event)->position().toPoint()))
            mouseOverBackground();
    } else {
        const int index = int(m_buttons.indexOf(static_cast<QPushButton *>(watched)));
        if (index >= 0)
            mouseOverButton(index);
    }
    return false;
}

void MenuScanning::mouseOverButton(int index)
{
    // In the scanning modes the mouse moves no highlight.
    if (m_session.active())
        return;
    m_session.highlighter().highlight(index, kMouseHighlight);
}

void MenuScanning::mouseOverBackground()
{
    if (m_session.active())
        return;
    m_session.highlighter().clear();
}

#include "moc_menuscanning.cpp"
