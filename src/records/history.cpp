#include "history.h"

#include "state/logcategories.h"

#include <sys/statfs.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <limits>
#include <optional>

bool isTimingMiss(bool right, InputMode mode, qint64 dwellMs, int scanIntervalMs, bool rightAnswerLitBefore)
{
    return !right && isScanning(mode) && rightAnswerLitBefore && scanIntervalMs > 0 && dwellMs >= 0
        && dwellMs * 2 < scanIntervalMs;
}

QDateTime periodStart(Period period, const QDateTime &now)
{
    switch (period) {
    case Period::LastWeek:
        return now.addDays(-7);
    case Period::LastMonth:
        return now.addDays(-30);
    case Period::SchoolYear: {
        const QDate today = now.date();
        QDateTime start = now;
        start.setDate(QDate(today.month() >= 9 ? today.year() : today.year() - 1, 9, 1));
        start.setTime(QTime(0, 0));
        return start;
    }
    case Period::All:
        break;
    }
    return {};
}

namespace {

constexpr int kSchemaVersion = 1;
constexpr int kBusyTimeoutMs = 2000;

// SQLite's primary result codes, as the Qt driver reports them.
enum SqliteCode {
    Error = 1,
    Busy = 5,
    Locked = 6,
    Corrupt = 11,
    NotADb = 26,
};

const QString kAnswerColumns = QStringLiteral(
    "pupil, answered_at, topic, list, item, word, choices, chosen, right, mode, response_ms, dwell_ms, "
    "timing_miss, session");

// Choices are spellings and never hold a control character.
const QChar kChoiceSeparator(0x1f);

// `day` is the answer's date in the computer's time zone when it was given
// (yyyymmdd): the day the pupil lived, and what "Progressi" groups by. The
// second index holds everything "Progressi" counts, in the order it groups
// them, so that it reads neither the table nor sorts.
const char *const kSchema[] = {
    "CREATE TABLE answers (id INTEGER PRIMARY KEY, pupil TEXT NOT NULL, answered_at INTEGER NOT NULL, "
    "topic TEXT NOT NULL, list TEXT NOT NULL, item TEXT NOT NULL, word TEXT NOT NULL, choices TEXT NOT NULL, "
    "chosen TEXT NOT NULL, right INTEGER NOT NULL, mode INTEGER NOT NULL, response_ms INTEGER NOT NULL, "
    "dwell_ms INTEGER NOT NULL, timing_miss INTEGER NOT NULL, session INTEGER NOT NULL, day INTEGER NOT "
    "NULL)",
    "CREATE INDEX answers_by_pupil ON answers (pupil, answered_at)",
    "CREATE INDEX answers_by_day ON answers (pupil, day, topic, list, session, answered_at, response_ms, "
    "right, "
    "timing_miss)",
};

// The switch checks came after version 1 and do not change it: a copy of
// the program that predates them opens the file and leaves the table alone,
// where a new version would make it set the whole file aside. Every opening
// makes the table when it is missing.
const char *const kSwitchCheckSchema[] = {
    "CREATE TABLE IF NOT EXISTS switch_checks (id INTEGER PRIMARY KEY, pupil TEXT NOT NULL, "
    "checked_at INTEGER NOT NULL, trials INTEGER NOT NULL, hits INTEGER NOT NULL, misses INTEGER NOT "
    "NULL, presses INTEGER NOT NULL, bounces INTEGER NOT NULL, no_target_presses INTEGER NOT NULL, "
    "delay_median_ms INTEGER NOT NULL, delay_p90_ms INTEGER NOT NULL, hold_median_ms INTEGER NOT NULL, "
    "longest_bounce_gap_ms INTEGER NOT NULL, scan_interval INTEGER NOT NULL, acceptance_time INTEGER "
    "NOT NULL, release_time INTEGER NOT NULL, selection_guard INTEGER NOT NULL, row_column_scanning "
    "INTEGER NOT NULL, two_switches INTEGER NOT NULL)",
    "CREATE INDEX IF NOT EXISTS switch_checks_by_pupil ON switch_checks (pupil, checked_at)",
};

const QString kSwitchCheckColumns = QStringLiteral(
    "pupil, checked_at, trials, hits, misses, presses, bounces, no_target_presses, delay_median_ms, "
    "delay_p90_ms, hold_median_ms, longest_bounce_gap_ms, scan_interval, acceptance_time, release_time, "
    "selection_guard, row_column_scanning, two_switches");

// Version 0 kept neither how long the highlight stood on the button nor
// whether a wrong answer was a late press: its answers read as without a
// dwell and as spelling errors, which is what they were taken for then.
const char *const kFromVersion0[] = {
    "ALTER TABLE answers ADD COLUMN dwell_ms INTEGER NOT NULL DEFAULT -1",
    "ALTER TABLE answers ADD COLUMN timing_miss INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE answers ADD COLUMN day INTEGER NOT NULL DEFAULT 0",
    "UPDATE answers SET day = CAST(strftime('%Y%m%d', answered_at / 1000, 'unixepoch', 'localtime') AS "
    "INTEGER)",
    "CREATE INDEX IF NOT EXISTS answers_by_pupil ON answers (pupil, answered_at)",
    "CREATE INDEX answers_by_day ON answers (pupil, day, topic, list, session, answered_at, response_ms, "
    "right, "
    "timing_miss)",
};

int dayNumber(const QDate &date)
{
    return date.year() * 10000 + date.month() * 100 + date.day();
}

QDate dayOf(int number)
{
    return QDate(number / 10000, number / 100 % 100, number % 100);
}

// A run's session: its start in milliseconds, times a million, plus a random
// number, so that two copies started in the same millisecond (two computers
// on one network home) still have sessions of their own, and two History
// objects of one process too.
qint64 newSession()
{
    static std::atomic<qint64> last{0};
    qint64 session
        = QDateTime::currentMSecsSinceEpoch() * 1000000 + QRandomGenerator::global()->bounded(1000000);
    qint64 previous = last.load();
    do {
        session = std::max(session, previous + 1);
    } while (!last.compare_exchange_weak(previous, session));
    return session;
}

QString newConnectionName()
{
    static std::atomic<int> count{0};
    return QStringLiteral("velmora-history-%1").arg(++count);
}

// File systems whose locks or shared memory span computers: SQLite's WAL
// index lives in memory mapped from the -shm file, which two computers do
// not share, so a WAL file there would be corrupted by a second copy of the
// program on another computer. There the rollback journal is used instead.
bool onNetworkFileSystem(const QString &folder)
{
    struct statfs info = {};
    if (statfs(QFile::encodeName(folder).constData(), &info) != 0)
        return false;
    switch (static_cast<unsigned long>(info.f_type)) {
    case 0x6969: // NFS
    case 0x517b: // SMB
    case 0xff534d42: // CIFS
    case 0xfe534d42: // SMB2
    case 0x564c: // NCP
    case 0x73757245: // Coda
    case 0x5346414f: // AFS
    case 0x6b414653: // kAFS
    case 0x01021997: // 9P
    case 0x00c36400: // Ceph
    case 0x0bd00bd0: // Lustre
    case 0x01161970: // GFS2
    case 0x7461636f: // OCFS2
    case 0x65735546: // FUSE: sshfs and the desktop's network mounts
        return true;
    default:
        return false;
    }
}

int codeOf(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xff) : 0;
}

