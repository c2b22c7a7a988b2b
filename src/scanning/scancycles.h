#pragma once

#include "state/inputmode.h"

#include <QList>
#include <QRect>

// The scan cycles of the menus and the exercise windows, as plain state
// machines. They decide what a switch press means; the window glue paints,
// runs the timer and performs the selection through the actions interface.

namespace Scan {

// The pupil's two switches (by default the space bar and Enter, whose key
// codes they keep); any other input is "another key".
constexpr int kSwitch1 = 32;
constexpr int kSwitch2 = 13;
constexpr int kOtherInput = 0;

// No position highlighted.
constexpr int kNone = -1;

// Whether the input is one of the pupil's switches in this input mode: both
// in manual scanning, switch 1 in automatic scanning. Any other key,
// from a keyboard or an interface that sends more than it should, neither
// steps, selects nor stops the highlight.
bool isSwitch(InputMode mode, int key);

// What the automatic steps do next. The first step in a window just opened
// waits the profile's longer delay, so the pupil can get back into position.
enum class Timer { Stop, Start, StartInNewWindow };

// The time between two automatic steps for a profile's ScanInterval, in
// quarter-seconds. A value below one quarter-second, which only a damaged
// profile can hold, would race the highlight past every button; it gives
// the default second instead.
int intervalMs(int scanInterval);

// The wait before the first step in a new window: `percent` of the interval,
// never less than the interval itself.
int firstStepMs(int intervalMs, int percent);

// The buttons, given by their rectangles, grouped in rows from the top: a
// button belongs to the row whose first button its vertical centre falls
// within. Each row lists its buttons from the left.
QList<QList<int>> rowsOf(const QList<QRect> &buttons);

} // namespace Scan

class MenuScanActions
{
public:
    virtual ~MenuScanActions() = default;
    // Exactly these buttons (a row, one button, or none) show the scanning colour.
    virtual void highlight(const QList<int> &buttons) = 0;
    // What a mouse click on the button does.
    virtual void select(int index) = 0;
    virtual void runTimer(Scan::Timer timer) = 0;
    // The pupil chose something (a button, a row, the restart): the next
    // press waits until the pupil has seen where the highlight now stands.
    virtual void selectionMade() { }
    // Automatic scanning stopped after its rounds, or started again.
    virtual void showStopped(bool) { }
};

// A menu: the buttons 0 to count - 1 in a ring or, scanning by rows and
// columns, a ring of rows, each entered by a selection to scan its buttons.
class MenuScan
{
public:
    MenuScan(int count, MenuScanActions &actions);

    // Scan by rows, each a list of button indexes in scan order; no rows:
    // every button in one ring, in index order.
    void setRows(const QList<QList<int>> &rows);
    // After `loops` full rounds without a selection automatic scanning
    // stops on no button, until a space; 0: it never stops.
    void setLoops(int loops) { m_loops = loops; }

    // The window is shown in the given input mode.
    void activate(InputMode mode);
    void keyDown(int key);
    void keyUp(int key);
    void tick();

    InputMode mode() const { return m_mode; }
    // The button highlighted alone, or Scan::kNone.
    int scanIndex() const;
    bool stopped() const { return m_stopped; }

private:
    // What the highlight moves over now: the rows, or the buttons of the row entered.
    int ringSize() const;
    QList<int> lit() const;
    void step();
    void select();
    void showAt(int position);
    void stop();
    void restart();

    int m_count = 0;
    // One group per position of the outer ring; one button each unless
    // scanning by rows.
    QList<QList<int>> m_groups;
    int m_loops = 0;
    InputMode m_mode = InputMode::Mouse;
    int m_position = 0;
    // The row whose buttons are scanned, or Scan::kNone for the outer ring.
    int m_row = Scan::kNone;
    // Positions shown since the ring was last entered or a selection made.
    int m_steps = 0;
    bool m_highlighted = false;
    bool m_stopped = false;
    MenuScanActions &m_actions;
};

class ExerciseScanActions
{
public:
    virtual ~ExerciseScanActions() = default;
    // One of: an answer (0 to answers - 1), "leggi" (answers),
    // ExerciseScan::kNext for "avanti", ExerciseScan::kWayOut for "menu",
    // or Scan::kNone.
    virtual void highlight(int position) = 0;
    // The keyboard answer path for the answer at this position.
    virtual void choose(int answer) = 0;
    virtual void read() = 0;
    virtual void nextItem() = 0;
    virtual void leave() = 0;
    virtual void runTimer(Scan::Timer timer) = 0;
    // As for menus.
    virtual void selectionMade() { }
    virtual void showStopped(bool) { }
};

// An exercise window: the answer buttons, then "leggi" when speech is on,
// then "menu" when the window offers a way out. "avanti" is not in the
// ring; it takes the highlight after a right answer.
class ExerciseScan
{
public:
    static constexpr int kNext = -2;
    static constexpr int kWayOut = -3;

    ExerciseScan(int answerCount, ExerciseScanActions &actions);

    void setLoops(int loops) { m_loops = loops; }

    // The window is shown; in automatic mode the steps start.
    void activate(InputMode mode, bool speechOn, bool wayOut = false);
    // A new item is on screen: the highlight goes to the first answer.
    void itemShown();
    // The outcome of the keyboard answer path.
    void answered(bool right);

    void keyDown(int key);
    void keyUp(int key);
    void tick();

    InputMode mode() const { return m_mode; }
    int position() const { return m_ring.value(m_index, Scan::kNone); }
    bool stopped() const { return m_stopped; }

private:
    void showAt(int index);
    void step();
    void select();
    void goToNextItem();
    void restart();

    int m_answerCount = 0;
    int m_loops = 0;
    InputMode m_mode = InputMode::Mouse;
    // The positions of the ring, in scan order.
    QList<int> m_ring;
    int m_index = 0;
    int m_steps = 0;
    bool m_waitingForNext = false;
    bool m_stopped = false;
    ExerciseScanActions &m_actions;
};
