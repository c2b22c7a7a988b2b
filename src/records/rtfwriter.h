#pragma once

#include <QByteArray>

class QTextDocument;

// The rich text of a document as RTF on A4 paper with margins of one inch:
// a font table of the faces used, the point sizes, centred and right-aligned
// paragraphs, bold, italic and underline. Text is Windows-1252; other
// characters are written as Unicode with "?" for readers that do not know them.
namespace RtfWriter {

QByteArray write(const QTextDocument &document);

} // namespace RtfWriter