QString modeName(InputMode mode)
{
    switch (mode) {
    case InputMode::Mouse:
        return QStringLiteral("mouse");
    case InputMode::Manual:
        return QStringLiteral("scansione manuale");
    case InputMode::Automatic:
        return QStringLiteral("scansione automatica");
    }
    return {};
}

InputMode modeFrom(int value)
{
    switch (value) {
    case int(InputMode::Manual):
        return InputMode::Manual;
    case int(InputMode::Automatic):
        return InputMode::Automatic;
    default:
        return InputMode::Mouse;
    }
}

// One field of RFC 4180: quoted when it holds a comma, a quote or a line end.
QByteArray csvField(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\n') && !bytes.contains('\r'))
        return bytes;
    bytes.replace('"', "\"\"");
    return '"' + bytes + '"';
}

qint64 fromMs(const QDateTime &from)
{
    return from.isValid() ? from.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
}

// How opening went, before any message is made of it.
enum class Outcome { Ok, Damaged, Newer, Locked, Unwritable };

Outcome outcomeOf(const QSqlError &error)
{
    switch (codeOf(error)) {
    case Corrupt:
    case NotADb:
        return Outcome::Damaged;
    case Busy:
    case Locked:
        return Outcome::Locked;
    default:
        return Outcome::Unwritable;
    }
}

} // namespace

