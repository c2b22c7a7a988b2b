#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

// The clock of automatic scanning. Each tick is due a whole number of
// intervals after start(), so a late tick does not push back the ones after
// it; ticks missed while the program was busy are skipped, not fired in a burst.
class ScanTimer : public QObject
{
    Q_OBJECT

public:
    // Nanoseconds that only go forward.
    using Clock = std::function<qint64()>;

    // On the steady clock, or on `clock` for tests.
    explicit ScanTimer(QObject *parent = nullptr, Clock clock = {});

    void setClock(Clock clock);

    // (Re)starts: the first tick comes one full interval from now, or
    // firstMs from now when given.
    void start(int intervalMs, int firstMs = -1);
    void stop();
    // Holds the next tick back, and lets it come after the time it still
    // had to wait; neither does anything to a stopped timer.
    void pause();
    void resume();
    // The wait in progress has not begun: it begins whole at release(), or
    // maxMs from now at the latest. While held, the countdown stands full.
    // A restart lets go of the hold.
    void hold(int maxMs);
    void release();

    bool isActive() const { return m_active; }
    bool isPaused() const { return m_paused; }
    bool isHeld() const { return m_held && m_clock() < m_startNs; }
    // The time until the next tick is due; -1 when stopped.
    int remainingMs() const;
    int interval() const { return m_intervalMs; }
    // The share of the wait in progress still to go, 1 to 0, for the
    // countdown on the highlighted button; -1 when stopped.
    double leftOfWait() const;

Q_SIGNALS:
    void tick();

private:
    void scheduleNext();
    void onTimeout();

    qint64 elapsedNs() const { return m_clock() - m_startNs; }

    Clock m_clock;
    QTimer m_timer;
    qint64 m_startNs = 0;
    qint64 m_dueNs = 0;
    // How long the wait in progress lasts in all: the first one may be longer.
    qint64 m_waitNs = 0;
    qint64 m_remainingNs = 0;
    int m_intervalMs = 0;
    bool m_active = false;
    bool m_paused = false;
    // While held, the wait in progress starts at m_startNs, ahead of now.
    bool m_held = false;
};
