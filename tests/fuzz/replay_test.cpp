#include "entries.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Every seed and every input that once failed goes through its harness's
// entry again: an abort or a sanitizer report fails the run.
void replay(const QString &harness, const std::function<void(const QByteArray &)> &entry)
{
    int inputs = 0;
    for (const char *kind : {"corpus", "failed"}) {
        const QDir folder(QStringLiteral(VELMORA_FUZZ_DIR "/%1/%2").arg(QLatin1String(kind), harness));
        for (const QString &name : folder.entryList(QDir::Files)) {
            QFile file(folder.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
            SCOPED_TRACE(folder.filePath(name).toStdString());
            entry(file.readAll());
            ++inputs;
        }
    }
    EXPECT_GT(inputs, 0) << "no seed for " << harness.toStdString();
}

TEST(FuzzReplay, ProfileReader)
{
    replay(QStringLiteral("profile"), FuzzEntries::profile);
    replay(QStringLiteral("roundtrip"), FuzzEntries::profileRoundTrip);
}

TEST(FuzzReplay, WordAndSentenceReaders)
{
    replay(QStringLiteral("wordlist"), FuzzEntries::wordList);
    replay(QStringLiteral("sentences"), FuzzEntries::sentences);
}

} // namespace
