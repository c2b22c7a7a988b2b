// The pupils' answer history: one answer recorded (committed before it
// returns), the size of the file per 10000 answers, and "Progressi" read for
// a pupil with many answers, over all of them and over the school year.
//
//   bench_history [ANSWERS]   (100000 unless given)
//
// The file is made in a temporary folder of the system's, as the data folder
// of a local home would be.

#include "records/history.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(double(values.size()) * fraction))];
}

// Answers as school gives them: a few hundred words over the topics, about
// one in five wrong, some of those late presses, fifty answers a school day.
Answer answerNumber(int n, const QDateTime &start)
{
    static const char *const topics[] = {"bp", "cq", "gn", "dop", "acc", "h"};
    Answer answer;
    answer.pupil = QStringLiteral("Anna");
    answer.answeredAt = start.addDays(n / 50).addSecs((n % 50) * 20);
    answer.topic = QLatin1String(topics[n % 6]);
    answer.list = answer.topic + QStringLiteral("%1.txt").arg(n % 4 + 1);
    answer.word = QStringLiteral("parola%1").arg(n % 400);
    answer.item = n % 3 == 0 ? QStringLiteral("Luca, il mio amico, scrive la _%1 sul quaderno").arg(n % 400)
                             : QStringLiteral("_arola%1").arg(n % 400);
    answer.choices = QStringList{QStringLiteral("p"), QStringLiteral("b")};
    answer.right = n % 5 != 0;
    answer.chosen = answer.right ? QStringLiteral("p") : QStringLiteral("b");
    answer.mode = n % 2 ? InputMode::Automatic : InputMode::Mouse;
    answer.responseMs = 1500 + n % 3000;
    answer.dwellMs = answer.mode == InputMode::Automatic ? 300 + n % 700 : -1;
    answer.timingMiss = !answer.right && n % 10 == 5 && answer.mode == InputMode::Automatic;
    return answer;
}

qint64 fileSize(const QString &path)
{
    return QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int total = argc > 1 ? std::max(10000, atoi(argv[1])) : 100000;
    QTemporaryDir folder;
    if (!folder.isValid())
        return 1;
    const QDateTime start(QDate(2024, 9, 9), QTime(9, 0));

    // One answer recorded, from a fresh file to 10000 answers.
    const QString path = folder.filePath(QStringLiteral("storia.sqlite"));
    std::vector<double> ms;
    {
        History history;
        if (!history.open(path)) {
            std::fprintf(stderr, "%s\n", qPrintable(history.problem()));
            return 1;
        }
        QElapsedTimer timer;
        for (int n = 0; n < 10000; ++n) {
            const Answer answer = answerNumber(n, start);
            timer.start();
            if (!history.record(answer))
                return 1;
            ms.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
    }
    std::printf("record one answer: median %.3f ms, 99th percentile %.3f ms, worst %.3f ms (10000 answers)\n",
        percentile(ms, 0.5), percentile(ms, 0.99), percentile(ms, 1.0));
    std::printf("database size per 10000 answers: %.0f KB\n", double(fileSize(path)) / 1024);

    // The rest of the answers, a session a week, and another pupil's beside them.
    for (int n = 10000; n < total;) {
        History history;
        if (!history.open(path))
            return 1;
        for (const int end = std::min(total, n + 250); n < end; ++n) {
            history.record(answerNumber(n, start));
            if (n % 10 == 0) {
                Answer other = answerNumber(n, start);
                other.pupil = QStringLiteral("Bruno");
                history.record(other);
            }
        }
    }
    std::printf("database size with %d answers of one pupil and %d of another: %.0f KB\n", total, total / 10,
        double(fileSize(path)) / 1024);

    // At start the program reads the whole file once, to find damage.
    std::vector<double> opening;
    History history;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        if (!history.open(path))
            return 1;
        opening.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf(
        "open the file with %d answers: median %.1f ms\n", total + total / 10, percentile(opening, 0.5));
    const QDateTime now = start.addDays(total / 50 + 1);
    for (const auto &[label, from] :
        {std::pair{"all", QDateTime()}, std::pair{"school year", periodStart(Period::SchoolYear, now)}}) {
        std::vector<double> times;
        Progress progress;
        for (int run = 0; run < 7; ++run) {
            QElapsedTimer timer;
            timer.start();
            progress = history.progress(QStringLiteral("Anna"), from);
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        std::printf("progress, %s: median %.1f ms, worst %.1f ms (%d answers, %lld days, %lld sessions)\n",
            label, percentile(times, 0.5), percentile(times, 1.0), progress.answers,
            static_cast<long long>(progress.days.size()), static_cast<long long>(progress.sessions.size()));
    }
    return 0;
}