struct History::Private
{
    QString connection = newConnectionName();
    qint64 session = newSession();
    QString path;
    QString problem;
    bool open = false;
    bool connected = false;
    std::optional<QSqlQuery> insert;

    QSqlDatabase db() const { return QSqlDatabase::database(connection, false); }

    // Runs one statement; on failure `error` says why.
    bool run(const QString &sql, QSqlError *error = nullptr, QVariant *value = nullptr) const
    {
        QSqlQuery query(db());
        if (!query.exec(sql)) {
            if (error)
                *error = query.lastError();
            qCDebug(lcHistory, "%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
            return false;
        }
        if (value)
            *value = query.next() ? query.value(0) : QVariant();
        return true;
    }

    void disconnect()
    {
        insert.reset();
        if (connected) {
            db().close();
            QSqlDatabase::removeDatabase(connection);
            connected = false;
        }
        open = false;
    }

    Outcome attach();
    Outcome prepareSchema();
    QString setAside();
};

// Opens the file and brings it to this program's schema.
Outcome History::Private::attach()
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return Outcome::Unwritable;
    // Pupils' answers are for their teacher: the file and its -wal and -shm,
    // which SQLite makes with the file's permissions, are readable by the
    // owner alone.
    if (!info.exists()) {
        QFile file(path);
        // Another copy starting at the same moment may have made it first.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        else if (!QFileInfo::exists(path))
            return Outcome::Unwritable;
    }
    if (!QFileInfo(info.absolutePath()).isWritable() || !QFileInfo(path).isWritable())
        return Outcome::Unwritable;

    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    connected = true;
    database.setDatabaseName(path);
    database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!database.open())
        return outcomeOf(database.lastError());

    QSqlError error;
    QVariant value;
    // Reading the schema tells a database from any other file.
    if (!run(QStringLiteral("SELECT count(*) FROM sqlite_master"), &error, &value))
        return outcomeOf(error);
    // Nothing is written before the file is known to be this program's: a
    // file set aside keeps the bytes it had.
    if (!run(QStringLiteral("PRAGMA user_version"), &error, &value))
        return outcomeOf(error);
    if (value.toInt() > kSchemaVersion)
        return Outcome::Newer;
    // The whole file is read once a run, not at every index: fast enough at
    // start even after years of answers.
    if (!run(QStringLiteral("PRAGMA quick_check"), &error, &value))
        return outcomeOf(error);
    if (value.toString() != QLatin1String("ok"))
        return Outcome::Damaged;
    const bool network = onNetworkFileSystem(info.absolutePath());
    const QString journal = network ? QStringLiteral("delete") : QStringLiteral("wal");
    if (!run(QStringLiteral("PRAGMA journal_mode"), &error, &value))
        return outcomeOf(error);
    // Changing the journal takes the file for itself and SQLite does not wait
    // for it: a copy starting at the same moment may hold it for a while.
    QElapsedTimer waited;
    waited.start();
    while (value.toString() != journal && !run(QStringLiteral("PRAGMA journal_mode=") + journal, &error)) {
        if (outcomeOf(error) != Outcome::Locked || waited.elapsed() > kBusyTimeoutMs)
            return outcomeOf(error);
        QThread::msleep(10);
    }
    // In WAL mode a commit survives the program being killed without waiting
    // for the disk, and a power cut loses at most the last answers, never the
    // file; the rollback journal needs the full wait to keep the file whole.
    if (!run(
            network ? QStringLiteral("PRAGMA synchronous=FULL") : QStringLiteral("PRAGMA synchronous=NORMAL"),
            &error))
        return outcomeOf(error);
    return prepareSchema();
}

