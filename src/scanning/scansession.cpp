#include "scansession.h"

#include "scanlog.h"

#include "feedback/speechoutput.h"
#include "state/appstate.h"

#include <QElapsedTimer>

#include <algorithm>

namespace {

// Often enough for the bar of a timed press to fill smoothly.
constexpr int kPressFrameMs = 30;

// One clock for every window, as they share the times of the releases.
qint64 now()
{
    static const QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return clock.elapsed();
}

} // namespace

ScanSession::ScanSession(QWidget *window, KeyHandler keyDown, KeyHandler keyUp, std::function<void()> tick)
    : QObject(window)
    , m_keyDown(std::move(keyDown))
    , m_keyUp(std::move(keyUp))
    , m_sayCaption(&Speech::sayNow)
    , m_timing(appState().SwitchReleasedAt)
    , m_keys(
          window, [this](int key) { keyPressed(key); }, [this](int key) { keyReleased(key); })
{
    connect(&m_timer, &ScanTimer::tick, this, std::move(tick));
    m_pressTimer.setSingleShot(true);
    m_pressTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_pressTimer, &QTimer::timeout, this, &ScanSession::timePress);
}

ScanSession::~ScanSession() = default;

void ScanSession::start(bool keys)
{
    const ProfileSettings &settings = appState().Settings;
    // Keys already down belong to the window before.
    m_timing.clear();
    m_timing.setTimes(settings.AcceptanceTime, settings.ReleaseTime);
    m_pressTimer.stop();
    m_highlighter.clear();
    m_keys.setActive(keys);
}

void ScanSession::stop()
{
    m_timer.stop();
    m_pressTimer.stop();
    m_keys.setActive(false);
}

void ScanSession::runTimer(Scan::Timer timer)
{
    const ProfileSettings &settings = appState().Settings;
    const int interval = Scan::intervalMs(settings.ScanInterval);
    switch (timer) {
    case Scan::Timer::Stop:
        m_timer.stop();
        break;
    case Scan::Timer::Start:
        m_timer.start(interval);
        break;
    case Scan::Timer::StartInNewWindow:
        m_timer.start(interval, Scan::firstStepMs(interval, settings.FirstStepDelay));
        break;
    }
}

void ScanSession::highlight(const QList<int> &buttons)
{
    m_highlighter.highlight(buttons, appState().Settings.SelectedButtonColour);
    if (buttons.isEmpty()) {
        qCDebug(lcScanning, "highlight none");
        return;
    }
    if (!appState().Settings.SpokenHighlight || !m_sayCaption)
        return;
    const QString caption = m_highlighter.highlightedCaption();
    if (!caption.isEmpty())
        m_sayCaption(caption);
}

void ScanSession::keyPressed(int key)
{
    switch (m_timing.press(key, now())) {
    case SwitchTiming::Press::Counted:
        m_keyDown(key);
        break;
    case SwitchTiming::Press::Timed:
        qCDebug(lcScanning, "key down %d: timing the press", key);
        // The highlight waits on the button the pupil is pressing for.
        m_timer.pause();
        m_timedKey = key;
        timePress();
        break;
    case SwitchTiming::Press::Dropped:
        qCDebug(lcScanning, "key down %d within the release time: ignored", key);
        break;
    }
}

void ScanSession::keyReleased(int key)
{
    switch (m_timing.release(key, now())) {
    case SwitchTiming::Release::Counted:
        m_keyUp(key);
        break;
    case SwitchTiming::Release::TooShort:
        qCDebug(lcScanning, "key up %d before the acceptance time: ignored", key);
        m_pressTimer.stop();
        m_highlighter.showPressProgress(-1);
        m_timer.resume();
        break;
    case SwitchTiming::Release::Dropped:
        break;
    }
}

void ScanSession::timePress()
{
    const qint64 time = now();
    if (m_timing.accept(m_timedKey, time)) {
        qCDebug(lcScanning, "key %d held long enough", m_timedKey);
        m_highlighter.showPressProgress(-1);
        m_keyDown(m_timedKey);
        return;
    }
    const qint64 due = m_timing.acceptedAt(m_timedKey);
    if (due < 0)
        return;
    m_highlighter.showPressProgress(m_timing.progress(time));
    m_pressTimer.start(int(std::clamp<qint64>(due - time, 1, kPressFrameMs)));
}
