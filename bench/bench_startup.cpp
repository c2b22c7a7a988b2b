// Start-up against a bare Qt window: time from launch to the first paint, and
// resident memory then, each the median of several runs, run alternately so
// that both see the same machine.
//
//   bench_startup [RUNS]
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM or DISPLAY say otherwise.

#include "privatehome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

qint64 nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

struct Sample
{
    double ms = 0;
    double rssKb = 0;
};

bool runProbe(const QString &probe, const QString &mode, const QString &appFolder,
    const QProcessEnvironment &env, Sample &sample)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(probe, {mode, QString::number(nowNs()), appFolder});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return false;
    const QList<QByteArray> fields = process.readAllStandardOutput().trimmed().split(' ');
    if (fields.size() != 2)
        return false;
    sample.ms = fields[0].toDouble();
    sample.rssKb = fields[1].toDouble();
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    const QString binDir = QCoreApplication::applicationDirPath();
    const QString probe = binDir + QStringLiteral("/startup_probe");
    const QString appFolder = binDir;

    // A home of its own, with the cursive font already installed so that no
    // first-start message waits for a click.
    const PrivateHome home(QStringLiteral("velmora-bench"));
    QDir().mkpath(home.fontsFolder());
    QFile::copy(
        appFolder + QStringLiteral("/indis1.ttf"), home.fontsFolder() + QStringLiteral("/indis1.ttf"));
    QProcessEnvironment env = home.environment();
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")) && !env.contains(QStringLiteral("DISPLAY")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    std::vector<double> bareMs, bareKb, velmoraMs, velmoraKb;
    for (int i = 0; i < runs + 1; ++i) {
        Sample bare, velmora;
        if (!runProbe(probe, QStringLiteral("bare"), appFolder, env, bare)
            || !runProbe(probe, QStringLiteral("velmora"), appFolder, env, velmora)) {
            std::fprintf(stderr, "a probe failed\n");
            return 1;
        }
        // The first round warms the disk cache.
        if (i == 0)
            continue;
        bareMs.push_back(bare.ms);
        bareKb.push_back(bare.rssKb);
        velmoraMs.push_back(velmora.ms);
        velmoraKb.push_back(velmora.rssKb);
    }

    const double ms = median(velmoraMs), baseMs = median(bareMs);
    const double kb = median(velmoraKb), baseKb = median(bareKb);
    std::printf("runs: %d (platform %s)\n", runs,
        qPrintable(env.value(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"))));
    std::printf("bare Qt window: %8.1f ms  %8.0f kB\n", baseMs, baseKb);
    std::printf("Velmora:        %8.1f ms  %8.0f kB\n", ms, kb);
    std::printf("ratio:          %8.2f     %8.2f   (targets: 1.5 and 1.3)\n", ms / baseMs, kb / baseKb);
    return 0;
}
