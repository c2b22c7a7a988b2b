#include "text/fieldreader.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

TEST(FieldReader, SplitsFieldsAtCommasAndHonoursQuotes)
{
    FieldReader reader(QStringLiteral("  _anana , b,\"x, y\" ,,\"q\"junk,  last  "));
    for (const char *expected : {"_anana", "b", "x, y", "", "q", "last"})
        EXPECT_EQ(reader.readString(), QLatin1String(expected));
    EXPECT_TRUE(reader.atEnd());
}

TEST(FieldReader, CountsLinesWhateverTheyEndWith)
{
    for (const char *end : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(QByteArray(end).toHex().toStdString());
        const QString e = QLatin1String(end);
        FieldReader reader(QStringLiteral("a,b%1%1  \t%1c,\"d%1e\"%1%1 ").arg(e));
        EXPECT_EQ(reader.readString(), QStringLiteral("a"));
        EXPECT_EQ(reader.line(), 1);
        EXPECT_EQ(reader.readString(), QStringLiteral("b"));
        EXPECT_EQ(reader.line(), 2);
        reader.skipEmptyLines();
        EXPECT_EQ(reader.line(), 4);
        EXPECT_EQ(reader.readString(), QStringLiteral("c"));
        EXPECT_EQ(reader.readString(), QStringLiteral("d%1e").arg(e));
        reader.skipEmptyLines();
        EXPECT_TRUE(reader.atEnd());
        EXPECT_EQ(reader.line(), 7);
    }
}

TEST(FieldReader, ReadsWholeLines)
{
    FieldReader reader(QStringLiteral("uno, \"due\"\r\n\rtre[a-b]c"));
    EXPECT_EQ(reader.readLine(), QStringLiteral("uno, \"due\""));
    EXPECT_EQ(reader.readLine(), QString());
    EXPECT_EQ(reader.line(), 3);
    EXPECT_EQ(reader.readLine(), QStringLiteral("tre[a-b]c"));
    EXPECT_TRUE(reader.atEnd());
}

TEST(FieldReader, ReadsTheLeadingNumberOfAField)
{
    FieldReader reader(QStringLiteral("12 34,-1.5e2x, 7abc,abc,,.5,1.,0x1A,1e,+3,1e999\r\n8"));
    for (const double expected : {12., 34., -150., 7., 0., 0., .5, 1., 0., 1., 3., 0., 8.})
        EXPECT_EQ(reader.readNumber(), expected);
    EXPECT_TRUE(reader.atEnd());
}

TEST(FieldReader, ReadsPointDecimalsUnderACommaDecimalLocale)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "it_IT.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "no comma-decimal locale installed";
    FieldReader reader(QStringLiteral("3.5,0.25"));
    const double first = reader.readNumber();
    const double second = reader.readNumber();
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(first, 3.5);
    EXPECT_EQ(second, 0.25);
}
