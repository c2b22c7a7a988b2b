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

    // (Re)starts: the first tick comes one full interval from now.
    void start(int intervalMs);
    void stop();

    bool isActive() const { return m_active; }
    int interval() const { return m_intervalMs; }

Q_SIGNALS:
    void tick();

private:
    void scheduleNext();
    void onTimeout();

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_dueNs = 0;
    int m_intervalMs = 0;
    bool m_active = false;
};
