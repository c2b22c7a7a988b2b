#include "text/cp1252.h"

#include <gtest/gtest.h>

TEST(Cp1252, EveryByteSurvivesARoundTrip)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = Cp1252::decode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(Cp1252::encode(text), all);
}

TEST(Cp1252, ReadsTypographicMarksAndAccents)
{
    const QByteArray bytes("\x80 \x85 \x91\x92 \x93\x94 \x96 \x97 citt\xE0 \xE8 \xC8");
    const QString text = QStringLiteral("€ … ‘’ “” – — città è È");
    EXPECT_EQ(Cp1252::decode(bytes), text);
    EXPECT_EQ(Cp1252::encode(text), bytes);
}

TEST(Cp1252, WritesOneQuestionMarkPerCharacterOutsideThePage)
{
    EXPECT_EQ(Cp1252::encode(QStringLiteral("a\u0101b")), QByteArray("a?b"));
    // An emoji is two UTF-16 units.
    EXPECT_EQ(Cp1252::encode(QString::fromUtf8("a\xF0\x9F\x98\x80"
                                               "b")),
        QByteArray("a?b"));
}
