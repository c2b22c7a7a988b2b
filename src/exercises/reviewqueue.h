#pragma once

#include "records/history.h"

#include <QList>
#include <QMap>
#include <QStringList>

// Which row of a list an exercise shows next when missed words come back.
// A word answered with a spelling error returns 3 to 6 items later, and again
// after each return, until two returns in a row are answered without one;
// words still due from earlier sessions return among the first 5 items.
// Every other item is the ordinary random pick. Gaps and places are drawn
// from the program's random source, so a seeded session repeats.
class ReviewQueue
{
public:
    // `words`: the word of each row, row 1 first. `earlier`: the pupil's
    // earlier answers to this list, oldest first.
    explicit ReviewQueue(QStringList words, const QList<Answer> &earlier = {});

    // The row (from 1) to show next; the item shown before it is over.
    int next();
    // An answer to the item shown last.
    void answered(bool right, bool timingMiss);

    QStringList due() const { return m_missed.due(); }

private:
    // Puts the word at a free place from `first` to `last` items on, drawn
    // at random, or at the first free place after them.
    void schedule(const QString &word, int first, int last);
    void unschedule(const QString &word);
    void closeShownItem();

    QStringList m_words;
    MissedWords m_missed;
    // Item number (from 1) to the word that returns there.
    QMap<int, QString> m_returns;
    int m_itemNumber = 0;
    int m_shownRow = 0;
};
