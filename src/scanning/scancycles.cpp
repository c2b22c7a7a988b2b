#include "scancycles.h"

int Scan::intervalMs(int scanInterval)
{
    return (scanInterval >= 1 ? scanInterval : 4) * 250;
}

MenuScan::MenuScan(int count, MenuScanActions &actions)
    : m_count(count)
    , m_actions(actions)
{ }

void MenuScan::activate(int mode)
{
    m_mode = mode;
    m_index = 0;
    m_highlighted = false;
    if (m_count <= 0)
        return;
    if (mode == Scan::Manual) {
        // One step from the last button lands on the first, highlighted at once.
        m_index = m_count - 1;
        keyUp(Scan::kSpace);
    } else if (mode == Scan::Automatic) {
        // Nothing is highlighted until the first tick, which lands on the
        // first button.
        m_index = m_count - 1;
        m_actions.runTimer(true);
    }
}

void MenuScan::keyDown(int)
{
    if (m_mode == Scan::Automatic)
        m_actions.runTimer(false);
}

void MenuScan::keyUp(int key)
{
    if (m_count <= 0)
        return;
    if (m_mode == Scan::Manual) {
        if (key == Scan::kSpace)
            step();
        else if (key == Scan::kEnter)
            m_actions.select(m_index);
    } else if (m_mode == Scan::Automatic && key == Scan::kSpace) {
        m_actions.runTimer(true);
        // A button the pupil has not seen highlighted is never chosen.
        if (m_highlighted)
            m_actions.select(m_index);
    }
}

void MenuScan::tick()
{
    if (m_mode == Scan::Automatic && m_count > 0)
        step();
}

void MenuScan::step()
{
    m_index = (m_index + 1) % m_count;
    m_highlighted = true;
    m_actions.highlight(m_index);
}

ExerciseScan::ExerciseScan(int answerCount, ExerciseScanActions &actions)
    : m_answerCount(answerCount)
    , m_actions(actions)
{ }

void ExerciseScan::activate(int mode, bool speechOn)
{
    m_mode = mode;
    m_speechOn = speechOn;
    m_waitingForNext = false;
    m_position = m_answerCount - 1;
    if (mode == Scan::Automatic)
        m_actions.runTimer(true);
}

void ExerciseScan::itemShown()
{
    m_waitingForNext = false;
    if (!scanning())
        return;
    m_position = 0;
    m_actions.highlight(m_position);
}

void ExerciseScan::answered(bool right)
{
    if (!scanning() || !right)
        return;
    m_waitingForNext = true;
    m_actions.highlight(kNext);
    if (m_mode == Scan::Automatic)
        m_actions.runTimer(false);
}

void ExerciseScan::keyDown(int)
{
    if (m_mode == Scan::Automatic)
        m_actions.runTimer(false);
}

void ExerciseScan::keyUp(int key)
{
    if (m_mode == Scan::Manual) {
        if (key == Scan::kSpace && !m_waitingForNext)
            step();
        else if (key == Scan::kEnter)
            m_waitingForNext ? m_actions.nextItem() : select();
    } else if (m_mode == Scan::Automatic && key == Scan::kSpace) {
        if (m_waitingForNext) {
            m_actions.nextItem();
            m_actions.runTimer(true);
        } else {
            m_actions.runTimer(true);
            select();
        }
    }
}

void ExerciseScan::tick()
{
    // The highlight rests on "avanti" until the next item.
    if (m_mode == Scan::Automatic && !m_waitingForNext)
        step();
}

void ExerciseScan::step()
{
    ++m_position;
    if (m_position > m_answerCount || (m_position == m_answerCount && !m_speechOn))
        m_position = 0;
    m_actions.highlight(m_position);
}

void ExerciseScan::select()
{
    if (m_position == m_answerCount)
        m_actions.read();
    else if (m_position >= 0 && m_position < m_answerCount)
        m_actions.choose(m_position);
}
