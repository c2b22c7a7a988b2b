#pragma once

#include <QHash>
#include <QtGlobal>

// How long a switch must be held, and how soon it may be pressed again, for
// a press to count. A press counts once it has lasted the acceptance time,
// so a tremor or a brush against the switch selects nothing; a press that
// comes within the release time after a counted press was let go is the
// switch bouncing, or the hand hitting twice, and is dropped with its
// release. Both at 0, every press counts at once, as it always did.
// Times are milliseconds on any clock that only goes forward.
class SwitchTiming
{
public:
    enum class Press {
        Counted, // the press counts now
        Timed, // it counts if still held at acceptedAt()
        Dropped, // a bounce: neither it nor its release counts
    };
    enum class Release {
        Counted, // the release of a counted press
        TooShort, // the press was let go before it counted
        Dropped,
    };

    // Keeps the times of the releases in a table of its own.
    SwitchTiming() = default;
    // Keeps them in `releasedAt`, a table that may be shared and outlive
    // this, with times on one clock.
    explicit SwitchTiming(QHash<int, qint64> &releasedAt)
        : m_releasedAt(&releasedAt)
    { }
    SwitchTiming(const SwitchTiming &) = delete;
    SwitchTiming &operator=(const SwitchTiming &) = delete;

    void setTimes(int acceptanceMs, int releaseMs);

    Press press(int key, qint64 nowMs);
    // True once a timed press of this key has been held long enough; it
    // then counts, and the caller passes it on.
    bool accept(int key, qint64 nowMs);
    // A press the caller does not act on: it is dropped with its release.
    void ignore(int key, qint64 nowMs);
    Release release(int key, qint64 nowMs);
    // Forget the keys that are down, as when another window takes them.
    void clear() { m_down.clear(); }

    // The press being timed: how much of the acceptance time has passed, 0 to
    // 1; -1 when no press is being timed.
    double progress(qint64 nowMs) const;
    // When the press of this key being timed will count; -1 when none.
    qint64 acceptedAt(int key) const;

private:
    struct Down
    {
        qint64 since = 0;
        bool counted = false;
        bool dropped = false;
    };

    int m_acceptanceMs = 0;
    int m_releaseMs = 0;
    QHash<int, Down> m_down;
    // The last time each key's counted press was let go.
    QHash<int, qint64> m_ownReleases;
    QHash<int, qint64> *m_releasedAt = &m_ownReleases;
};
