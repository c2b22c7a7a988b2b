#include "scancycles.h"

#include <algorithm>
#include <numeric>
#include <utility>

int Scan::intervalMs(int scanInterval)
{
    return (scanInterval >= 1 ? scanInterval : 4) * 250;
}

bool Scan::isSwitch(InputMode mode, int key)
{
    if (mode == InputMode::Manual)
        return key == kSwitch1 || key == kSwitch2;
    return mode == InputMode::Automatic && key == kSwitch1;
}

int Scan::firstStepMs(int intervalMs, int percent)
{
    return int(std::max<qint64>(intervalMs, qint64(intervalMs) * percent / 100));
}

QList<QList<int>> Scan::rowsOf(const QList<QRect> &buttons)
{
    QList<int> order(buttons.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&buttons](int a, int b) {
        return std::pair(buttons[a].top(), buttons[a].left())
            < std::pair(buttons[b].top(), buttons[b].left());
    });
    QList<QList<int>> rows;
    QRect rowStart;
    for (int index : std::as_const(order)) {
        const int centre = buttons[index].center().y();
        if (!rows.isEmpty() && centre >= rowStart.top() && centre <= rowStart.bottom()) {
            rows.last() << index;
            continue;
        }
        rows << QList<int>{index};
        rowStart = buttons[index];
    }
    for (QList<int> &row : rows)
        std::stable_sort(row.begin(), row.end(),
            [&buttons](int a, int b) { return buttons[a].left() < buttons[b].left(); });
    return rows;
}

MenuScan::MenuScan(int count, MenuScanActions &actions)
    : m_count(count)
    , m_actions(actions)
{
    setRows({});
}

void MenuScan::setRows(const QList<QList<int>> &rows)
{
    m_groups = rows;
    if (rows.isEmpty()) {
        for (int i = 0; i < m_count; ++i)
            m_groups << QList<int>{i};
    }
}

void MenuScan::activate(InputMode mode)
{
    m_mode = mode;
    m_row = Scan::kNone;
    m_position = int(m_groups.size()) - 1;
    m_steps = 0;
    m_highlighted = false;
    m_stopped = false;
    if (m_groups.isEmpty())
        return;
    // One step from the last position lands on the first: in manual scanning
    // it is highlighted at once, in automatic scanning at the first tick.
    if (mode == InputMode::Manual)
        step();
    else if (mode == InputMode::Automatic)
        m_actions.runTimer(Scan::Timer::StartInNewWindow);
}

void MenuScan::keyDown(int key)
{
    if (m_mode == InputMode::Automatic && key == Scan::kSwitch1)
        m_actions.runTimer(Scan::Timer::Stop);
}

void MenuScan::keyUp(int key)
{
    if (m_groups.isEmpty())
        return;
    if (m_mode == InputMode::Manual) {
        if (key == Scan::kSwitch1)
            step();
        else if (key == Scan::kSwitch2)
            select();
    } else if (m_mode == InputMode::Automatic && key == Scan::kSwitch1) {
        if (m_stopped) {
            restart();
            return;
        }
        m_actions.runTimer(Scan::Timer::Start);
        // A button the pupil has not seen highlighted is never chosen.
        if (m_highlighted)
            select();
    }
}

void MenuScan::tick()
{
    if (m_mode != InputMode::Automatic || m_groups.isEmpty() || m_stopped)
        return;
    if (m_row == Scan::kNone && m_loops > 0 && m_steps >= m_loops * ringSize())
        stop();
    else
        step();
}

int MenuScan::scanIndex() const
{
    const QList<int> buttons = m_highlighted ? lit() : QList<int>();
    return buttons.size() == 1 ? buttons.first() : Scan::kNone;
}

int MenuScan::ringSize() const
{
    return int(m_row == Scan::kNone ? m_groups.size() : m_groups[m_row].size());
}

QList<int> MenuScan::lit() const
{
    return m_row == Scan::kNone ? m_groups[m_position] : QList<int>{m_groups[m_row][m_position]};
}

void MenuScan::step()
{
    int next = m_position + 1;
    if (next >= ringSize()) {
        next = 0;
        // A round in a row without a selection goes back to the rows, on the row just left.
        if (m_row != Scan::kNone) {
            next = m_row;
            m_row = Scan::kNone;
            m_steps = 0;
        }
    }
    showAt(next);
}

void MenuScan::showAt(int position)
{
    m_position = position;
    m_highlighted = true;
    ++m_steps;
    m_actions.highlight(lit());
}

