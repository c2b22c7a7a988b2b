#include "testenv.h"

#include "records/activityrecord.h"
#include "records/printing.h"
#include "records/recorddocument.h"
#include "records/rtfwriter.h"
#include "state/appstate.h"

#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

const QDate kDay(2026, 3, 9);
const QString kTop = QStringLiteral("gruppo1\r\n\r\nVelmora - 09/03/26\r\n");

QString at(const RecordDocument &document, RecordDocument::Span span)
{
    return document.text.mid(span.start, span.end - span.start);
}

TEST(RecordDocument, HeadingsStandAloneAndItemsFollowEachOther)
{
    EXPECT_EQ(RecordDocument::build(QStringLiteral("gruppo1"), kDay).text, kTop) << "an empty record";

    ActivityRecord::addCaption(QStringLiteral("Gruppi"));
    ActivityRecord::addCaption(QStringLiteral("gn  ni"));
    ActivityRecord::markWrongAnswer(ActivityRecord::addItem(QStringLiteral("pa_a")));
    ActivityRecord::addItem(QStringLiteral("ca_a"));
    const RecordDocument document = RecordDocument::build(QStringLiteral("gruppo1"), kDay);
    EXPECT_EQ(document.text, kTop + QStringLiteral("\r\nGruppi\r\n\r\ngn  ni\r\npa_a *  - ca_a - "));
    EXPECT_EQ(at(document, document.name), QStringLiteral("gruppo1\r"));
    ASSERT_EQ(document.headings.size(), 2);
    EXPECT_EQ(at(document, document.headings[0]), QStringLiteral("Gruppi\r\n"));
    EXPECT_EQ(at(document, document.headings[1]), QStringLiteral("gn  ni\r\n"));
}

TEST(RecordDocument, SentencesTakeALineAndBlankItemsAddNothing)
{
    const QString fifteen = QStringLiteral("abcdefghijklmn_");
    const QString sixteen = QStringLiteral("Luca _ un cane. ");
    ActivityRecord::addItem(fifteen);
    const int sentence = ActivityRecord::addItem(sixteen);
    ActivityRecord::markWrongAnswer(sentence);
    ActivityRecord::markWrongAnswer(sentence);
    ActivityRecord::addItem(QStringLiteral("   "));
    ActivityRecord::addItem(QStringLiteral("x_"));
    EXPECT_EQ(RecordDocument::build(QStringLiteral("gruppo1"), kDay).text,
        kTop + fifteen + QStringLiteral(" - ") + sixteen + QStringLiteral(" *  * \r\n   x_ - "));
}

TEST(RecordDocument, OnlyTheFirstHundredHeadingsAreFormatted)
{
    for (int i = 0; i < 120; ++i)
        ActivityRecord::addCaption(QStringLiteral("menu %1").arg(i));
    const RecordDocument document = RecordDocument::build(QStringLiteral("anna"), kDay);
    ASSERT_EQ(document.headings.size(), 100);
    EXPECT_EQ(at(document, document.headings.last()), QStringLiteral("menu 99\r\n"));
    EXPECT_TRUE(document.text.endsWith(QStringLiteral("\r\nmenu 119\r\n")));
}

// The record of the example above, as the window shows it.
void fillExample(QTextDocument &rich)
{
    appState().Settings.TextFontName = QStringLiteral("Comic Sans MS");
    ActivityRecord::addCaption(QStringLiteral("Gruppi"));
    ActivityRecord::markWrongAnswer(ActivityRecord::addItem(QStringLiteral("città_")));
    ActivityRecord::addItem(QStringLiteral("€ 中"));
    RecordDocument::build(QStringLiteral("gruppo1"), kDay).fill(rich);
}

