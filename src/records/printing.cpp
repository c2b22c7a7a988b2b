#include "printing.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTextBoundaryFinder>
#include <QTextDocument>
#include <QTextFrame>

#include <algorithm>
#include <memory>

namespace {

constexpr double kTwipsPerInch = 1440.0;

using LineFits = std::function<bool(const QString &)>;

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

// Where a character may be cut from the next: between whole characters,
// an accent kept with its letter.
QList<qsizetype> characterBounds(const QString &text)
{
    QList<qsizetype> bounds;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype at = 0; at >= 0; at = finder.toNextBoundary())
        bounds << at;
    return bounds;
}

// How much of the word at `at`, of `length` characters, fits on the line
// after what it holds: up to a bound, found by doubling then halving.
qsizetype fittingPart(const QString &line, const QString &text, const QList<qsizetype> &bounds, qsizetype at,
    qsizetype length, const LineFits &fits)
{
    const auto first = std::lower_bound(bounds.cbegin(), bounds.cend(), at);
    const auto last = std::upper_bound(first, bounds.cend(), at + length) - 1;
    const qsizetype count = last - first;
    const auto fitsUpTo = [&](qsizetype n) { return fits(line + text.mid(at, *(first + n) - at)); };
    qsizetype good = 0;
    qsizetype bad = count + 1;
    for (qsizetype n = 1; n <= count; n *= 2) {
        if (!fitsUpTo(n)) {
            bad = n;
            break;
        }
        good = n;
    }
    while (bad - good > 1) {
        const qsizetype middle = good + (bad - good) / 2;
        if (fitsUpTo(middle))
            good = middle;
        else
            bad = middle;
    }
    return *(first + good) - at;
}

// Appends one line of text, without line breaks, wrapped.
void wrapLine(const QString &text, const LineFits &fits, QString &result)
{
    const QString newLine = QStringLiteral("\r\n");
    const QList<qsizetype> bounds = characterBounds(text);
    QString line;
    qsizetype at = 0;
    for (;;) {
        if (fits(line + text.mid(at))) {
            result += line + text.mid(at) + newLine;
            return;
        }
        const bool lineHasText = trailingBlanks(line) < line.size();
        if (startsItem(text, at) && lineHasText && !fits(line + text.mid(at, itemLength(text, at)))) {
            // The item goes whole to the next line, with the blanks before it.
            const qsizetype blanks = trailingBlanks(line);
            result += line.left(line.size() - blanks) + newLine;
            line = line.right(blanks);
            continue;
        }
        const qsizetype blank = text.indexOf(u' ', at);
        const qsizetype word = blank < 0 ? text.size() - at : blank + 1 - at;
        if (fits(line + text.mid(at, word))) {
            line += text.mid(at, word);
            at += word;
            continue;
        }
        if (lineHasText) {
            // The word is tried again on a fresh line.
            result += line + newLine;
            line.clear();
            continue;
        }
        // A word longer than a line: as much of it as fits, and the rest goes on.
        qsizetype part = fittingPart(line, text, bounds, at, word, fits);
        if (part == 0 && !line.isEmpty()) {
            // Not one character fits after the blanks.
            result += line + newLine;
            line.clear();
            continue;
        }
        // A character wider than the line still goes on a line of its own.
        if (part == 0)
            part = *std::upper_bound(bounds.cbegin(), bounds.cend(), at) - at;
        result += line + text.mid(at, part) + newLine;
        line.clear();
        at += part;
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
    const QFontMetricsF metrics(painter.font(), &printer);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    // Measured as printed: the blanks that end a line take no room on paper.
    QString lines = wrapLines(text, [&](const QString &line) {
        return metrics.horizontalAdvance(line.left(line.size() - trailingBlanks(line))) <= page.width();
    });
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

QString wrapLines(const QString &text, const std::function<bool(const QString &line)> &fits)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QString result;
    for (const QString &line : trimBlanks(text).split(lineBreak))
        wrapLine(line, fits, result);
    return result;
}

QString wrapLines(const QString &text, int width)
{
    const qsizetype lineLength = qsizetype(width) + 1;
    return wrapLines(text, [lineLength](const QString &line) { return line.size() <= lineLength; });
}

bool printDocument(const QTextDocument &document, int left, int top, int right, int bottom, QPrinter &printer)
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
