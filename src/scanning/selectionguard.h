#pragma once

#include <QtGlobal>

// A hand that hits the switch twice, or a press that comes late, must not
// answer what the pupil has not seen. After a selection, and in a window
// just opened, a press counts only once the highlight has stood on its
// button for the guard time; the highlight itself goes on as usual.
// Times are milliseconds on any clock that only goes forward.
class SelectionGuard
{
public:
    // 0 lets every press count at once.
    void setTime(int milliseconds);

    // A selection was made or the window opened: the guard runs from the
    // highlight standing now, or from the next one when none is shown.
    void arm(qint64 nowMs, bool highlightShown);
    // The highlight moved, or went when `shown` is false.
    void highlightMoved(qint64 nowMs, bool shown);
    // Whether a press now is held back.
    bool holds(qint64 nowMs) const;

private:
    int m_timeMs = 0;
    bool m_waitingForHighlight = false;
    qint64 m_since = 0;
};
