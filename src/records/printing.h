#pragma once

#include <QString>

#include <functional>
#include <memory>

class QFont;
class QPrinter;
class QTextDocument;

// Printouts go to the system's default printer; tests put PDF files in its place.
namespace Printing {

using PrinterSource = std::function<std::unique_ptr<QPrinter>()>;

// An empty source restores the default printer.
void setPrinterSource(PrinterSource source);

// The default printer (or the first one, when none is marked as the
// default), or nullptr when the system has none.
std::unique_ptr<QPrinter> defaultPrinter();

// A printer that writes a PDF file.
std::unique_ptr<QPrinter> pdfPrinter(const QString &path);

// The text in the font, wrapped to the printable width of the page as
// wrapLines wraps it, on as many pages as needed. False when the printer
// could not start.
bool printText(QPrinter &printer, const QString &text, const QFont &font);

} // namespace Printing

// Word wrapping: fits(line) says whether a line, with the blank that ends
// it, fits. The text's own line breaks are kept, and a word longer than a
// line is broken across lines, every character kept. Two blanks or more
// separate the items of a worksheet ("torno _ casa"): an item that fits on
// a line is never split, it goes whole to the next line with the blanks
// before it. The result ends with CR LF.
QString wrapLines(const QString &text, const std::function<bool(const QString &line)> &fits);

// The same by characters: a line holds at most width + 1 characters with
// the blank that ends it.
QString wrapLines(const QString &text, int width);

// Prints the document with its own fonts, sizes and alignment inside the
// margins (in twips), page after page. False when the printer could not start.
bool printDocument(
    const QTextDocument &document, int left, int top, int right, int bottom, QPrinter &printer);
