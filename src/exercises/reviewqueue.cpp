#include "reviewqueue.h"

#include "state/random.h"

#include <utility>

namespace {

constexpr int kFirstReturn = 3;
constexpr int kLastReturn = 6;
constexpr int kFirstItemsOfSession = 5;

} // namespace

ReviewQueue::ReviewQueue(QStringList words, const QList<Answer> &earlier)
    : m_words(std::move(words))
{
    for (const Answer &answer : earlier)
        m_missed.add(answer);
    for (const QString &word : m_missed.due()) {
        if (m_words.contains(word))
            schedule(word, 1, kFirstItemsOfSession);
    }
}

int ReviewQueue::next()
{
    closeShownItem();
    ++m_itemNumber;
    const QString returning = m_returns.take(m_itemNumber);
    const int row = returning.isEmpty() ? 0 : int(m_words.indexOf(returning)) + 1;
    m_shownRow = row > 0 ? row : Random::pickOneBased(int(m_words.size()));
    return m_shownRow;
}

void ReviewQueue::answered(bool right, bool timingMiss)
{
    if (m_shownRow <= 0)
        return;
    Answer answer;
    answer.word = m_words.value(m_shownRow - 1);
    answer.right = right;
    answer.timingMiss = timingMiss;
    m_missed.add(answer);
}

void ReviewQueue::closeShownItem()
{
    if (m_shownRow <= 0)
        return;
    const QString word = m_words.value(m_shownRow - 1);
    m_shownRow = 0;
    unschedule(word);
    if (m_missed.isDue(word))
        schedule(word, m_itemNumber + kFirstReturn, m_itemNumber + kLastReturn);
}

void ReviewQueue::schedule(const QString &word, int first, int last)
{
    const int span = last - first + 1;
    const int drawn = Random::pickOneBased(span) - 1;
    for (int i = 0; i < span; ++i) {
        const int place = first + (drawn + i) % span;
        if (!m_returns.contains(place)) {
            m_returns.insert(place, word);
            return;
        }
    }
    int place = last + 1;
    while (m_returns.contains(place))
        ++place;
    m_returns.insert(place, word);
}

void ReviewQueue::unschedule(const QString &word)
{
    for (auto it = m_returns.begin(); it != m_returns.end();) {
        if (*it == word)
            it = m_returns.erase(it);
        else
            ++it;
    }
}
