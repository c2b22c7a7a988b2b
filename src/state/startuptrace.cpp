#include "startuptrace.h"

#include "logcategories.h"

#include <ctime>

namespace StartupTrace {

void mark(const char *step)
{
    if (!lcStartup().isDebugEnabled())
        return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long microseconds = (long long)now.tv_sec * 1000000 + now.tv_nsec / 1000;
    qCDebug(lcStartup, "%lld %s", microseconds, step);
}

} // namespace StartupTrace
