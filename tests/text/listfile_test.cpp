#include "text/listfile.h"

#include "testenv.h"

#include <gtest/gtest.h>

namespace {

TEST(ListFile, StoresWindows1252WithCrLfAndRefusesWhatItCannotHold)
{
    // A hand-written list as an editor on Windows saves it, byte by byte.
    const QByteArray reference("ca_a,ss\r\n"
                               "perch\xE9 _ piove[e-\xE8]\xE8\r\n"
                               "\r\n"
                               "\x91"
                               "citt\xE0\x92 \x80 \x85 \"_\"\r\n");
    const ListFile::Encoded encoded = ListFile::encodeList({QStringLiteral("ca_a,ss"),
        QStringLiteral("perché _ piove[e-è]è"), QString(), QStringLiteral("‘città’ € … \"_\"")});
    EXPECT_TRUE(encoded.ok()) << encoded.error.toStdString();
    EXPECT_EQ(encoded.bytes, reference);

    struct Refused
    {
        QStringList lines;
        const char *named; // the line and the character, as the message names them
    };
    const Refused refused[] = {
        {{QStringLiteral("ca_a,s"), QStringLiteral("pe_o,s"), QStringLiteral("Erd_s,ő")},
            "Riga 3: il carattere «ő»"},
        {{QStringLiteral("ca_a,s"), QString::fromUtf8("gatt_ \xF0\x9F\x98\xBA,o")},
            "Riga 2: il carattere «\U0001F63A»"},
        {{QStringLiteral("ca_a,s\nro_a,s")}, "Riga 1: la riga va a capo"},
    };
    for (const Refused &list : refused) {
        const ListFile::Encoded result = ListFile::encodeList(list.lines);
        EXPECT_TRUE(result.error.startsWith(QString::fromUtf8(list.named))) << result.error.toStdString();
        EXPECT_TRUE(result.bytes.isEmpty()) << list.named;
    }

    // A list refused leaves the file it would replace as it was.
    const QString path = TestEnv::makeFolder(QStringLiteral("liste")) + QStringLiteral("/mia.txt");
    TestEnv::writeFile(path, "vecchio\r\n");
    QString error;
    EXPECT_FALSE(ListFile::saveList(path, refused[0].lines, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Riga 3"))) << error.toStdString();
    EXPECT_EQ(TestEnv::readFile(path), QByteArray("vecchio\r\n"));
    EXPECT_TRUE(ListFile::saveList(path, {QStringLiteral("ca_a,ss")}, &error)) << error.toStdString();
    EXPECT_EQ(TestEnv::readFile(path), QByteArray("ca_a,ss\r\n"));
}

} // namespace
