#include "records/history.h"
#include "testenv.h"

#include <csignal>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>

#include <gtest/gtest.h>

#include <random>

namespace {

// A statement run on a connection of the test's own, beside the program's.
QVariant sql(const QString &path, const QString &statement)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("test"));
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open());
        QSqlQuery query(db);
        EXPECT_TRUE(query.exec(statement)) << statement.toStdString();
        if (query.next())
            value = query.value(0);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test"));
    return value;
}

int rows(const QString &path, const QString &pupil = {})
{
    const QString where = pupil.isEmpty() ? QString() : QStringLiteral(" WHERE pupil = '%1'").arg(pupil);
    return sql(path, QStringLiteral("SELECT count(*) FROM answers") + where).toInt();
}

Answer answer(const QString &pupil, const QDateTime &at, const QString &word, bool right)
{
    Answer a;
    a.pupil = pupil;
    a.answeredAt = at;
    a.topic = QStringLiteral("bp");
    a.list = QStringLiteral("bp1.txt");
    a.item = QStringLiteral("_") + word.mid(1);
    a.word = word;
    a.choices = QStringList{word.left(1), QStringLiteral("x")};
    a.chosen = right ? word.left(1) : QStringLiteral("x");
    a.right = right;
    a.responseMs = 1000;
    return a;
}

SwitchCheckRecord check(const QString &pupil, const QDateTime &at, int hits)
{
    SwitchCheckRecord c;
    c.pupil = pupil;
    c.checkedAt = at;
    c.trials = 18;
    c.hits = hits;
    c.misses = 1;
    c.presses = 25;
    c.bounces = 2;
    c.noTargetPresses = 3;
    c.delayMedianMs = 900;
    c.delayP90Ms = 1090;
    c.holdMedianMs = 250;
    c.longestBounceGapMs = 120;
    c.scanInterval = 6;
    c.acceptanceTime = 100;
    c.releaseTime = 200;
    c.selectionGuard = 550;
    c.rowColumnScanning = true;
    c.twoSwitches = hits % 2 == 1;
    return c;
}

void expectSame(const Answer &got, const Answer &want)
{
    EXPECT_EQ(got.pupil, want.pupil);
    EXPECT_EQ(got.answeredAt, want.answeredAt);
    EXPECT_EQ(got.topic, want.topic);
    EXPECT_EQ(got.list, want.list);
    EXPECT_EQ(got.item, want.item);
    EXPECT_EQ(got.word, want.word);
    EXPECT_EQ(got.choices, want.choices);
    EXPECT_EQ(got.chosen, want.chosen);
    EXPECT_EQ(got.right, want.right);
    EXPECT_EQ(got.mode, want.mode);
    EXPECT_EQ(got.responseMs, want.responseMs);
    EXPECT_EQ(got.dwellMs, want.dwellMs);
    EXPECT_EQ(got.timingMiss, want.timingMiss);
}

QStringList setAside(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("storia.sqlite.danneggiato-*")}, QDir::Files);
}

QString writer()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/history_writer");
}

// The last count a writer printed: the answers it had committed.
int lastCount(const QByteArray &output)
{
    const QList<QByteArray> lines = output.trimmed().split('\n');
    return lines.last().toInt();
}

