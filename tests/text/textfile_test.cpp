#include "text/textfile.h"

#include "testenv.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

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