Outcome History::Private::prepareSchema()
{
    QSqlError error;
    // The version is read inside the write lock, so that two copies starting
    // together on an older file bring it forward once.
    if (!run(QStringLiteral("BEGIN IMMEDIATE"), &error))
        return outcomeOf(error);
    const auto fail = [this](const QSqlError &failure) {
        run(QStringLiteral("ROLLBACK"));
        return outcomeOf(failure);
    };
    QVariant version;
    QVariant tables;
    QVariant ours;
    if (!run(QStringLiteral("PRAGMA user_version"), &error, &version)
        || !run(QStringLiteral("SELECT count(*) FROM sqlite_master"), &error, &tables)
        || !run(
            QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'answers'"),
            &error, &ours))
        return fail(error);

    QStringList steps;
    if (version.toInt() > kSchemaVersion) {
        run(QStringLiteral("ROLLBACK"));
        return Outcome::Newer;
    }
    if (tables.toInt() == 0) {
        for (const char *statement : kSchema)
            steps << QLatin1String(statement);
    } else if (ours.toInt() == 0) {
        // Another program's database: not ours to write in.
        run(QStringLiteral("ROLLBACK"));
        return Outcome::Damaged;
    } else if (version.toInt() == 0) {
        for (const char *statement : kFromVersion0)
            steps << QLatin1String(statement);
    }
    for (const char *statement : kSwitchCheckSchema)
        steps << QLatin1String(statement);
    for (const QString &step : std::as_const(steps)) {
        if (!run(step, &error)) {
            const Outcome outcome = fail(error);
            // A table this program cannot bring forward is not one it can use.
            return codeOf(error) == Error ? Outcome::Damaged : outcome;
        }
    }
    if (!run(QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion), &error)
        || !run(QStringLiteral("COMMIT"), &error))
        return fail(error);
    return Outcome::Ok;
}

// Moves the file, with its journal, WAL and shared memory, to a name of its
// own beside it; returns that name, or an empty one when it could not.
QString History::Private::setAside()
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = path + QStringLiteral(".danneggiato-") + stamp;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = path + QStringLiteral(".danneggiato-") + stamp + QLatin1Char('-') + QString::number(n);
    if (!QFile::rename(path, aside))
        return {};
    for (const QString &suffix :
        {QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")}) {
        if (QFileInfo::exists(path + suffix))
            QFile::rename(path + suffix, aside + suffix);
    }
    return aside;
}

History &History::instance()
{
    // Never destroyed: a program ended by exit() (Qt does so when the X
    // server goes away) would destroy Qt's list of connections before it.
    // A normal end closes it while that list still exists; otherwise the
    // committed answers are safe in the file all the same.
    static History *const history = [] {
        qAddPostRoutine([] { instance().close(); });
        return new History;
    }();
    return *history;
}

History::History()
    : d(std::make_unique<Private>())
{ }

History::~History()
{
    close();
}

