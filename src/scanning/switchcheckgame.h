#pragma once

#include "switchcheck.h"

#include <QList>

#include <functional>

// The switch check's game, without a window: a warm-up in which every press
// makes the character react, then trials in which four boxes light in turn
// and the pupil presses while the star's box is lit, at three speeds. It
// keeps the recording the proposals are made from. The window calls
// press(), release() and tick() with times on the switches' clock, and
// tick() again at nextTickAt().
class SwitchCheckGame
{
public:
    struct Plan
    {
        int warmUpPresses = 5;
        int warmUpMs = 20000;
        // The pause between the warm-up and the first trial, and after each trial.
        int pauseMs = 1500;
        // Slowest first: the pupil meets the game at its easiest.
        QList<int> speedsMs = {2000, 1500, 1000};
        int trialsPerSpeed = 6;
        int boxes = 4;
        // A trial waits this many steps after the star lit before it is missed.
        int stepsToWait = 4;
    };

    enum class Phase { NotStarted, WarmUp, Trials, Over };
    enum class Outcome { Hit, Late, Missed };

    struct Callbacks
    {
        // A warm-up press, and the press of a trial with no star lit yet.
        std::function<void()> warmUpPress;
        std::function<void(Phase)> phaseChanged;
        // A box lit (-1: all dark), and whether it holds the star.
        std::function<void(int box, bool star)> boxLit;
        // A trial begins: where its star stands.
        std::function<void(int starBox, int speedMs)> trialStarted;
        std::function<void(Outcome, qint64 delayMs)> trialEnded;
    };

    // randomBelow(n) gives a whole number from 0 to n - 1.
    SwitchCheckGame(Plan plan, std::function<int(int)> randomBelow, Callbacks callbacks);

    // Takes effect at the next start().
    void setPlan(const Plan &plan) { m_plan = plan; }
    void start(qint64 nowMs);
    void press(qint64 nowMs);
    void release(qint64 nowMs);
    // Advances the game to nowMs.
    void tick(qint64 nowMs);
    // When tick() is next due; -1 when nothing waits for the clock.
    qint64 nextTickAt() const { return m_dueAt; }

    Phase phase() const { return m_phase; }
    int litBox() const { return m_litBox; }
    int starBox() const { return m_starBox; }
    // The speed of the trial under way, or of the last one.
    int speedMs() const { return m_speedMs; }
    int trialsDone() const { return int(m_recording.trials.size()); }
    int trialCount() const { return int(m_plan.speedsMs.size()) * m_plan.trialsPerSpeed; }
    const SwitchCheck::Recording &recording() const { return m_recording; }

private:
    void setPhase(Phase phase);
    void startTrial(qint64 nowMs);
    void step(qint64 nowMs);
    void endTrial(qint64 nowMs, Outcome outcome, qint64 delayMs);
    void light(int box);
    bool isBounce(qint64 nowMs) const;

    Plan m_plan;
    std::function<int(int)> m_randomBelow;
    Callbacks m_callbacks;
    Phase m_phase = Phase::NotStarted;
    SwitchCheck::Recording m_recording;
    qint64 m_dueAt = -1;
    qint64 m_warmUpEndsAt = 0;
    int m_warmUpPresses = 0;
    // Between trials, or before the first one.
    bool m_pausing = false;
    int m_trial = 0;
    int m_speedMs = 0;
    int m_litBox = -1;
    int m_starBox = -1;
    // When the star lit in this trial; -1 before it has.
    qint64 m_starLitAt = -1;
    qint64 m_lastReleaseAt = -1;
    bool m_down = false;
};
