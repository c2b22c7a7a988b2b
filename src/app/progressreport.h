#pragma once

#include "records/history.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// What the "Progressi" window shows, worked out from a pupil's Progress
// without any window: the chart's lines, the table rows and the captions.
namespace ProgressReport {

// The periods of the window's filter, in the order it lists them.
struct PeriodChoice
{
    Period period;
    QString caption;
};
const QList<PeriodChoice> &periodChoices();
constexpr int kDefaultPeriodIndex = 1; // "Ultimo mese"

// The pupil as the teacher reads the name: the default user is not "_predefinito".
QString pupilCaption(const QString &userName);

// The share of right answers of one topic over one day or one week.
struct Point
{
    QDate start; // the day, or the Monday of the week
    int right = 0;
    int answers = 0;
    double percent() const { return answers > 0 ? 100.0 * right / answers : 0.0; }
};

struct Series
{
    QString topic; // the catalogue's marker
    QString caption; // the main menu's caption, blanks tidied
    int colourIndex = 0; // the topic's place in the catalogue, so a topic keeps its colour
    QList<Point> points; // oldest first
};

struct Chart
{
    bool weekly = false;
    QDate first; // the first and the last point of any series
    QDate last;
    QList<Series> series; // in the order of the main menu, topics with answers only
};

// Days are grouped by week when the days shown span more than five weeks.
constexpr int kLongestDailySpan = 35;

// `from` is the period's first day (invalid for the whole history).
Chart chartOf(const Progress &progress, const QDate &from, const QDate &today);

// "12 min 05 s", "1 h 03 min".
QString duration(qint64 ms);

// Word and number of misses.
QList<QStringList> missedWordRows(const Progress &progress);

// Date and time, answers, spelling errors, timing misses, time spent; one
// row a session, then the totals.
QStringList sessionHeaders();
QList<QStringList> sessionRows(const Progress &progress);

// The switch checks of the period, newest first: date and time, trials
// answered while the star's box was lit over trials, the delay 9 presses in
// 10 come within, bounces, presses with no target, and the proposed scan
// interval, acceptance and release times ("1,50 s").
QStringList switchCheckHeaders();
QList<QStringList> switchCheckRows(const Progress &progress);

// "Risposte giuste: 40 su 50 (80%)", or that there are no answers.
QString summary(const Progress &progress);

} // namespace ProgressReport
