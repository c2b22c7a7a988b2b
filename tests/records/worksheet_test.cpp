#include "testenv.h"

#include "records/printing.h"
#include "records/worksheet.h"
#include "state/appstate.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

const QString kHeading = QStringLiteral("\r\n\r\n       INSERISCI   A      HA\r\n\r\n");

void loadItems(int count, const QString &stem)
{
    AppState &state = appState();
    state.ChoiceA = QStringLiteral("a");
    state.ChoiceB = QStringLiteral("ha");
    for (int i = 1; i <= count; ++i)
        state.writableWordRow(i).text = stem + QString::number(i);
    state.WordCount = qint16(count);
}

QString row(int first, int last)
{
    QString text;
    for (int i = first; i <= last; ++i)
        text += QStringLiteral("      _%1").arg(i);
    return text + QStringLiteral("\r\n\r\n");
}

TEST(Worksheet, WordsGoFiveToARowAfterTheHeading)
{
    loadItems(0, {});
    EXPECT_EQ(Worksheet::build(Worksheet::Kind::Words), kHeading);

    loadItems(7, QStringLiteral("_"));
    EXPECT_EQ(Worksheet::build(Worksheet::Kind::Words), kHeading + row(1, 5) + row(6, 7));

    loadItems(10, QStringLiteral("_"));
    EXPECT_EQ(Worksheet::build(Worksheet::Kind::Words), kHeading + row(1, 5) + row(6, 10));
}

TEST(Worksheet, SentencesGoOneToALine)
{
    loadItems(2, QStringLiteral("Luca _ un cane "));
    EXPECT_EQ(Worksheet::build(Worksheet::Kind::Sentences),
        kHeading + QStringLiteral("      Luca _ un cane 1\r\n\r\n      Luca _ un cane 2\r\n\r\n"));
}

TEST(Wrapping, KeepsShortLinesAndFillsLongOnesUpToTheWidth)
{
    const QString noBlank(90, u'x');
    EXPECT_EQ(wrapLines(noBlank, 90), noBlank + QStringLiteral("\r\n"));
    EXPECT_EQ(wrapLines(QStringLiteral("  uno\r\ndue\r\n\r\ntre  "), 90),
        QStringLiteral("uno\r\ndue\r\n\r\ntre\r\n"));

    // Twenty words of four letters and a blank: eighteen fill a line of 90.
    const QString words = QStringLiteral("abcd ").repeated(20).trimmed();
    EXPECT_EQ(
        wrapLines(words, 90), QStringLiteral("abcd ").repeated(18) + QStringLiteral("\r\nabcd abcd\r\n"));
    // The worksheet's own layout survives, leading line breaks included.
    loadItems(7, QStringLiteral("_"));
    const QString sheet = Worksheet::build(Worksheet::Kind::Words);
    EXPECT_EQ(wrapLines(sheet, 90), sheet + QStringLiteral("\r\n"));
}

TEST(Wrapping, AnItemOfTheWorksheetIsNeverSplitAcrossLines)
{
    const QStringList items = {QStringLiteral("il gatto _ fame"), QStringLiteral("la nonna _ gli occhiali"),
        QStringLiteral("il cane _ la coda lunga"), QStringLiteral("torno _ casa"),
        QStringLiteral("il papà _ una macchina rossa"), QStringLiteral("_ un cane")};
    loadItems(int(items.size()), {});
    for (int i = 0; i < items.size(); ++i)
        appState().writableWordRow(i + 1).text = items[i];

    // "torno _" would end the first line and "casa" start the next: the
    // whole item goes on, in line with the row.
    EXPECT_EQ(wrapLines(Worksheet::build(Worksheet::Kind::Words), 90),
        kHeading
            + QStringLiteral(
                "      il gatto _ fame      la nonna _ gli occhiali      il cane _ la coda lunga\r\n"
                "      torno _ casa      il papà _ una macchina rossa\r\n\r\n"
                "      _ un cane\r\n\r\n\r\n"));
}

TEST(Wrapping, CutsAWordLongerThanALineWithoutLosingAnything)
{
    const QString word = QString(100, u'a') + QString(100, u'b');
    for (const QString &text : {word, QStringLiteral("uno ") + word + QStringLiteral(" due")}) {
        const QString wrapped = wrapLines(text, 90);
        QString joined;
        for (const QString &line : wrapped.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
            EXPECT_LE(line.size(), 91);
            joined += line;
        }
        QString expected = text;
        EXPECT_EQ(joined.remove(u' '), expected.remove(u' '));
    }
    // An accent written as a mark of its own stays with its letter.
    for (const QString &line :
        wrapLines(QStringLiteral("a\u0300").repeated(100), 90).split(QStringLiteral("\r\n")))
        EXPECT_FALSE(line.startsWith(QChar(0x0300)));
}

} // namespace
