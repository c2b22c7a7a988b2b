#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// The clock of automatic scanning. Each tick is due a whole number of
// intervals after start(), so a late tick does not push back the ones after
// it; ticks missed while the program was busy are skipped, not fired in a burst.
class ScanTimer : public QObject
{
    Q_OBJECT

public:
    explicit ScanTimer(QObject *parent = nullptr);

    // (Re)starts: the first tick comes one full interval from now, or
    // firstMs from now when given.
    void start(int intervalMs, int firstMs = -1);
    void stop();
    // Holds the next tick back, and lets it come after the time it still
    // had to wait; neither does anything to a stopped timer.
    void pause();
    void resume();

    bool isActive() const { return m_active; }
    bool isPaused() const { return m_paused; }
    // The time until the next tick is due; -1 when stopped.
    int remainingMs() const;
    int interval() const { return m_intervalMs; }

Q_SIGNALS:
    void tick();

private:
    void scheduleNext();
    void onTimeout();

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_dueNs = 0;
    qint64 m_remainingNs = 0;
    int m_intervalMs = 0;
    bool m_active = false;
    bool m_paused = false;
};