void MenuScan::select()
{
    m_steps = 0;
    m_actions.selectionMade();
    if (m_row == Scan::kNone && m_groups[m_position].size() > 1) {
        m_row = m_position;
        showAt(0);
        return;
    }
    m_actions.select(lit().first());
}

void MenuScan::stop()
{
    m_stopped = true;
    m_highlighted = false;
    m_actions.highlight({});
    m_actions.runTimer(Scan::Timer::Stop);
    m_actions.showStopped(true);
}

void MenuScan::restart()
{
    m_stopped = false;
    m_row = Scan::kNone;
    m_steps = 0;
    m_actions.showStopped(false);
    m_actions.selectionMade();
    showAt(0);
    m_actions.runTimer(Scan::Timer::Start);
}

ExerciseScan::ExerciseScan(int answerCount, ExerciseScanActions &actions)
    : m_answerCount(answerCount)
    , m_actions(actions)
{ }

void ExerciseScan::activate(InputMode mode, bool speechOn, bool wayOut)
{
    m_mode = mode;
    m_ring.clear();
    for (int answer = 0; answer < m_answerCount; ++answer)
        m_ring << answer;
    if (speechOn)
        m_ring << m_answerCount;
    if (wayOut)
        m_ring << kWayOut;
    m_waitingForNext = false;
    m_stopped = false;
    m_index = int(m_ring.size()) - 1;
    m_steps = 0;
    if (mode == InputMode::Automatic)
        m_actions.runTimer(Scan::Timer::StartInNewWindow);
}

void ExerciseScan::itemShown()
{
    m_waitingForNext = false;
    if (std::exchange(m_stopped, false))
        m_actions.showStopped(false);
    if (!isScanning(m_mode) || m_ring.isEmpty())
        return;
    m_steps = 0;
    // A new item is new to the pupil, however it came.
    m_actions.selectionMade();
    showAt(0);
}

void ExerciseScan::answered(bool right)
{
    if (!isScanning(m_mode) || !right)
        return;
    m_waitingForNext = true;
    m_actions.highlight(kNext);
    if (m_mode == InputMode::Automatic)
        m_actions.runTimer(Scan::Timer::Stop);
}

void ExerciseScan::keyDown(int key)
{
    if (m_mode == InputMode::Automatic && key == Scan::kSwitch1)
        m_actions.runTimer(Scan::Timer::Stop);
}

void ExerciseScan::keyUp(int key)
{
    if (m_mode == InputMode::Manual) {
        if (key == Scan::kSwitch1 && !m_waitingForNext)
            step();
        else if (key == Scan::kSwitch2)
            m_waitingForNext ? goToNextItem() : select();
    } else if (m_mode == InputMode::Automatic && key == Scan::kSwitch1) {
        if (m_waitingForNext) {
            goToNextItem();
            m_actions.runTimer(Scan::Timer::Start);
        } else if (m_stopped) {
            restart();
        } else {
            m_actions.runTimer(Scan::Timer::Start);
            select();
        }
    }
}

void ExerciseScan::tick()
{
    // The highlight rests on "avanti" until the next item.
    if (m_mode != InputMode::Automatic || m_waitingForNext || m_stopped || m_ring.isEmpty())
        return;
    if (m_loops > 0 && m_steps >= m_loops * m_ring.size()) {
        m_stopped = true;
        m_actions.highlight(Scan::kNone);
        m_actions.runTimer(Scan::Timer::Stop);
        m_actions.showStopped(true);
        return;
    }
    step();
}

void ExerciseScan::showAt(int index)
{
    m_index = index;
    ++m_steps;
    m_actions.highlight(m_ring[index]);
}

void ExerciseScan::step()
{
    if (!m_ring.isEmpty())
        showAt((m_index + 1) % int(m_ring.size()));
}

void ExerciseScan::select()
{
    const int selected = position();
    m_steps = 0;
    m_actions.selectionMade();
    if (selected == m_answerCount)
        m_actions.read();
    else if (selected == kWayOut)
        m_actions.leave();
    else if (selected >= 0 && selected < m_answerCount)
        m_actions.choose(selected);
}

void ExerciseScan::goToNextItem()
{
    m_actions.selectionMade();
    m_actions.nextItem();
}

void ExerciseScan::restart()
{
    m_stopped = false;
    m_steps = 0;
    m_actions.showStopped(false);
    m_actions.selectionMade();
    showAt(0);
    m_actions.runTimer(Scan::Timer::Start);
}
