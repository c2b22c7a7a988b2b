#pragma once

#include "state/inputmode.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// Every answer a pupil gives, kept across sessions in one SQLite file of the
// program's data folder, so that a teacher sees progress over weeks: right
// answers per spelling family, the words that keep coming back wrong, and
// spelling errors kept apart from presses one step late.

// One answer as the exercise window gives it.
struct Answer
{
    QString pupil;
    QDateTime answeredAt;
    // The topic's marker in the catalogue ("bp", "cq", ...) and the list file.
    QString topic;
    QString list;
    // The item as the pupil saw it, gap included, and as it is spelled right.
    QString item;
    QString word;
    QStringList choices;
    QString chosen;
    bool right = false;
    InputMode mode = InputMode::Mouse;
    // From the item shown to the answer.
    qint64 responseMs = 0;
    // Scanning only: how long the highlight had stood on the chosen button
    // when the switch went down; -1 otherwise.
    qint64 dwellMs = -1;
    // A wrong answer that was a press one step late (see isTimingMiss).
    bool timingMiss = false;
};

// A wrong answer chosen by switch while the highlight had stood on it for
// less than half the scan interval, right after the right answer was lit: the
// pupil meant the right one and pressed late. It is not a spelling error.
bool isTimingMiss(bool right, InputMode mode, qint64 dwellMs, int scanIntervalMs, bool rightAnswerLitBefore);

// The words of one list that a pupil still has to practise, followed through
// the pupil's answers to it in order. A word answered with a spelling error is
// due until two later showings of it in a row are answered without one. A
// showing runs from the item appearing to its right answer; a press one step
// late is no spelling error and counts for nothing.
class MissedWords
{
public:
    void add(const Answer &answer);
    bool isDue(const QString &word) const { return m_rightShowings.contains(word); }
    // The last missed last.
    QStringList due() const { return m_due; }

private:
    QStringList m_due;
    // Per due word, the showings answered without a spelling error since its last one.
    QHash<QString, int> m_rightShowings;
    QString m_shownWord;
    bool m_shownMissed = false;
};

// One switch check: what it measured of the pupil's presses and what it
// proposed, so a teacher sees whether the pupil's timing improves.
struct SwitchCheckRecord
{
    QString pupil;
    QDateTime checkedAt;
    int trials = 0;
    int hits = 0;
    int misses = 0;
    int presses = 0;
    int bounces = 0;
    int noTargetPresses = 0;
    qint64 delayMedianMs = -1;
    qint64 delayP90Ms = -1;
    qint64 holdMedianMs = -1;
    qint64 longestBounceGapMs = -1;
    // The proposal, in the profile's units (interval in quarter seconds).
    int scanInterval = 0;
    int acceptanceTime = 0;
    int releaseTime = 0;
    int selectionGuard = 0;
    bool rowColumnScanning = false;
    bool twoSwitches = false;
};

enum class Period { LastWeek, LastMonth, SchoolYear, All };

// The first moment of the period that ends at `now` (invalid for All). The
// school year starts on the first of September.
QDateTime periodStart(Period period, const QDateTime &now);

// What "Progressi" shows for one pupil and period.
struct Progress
{
    // Right answers of one topic and list on one day.
    struct Day
    {
        QDate day;
        QString topic;
        QString list;
        int right = 0;
        int answers = 0;
    };
    struct MissedWord
    {
        QString word;
        int misses = 0;
    };
    // One run of the program for the pupil.
    struct Session
    {
        QDateTime start;
        int answers = 0;
        int spellingErrors = 0;
        int timingMisses = 0;
        qint64 spentMs = 0;
    };

    QList<Day> days;
    // At most ten, the most missed first (spelling errors only).
    QList<MissedWord> mostMissed;
    QList<Session> sessions;
    // The switch checks of the period, oldest first.
    QList<SwitchCheckRecord> switchChecks;
    int answers = 0;
    int right = 0;
    int spellingErrors = 0;
    int timingMisses = 0;
    qint64 spentMs = 0;
};

class History
{
public:
    // The program's history: open() it once, in the data folder.
    static History &instance();

    History();
    ~History();
    History(const History &) = delete;
    History &operator=(const History &) = delete;

    // Opens the database, creating it or bringing an older schema forward.
    // A damaged file, or one this program cannot use, is moved aside (never
    // deleted) and a new one started; when even that fails the history is
    // off, problem() says why in Italian, and the exercises go on without it.
    bool open(const QString &path);
    void close();
    bool isOpen() const;
    QString path() const;
    // What went wrong, in Italian, for the teacher; empty when all is well.
    QString problem() const;

    // Keeps the answer at once (committed before it returns). The session
    // is this program run's for the pupil.
    bool record(const Answer &answer);

    // Keeps the check at once, as record() keeps an answer.
    bool recordSwitchCheck(const SwitchCheckRecord &check);
    // The pupil's checks from `from` on (all when invalid), oldest first.
    QList<SwitchCheckRecord> switchChecks(const QString &pupil, const QDateTime &from = {}) const;

    // The pupil's answers from `from` on (all when invalid), oldest first.
    QList<Answer> answers(const QString &pupil, const QDateTime &from = {}) const;
    Progress progress(const QString &pupil, const QDateTime &from = {}) const;
    // The words of the list (its file name) that the pupil still has to
    // practise, as MissedWords tells them from every answer kept.
    QStringList dueWords(const QString &pupil, const QString &list) const;

    // The answers as CSV: UTF-8, a header line, one answer a line.
    QByteArray csv(const QString &pupil, const QDateTime &from = {}) const;

    // Removes every answer and switch check of the pupil, leaving nothing of
    // them in the file.
    bool removePupil(const QString &pupil);

    static int schemaVersion();

private:
    struct Private;
    std::unique_ptr<Private> d;
};
