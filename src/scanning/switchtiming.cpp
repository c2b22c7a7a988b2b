#include "switchtiming.h"

#include <algorithm>

void SwitchTiming::setTimes(int acceptanceMs, int releaseMs)
{
    m_acceptanceMs = std::max(0, acceptanceMs);
    m_releaseMs = std::max(0, releaseMs);
}

SwitchTiming::Press SwitchTiming::press(int key, qint64 nowMs)
{
    Down down;
    down.since = nowMs;
    const auto released = m_releasedAt->constFind(key);
    if (released != m_releasedAt->cend() && nowMs - *released < m_releaseMs)
        down.dropped = true;
    else
        down.counted = m_acceptanceMs == 0;
    m_down.insert(key, down);
    if (down.dropped)
        return Press::Dropped;
    return down.counted ? Press::Counted : Press::Timed;
}

bool SwitchTiming::accept(int key, qint64 nowMs)
{
    const auto down = m_down.find(key);
    if (down == m_down.end() || down->counted || down->dropped || nowMs - down->since < m_acceptanceMs)
        return false;
    down->counted = true;
    return true;
}

void SwitchTiming::ignore(int key, qint64 nowMs)
{
    Down down;
    down.since = nowMs;
    down.dropped = true;
    m_down.insert(key, down);
}

SwitchTiming::Release SwitchTiming::release(int key, qint64 nowMs)
{
    const auto down = m_down.constFind(key);
    if (down == m_down.cend())
        return Release::Dropped;
    const Down was = *down;
    m_down.erase(down);
    if (was.counted) {
        m_releasedAt->insert(key, nowMs);
        return Release::Counted;
    }
    return was.dropped ? Release::Dropped : Release::TooShort;
}

double SwitchTiming::progress(qint64 nowMs) const
{
    for (const Down &down : m_down) {
        if (!down.counted && !down.dropped && m_acceptanceMs > 0)
            return std::clamp(double(nowMs - down.since) / m_acceptanceMs, 0.0, 1.0);
    }
    return -1;
}

qint64 SwitchTiming::acceptedAt(int key) const
{
    const auto down = m_down.constFind(key);
    if (down == m_down.cend() || down->counted || down->dropped)
        return -1;
    return down->since + m_acceptanceMs;
}