bool History::open(const QString &path)
{
    close();
    d->path = path;
    d->problem.clear();
    Outcome outcome = d->attach();
    QString aside;
    if (outcome == Outcome::Damaged || outcome == Outcome::Newer) {
        d->disconnect();
        aside = d->setAside();
        const Outcome first = outcome;
        outcome = aside.isEmpty() ? Outcome::Unwritable : d->attach();
        if (outcome == Outcome::Ok) {
            const QString name = QFileInfo(aside).fileName();
            d->problem = first == Outcome::Newer
                ? QStringLiteral("Il file della storia degli alunni è di una versione più recente del "
                                 "programma: è stato messo da parte come «%1» e ne è stato iniziato "
                                 "uno nuovo.")
                      .arg(name)
                : QStringLiteral("Il file della storia degli alunni era danneggiato: è stato messo da "
                                 "parte come «%1» e ne è stato iniziato uno nuovo.")
                      .arg(name);
            qCWarning(lcHistory, "%s moved aside as %s", qPrintable(path), qPrintable(aside));
        }
    }
    if (outcome != Outcome::Ok) {
        d->disconnect();
        d->problem = outcome == Outcome::Locked
            ? QStringLiteral("La storia degli alunni è in uso da un'altra copia del programma: le "
                             "risposte di questa sessione non saranno conservate.")
            : QStringLiteral("Non è possibile scrivere la storia degli alunni nel file «%1»: le "
                             "risposte di questa sessione non saranno conservate.")
                  .arg(QDir::toNativeSeparators(path));
        qCWarning(lcHistory, "the history is off: %s", qPrintable(d->problem));
        return false;
    }

    d->insert.emplace(d->db());
    d->insert->prepare(
        QStringLiteral("INSERT INTO answers (%1, day) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
            .arg(kAnswerColumns));
    d->open = true;
    // When Qt itself ends the program with exit() (its display went away),
    // the application is never destroyed: the history closes before the SQL
    // objects Qt has made for it by now, which exit() undoes in reverse
    // order; any later, it would find them gone.
    static const bool closedOnExit = [] {
        std::atexit([] { instance().close(); });
        return true;
    }();
    Q_UNUSED(closedOnExit);
    return true;
}

void History::close()
{
    d->disconnect();
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
    return d->problem;
}

bool History::record(const Answer &answer)
{
    if (!d->open)
        return false;
    QSqlQuery &insert = *d->insert;
    const QDateTime at = answer.answeredAt.isValid() ? answer.answeredAt : QDateTime::currentDateTime();
    insert.addBindValue(answer.pupil);
    insert.addBindValue(at.toMSecsSinceEpoch());
    insert.addBindValue(answer.topic);
    insert.addBindValue(answer.list);
    insert.addBindValue(answer.item);
    insert.addBindValue(answer.word);
    insert.addBindValue(answer.choices.join(kChoiceSeparator));
    insert.addBindValue(answer.chosen);
    insert.addBindValue(answer.right ? 1 : 0);
    insert.addBindValue(int(answer.mode));
    insert.addBindValue(answer.responseMs);
    insert.addBindValue(isScanning(answer.mode) ? answer.dwellMs : qint64(-1));
    // A right answer is never a late press, whatever the caller says.
    insert.addBindValue(answer.timingMiss && !answer.right ? 1 : 0);
    insert.addBindValue(d->session);
    insert.addBindValue(dayNumber(at.toLocalTime().date()));
    if (!insert.exec()) {
        qCWarning(lcHistory, "an answer was not kept: %s", qPrintable(insert.lastError().text()));
        return false;
    }
    return true;
}

bool History::recordSwitchCheck(const SwitchCheckRecord &check)
{
    if (!d->open)
        return false;
    QSqlQuery insert(d->db());
    insert.prepare(QStringLiteral(
        "INSERT INTO switch_checks (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
        "?, ?)")
                       .arg(kSwitchCheckColumns));
    const QDateTime at = check.checkedAt.isValid() ? check.checkedAt : QDateTime::currentDateTime();
    insert.addBindValue(check.pupil);
    insert.addBindValue(at.toMSecsSinceEpoch());
    for (qint64 value : {qint64(check.trials), qint64(check.hits), qint64(check.misses),
             qint64(check.presses), qint64(check.bounces), qint64(check.noTargetPresses), check.delayMedianMs,
             check.delayP90Ms, check.holdMedianMs, check.longestBounceGapMs, qint64(check.scanInterval),
             qint64(check.acceptanceTime), qint64(check.releaseTime), qint64(check.selectionGuard),
             qint64(check.rowColumnScanning), qint64(check.twoSwitches)})
        insert.addBindValue(value);
    if (!insert.exec()) {
        qCWarning(lcHistory, "a switch check was not kept: %s", qPrintable(insert.lastError().text()));
        return false;
    }
    return true;
}

QList<SwitchCheckRecord> History::switchChecks(const QString &pupil, const QDateTime &from) const
{
    QList<SwitchCheckRecord> checks;
    if (!d->open)
        return checks;
    QSqlQuery query(d->db());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1 FROM switch_checks WHERE pupil = ? AND checked_at >= ? "
                                 "ORDER BY checked_at, id")
                      .arg(kSwitchCheckColumns));
    query.addBindValue(pupil);
    query.addBindValue(fromMs(from));
    if (!query.exec()) {
        qCWarning(lcHistory, "switch checks not read: %s", qPrintable(query.lastError().text()));
        return checks;
    }
    while (query.next()) {
        SwitchCheckRecord check;
        check.pupil = query.value(0).toString();
        check.checkedAt = QDateTime::fromMSecsSinceEpoch(query.value(1).toLongLong());
        check.trials = query.value(2).toInt();
        check.hits = query.value(3).toInt();
        check.misses = query.value(4).toInt();
        check.presses = query.value(5).toInt();
        check.bounces = query.value(6).toInt();
        check.noTargetPresses = query.value(7).toInt();
        check.delayMedianMs = query.value(8).toLongLong();
        check.delayP90Ms = query.value(9).toLongLong();
        check.holdMedianMs = query.value(10).toLongLong();
        check.longestBounceGapMs = query.value(11).toLongLong();
        check.scanInterval = query.value(12).toInt();
        check.acceptanceTime = query.value(13).toInt();
        check.releaseTime = query.value(14).toInt();
        check.selectionGuard = query.value(15).toInt();
        check.rowColumnScanning = query.value(16).toInt() != 0;
        check.twoSwitches = query.value(17).toInt() != 0;
        checks << check;
    }
    return checks;
}

