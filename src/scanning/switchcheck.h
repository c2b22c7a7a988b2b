#pragma once

#include "state/profilesettings.h"

#include <QList>
#include <QString>
#include <QtGlobal>

// The switch check: a short game the pupil plays with their own switch,
// from which the program proposes the pupil's timings. The game records
// what happened on the switches' clock; these functions turn the recording
// into figures, and the figures into proposals a teacher can accept one by
// one. Plain values, so every rule is tested without a window.
namespace SwitchCheck {

// A press that comes this soon after the switch was let go is the switch
// bouncing or the hand hitting again, not a press the pupil meant.
constexpr qint64 kBounceWindowMs = 500;

// Below this many trials the delays say too little to propose timings.
constexpr int kMinimumTrials = 5;

// One press of the pupil's switch (either switch counts).
struct Press
{
    qint64 downMs = 0;
    // -1: still down when the game ended.
    qint64 upMs = -1;
};

// One showing of the target: when the star's box lit, how long each box
// stays lit at this trial's speed, and when the trial stopped waiting for a
// press. A press between litMs and endMs answers the trial.
struct Trial
{
    qint64 litMs = 0;
    int speedMs = 0;
    qint64 endMs = 0;
};

struct Recording
{
    QList<Trial> trials;
    // Every press of the game, in time order, the warm-up included.
    QList<Press> presses;
};

// What the recording says about the pupil.
struct Figures
{
    struct Speed
    {
        int speedMs = 0;
        int trials = 0;
        // Pressed while the star's box was still lit.
        int hits = 0;
    };

    int trials = 0;
    int presses = 0;
    // Trials answered by a press: the delay from the star lighting to the press.
    QList<qint64> delaysMs;
    int hits = 0;
    // Trials that ended with no press.
    int misses = 0;
    // Fastest speed first.
    QList<Speed> speeds;
    // Over the delays, a missed trial counting as its whole wait; -1 without trials.
    qint64 delayMedianMs = -1;
    qint64 delayP10Ms = -1;
    qint64 delayP90Ms = -1;

    // How long presses were held: those that answered a trial, and the
    // accidental ones (bounces and presses with no target).
    QList<qint64> realHoldsMs;
    QList<qint64> accidentalHoldsMs;
    qint64 holdMedianMs = -1;
    qint64 shortestRealHoldMs = -1;
    qint64 longestAccidentalHoldMs = -1;

    // Presses within kBounceWindowMs of a release, and those gaps.
    int bounces = 0;
    QList<qint64> bounceGapsMs;
    qint64 longestBounceGapMs = -1;
    // From a release to the next press that answered a trial, the shortest:
    // a release time as long would have dropped that press. -1 without one.
    qint64 shortestTargetGapMs = -1;
    // Presses that were no bounce and answered no trial, once the first
    // trial had lit.
    int noTargetPresses = 0;
    // Presses before the first trial, the warm-up: every one of them meant,
    // none answering a trial. Their bounces count as bounces.
    int warmUpPresses = 0;
};

Figures measure(const Recording &recording);

// A time as the check's texts and the configuration window show it: "1,50 secondi".
QString secondsText(qint64 ms);

// One proposed value, with its reasons in plain Italian and the figures
// beside them, for the teacher.
template<typename T> struct Proposed
{
    T value{};
    T current{};
    QString why;
    bool changes() const { return value != current; }
};

struct Proposal
{
    Proposed<qint16> scanInterval; // quarter seconds, as the profile keeps it
    Proposed<qint16> acceptanceTime; // ms
    Proposed<qint16> releaseTime; // ms
    Proposed<qint16> selectionGuard; // ms
    Proposed<bool> rowColumnScanning;
    Proposed<bool> twoSwitches; // manual scanning with two switches
    // Nothing measured could be relied on (no press at all, or fewer than
    // kMinimumTrials trials): every value is the current one and `why` of
    // each says so.
    bool enoughData = false;
};

Proposal propose(const Figures &figures, const ProfileSettings &current);

} // namespace SwitchCheck
