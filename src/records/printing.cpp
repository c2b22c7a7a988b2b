#include "printing.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
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
    const QString newLine = QStringLiteral("\r\n");
    const qsizetype lineLength = qsizetype(width) + 1;
    QString rest = trimBlanks(text);
    QString line;
    QString result;
    for (;;) {
        const qsizetype n = line.size();
        const qsizetype sp = rest.indexOf(u' ') + 1;
        const qsizetype cr = rest.indexOf(u'\r') + 1;
        if (cr > 0 && cr + n <= lineLength) {
            result += line + rest.left(cr);
            line.clear();
            rest = rest.mid(cr);
        } else if (sp == 0 && rest.size() + n <= lineLength) {
            return result + line + rest + newLine;
        } else if (sp > 0 && sp + n <= lineLength) {
            line += rest.left(sp);
            rest = rest.mid(sp);
        } else if (n > 0) {
            // The word is tried again on a fresh line.
            result += line + newLine;
            line.clear();
        } else {
            // A word longer than a line: cut, and the rest goes on.
            result += rest.left(lineLength) + newLine;
            rest = rest.mid(lineLength);
        }
    }
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
