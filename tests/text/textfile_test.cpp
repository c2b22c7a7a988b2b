#include "text/textfile.h"

#include "testenv.h"

#include <gtest/gtest.h>

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
