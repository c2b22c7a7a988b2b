#pragma once

#include <QtGlobal>

// The clock of switch presses: milliseconds that only go forward, one clock
// for every window, as they share the times of the releases.
namespace ScanClock {

qint64 now();

// Moves the clock ahead, as time passing between two presses would; for
// tests that send presses faster than a pupil can.
void advance(qint64 milliseconds);
// Back to the plain clock.
void reset();

} // namespace ScanClock
