#pragma once

// Where the start-up spends its time. Each step is logged with the time it
// ended on the system's monotonic clock, in microseconds, so that a program
// that starts Velmora and reads the same clock (bench_startup) can put the
// steps on one line with what it sees from outside:
//
//   QT_LOGGING_RULES="velmora.startup.debug=true" velmora
//   velmora.startup: 51234567890 profile read
namespace StartupTrace {

// Logs `step` with the time now; nothing when the category is off.
void mark(const char *step);

} // namespace StartupTrace