QList<Answer> History::answers(const QString &pupil, const QDateTime &from) const
{
    QList<Answer> answers;
    if (!d->open)
        return answers;
    QSqlQuery query(d->db());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1 FROM answers WHERE pupil = ? AND answered_at >= ? "
                                 "ORDER BY answered_at, id")
                      .arg(kAnswerColumns));
    query.addBindValue(pupil);
    query.addBindValue(fromMs(from));
    if (!query.exec())
        return answers;
    while (query.next()) {
        Answer answer;
        answer.pupil = query.value(0).toString();
        answer.answeredAt = QDateTime::fromMSecsSinceEpoch(query.value(1).toLongLong());
        answer.topic = query.value(2).toString();
        answer.list = query.value(3).toString();
        answer.item = query.value(4).toString();
        answer.word = query.value(5).toString();
        const QString choices = query.value(6).toString();
        if (!choices.isEmpty())
            answer.choices = choices.split(kChoiceSeparator);
        answer.chosen = query.value(7).toString();
        answer.right = query.value(8).toInt() != 0;
        answer.mode = modeFrom(query.value(9).toInt());
        answer.responseMs = query.value(10).toLongLong();
        answer.dwellMs = query.value(11).toLongLong();
        answer.timingMiss = query.value(12).toInt() != 0;
        answers << answer;
    }
    return answers;
}

QStringList History::dueWords(const QString &pupil, const QString &list) const
{
    MissedWords missed;
    for (const Answer &answer : answers(pupil)) {
        if (answer.list == list)
            missed.add(answer);
    }
    return missed.due();
}

Progress History::progress(const QString &pupil, const QDateTime &from) const
{
    Progress progress;
    if (!d->open)
        return progress;
    // The day bound only narrows the index range; the time decides. A day
    // before, for answers given under another time zone.
    const int fromDay = from.isValid() ? dayNumber(from.toLocalTime().date().addDays(-1)) : 0;
    const auto select = [&](const QString &sql) {
        QSqlQuery query(d->db());
        query.setForwardOnly(true);
        query.prepare(sql);
        query.addBindValue(pupil);
        query.addBindValue(fromDay);
        query.addBindValue(fromMs(from));
        if (!query.exec())
            qCWarning(lcHistory, "progress not read: %s", qPrintable(query.lastError().text()));
        return query;
    };
    const QString where = QStringLiteral(" FROM answers WHERE pupil = ? AND day >= ? AND answered_at >= ? ");

    // One pass over the index gives the days and, summed, the sessions.
    QSqlQuery groups = select(QStringLiteral("SELECT day, topic, list, session, count(*), sum(right), "
                                             "sum(right = 0 AND timing_miss = 0), sum(timing_miss), "
                                             "min(answered_at - response_ms), max(answered_at)")
        + where + QStringLiteral("GROUP BY day, topic, list, session ORDER BY day, topic, list, session"));
    struct Span
    {
        Progress::Session session;
        qint64 start = std::numeric_limits<qint64>::max();
        qint64 end = std::numeric_limits<qint64>::min();
    };
    QHash<qint64, Span> spans;
    int lastDay = 0;
    while (groups.next()) {
        const int dayNumber = groups.value(0).toInt();
        const QString topic = groups.value(1).toString();
        const QString list = groups.value(2).toString();
        const int answers = groups.value(4).toInt();
        const int right = groups.value(5).toInt();
        if (progress.days.isEmpty() || dayNumber != lastDay || progress.days.last().topic != topic
            || progress.days.last().list != list) {
            progress.days << Progress::Day{dayOf(dayNumber), topic, list, 0, 0};
            lastDay = dayNumber;
        }
        progress.days.last().right += right;
        progress.days.last().answers += answers;
        Span &span = spans[groups.value(3).toLongLong()];
        span.session.answers += answers;
        span.session.spellingErrors += groups.value(6).toInt();
        span.session.timingMisses += groups.value(7).toInt();
        span.start = std::min(span.start, groups.value(8).toLongLong());
        span.end = std::max(span.end, groups.value(9).toLongLong());
        progress.right += right;
    }
    for (Span &span : spans) {
        span.session.start = QDateTime::fromMSecsSinceEpoch(span.start);
        span.session.spentMs = std::max<qint64>(0, span.end - span.start);
        progress.answers += span.session.answers;
        progress.spellingErrors += span.session.spellingErrors;
        progress.timingMisses += span.session.timingMisses;
        progress.spentMs += span.session.spentMs;
        progress.sessions << span.session;
    }
    std::sort(progress.sessions.begin(), progress.sessions.end(),
        [](const Progress::Session &a, const Progress::Session &b) { return a.start < b.start; });

    QSqlQuery missed = select(QStringLiteral("SELECT word, count(*) AS misses") + where
        + QStringLiteral("AND right = 0 AND timing_miss = 0 GROUP BY word "
                         "ORDER BY misses DESC, word LIMIT 10"));
    while (missed.next())
        progress.mostMissed << Progress::MissedWord{missed.value(0).toString(), missed.value(1).toInt()};
    progress.switchChecks = switchChecks(pupil, from);
    return progress;
}

