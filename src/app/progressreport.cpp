#include "progressreport.h"

#include "catalogue.h"

#include <QLocale>
#include <QMap>

namespace ProgressReport {

const QList<PeriodChoice> &periodChoices()
{
    static const QList<PeriodChoice> choices = {
        {Period::LastWeek, QStringLiteral("Ultima settimana")},
        {Period::LastMonth, QStringLiteral("Ultimo mese")},
        {Period::SchoolYear, QStringLiteral("Anno scolastico")},
        {Period::All, QStringLiteral("Tutto")},
    };
    return choices;
}

QString pupilCaption(const QString &userName)
{
    return userName == QStringLiteral("_predefinito") ? QStringLiteral("Utente predefinito") : userName;
}

Chart chartOf(const Progress &progress, const QDate &from, const QDate &today)
{
    Chart chart;
    if (progress.days.isEmpty())
        return chart;
    QDate earliest = progress.days.first().day;
    for (const Progress::Day &day : progress.days)
        earliest = qMin(earliest, day.day);
    const QDate start = from.isValid() ? from : earliest;
    chart.weekly = start.daysTo(today) > kLongestDailySpan;

    // Topic's place in the catalogue → bucket start → right and answers.
    const QList<Catalogue::TopicMenu> &menus = Catalogue::topicMenus();
    QMap<int, QMap<QDate, Point>> buckets;
    QStringList unknownTopics;
    for (const Progress::Day &day : progress.days) {
        int place = int(menus.size());
        for (int i = 0; i < menus.size(); ++i) {
            if (menus[i].marker == day.topic)
                place = i;
        }
        // A topic the catalogue no longer has still shows, after the known ones.
        if (place == menus.size()) {
            if (!unknownTopics.contains(day.topic))
                unknownTopics << day.topic;
            place += int(unknownTopics.indexOf(day.topic));
        }
        const QDate bucket = chart.weekly ? day.day.addDays(1 - day.day.dayOfWeek()) : day.day;
        Point &point = buckets[place][bucket];
        point.start = bucket;
        point.right += day.right;
        point.answers += day.answers;
    }

    for (auto topic = buckets.cbegin(); topic != buckets.cend(); ++topic) {
        Series series;
        const int place = topic.key();
        if (place < menus.size()) {
            series.topic = menus[place].marker;
            series.caption = menus[place].mainMenuCaption.simplified();
        } else {
            series.topic = unknownTopics.at(place - int(menus.size()));
            series.caption = series.topic;
        }
        series.colourIndex = place;
        for (const Point &point : topic.value()) {
            if (point.answers > 0)
                series.points << point;
        }
        if (series.points.isEmpty())
            continue;
        if (!chart.first.isValid() || series.points.first().start < chart.first)
            chart.first = series.points.first().start;
        if (!chart.last.isValid() || series.points.last().start > chart.last)
            chart.last = series.points.last().start;
        chart.series << series;
    }
    return chart;
}

QString duration(qint64 ms)
{
    const qint64 seconds = qMax<qint64>(0, (ms + 500) / 1000);
    const qint64 minutes = seconds / 60;
    if (minutes < 60)
        return QStringLiteral("%1 min %2 s").arg(minutes).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1 h %2 min").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QList<QStringList> missedWordRows(const Progress &progress)
{
    QList<QStringList> rows;
    for (const Progress::MissedWord &missed : progress.mostMissed.mid(0, 10))
        rows << QStringList{missed.word, QString::number(missed.misses)};
    return rows;
}

QStringList sessionHeaders()
{
    return {QStringLiteral("Data"), QStringLiteral("Risposte"), QStringLiteral("Errori di ortografia"),
        QStringLiteral("Errori di tempo"), QStringLiteral("Tempo")};
}

QList<QStringList> sessionRows(const Progress &progress)
{
    QList<QStringList> rows;
    for (const Progress::Session &session : progress.sessions) {
        rows << QStringList{session.start.toString(QStringLiteral("dd/MM/yyyy HH:mm")),
            QString::number(session.answers), QString::number(session.spellingErrors),
            QString::number(session.timingMisses), duration(session.spentMs)};
    }
    rows << QStringList{QStringLiteral("Totale"), QString::number(progress.answers),
        QString::number(progress.spellingErrors), QString::number(progress.timingMisses),
        duration(progress.spentMs)};
    return rows;
}

QStringList switchCheckHeaders()
{
    return {QStringLiteral("Data"), QStringLiteral("Risposte in tempo"), QStringLiteral("Ritardo (90%)"),
        QStringLiteral("Rimbalzi"), QStringLiteral("Pressioni a vuoto"), QStringLiteral("Scansione"),
        QStringLiteral("Accettazione"), QStringLiteral("Rilascio")};
}

QList<QStringList> switchCheckRows(const Progress &progress)
{
    const auto seconds = [](qint64 ms) {
        if (ms < 0)
            return QStringLiteral("–");
        return QLocale(QLocale::Italian).toString((ms + 5) / 10 / 100.0, 'f', 2) + QStringLiteral(" s");
    };
    QList<QStringList> rows;
    for (auto check = progress.switchChecks.crbegin(); check != progress.switchChecks.crend(); ++check) {
        rows << QStringList{check->checkedAt.toString(QStringLiteral("dd/MM/yyyy HH:mm")),
            QStringLiteral("%1/%2").arg(check->hits).arg(check->trials), seconds(check->delayP90Ms),
            QString::number(check->bounces), QString::number(check->noTargetPresses),
            seconds(qint64(check->scanInterval) * 250), seconds(check->acceptanceTime),
            seconds(check->releaseTime)};
    }
    return rows;
}

QString summary(const Progress &progress)
{
    if (progress.answers == 0)
        return QStringLiteral("Nessuna risposta in questo periodo.");
    return QStringLiteral("Risposte giuste: %1 su %2 (%3%)")
        .arg(progress.right)
        .arg(progress.answers)
        .arg(qRound(100.0 * progress.right / progress.answers));
}

} // namespace ProgressReport
