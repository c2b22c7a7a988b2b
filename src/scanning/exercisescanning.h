#pragma once

#include "buttonhighlight.h"
#include "scancycles.h"
#include "scantimer.h"
#include "switchkeys.h"

#include <QList>
#include <QObject>

#include <functional>

class QPushButton;

// Switch access for an exercise window: the scan over its answer buttons
// and "leggi", and the move to "avanti" after a right answer. The window
// keeps the exercise; it is told what the keys chose through the callbacks.
class ExerciseScanning : public QObject, private ExerciseScanActions
{
    Q_OBJECT

public:
    struct Callbacks
    {
        std::function<void(int answer)> choose;
        std::function<void()> read;
        std::function<void()> nextItem;
    };

    ExerciseScanning(QWidget *window, const QList<QPushButton *> &answers, QPushButton *readButton,
        QPushButton *nextButton, Callbacks callbacks);
    ~ExerciseScanning() override;

    // The window has been shown, before its first item.
    void activate();
    void deactivate();
    // The window has put a new item on screen.
    void itemShown() { m_scan.itemShown(); }
    // The keyboard answer path has judged the answer.
    void answered(bool right) { m_scan.answered(right); }

    bool scanning() const;
    const ScanTimer &timer() const { return m_timer; }
    const ButtonHighlighter &highlighter() const { return m_highlighter; }
    void tick() { m_scan.tick(); }

private:
    void highlight(int position) override;
    void choose(int answer) override;
    void read() override;
    void nextItem() override;
    void runTimer(bool run) override;

    int m_answerCount = 0;
    Callbacks m_callbacks;
    ExerciseScan m_scan;
    ScanTimer m_timer;
    // The answers, then "leggi", then "avanti".
    ButtonHighlighter m_highlighter;
    SwitchKeyFilter m_keys;
};
