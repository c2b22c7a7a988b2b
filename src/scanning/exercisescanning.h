#pragma once

#include "scancycles.h"
#include "scansession.h"

#include <QList>
#include <QObject>

#include <functional>

class QPushButton;

// Switch access for an exercise window: the scan over its answer buttons,
// "leggi" and the way out, and the move to "avanti" after a right answer.
// The window keeps the exercise; it is told what the keys chose through the
// callbacks.
class ExerciseScanning : public QObject, private ExerciseScanActions
{
    Q_OBJECT

public:
    struct Callbacks
    {
        std::function<void(int answer)> choose;
        std::function<void()> read;
        std::function<void()> nextItem;
        std::function<void()> leave;
    };

    struct Buttons
    {
        QList<QPushButton *> answers;
        QPushButton *read = nullptr;
        QPushButton *next = nullptr;
        QPushButton *wayOut = nullptr;
    };

    ExerciseScanning(QWidget *window, const Buttons &buttons, Callbacks callbacks);
    ~ExerciseScanning() override;

    // Where the highlighted captions are said when the window has a character.
    void setCaptionVoice(ScanSession::CaptionVoice say) { m_session.setCaptionVoice(std::move(say)); }

    // The window has been shown, before its first item.
    void activate();
    void deactivate();
    // The window has put a new item on screen.
    void itemShown() { m_scan.itemShown(); }
    // The keyboard answer path has judged the answer.
    void answered(bool right) { m_scan.answered(right); }

    // Where the highlight stood when the switch that chose the last answer
    // went down: how long it had been on that answer, and which answer was
    // lit just before it (-1: none, or not an answer).
    struct PressTiming
    {
        qint64 dwellMs = -1;
        int answerLitBefore = -1;
    };
    PressTiming lastChoiceTiming() const { return m_choiceTiming; }

    // The pupil works the window by switches: see ScanSession::active().
    bool active() const { return m_session.active(); }
    // The pupil scans and the profile asks for a scanned way out.
    static bool offersWayOut();
    const ScanTimer &timer() const { return m_session.timer(); }
    const ButtonHighlighter &highlighter() const { return m_session.highlighter(); }
    void tick() { m_scan.tick(); }
    bool stopped() const { return m_scan.stopped(); }
    const ScanSession &session() const { return m_session; }

private:
    void highlight(int position) override;
    void choose(int answer) override;
    void read() override;
    void nextItem() override;
    void leave() override;
    void runTimer(Scan::Timer timer) override;
    void selectionMade() override { m_session.selectionMade(); }
    void showStopped(bool stopped) override { m_session.showStopped(stopped); }

    void switchDown(int key);

    int m_answerCount = 0;
    // The position lit now and the one before it, and since when.
    int m_litPosition = -1;
    int m_litBefore = -1;
    qint64 m_litSince = 0;
    // What was lit when the last switch went down.
    int m_pressPosition = -1;
    PressTiming m_pressTiming;
    PressTiming m_choiceTiming;
    Callbacks m_callbacks;
    ExerciseScan m_scan;
    // Its buttons: the answers, then "leggi", "avanti" and "menu".
    ScanSession m_session;
};
