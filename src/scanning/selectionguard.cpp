#include "selectionguard.h"

#include <algorithm>

void SelectionGuard::setTime(int milliseconds)
{
    m_timeMs = std::max(0, milliseconds);
}

void SelectionGuard::arm(qint64 nowMs, bool highlightShown)
{
    m_waitingForHighlight = !highlightShown;
    m_since = nowMs;
}

void SelectionGuard::highlightMoved(qint64 nowMs, bool shown)
{
    if (m_waitingForHighlight && shown) {
        m_waitingForHighlight = false;
        m_since = nowMs;
    }
}

bool SelectionGuard::holds(qint64 nowMs) const
{
    return m_timeMs > 0 && (m_waitingForHighlight || nowMs - m_since < m_timeMs);
}