TEST(History, KeepsEveryFieldAcrossARestart)
{
    const QString path = TestEnv::makeFolder(QStringLiteral("dati")) + QStringLiteral("/storia.sqlite");
    Answer mouse = answer(QStringLiteral("Anna"), QDateTime(QDate(2024, 10, 7), QTime(9, 15, 2, 345)),
        QStringLiteral("barca"), true);
    Answer scanned;
    scanned.pupil = QStringLiteral("Anna");
    scanned.answeredAt = QDateTime(QDate(2024, 10, 8), QTime(11, 0));
    scanned.topic = QStringLiteral("acc");
    scanned.list = QStringLiteral("accenti.txt");
    scanned.item = QStringLiteral("Luca, detto \"il capo\", _ in città");
    scanned.word = QStringLiteral("è");
    scanned.choices = QStringList{QStringLiteral("è"), QStringLiteral("e")};
    scanned.chosen = QStringLiteral("e");
    scanned.mode = InputMode::Automatic;
    scanned.responseMs = 4321;
    scanned.dwellMs = 180;
    scanned.timingMiss = true;
    {
        History history;
        ASSERT_TRUE(history.open(path)) << history.problem().toStdString();
        EXPECT_TRUE(history.problem().isEmpty());
        EXPECT_TRUE(history.record(mouse));
        EXPECT_TRUE(history.record(scanned));
        EXPECT_TRUE(
            history.record(answer(QStringLiteral("Bruno"), mouse.answeredAt, QStringLiteral("pane"), false)));
    }
    // Nobody but the owner reads the pupils' answers.
    EXPECT_EQ(QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());

    History history;
    ASSERT_TRUE(history.open(path));
    EXPECT_EQ(history.path(), path);
    const QList<Answer> kept = history.answers(QStringLiteral("Anna"));
    ASSERT_EQ(kept.size(), 2);
    expectSame(kept[0], mouse);
    expectSame(kept[1], scanned);
    ASSERT_EQ(history.answers(QStringLiteral("Anna"), scanned.answeredAt).size(), 1);
    EXPECT_EQ(sql(path, QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
    EXPECT_EQ(sql(path, QStringLiteral("PRAGMA user_version")).toInt(), History::schemaVersion());

    history.close();
    EXPECT_FALSE(history.isOpen());
    EXPECT_FALSE(history.record(mouse));
}

TEST(History, ALatePressIsATimingMissOnlyRightAfterTheRightAnswerWasLit)
{
    EXPECT_TRUE(isTimingMiss(false, InputMode::Automatic, 499, 1000, true));
    EXPECT_FALSE(isTimingMiss(false, InputMode::Automatic, 500, 1000, true)) << "exactly half the interval";
    EXPECT_TRUE(isTimingMiss(false, InputMode::Manual, 0, 1000, true));
    EXPECT_FALSE(isTimingMiss(false, InputMode::Mouse, 100, 1000, true)) << "not scanning";
    EXPECT_FALSE(isTimingMiss(true, InputMode::Automatic, 100, 1000, true)) << "a right answer";
    EXPECT_FALSE(isTimingMiss(false, InputMode::Automatic, 100, 1000, false))
        << "the one lit before was wrong";
    EXPECT_FALSE(isTimingMiss(false, InputMode::Automatic, -1, 1000, true)) << "no dwell measured";

    const QDateTime now(QDate(2025, 3, 15), QTime(10, 30));
    EXPECT_EQ(periodStart(Period::LastWeek, now), QDateTime(QDate(2025, 3, 8), QTime(10, 30)));
    EXPECT_EQ(periodStart(Period::LastMonth, now), QDateTime(QDate(2025, 2, 13), QTime(10, 30)));
    EXPECT_EQ(periodStart(Period::SchoolYear, now), QDateTime(QDate(2024, 9, 1), QTime(0, 0)));
    EXPECT_EQ(periodStart(Period::SchoolYear, QDateTime(QDate(2025, 9, 1), QTime(0, 0))),
        QDateTime(QDate(2025, 9, 1), QTime(0, 0)));
    EXPECT_EQ(periodStart(Period::SchoolYear, QDateTime(QDate(2025, 8, 31), QTime(23, 59))),
        QDateTime(QDate(2024, 9, 1), QTime(0, 0)));
    EXPECT_FALSE(periodStart(Period::All, now).isValid());
}

TEST(History, BringsAnOlderFileForwardKeepingItsAnswers)
{
    const QString path = TestEnv::makeFolder(QStringLiteral("dati")) + QStringLiteral("/storia.sqlite");
    // The first layout: no dwell and no late presses.
    sql(path,
        QStringLiteral(
            "CREATE TABLE answers (id INTEGER PRIMARY KEY, pupil TEXT NOT NULL, answered_at INTEGER "
            "NOT NULL, topic TEXT NOT NULL, list TEXT NOT NULL, item TEXT NOT NULL, word TEXT NOT "
            "NULL, choices TEXT NOT NULL, chosen TEXT NOT NULL, right INTEGER NOT NULL, mode "
            "INTEGER NOT NULL, response_ms INTEGER NOT NULL, session INTEGER NOT NULL)"));
    const QDateTime at(QDate(2023, 11, 20), QTime(8, 30));
    sql(path,
        QStringLiteral("INSERT INTO answers (pupil, answered_at, topic, list, item, word, choices, chosen, "
                       "right, mode, response_ms, session) VALUES ('Anna', %1, 'bp', 'bp1.txt', '_arca', "
                       "'barca', 'b' || char(31) || 'p', 'p', 0, 1, 2500, 1)")
            .arg(at.toMSecsSinceEpoch()));

    History history;
    ASSERT_TRUE(history.open(path)) << history.problem().toStdString();
    EXPECT_TRUE(history.problem().isEmpty());
    EXPECT_TRUE(setAside(QFileInfo(path).path()).isEmpty());
    EXPECT_EQ(sql(path, QStringLiteral("PRAGMA user_version")).toInt(), 1);
    Answer old = answer(QStringLiteral("Anna"), at, QStringLiteral("barca"), false);
    old.choices = QStringList{QStringLiteral("b"), QStringLiteral("p")};
    old.chosen = QStringLiteral("p");
    old.item = QStringLiteral("_arca");
    old.mode = InputMode::Manual;
    old.responseMs = 2500;
    Answer late = old;
    late.answeredAt = at.addSecs(5);
    late.dwellMs = 120;
    late.timingMiss = true;
    EXPECT_TRUE(history.record(late));
    const QList<Answer> kept = history.answers(QStringLiteral("Anna"));
    ASSERT_EQ(kept.size(), 2);
    expectSame(kept[0], old);
    expectSame(kept[1], late);
    const Progress progress = history.progress(QStringLiteral("Anna"));
    ASSERT_EQ(progress.days.size(), 1);
    EXPECT_EQ(progress.days[0].day, at.date());
    EXPECT_EQ(progress.spellingErrors, 1);
}

TEST(History, SetsADamagedOrNewerFileAsideAndStartsANewOne)
{
    const QString damagedText
        = QStringLiteral("Il file della storia degli alunni era danneggiato: è stato messo "
                         "da parte come «%1» e ne è stato iniziato uno nuovo.");
    const auto check = [&](const QString &name, const QByteArray &bytes, const QString &message) {
        SCOPED_TRACE(name.toStdString());
        const QString folder = TestEnv::makeFolder(name);
        const QString path = folder + QStringLiteral("/storia.sqlite");
        TestEnv::writeFile(path, bytes);
        History history;
        ASSERT_TRUE(history.open(path));
        const QStringList aside = setAside(folder);
        ASSERT_EQ(aside.size(), 1);
        EXPECT_EQ(TestEnv::readFile(folder + QLatin1Char('/') + aside[0]), bytes);
        EXPECT_EQ(history.problem(), message.arg(aside[0]));
        EXPECT_TRUE(history.record(
            answer(QStringLiteral("Anna"), QDateTime::currentDateTime(), QStringLiteral("barca"), true)));
        EXPECT_EQ(rows(path), 1);
    };
    check(QStringLiteral("testo"), "questo non è un database\n", damagedText);

    // A real file whose table pages were overwritten.
    const QString source = TestEnv::makeFolder(QStringLiteral("sorgente")) + QStringLiteral("/storia.sqlite");
    {
        History history;
        ASSERT_TRUE(history.open(source));
        for (int i = 0; i < 300; ++i)
            history.record(
                answer(QStringLiteral("Anna"), QDateTime::currentDateTime(), QStringLiteral("barca"), true));
    }
    QByteArray broken = TestEnv::readFile(source);
    ASSERT_GT(broken.size(), 4 * 4096);
    broken.replace(4096, 2 * 4096, QByteArray(2 * 4096, '\xa5'));
    check(QStringLiteral("pagine"), broken, damagedText);

    sql(source, QStringLiteral("PRAGMA user_version=%1").arg(History::schemaVersion() + 1));
    sql(source, QStringLiteral("PRAGMA journal_mode=DELETE"));
    check(QStringLiteral("recente"), TestEnv::readFile(source),
        QStringLiteral(
            "Il file della storia degli alunni è di una versione più recente del programma: è stato "
            "messo da parte come «%1» e ne è stato iniziato uno nuovo."));

    // A folder that cannot be made: the history is off, and says so.
    const QString file = TestEnv::makeFolder(QStringLiteral("file")) + QStringLiteral("/dati");
    TestEnv::writeFile(file, "non una cartella");
    History off;
    EXPECT_FALSE(off.open(file + QStringLiteral("/storia.sqlite")));
    EXPECT_FALSE(off.isOpen());
    EXPECT_EQ(off.problem(),
        QStringLiteral("Non è possibile scrivere la storia degli alunni nel file «%1»: le "
                       "risposte di questa sessione non saranno conservate.")
            .arg(file + QStringLiteral("/storia.sqlite")));
    EXPECT_FALSE(off.record(
        answer(QStringLiteral("Anna"), QDateTime::currentDateTime(), QStringLiteral("barca"), true)));
    EXPECT_TRUE(off.progress(QStringLiteral("Anna")).days.isEmpty());
}

TEST(History, AFileHeldByAnotherCopyIsLeftAloneAndTheHistoryIsOff)
{
    const QString folder = TestEnv::makeFolder(QStringLiteral("dati"));
    const QString path = folder + QStringLiteral("/storia.sqlite");
    {
        History history;
        ASSERT_TRUE(history.open(path));
    }
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(path);
        ASSERT_TRUE(other.open());
        QSqlQuery hold(other);
        ASSERT_TRUE(hold.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        History history;
        EXPECT_FALSE(history.open(path));
        EXPECT_EQ(history.problem(),
            QStringLiteral("La storia degli alunni è in uso da un'altra copia del programma: "
                           "le risposte di questa sessione non saranno conservate."));
        EXPECT_FALSE(history.record(answer(QStringLiteral("Anna"), {}, QStringLiteral("barca"), true)));
        hold.exec(QStringLiteral("ROLLBACK"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    EXPECT_TRUE(setAside(folder).isEmpty());
    History history;
    EXPECT_TRUE(history.open(path));
}

TEST(History, KeepsEveryCommittedAnswerWhenKilledAtAnyMoment)
{
    const QString path = TestEnv::makeFolder(QStringLiteral("dati")) + QStringLiteral("/storia.sqlite");
    const unsigned seed = std::random_device()();
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    int total = 0;
    for (int run = 0; run < 50; ++run) {
        QProcess process;
        process.start(writer(), {path, QStringLiteral("Anna")});
        ASSERT_TRUE(process.waitForReadyRead(5000)) << process.readAllStandardError().toStdString();
        QThread::usleep(std::uniform_int_distribution<int>(0, 20000)(random));
        ::kill(pid_t(process.processId()), SIGKILL);
        ASSERT_TRUE(process.waitForFinished(5000));
        const int committed = lastCount(process.readAllStandardOutput());
        ASSERT_GT(committed, 0);
        History history;
        ASSERT_TRUE(history.open(path)) << history.problem().toStdString();
        ASSERT_TRUE(history.problem().isEmpty()) << history.problem().toStdString();
        const int now = rows(path);
        ASSERT_GE(now, total + committed) << "run " << run;
        ASSERT_LE(now, total + committed + 1) << "run " << run;
        total = now;
    }
}

TEST(History, TwoCopiesWritingAtOnceKeepEveryAnswer)
{
    const QString path = TestEnv::makeFolder(QStringLiteral("dati")) + QStringLiteral("/storia.sqlite");
    QProcess anna;
    QProcess bruno;
    anna.start(writer(), {path, QStringLiteral("Anna"), QStringLiteral("300")});
    bruno.start(writer(), {path, QStringLiteral("Bruno"), QStringLiteral("300")});
    for (QProcess *process : {&anna, &bruno}) {
        ASSERT_TRUE(process->waitForFinished(20000));
        // The program's history left open at exit closes cleanly.
        EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardError().toStdString();
        EXPECT_EQ(lastCount(process->readAllStandardOutput()), 300);
    }
    EXPECT_EQ(rows(path, QStringLiteral("Anna")), 300);
    EXPECT_EQ(rows(path, QStringLiteral("Bruno")), 300);
    EXPECT_EQ(sql(path, QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    EXPECT_EQ(sql(path, QStringLiteral("SELECT count(DISTINCT session) FROM answers")).toInt(), 2);
}

TEST(History, CsvReadsBackInASpreadsheetReader)
{
    const QString folder = TestEnv::makeFolder(QStringLiteral("dati"));
    History history;
    ASSERT_TRUE(history.open(folder + QStringLiteral("/storia.sqlite")));
    const QDateTime at(QDate(2024, 12, 2), QTime(9, 5, 7));
    Answer sentence = answer(QStringLiteral("Anna"), at, QStringLiteral("è"), false);
    sentence.item = QStringLiteral("Luca, detto \"il capo\",\n_ in città");
    sentence.choices = QStringList{QStringLiteral("è"), QStringLiteral("e")};
    sentence.chosen = QStringLiteral("e");
    sentence.mode = InputMode::Automatic;
    sentence.dwellMs = 200;
    sentence.timingMiss = true;
    history.record(sentence);
    history.record(answer(QStringLiteral("Anna"), at.addSecs(60), QStringLiteral("barca"), true));
    history.record(answer(QStringLiteral("Bruno"), at, QStringLiteral("pane"), true));

    const QByteArray csv = history.csv(QStringLiteral("Anna"));
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
    const QString file = folder + QStringLiteral("/storia.csv");
    TestEnv::writeFile(file, csv);
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
        {QStringLiteral("-c"),
            QStringLiteral("import csv, json, sys\n"
                           "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                           "    print(json.dumps(list(csv.reader(f))))\n"),
            file});
    ASSERT_TRUE(python.waitForFinished(10000));
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    const QJsonArray table = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    ASSERT_EQ(table.size(), 3);
    const auto line = [&](int i) {
        QStringList fields;
        for (const QJsonValue &field : table[i].toArray())
            fields << field.toString();
        return fields;
    };
    EXPECT_EQ(line(0).join(QLatin1Char(',')),
        QStringLiteral("alunno,data,ora,argomento,lista,voce,parola,scelte,scelta,esatta,modo,"
                       "tempo_risposta_ms,tempo_evidenziazione_ms,errore_di_tempo"));
    EXPECT_EQ(line(1),
        (QStringList{QStringLiteral("Anna"), QStringLiteral("2024-12-02"), QStringLiteral("09:05:07"),
            QStringLiteral("bp"), QStringLiteral("bp1.txt"), sentence.item, QStringLiteral("è"),
            QStringLiteral("è / e"), QStringLiteral("e"), QStringLiteral("no"),
            QStringLiteral("scansione automatica"), QStringLiteral("1000"), QStringLiteral("200"),
            QStringLiteral("sì")}));
    EXPECT_EQ(line(2).mid(9, 5),
        (QStringList{QStringLiteral("sì"), QStringLiteral("mouse"), QStringLiteral("1000"), QString(),
            QStringLiteral("no")}));
}

TEST(History, RemovingAPupilLeavesNoTraceInTheFile)
{
    const QString path = TestEnv::makeFolder(QStringLiteral("dati")) + QStringLiteral("/storia.sqlite");
    History history;
    ASSERT_TRUE(history.open(path));
    const QDateTime at = QDateTime::currentDateTime();
    for (int i = 0; i < 200; ++i) {
        Answer mark = answer(QStringLiteral("Zefirino"), at.addSecs(i), QStringLiteral("barca"), i % 2 == 0);
        mark.item = QStringLiteral("Quelsegnodistintivo %1").arg(i);
        history.record(mark);
        history.record(answer(QStringLiteral("Anna"), at.addSecs(i), QStringLiteral("pane"), true));
    }
    ASSERT_TRUE(history.recordSwitchCheck(check(QStringLiteral("Zefirino"), at, 12)));
    ASSERT_TRUE(history.recordSwitchCheck(check(QStringLiteral("Anna"), at, 12)));
    ASSERT_TRUE(history.removePupil(QStringLiteral("Zefirino")));
    EXPECT_TRUE(history.answers(QStringLiteral("Zefirino")).isEmpty());
    EXPECT_TRUE(history.switchChecks(QStringLiteral("Zefirino")).isEmpty());
    EXPECT_EQ(history.answers(QStringLiteral("Anna")).size(), 200);
    EXPECT_EQ(history.switchChecks(QStringLiteral("Anna")).size(), 1);
    const auto traces = [&] {
        QByteArray bytes = TestEnv::readFile(path);
        if (QFileInfo::exists(path + QStringLiteral("-wal")))
            bytes += TestEnv::readFile(path + QStringLiteral("-wal"));
        return bytes.contains("Zefirino") || bytes.contains("Quelsegnodistintivo");
    };
    EXPECT_FALSE(traces()) << "while open";
    EXPECT_TRUE(history.record(answer(QStringLiteral("Anna"), at, QStringLiteral("pane"), true)));
    history.close();
    EXPECT_FALSE(traces()) << "after closing";
}

TEST(History, KeepsSwitchChecksInOrderAndByPeriodAcrossARestart)
{
    const QString path = TestEnv::makeFolder(QStringLiteral("dati")) + QStringLiteral("/storia.sqlite");
    // A file of a copy of the program from before the checks.
    {
        History old;
        ASSERT_TRUE(old.open(path));
    }
    sql(path, QStringLiteral("DROP TABLE switch_checks"));

    const QDateTime monday(QDate(2024, 3, 4), QTime(9, 0, 1, 500));
    const SwitchCheckRecord first = check(QStringLiteral("Anna"), monday, 11);
    const SwitchCheckRecord second = check(QStringLiteral("Anna"), monday.addDays(7), 16);
    {
        History history;
        ASSERT_TRUE(history.open(path)) << history.problem().toStdString();
        EXPECT_TRUE(history.problem().isEmpty());
        EXPECT_TRUE(history.recordSwitchCheck(second));
        EXPECT_TRUE(history.recordSwitchCheck(first));
        EXPECT_TRUE(history.recordSwitchCheck(check(QStringLiteral("Bruno"), monday, 5)));
    }
    EXPECT_EQ(sql(path, QStringLiteral("PRAGMA user_version")).toInt(), 1);
    EXPECT_TRUE(setAside(QFileInfo(path).path()).isEmpty());

    History history;
    ASSERT_TRUE(history.open(path));
    const QList<SwitchCheckRecord> all = history.switchChecks(QStringLiteral("Anna"));
    ASSERT_EQ(all.size(), 2);
    for (const auto &[got, want] : {std::pair{all[0], first}, std::pair{all[1], second}}) {
        EXPECT_EQ(got.pupil, want.pupil);
        EXPECT_EQ(got.checkedAt, want.checkedAt);
        EXPECT_EQ(got.hits, want.hits);
        EXPECT_EQ(QList<qint64>({got.trials, got.misses, got.presses, got.bounces, got.noTargetPresses,
                      got.delayMedianMs, got.delayP90Ms, got.holdMedianMs, got.longestBounceGapMs,
                      got.scanInterval, got.acceptanceTime, got.releaseTime, got.selectionGuard}),
            QList<qint64>({18, 1, 25, 2, 3, 900, 1090, 250, 120, 6, 100, 200, 550}));
        EXPECT_TRUE(got.rowColumnScanning);
        EXPECT_EQ(got.twoSwitches, want.twoSwitches);
    }
    const QList<SwitchCheckRecord> since = history.switchChecks(QStringLiteral("Anna"), monday.addDays(1));
    ASSERT_EQ(since.size(), 1);
    EXPECT_EQ(since[0].hits, 16);
    const Progress progress = history.progress(QStringLiteral("Anna"), monday.addDays(1));
    ASSERT_EQ(progress.switchChecks.size(), 1);
    EXPECT_EQ(progress.switchChecks[0].checkedAt, second.checkedAt);
    EXPECT_EQ(history.progress(QStringLiteral("Bruno")).switchChecks.size(), 1);
}

TEST(History, ProgressCountsDaysMissedWordsAndSessions)
{
    const QString path = TestEnv::makeFolder(QStringLiteral("dati")) + QStringLiteral("/storia.sqlite");
    const QString anna = QStringLiteral("Anna");
    const QDateTime monday(QDate(2024, 3, 4), QTime(9, 0));
    {
        History first;
        ASSERT_TRUE(first.open(path));
        Answer a = answer(anna, monday.addSecs(5), QStringLiteral("barca"), true);
        a.responseMs = 5000;
        first.record(a);
        first.record(answer(anna, monday.addSecs(10), QStringLiteral("palla"), false));
        Answer late = answer(anna, monday.addSecs(20), QStringLiteral("palla"), false);
        late.mode = InputMode::Automatic;
        late.dwellMs = 100;
        late.timingMiss = true;
        first.record(late);
        Answer other = answer(anna, monday.addSecs(60), QStringLiteral("cuore"), false);
        other.topic = QStringLiteral("cq");
        other.list = QStringLiteral("cq1.txt");
        first.record(other);
        first.record(answer(QStringLiteral("Bruno"), monday, QStringLiteral("palla"), false));
    }
    const QDateTime tuesday(QDate(2024, 3, 5), QTime(10, 0));
    History history;
    ASSERT_TRUE(history.open(path));
    QStringList words = {QStringLiteral("palla"), QStringLiteral("palla"), QStringLiteral("cuore")};
    for (int i = 1; i <= 10; ++i)
        words << QStringLiteral("a%1").arg(i, 2, 10, QLatin1Char('0'));
    int second = 0;
    for (const QString &word : words) {
        Answer wrong = answer(anna, tuesday.addSecs(10 * second++), word, false);
        if (word == QStringLiteral("cuore")) {
            wrong.topic = QStringLiteral("cq");
            wrong.list = QStringLiteral("cq1.txt");
        }
        history.record(wrong);
    }
    // Late presses, however many, are not spelling errors.
    for (int i = 0; i < 4; ++i) {
        Answer late = answer(anna, tuesday.addSecs(10 * second++), QStringLiteral("gatto"), false);
        late.mode = InputMode::Automatic;
        late.dwellMs = 50;
        late.timingMiss = true;
        history.record(late);
    }
    for (int i = 0; i < 3; ++i)
        history.record(answer(anna, tuesday.addSecs(10 * second++), QStringLiteral("barca"), true));

    const Progress all = history.progress(anna);
    ASSERT_EQ(all.days.size(), 4);
    const auto day = [](const Progress::Day &d) {
        return QStringLiteral("%1 %2 %3 %4/%5")
            .arg(d.day.toString(Qt::ISODate), d.topic, d.list)
            .arg(d.right)
            .arg(d.answers);
    };
    EXPECT_EQ(day(all.days[0]), QStringLiteral("2024-03-04 bp bp1.txt 1/3"));
    EXPECT_EQ(day(all.days[1]), QStringLiteral("2024-03-04 cq cq1.txt 0/1"));
    EXPECT_EQ(day(all.days[2]), QStringLiteral("2024-03-05 bp bp1.txt 3/19"));
    EXPECT_EQ(day(all.days[3]), QStringLiteral("2024-03-05 cq cq1.txt 0/1"));

    QStringList missed;
    for (const Progress::MissedWord &word : all.mostMissed)
        missed << QStringLiteral("%1 %2").arg(word.word).arg(word.misses);
    EXPECT_EQ(missed.join(QLatin1String(", ")),
        QStringLiteral("palla 3, cuore 2, a01 1, a02 1, a03 1, a04 1, a05 1, a06 1, a07 1, a08 1"));

    ASSERT_EQ(all.sessions.size(), 2);
    EXPECT_EQ(all.sessions[0].start, monday);
    EXPECT_EQ(all.sessions[0].answers, 4);
    EXPECT_EQ(all.sessions[0].spellingErrors, 2);
    EXPECT_EQ(all.sessions[0].timingMisses, 1);
    EXPECT_EQ(all.sessions[0].spentMs, 60000);
    EXPECT_EQ(all.sessions[1].start, tuesday.addSecs(-1));
    EXPECT_EQ(all.sessions[1].answers, 20);
    EXPECT_EQ(all.sessions[1].spellingErrors, 13);
    EXPECT_EQ(all.sessions[1].timingMisses, 4);
    EXPECT_EQ(all.sessions[1].spentMs, 191000);
    EXPECT_EQ(all.answers, 24);
    EXPECT_EQ(all.right, 4);
    EXPECT_EQ(all.spellingErrors, 15);
    EXPECT_EQ(all.timingMisses, 5);
    EXPECT_EQ(all.spentMs, 251000);

    const Progress since = history.progress(anna, QDateTime(tuesday.date(), QTime(0, 0)));
    EXPECT_EQ(since.days.size(), 2);
    EXPECT_EQ(since.sessions.size(), 1);
    EXPECT_EQ(since.answers, 20);
    EXPECT_EQ(since.mostMissed.first().misses, 2);
}

} // namespace
