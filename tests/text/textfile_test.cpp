#include "text/textfile.h"

#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kCannotMount = 77;

// In a child process with a small file system of its own, filled up: replaces
// "vecchio" in a file there, and tells what came of it ("reason|content|files").
// Empty where the system allows no file system of the test's own.
QByteArray replaceOnAFullDisk(const QString &folder)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return {};
    const QByteArray place = QFile::encodeName(folder);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (::unshare(CLONE_NEWNS) != 0 || ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || ::mount("tmpfs", place.constData(), "tmpfs", 0, "size=64k") != 0)
            ::_exit(kCannotMount);
        const QString path = folder + QStringLiteral("/_predefinito.ini");
        TextFile::writeAtomically(path, "vecchio");
        QFile filler(folder + QStringLiteral("/riempitivo"));
        filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        while (filler.write(QByteArray(4096, 'x')) > 0) { }
        QString error;
        TextFile::writeAtomically(path, QByteArray(8192, 'n'), &error);
        const QByteArray told = error.toUtf8() + '|' + TextFile::readBytes(path).bytes + '|'
            + QDir(folder).entryList(QDir::Files | QDir::Hidden).join(u',').toUtf8();
        [[maybe_unused]] const ssize_t sent = ::write(channel[1], told.constData(), size_t(told.size()));
        ::_exit(0);
    }
    ::close(channel[1]);
    QByteArray told;
    char buffer[512];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        told.append(buffer, got);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? told : QByteArray();
}

} // namespace

TEST(TextFileDecode, RecognisesUtf8AndFallsBackToWindows1252)
{
    const QString citta = QStringLiteral("città");
    const struct
    {
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"casa", QStringLiteral("casa")},
        {"citt\xE0", citta},
        {"citt\xC3\xA0", citta},
        {"\xEF\xBB\xBF"
         "citt\xC3\xA0",
            citta},
        {"\xEF\xBB\xBF"
         "casa",
            QStringLiteral("casa")},
        {"\xEF\xBB\xBF", QString()},
        // Not UTF-8 as a whole, so every byte is Windows-1252.
        {"\xC3\xA0 \x93"
         "ciao\x94",
            QStringLiteral("Ã\u00A0 “ciao”")},
        {"perch\xC3", QStringLiteral("perchÃ")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TextFile::decode(c.bytes), c.text) << c.bytes.toHex(' ').toStdString();
}

TEST(TextFile, ReadsAndReplacesFilesOrSaysWhyNot)
{
    const QString folder = TestEnv::makeFolder(QStringLiteral("textfile"));
    const QString path = folder + QStringLiteral("/parole.txt");

    EXPECT_EQ(TextFile::read(path).error, QStringLiteral("il file non esiste"));
    EXPECT_FALSE(TextFile::read(folder).ok);
    EXPECT_TRUE(TextFile::read(folder).error.contains(QStringLiteral("cartella")));

    ASSERT_TRUE(TextFile::writeAtomically(path, "vecchio"));
    ASSERT_TRUE(TextFile::writeAtomically(path, "citt\xE0"));
    const TextFile::ReadResult read = TextFile::read(path);
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.text, QStringLiteral("città"));

    QString error;
    EXPECT_FALSE(TextFile::writeAtomically(folder + QStringLiteral("/manca/x.txt"), "x", &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(TextFile, OnlyRegularFilesOfBoundedSizeAreReadAndNoLinkIsWrittenThrough)
{
    const QString folder = TestEnv::makeFolder(QStringLiteral("special"));
    const QString pipe = folder + QStringLiteral("/canale");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString zero = folder + QStringLiteral("/zero");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    const QString big = folder + QStringLiteral("/grande.txt");
    TestEnv::writeFile(big, QByteArray(2000, 'x'));
    for (const QString &path : {pipe, zero, big}) {
        const TextFile::ReadResult read = TextFile::read(path, 1000);
        EXPECT_FALSE(read.ok) << path.toStdString();
        EXPECT_FALSE(read.error.isEmpty());
    }
    EXPECT_TRUE(TextFile::read(big, 2000).ok);

    const QString target = folder + QStringLiteral("/altro.txt");
    TestEnv::writeFile(target, "altro");
    const QString link = folder + QStringLiteral("/collegamento.txt");
    ASSERT_TRUE(QFile::link(target, link));
    QString error;
    EXPECT_FALSE(TextFile::writeAtomically(link, "nuovo", &error));
    EXPECT_TRUE(error.contains(QStringLiteral("collegamento")));
    EXPECT_EQ(TestEnv::readFile(target), QByteArray("altro"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_FALSE(TextFile::writeAtomically(pipe, "nuovo"));
}

TEST(TextFile, AWriteThatFailsSaysWhyAndLeavesTheOldFileWhole)
{
    const QString folder = TestEnv::makeFolder(QStringLiteral("limits"));
    const QString path = folder + QStringLiteral("/_predefinito.ini");
    ASSERT_TRUE(TextFile::writeAtomically(path, "vecchio"));

    // A limit on file sizes: the kernel would end the program, were the signal not ignored.
    QString error;
    bool written = true;
    {
        const TestEnv::FileSizeLimit limit(16);
        ASSERT_TRUE(limit.inForce());
        written = TextFile::writeAtomically(path, QByteArray(4096, 'n'), &error);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(error, QStringLiteral("il file supera la dimensione massima consentita"));
    EXPECT_EQ(TestEnv::readFile(path), QByteArray("vecchio"));
    EXPECT_EQ(
        QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList(QStringLiteral("_predefinito.ini")));

    const QByteArray full = replaceOnAFullDisk(TestEnv::makeFolder(QStringLiteral("full")));
    if (full.isEmpty())
        GTEST_SKIP() << "no file system of the test's own can be mounted here";
    EXPECT_EQ(
        QString::fromUtf8(full), QStringLiteral("il disco è pieno|vecchio|_predefinito.ini,riempitivo"));
}
