#include "exercises/wordstore.h"
#include "state/appstate.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A full word or sentence list in a temporary folder, named by WordListPath.
class ListFile
{
public:
    explicit ListFile(const char *pattern)
    {
        QByteArray bytes;
        for (int i = 1; i <= kMaxWordRows; ++i)
            bytes += QByteArray(pattern).replace("#", QByteArray::number(i)) + "\r\n";
        const QString path = m_folder.filePath(QStringLiteral("lista.txt"));
        QFile file(path);
        if (!m_folder.isValid() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return;
        appState().WordListPath = path;
        m_ok = true;
    }

    bool ok() const { return m_ok; }

private:
    QTemporaryDir m_folder;
    bool m_ok = false;
};

void run(benchmark::State &state, const char *pattern, LoadReport (*load)())
{
    resetAppState();
    const ListFile list(pattern);
    if (!list.ok()) {
        state.SkipWithError("cannot write the list");
        return;
    }
    for (auto _ : state) {
        const LoadReport report = load();
        if (report.recordsRead != kMaxWordRows || !report.ok()) {
            state.SkipWithError("the list did not load in full");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kMaxWordRows);
}

void wordList(benchmark::State &state)
{
    // Accents as Windows-1252 bytes, as teachers' lists hold them.
    run(state, "_itt\xE0 #,c", [] { return loadWords({QStringLiteral("c"), QStringLiteral("g")}); });
}

void sentenceList(benchmark::State &state)
{
    run(state, "Luca _ un cane numero #[a-ha]ha", loadSentences);
}

} // namespace

BENCHMARK(wordList)->Unit(benchmark::kMillisecond);
BENCHMARK(sentenceList)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