QByteArray History::csv(const QString &pupil, const QDateTime &from) const
{
    // The byte order mark tells spreadsheets the text is UTF-8: without it
    // Calc and Excel on a computer set up for Windows-1252 show "Ã¨" for "è".
    QByteArray text
        = QByteArrayLiteral("\xEF\xBB\xBF"
                            "alunno,data,ora,argomento,lista,voce,parola,scelte,scelta,esatta,modo,"
                            "tempo_risposta_ms,tempo_evidenziazione_ms,errore_di_tempo\r\n");
    const QString yes = QStringLiteral("sì");
    const QString no = QStringLiteral("no");
    for (const Answer &answer : answers(pupil, from)) {
        const QStringList fields = {
            answer.pupil,
            answer.answeredAt.toString(QStringLiteral("yyyy-MM-dd")),
            answer.answeredAt.toString(QStringLiteral("HH:mm:ss")),
            answer.topic,
            answer.list,
            answer.item,
            answer.word,
            answer.choices.join(QStringLiteral(" / ")),
            answer.chosen,
            answer.right ? yes : no,
            modeName(answer.mode),
            QString::number(answer.responseMs),
            answer.dwellMs >= 0 ? QString::number(answer.dwellMs) : QString(),
            answer.timingMiss ? yes : no,
        };
        QByteArrayList line;
        for (const QString &field : fields)
            line << csvField(field);
        text += line.join(',') + "\r\n";
    }
    return text;
}

bool History::removePupil(const QString &pupil)
{
    if (!d->open)
        return false;
    d->insert->finish();
    // Deleted rows are overwritten with zeros, then the WAL, which still
    // holds the pages as they were, is copied back and emptied, and VACUUM
    // rewrites the file without the free pages.
    QSqlError error;
    if (!d->run(QStringLiteral("PRAGMA secure_delete=ON"), &error))
        return false;
    // The answers and the checks go together or not at all.
    QSqlDatabase db = d->db();
    QSqlQuery remove(db);
    bool removed = db.transaction();
    for (const char *table : {"answers", "switch_checks"}) {
        if (!removed)
            break;
        remove.prepare(QStringLiteral("DELETE FROM %1 WHERE pupil = ?").arg(QLatin1String(table)));
        remove.addBindValue(pupil);
        removed = remove.exec();
        if (!removed)
            error = remove.lastError();
    }
    remove.finish();
    if (removed)
        removed = db.commit();
    else
        db.rollback();
    if (!removed && !error.isValid())
        error = db.lastError();
    QVariant busy;
    const bool scrubbed = removed && d->run(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"), &error, &busy)
        && d->run(QStringLiteral("VACUUM"), &error)
        && d->run(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"), &error, &busy) && busy.toInt() == 0;
    if (!scrubbed)
        qCWarning(lcHistory, "a pupil's answers may remain in %s: %s", qPrintable(d->path),
            qPrintable(error.text()));
    return scrubbed;
}

int History::schemaVersion()
{
    return kSchemaVersion;
}

void MissedWords::add(const Answer &answer)
{
    // A pupil who leaves an item unanswered sees another word next.
    if (answer.word != m_shownWord) {
        m_shownWord = answer.word;
        m_shownMissed = false;
    }
    if (!answer.right && !answer.timingMiss) {
        m_shownMissed = true;
        m_due.removeOne(answer.word);
        m_due << answer.word;
        m_rightShowings.insert(answer.word, 0);
    }
    if (!answer.right)
        return;
    if (!m_shownMissed && isDue(answer.word) && ++m_rightShowings[answer.word] >= 2) {
        m_rightShowings.remove(answer.word);
        m_due.removeOne(answer.word);
    }
    m_shownWord.clear();
    m_shownMissed = false;
}
