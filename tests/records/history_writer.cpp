// Records answers into the history at the path given, as fast as it can,
// printing the number of answers committed after each commit: the tests kill
// it at any moment, or run two at once, and then read the file.
//
//     history_writer PATH PUPIL [COUNT]   (no COUNT: until killed)

#include "records/history.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 3)
        return 2;
    const qint64 count = arguments.size() > 3 ? arguments.at(3).toLongLong() : -1;
    // The program's own history, left open at the end as the program leaves it.
    History &history = History::instance();
    if (!history.open(arguments.at(1))) {
        std::fprintf(stderr, "%s\n", qPrintable(history.problem()));
        return 1;
    }
    Answer answer;
    answer.pupil = arguments.at(2);
    answer.topic = QStringLiteral("bp");
    answer.list = QStringLiteral("bp1.txt");
    answer.word = QStringLiteral("barca");
    answer.choices = QStringList{QStringLiteral("b"), QStringLiteral("p")};
    for (qint64 n = 1; count < 0 || n <= count; ++n) {
        answer.answeredAt = QDateTime::currentDateTime();
        answer.item = QStringLiteral("_arca numero %1").arg(n);
        answer.right = n % 3 != 0;
        answer.chosen = answer.right ? QStringLiteral("b") : QStringLiteral("p");
        if (!history.record(answer))
            return 1;
        std::printf("%lld\n", n);
        std::fflush(stdout);
    }
    return 0;
}
