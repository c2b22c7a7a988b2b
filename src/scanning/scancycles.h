#pragma once

// The scan cycles of the menus and the exercise windows, as plain state
// machines. They decide what a switch press means; the window glue paints,
// runs the timer and performs the selection through the actions interface.

namespace Scan {

// InputMode of the profile.
enum Mode : int { Mouse = 0, Manual = 1, Automatic = 2 };

// The key codes the cycles know; any other key is "another key".
constexpr int kSpace = 32;
constexpr int kEnter = 13;
constexpr int kOtherKey = 0;

// No position highlighted.
constexpr int kNone = -1;

// The time between two automatic steps for a profile's ScanInterval, in
// quarter-seconds. A value below one quarter-second, which only a damaged
// profile can hold, would race the highlight past every button; it gives
// the default second instead.
int intervalMs(int scanInterval);

} // namespace Scan

class MenuScanActions
{
public:
    virtual ~MenuScanActions() = default;
    // Exactly one button (or none, Scan::kNone) shows the scanning colour.
    virtual void highlight(int index) = 0;
    // What a mouse click on the button does.
    virtual void select(int index) = 0;
    // true: (re)start the automatic steps, the next one a full interval away.
    virtual void runTimer(bool run) = 0;
};

// A menu: the buttons 0 to count - 1 in a ring.
class MenuScan
{
public:
    MenuScan(int count, MenuScanActions &actions);

    // The window is shown in the given input mode.
    void activate(int mode);
    void keyDown(int key);
    void keyUp(int key);
    void tick();

    int mode() const { return m_mode; }
    int scanIndex() const { return m_index; }

private:
    void step();

    int m_count = 0;
    int m_mode = Scan::Mouse;
    int m_index = 0;
    bool m_highlighted = false;
    MenuScanActions &m_actions;
};

class ExerciseScanActions
{
public:
    virtual ~ExerciseScanActions() = default;
    // One of: an answer (0 to answers - 1), "leggi" (answers),
    // ExerciseScan::kNext for "avanti", or Scan::kNone.
    virtual void highlight(int position) = 0;
    // The keyboard answer path for the answer at this position.
    virtual void choose(int answer) = 0;
    virtual void read() = 0;
    virtual void nextItem() = 0;
    virtual void runTimer(bool run) = 0;
};

// An exercise window: the answer buttons, then "leggi" when speech is on.
// "avanti" is not in the ring; it takes the highlight after a right answer.
class ExerciseScan
{
public:
    static constexpr int kNext = -2;

    ExerciseScan(int answerCount, ExerciseScanActions &actions);

    // The window is shown; in automatic mode the steps start.
    void activate(int mode, bool speechOn);
    // A new item is on screen: the highlight goes to the first answer.
    void itemShown();
    // The outcome of the keyboard answer path.
    void answered(bool right);

    void keyDown(int key);
    void keyUp(int key);
    void tick();

    int mode() const { return m_mode; }
    int position() const { return m_position; }

private:
    bool scanning() const { return m_mode == Scan::Manual || m_mode == Scan::Automatic; }
    void step();
    void select();

    int m_answerCount = 0;
    int m_mode = Scan::Mouse;
    bool m_speechOn = false;
    int m_position = 0;
    bool m_waitingForNext = false;
    ExerciseScanActions &m_actions;
};