TEST(RecordDocument, TheNameIsLargeAndCentredAndTheHeadingsLarger)
{
    QTextDocument rich;
    fillExample(rich);
    const QStringList lines = rich.toPlainText().split(u'\n');
    EXPECT_EQ(lines,
        (QStringList{QStringLiteral("gruppo1"), QString(), QStringLiteral("Velmora - 09/03/26"), QString(),
            QStringLiteral("Gruppi"), QStringLiteral("città_ *  - € 中 - ")}));
    auto pointsOf = [&](int line) {
        return rich.findBlockByNumber(line).begin().fragment().charFormat().fontPointSize();
    };
    EXPECT_EQ(pointsOf(0), 18);
    EXPECT_EQ(pointsOf(2), 12);
    EXPECT_EQ(pointsOf(4), 14);
    EXPECT_EQ(pointsOf(5), 12);
    EXPECT_TRUE(rich.findBlockByNumber(0).blockFormat().alignment() & Qt::AlignHCenter);
    EXPECT_FALSE(rich.findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHCenter);
    EXPECT_EQ(rich.findBlockByNumber(5).begin().fragment().charFormat().fontFamilies().toStringList(),
        QStringList(QStringLiteral("Comic Sans MS")));
}

TEST(RtfWriter, AnRtfReaderFindsTheTextSizesAndCentring)
{
    QTextDocument rich;
    fillExample(rich);
    const QByteArray rtf = RtfWriter::write(rich);
    EXPECT_TRUE(rtf.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 Comic Sans MS;}}"));
    EXPECT_TRUE(rtf.contains("\\u8364?") == false) << "the euro sign is in Windows-1252";
    // The paper and margins it prints with, before the first paragraph.
    const qsizetype paper
        = rtf.indexOf("\\paperw11906\\paperh16838\\margl1440\\margr1440\\margt1440\\margb1440");
    EXPECT_GT(paper, 0);
    EXPECT_LT(paper, rtf.indexOf("\\pard"));

    const QString path = TestEnv::makeFolder(QStringLiteral("rtf")) + QStringLiteral("/registro.rtf");
    TestEnv::writeFile(path, rtf);
    QProcess reader;
    reader.start(QStringLiteral("unrtf"), {QStringLiteral("--html"), path});
    ASSERT_TRUE(reader.waitForFinished(10000)) << "unrtf is one of the test packages";
    const QString html = QString::fromUtf8(reader.readAllStandardOutput()).simplified();
    // unrtf writes sizes as HTML sizes: 18 points is 5, 14 is 4, 12 is 3.
    EXPECT_TRUE(html.contains(QStringLiteral("<font size=\"5\"><center>gruppo1<br>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<font size=\"4\">Gruppi<br>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<font size=\"3\">citt&agrave;_ * - &euro; &#20013; - </font>")))
        << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("Velmora - 09/03/26")));
}

TEST(RecordPrinting, ALongRecordGoesOnAsManyPagesAsItNeeds)
{
    QTextDocument rich;
    ActivityRecord::addCaption(QStringLiteral("Doppie"));
    for (int i = 0; i < 150; ++i)
        ActivityRecord::addItem(QStringLiteral("La frase numero %1 della lista.").arg(i));
    RecordDocument::build(QStringLiteral("gruppo1"), kDay).fill(rich);

    const QString path = TestEnv::makeFolder(QStringLiteral("pdf")) + QStringLiteral("/registro.pdf");
    std::unique_ptr<QPrinter> printer = Printing::pdfPrinter(path);
    printer->setPageSize(QPageSize(QPageSize::A4));
    ASSERT_TRUE(printDocument(rich, 1440, 1440, 1440, 1440, *printer));
    printer.reset();

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    ASSERT_TRUE(info.waitForFinished(10000));
    // 156 lines of 12 points, 9.7 inches to a page of A4 within its margins.
    EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput())
                    .contains(QRegularExpression(QStringLiteral("Pages:\\s+4\\n"))));

    QProcess text;
    text.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(10000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    for (int i = 0; i < 150; ++i)
        EXPECT_TRUE(printed.contains(QStringLiteral("La frase numero %1 della lista.").arg(i))) << i;
    EXPECT_TRUE(printed.startsWith(QStringLiteral("gruppo1")));
}

} // namespace
