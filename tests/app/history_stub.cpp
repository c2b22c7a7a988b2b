// A stand-in for the answer history, linked into the window tests only while
// src/records/history.cpp is not in the tree (tests/app/CMakeLists.txt picks
// it): answers kept in memory, summed as the window needs them.
#include "records/history.h"

#include <QMap>

struct History::Private
{
    QString path;
    bool open = false;
    QList<Answer> answers;
};

bool isTimingMiss(bool right, InputMode mode, qint64 dwellMs, int scanIntervalMs, bool rightAnswerLitBefore)
{
    return !right && mode != InputMode::Mouse && rightAnswerLitBefore && dwellMs >= 0
        && dwellMs < scanIntervalMs / 2;
}

QDateTime periodStart(Period period, const QDateTime &now)
{
    switch (period) {
    case Period::LastWeek:
        return now.addDays(-7);
    case Period::LastMonth:
        return now.addMonths(-1);
    case Period::SchoolYear: {
        const QDate today = now.date();
        return QDateTime(QDate(today.month() >= 9 ? today.year() : today.year() - 1, 9, 1), QTime(0, 0));
    }
    case Period::All:
        break;
    }
    return {};
}

History &History::instance()
{
    static History history;
    return history;
}

History::History()
    : d(std::make_unique<Private>())
{ }

History::~History() = default;

bool History::open(const QString &path)
{
    d->path = path;
    d->open = !path.isEmpty();
    d->answers.clear();
    return d->open;
}

void History::close()
{
    d->open = false;
    d->answers.clear();
}

bool History::isOpen() const
{
    return d->open;
}

QString History::path() const
{
    return d->path;
}

QString History::problem() const
{
    return QString();
}

bool History::record(const Answer &answer)
{
    if (d->open)
        d->answers << answer;
    return d->open;
}

QList<Answer> History::answers(const QString &pupil, const QDateTime &from) const
{
    QList<Answer> found;
    for (const Answer &answer : d->answers) {
        if (answer.pupil == pupil && (!from.isValid() || answer.answeredAt >= from))
            found << answer;
    }
    return found;
}

Progress History::progress(const QString &pupil, const QDateTime &from) const
{
    Progress progress;
    QMap<QString, int> misses;
    for (const Answer &answer : answers(pupil, from)) {
        progress.days << Progress::Day{
            answer.answeredAt.date(), answer.topic, answer.list, answer.right ? 1 : 0, 1};
        if (progress.sessions.isEmpty())
            progress.sessions << Progress::Session{answer.answeredAt};
        Progress::Session &session = progress.sessions.last();
        ++session.answers;
        ++progress.answers;
        progress.right += answer.right ? 1 : 0;
        if (answer.timingMiss) {
            ++session.timingMisses;
            ++progress.timingMisses;
        } else if (!answer.right) {
            ++session.spellingErrors;
            ++progress.spellingErrors;
            ++misses[answer.word];
        }
        session.spentMs += answer.responseMs;
        progress.spentMs += answer.responseMs;
    }
    for (auto missed = misses.cbegin(); missed != misses.cend(); ++missed)
        progress.mostMissed << Progress::MissedWord{missed.key(), missed.value()};
    return progress;
}

QByteArray History::csv(const QString &pupil, const QDateTime &from) const
{
    QByteArray text = "data,argomento,parola,scelta,giusta\n";
    for (const Answer &answer : answers(pupil, from)) {
        text += QStringLiteral("%1,%2,%3,%4,%5\n")
                    .arg(answer.answeredAt.toString(Qt::ISODate), answer.topic, answer.word, answer.chosen,
                        answer.right ? QStringLiteral("1") : QStringLiteral("0"))
                    .toUtf8();
    }
    return text;
}

bool History::removePupil(const QString &pupil)
{
    if (!d->open)
        return false;
    d->answers.removeIf([&pupil](const Answer &answer) { return answer.pupil == pupil; });
    return true;
}

int History::schemaVersion()
{
    return 1;
}
