#include "switchcheckgame.h"

#include <algorithm>

SwitchCheckGame::SwitchCheckGame(Plan plan, std::function<int(int)> randomBelow, Callbacks callbacks)
    : m_plan(std::move(plan))
    , m_randomBelow(std::move(randomBelow))
    , m_callbacks(std::move(callbacks))
{ }

void SwitchCheckGame::start(qint64 nowMs)
{
    m_recording = {};
    m_trial = 0;
    m_warmUpPresses = 0;
    m_lastReleaseAt = -1;
    m_down = false;
    m_pausing = false;
    m_litBox = -1;
    m_starBox = -1;
    m_starLitAt = -1;
    m_warmUpEndsAt = nowMs + m_plan.warmUpMs;
    m_dueAt = m_warmUpEndsAt;
    setPhase(Phase::WarmUp);
}

void SwitchCheckGame::setPhase(Phase phase)
{
    m_phase = phase;
    if (m_callbacks.phaseChanged)
        m_callbacks.phaseChanged(phase);
}

bool SwitchCheckGame::isBounce(qint64 nowMs) const
{
    return m_lastReleaseAt >= 0 && nowMs - m_lastReleaseAt < SwitchCheck::kBounceWindowMs;
}

void SwitchCheckGame::press(qint64 nowMs)
{
    if (m_down || m_phase == Phase::NotStarted || m_phase == Phase::Over)
        return;
    tick(nowMs);
    m_down = true;
    m_recording.presses.append({nowMs, -1});
    // A bounce counts for nothing in the game, as it will in the proposals.
    if (isBounce(nowMs))
        return;
    if (m_phase == Phase::WarmUp) {
        if (m_callbacks.warmUpPress)
            m_callbacks.warmUpPress();
        if (++m_warmUpPresses >= m_plan.warmUpPresses) {
            setPhase(Phase::Trials);
            m_pausing = true;
            m_dueAt = nowMs + m_plan.pauseMs;
        }
        return;
    }
    if (m_phase == Phase::Trials && !m_pausing && m_starLitAt >= 0)
        endTrial(nowMs, m_litBox == m_starBox ? Outcome::Hit : Outcome::Late, nowMs - m_starLitAt);
}

void SwitchCheckGame::release(qint64 nowMs)
{
    if (!m_down)
        return;
    m_down = false;
    m_recording.presses.last().upMs = nowMs;
    m_lastReleaseAt = nowMs;
}

void SwitchCheckGame::tick(qint64 nowMs)
{
    while (m_dueAt >= 0 && nowMs >= m_dueAt) {
        const qint64 due = m_dueAt;
        if (m_phase == Phase::WarmUp) {
            setPhase(Phase::Trials);
            m_pausing = true;
            m_dueAt = due + m_plan.pauseMs;
        } else if (m_pausing) {
            startTrial(due);
        } else if (m_starLitAt >= 0 && due >= m_starLitAt + qint64(m_plan.stepsToWait) * m_speedMs) {
            endTrial(due, Outcome::Missed, -1);
        } else {
            step(due);
        }
    }
}

void SwitchCheckGame::startTrial(qint64 nowMs)
{
    m_pausing = false;
    const int speedIndex
        = std::min(m_trial / std::max(1, m_plan.trialsPerSpeed), int(m_plan.speedsMs.size()) - 1);
    m_speedMs = m_plan.speedsMs.at(speedIndex);
    m_starBox = m_randomBelow(m_plan.boxes);
    m_starLitAt = -1;
    // One to three boxes light before the star, so the pupil cannot press
    // on the trial's start alone.
    const int lead = 1 + m_randomBelow(std::min(3, m_plan.boxes - 1));
    if (m_callbacks.trialStarted)
        m_callbacks.trialStarted(m_starBox, m_speedMs);
    light((m_starBox - lead + m_plan.boxes) % m_plan.boxes);
    m_dueAt = nowMs + m_speedMs;
}

void SwitchCheckGame::step(qint64 nowMs)
{
    const int next = (m_litBox + 1) % m_plan.boxes;
    if (next == m_starBox && m_starLitAt < 0) {
        m_starLitAt = nowMs;
        const qint64 waitMs = qint64(m_plan.stepsToWait) * m_speedMs;
        m_recording.trials.append({nowMs, m_speedMs, nowMs + waitMs});
    }
    light(next);
    m_dueAt = nowMs + m_speedMs;
}

void SwitchCheckGame::endTrial(qint64 nowMs, Outcome outcome, qint64 delayMs)
{
    if (outcome != Outcome::Missed)
        m_recording.trials.last().endMs = nowMs;
    light(-1);
    if (m_callbacks.trialEnded)
        m_callbacks.trialEnded(outcome, delayMs);
    m_starLitAt = -1;
    if (++m_trial >= trialCount()) {
        m_dueAt = -1;
        m_starBox = -1;
        setPhase(Phase::Over);
        return;
    }
    m_pausing = true;
    m_dueAt = nowMs + m_plan.pauseMs;
}

void SwitchCheckGame::light(int box)
{
    m_litBox = box;
    if (m_callbacks.boxLit)
        m_callbacks.boxLit(box, box >= 0 && box == m_starBox);
}
