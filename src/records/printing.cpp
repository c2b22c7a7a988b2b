#include "printing.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTextDocument>
#include <QTextFrame>

#include <memory>

namespace {

constexpr double kTwipsPerInch = 1440.0;

Printing::PrinterSource &source()
{
    static Printing::PrinterSource current;
    return current;
}

QString trimBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ')
        ++first;
    while (last > first && text.at(last - 1) == u' ')
        --last;
    return text.mid(first, last - first);
}

// Where an item of the worksheet starts: at the start of the line or after
// two blanks, the least that separates two items.
bool startsItem(const QString &line, qsizetype at)
{
    if (at >= line.size() || line.at(at) == u' ')
        return false;
    return at == 0 || (at >= 2 && line.at(at - 1) == u' ' && line.at(at - 2) == u' ');
}

qsizetype itemLength(const QString &line, qsizetype at)
{
    const qsizetype end = line.indexOf(QStringLiteral("  "), at);
    return (end < 0 ? line.size() : end) - at;
}

qsizetype trailingBlanks(const QString &text)
{
    qsizetype count = 0;
    while (count < text.size() && text.at(text.size() - 1 - count) == u' ')
        ++count;
    return count;
}

// Appends one line of text, without line breaks, wrapped.
void wrapLine(const QString &text, qsizetype lineLength, QString &result)
{
    const QString newLine = QStringLiteral("\r\n");
    QString line;
    qsizetype at = 0;
    for (;;) {
        const qsizetype left = text.size() - at;
        if (line.size() + left <= lineLength) {
            result += line + text.mid(at) + newLine;
            return;
        }
        if (startsItem(text, at) && trailingBlanks(line) < line.size()
            && line.size() + itemLength(text, at) > lineLength) {
            // The item goes whole to the next line, with the blanks before it.
            const qsizetype blanks = trailingBlanks(line);
            result += line.left(line.size() - blanks) + newLine;
            line = line.right(blanks);
            continue;
        }
        const qsizetype blank = text.indexOf(u' ', at);
        const qsizetype word = blank < 0 ? left : blank + 1 - at;
        if (line.size() + word <= lineLength) {
            line += text.mid(at, word);
            at += word;
        } else if (!line.isEmpty()) {
            // The word is tried again on a fresh line.
            result += line + newLine;
            line.clear();
        } else {
            // A word longer than a line: cut, and the rest goes on.
            result += text.mid(at, lineLength) + newLine;
            at += lineLength;
        }
    }
}

} // namespace

namespace Printing {

void setPrinterSource(PrinterSource printerSource)
{
    source() = std::move(printerSource);
}

std::unique_ptr<QPrinter> defaultPrinter()
{
    if (source())
        return source()();
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    // CUPS may have printers and none marked as the default.
    if (info.isNull())
        info = QPrinterInfo::availablePrinters().value(0);
    if (info.isNull())
        return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

std::unique_ptr<QPrinter> pdfPrinter(const QString &path)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    return printer;
}

bool printText(QPrinter &printer, const QString &text, const QFont &font)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    painter.setFont(font);
    const QFontMetricsF metrics(font, &printer);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (lines.endsWith(u'\n'))
        lines.chop(1);
    double y = 0;
    for (const QString &line : lines.split(u'\n')) {
        if (y > 0 && y + metrics.height() > page.height()) {
            printer.newPage();
            y = 0;
        }
        painter.drawText(QPointF(0, y + metrics.ascent()), line);
        y += metrics.lineSpacing();
    }
    return painter.end();
}

} // namespace Printing

QString SpezzaRighe(const QString &text, int width)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const qsizetype lineLength = qsizetype(width) + 1;
    QString result;
    for (const QString &line : trimBlanks(text).split(lineBreak))
        wrapLine(line, lineLength, result);
    return result;
}

bool StampaTestoRTF(
    const QTextDocument &document, int left, int top, int right, int bottom, QPrinter &printer)
{
    // Margins smaller than the printer's unprintable edges grow to them.
    printer.setFullPage(false);
    printer.setPageMargins(
        QMarginsF(left / kTwipsPerInch, top / kTwipsPerInch, right / kTwipsPerInch, bottom / kTwipsPerInch),
        QPageLayout::Inch);

    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const std::unique_ptr<QTextDocument> pages(document.clone());
    pages->documentLayout()->setPaintDevice(&printer);
    pages->rootFrame()->setFrameFormat([&] {
        QTextFrameFormat format = pages->rootFrame()->frameFormat();
        format.setMargin(0);
        return format;
    }());
    const QRectF area = printer.pageRect(QPrinter::DevicePixel);
    pages->setPageSize(area.size());

    const int count = pages->pageCount();
    for (int page = 0; page < count; ++page) {
        if (page > 0)
            printer.newPage();
        painter.save();
        const QRectF shown(0, page * area.height(), area.width(), area.height());
        painter.translate(0, -shown.top());
        painter.setClipRect(shown);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = shown;
        pages->documentLayout()->draw(&painter, context);
        painter.restore();
    }
    return painter.end();
}
