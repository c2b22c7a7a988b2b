#include "scanclock.h"

#include <QElapsedTimer>

namespace {

qint64 offsetMs = 0;

} // namespace

qint64 ScanClock::now()
{
    static const QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return clock.elapsed() + offsetMs;
}

void ScanClock::advance(qint64 milliseconds)
{
    offsetMs += milliseconds;
}

void ScanClock::reset()
{
    offsetMs = 0;
}
