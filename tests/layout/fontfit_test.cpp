#include "layout/fontfit.h"

#include <QFont>
#include <QFontMetrics>

#include <gtest/gtest.h>

namespace {

TEST(FontFit, TheLongestCaptionIsMeasuredWithFourBlanksEachSide)
{
    const QStringList captions = {QStringLiteral("a  ha"), QStringLiteral("anno  hanno"),
        QStringLiteral("ai  hai"), QStringLiteral("hanno  anno")};
    EXPECT_EQ(FontFit::longestCaption(captions), QStringLiteral("anno  hanno")) << "the first of equals";
    EXPECT_EQ(FontFit::padded(FontFit::longestCaption(captions)).size(), 19);
    EXPECT_EQ(FontFit::longestCaption({}), QStringLiteral("a"));
}

TEST(FontFit, TheSizeIsTheFirstThatReachesTheWidthOrFourFifthsOfTheHeight)
{
    const QStringList captions = {QStringLiteral("b  p"), QStringLiteral("ripasso")};
    const QString text = FontFit::padded(QStringLiteral("ripasso"));
    const QString family = QStringLiteral("DejaVu Sans");

    // A wide, low button: the height decides.
    const QSize low(2000, 60);
    const int byHeight = FontFit::fittingPointSize(captions, family, low);
    EXPECT_GE(FontFit::labelSize(text, family, byHeight).height(), 60 / 5 * 4);
    EXPECT_LT(FontFit::labelSize(text, family, byHeight - 1).height(), 60 / 5 * 4);

    // A narrow, tall button: the width decides.
    const QSize narrow(200, 2000);
    const int byWidth = FontFit::fittingPointSize(captions, family, narrow);
    EXPECT_GE(FontFit::labelSize(text, family, byWidth).width(), 200);
    EXPECT_LT(FontFit::labelSize(text, family, byWidth - 1).width(), 200);

    EXPECT_EQ(FontFit::fittingPointSize(captions, family, QSize(0, 0)), 12) << "no size, no growth";
}

TEST(FontFit, ACaptionTooBigForItsRoomShrinksToTheFirstSizeThatFits)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(28);
    const QStringList captions = {QStringLiteral("a"), QStringLiteral("hanno")};
    const QSize room = QFontMetrics(font).size(0, QStringLiteral("hanno"));
    EXPECT_EQ(FontFit::shrunkPointSize(captions, font, room, 8), 28) << "what fits keeps its size";

    const QSize smaller(room.width() * 2 / 3, room.height());
    const int points = FontFit::shrunkPointSize(captions, font, smaller, 8);
    font.setPointSize(points);
    EXPECT_LE(QFontMetrics(font).size(0, QStringLiteral("hanno")).width(), smaller.width());
    font.setPointSize(points + 1);
    EXPECT_GT(QFontMetrics(font).size(0, QStringLiteral("hanno")).width(), smaller.width());

    EXPECT_EQ(FontFit::shrunkPointSize(captions, font, QSize(1, 1), 8), 8) << "never below the least size";
}

} // namespace
