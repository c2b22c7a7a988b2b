#include "testenv.h"

#include <QRawFont>

#include <gtest/gtest.h>

namespace {

// The height of the letter x, in pixels at the font's size.
qreal xHeight(const QRawFont &font)
{
    const QList<quint32> glyphs = font.glyphIndexesForString(QStringLiteral("x"));
    return glyphs.isEmpty() ? 0 : font.boundingRect(glyphs.first()).height();
}

TEST(CursiveFont, IsIndis1WithEveryItalianLetterAtPrintSize)
{
    const QString folder = TestEnv::buildAppFolder();
    const QRawFont cursive(folder + QStringLiteral("/indis1.ttf"), 100);
    ASSERT_TRUE(cursive.isValid());
    EXPECT_EQ(cursive.familyName(), QStringLiteral("Indis1"));
    for (const QChar letter : QStringLiteral("àèéìíòóùúÀÈÉÌÍÒÓÙÚ"))
        EXPECT_TRUE(cursive.supportsCharacter(letter)) << QString(letter).toStdString();

    // Cursive and print words of one point size look the same size.
    const QRawFont print(
        QStringLiteral("/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf"), 100);
    ASSERT_TRUE(print.isValid());
    const qreal ratio = xHeight(cursive) / xHeight(print);
    EXPECT_GT(ratio, 0.8);
    EXPECT_LT(ratio, 1.2);

    const QByteArray licence = TestEnv::readFile(folder + QStringLiteral("/indis1-OFL.txt"));
    EXPECT_TRUE(licence.contains("SIL Open Font License, Version 1.1"));
    EXPECT_TRUE(licence.contains("Copyright 2023 The Playwrite Project Authors"));
}

} // namespace
