#include "scantimer.h"

#include <QElapsedTimer>

#include <algorithm>

namespace {

constexpr qint64 kNsPerMs = 1000000;

qint64 steadyNs()
{
    static const QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return clock.nsecsElapsed();
}

} // namespace

ScanTimer::ScanTimer(QObject *parent, Clock clock)
    : QObject(parent)
    , m_clock(clock ? std::move(clock) : Clock(&steadyNs))
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ScanTimer::onTimeout);
}

void ScanTimer::setClock(Clock clock)
{
    m_clock = clock ? std::move(clock) : Clock(&steadyNs);
}

void ScanTimer::start(int intervalMs, int firstMs)
{
    m_intervalMs = std::max(1, intervalMs);
    m_active = true;
    m_paused = false;
    m_held = false;
    m_startNs = m_clock();
    m_dueNs = qint64(firstMs >= 0 ? firstMs : m_intervalMs) * kNsPerMs;
    m_waitNs = m_dueNs;
    scheduleNext();
}

void ScanTimer::stop()
{
    m_active = false;
    m_paused = false;
    m_held = false;
    m_timer.stop();
}

void ScanTimer::pause()
{
    if (!m_active || m_paused)
        return;
    m_paused = true;
    m_remainingNs = std::max<qint64>(0, m_dueNs - elapsedNs());
    m_timer.stop();
}

void ScanTimer::resume()
{
    if (!m_active || !m_paused)
        return;
    m_paused = false;
    // The wait goes on where it stood: the clock starts again from its start.
    m_startNs = m_clock() - (m_waitNs - m_remainingNs);
    m_dueNs = m_waitNs;
    scheduleNext();
}

void ScanTimer::hold(int maxMs)
{
    if (!m_active)
        return;
    m_held = true;
    const qint64 startNs = m_clock() + qint64(std::max(0, maxMs)) * kNsPerMs;
    if (m_paused) {
        m_remainingNs = m_waitNs + (startNs - m_clock());
        return;
    }
    m_startNs = startNs;
    m_dueNs = m_waitNs;
    scheduleNext();
}

void ScanTimer::release()
{
    if (!m_active || !m_held)
        return;
    m_held = false;
    if (m_paused) {
        m_remainingNs = std::min(m_remainingNs, m_waitNs);
        return;
    }
    // Past the longest hold the wait has already begun.
    const qint64 nowNs = m_clock();
    if (nowNs >= m_startNs)
        return;
    m_startNs = nowNs;
    m_dueNs = m_waitNs;
    scheduleNext();
}

int ScanTimer::remainingMs() const
{
    if (!m_active)
        return -1;
    const qint64 ns = m_paused ? m_remainingNs : std::max<qint64>(0, m_dueNs - elapsedNs());
    return int((ns + kNsPerMs - 1) / kNsPerMs);
}

double ScanTimer::leftOfWait() const
{
    if (!m_active || m_waitNs <= 0)
        return -1;
    const qint64 ns = m_paused ? m_remainingNs : std::max<qint64>(0, m_dueNs - elapsedNs());
    return std::min(1.0, double(ns) / double(m_waitNs));
}

void ScanTimer::scheduleNext()
{
    const qint64 waitNs = std::max<qint64>(0, m_dueNs - elapsedNs());
    // Rounded up: a tick may come a little late, never early.
    m_timer.start(int((waitNs + kNsPerMs - 1) / kNsPerMs));
}

void ScanTimer::onTimeout()
{
    if (!m_active || m_paused)
        return;
    const qint64 nowNs = elapsedNs();
    if (nowNs < m_dueNs) {
        scheduleNext();
        return;
    }
    const qint64 intervalNs = qint64(m_intervalMs) * kNsPerMs;
    m_dueNs += intervalNs;
    if (m_dueNs <= nowNs)
        m_dueNs += ((nowNs - m_dueNs) / intervalNs + 1) * intervalNs;
    m_waitNs = intervalNs;
    // Scheduled before the tick is delivered, so a handler may stop or restart.
    scheduleNext();
    Q_EMIT tick();
}

#include "moc_scantimer.cpp"
