#include "rtfwriter.h"

#include "text/cp1252.h"

#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>

#include <cmath>

namespace {

QByteArray escaped(const QString &text)
{
    QByteArray out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += '\\';
            out += char(u);
        } else if (u == u'\t') {
            out += "\\tab ";
        } else if (u == QChar::LineSeparator) {
            out += "\\line ";
        } else if (u >= 0x20 && u < 0x80) {
            out += char(u);
        } else if (u < 0x20) {
            // Other control characters have no place in the text.
        } else if (const QByteArray byte = Cp1252::encode(QString(c)); byte != "?") {
            out += "\\'" + QByteArray::number(uchar(byte.at(0)), 16).rightJustified(2, '0');
        } else {
            // RTF numbers are signed 16-bit; surrogate halves go one by one.
            out += "\\u" + QByteArray::number(qint16(u)) + '?';
        }
    }
    return out;
}

class Writer
{
public:
    explicit Writer(const QTextDocument &document)
        : m_document(document)
    { }

    QByteArray run()
    {
        QByteArray body;
        for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
            body += "\\pard";
            const Qt::Alignment align = block.blockFormat().alignment();
            if (align & Qt::AlignHCenter)
                body += "\\qc";
            else if (align & Qt::AlignRight)
                body += "\\qr";
            else if (align & Qt::AlignJustify)
                body += "\\qj";
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                body += characterFormat(fragment.charFormat()) + ' ' + escaped(fragment.text());
            }
            // The paragraph mark takes the size of the block's own format.
            body += characterFormat(block.charFormat());
            body += block.next().isValid() ? "\\par\r\n" : "\r\n";
        }
        QByteArray fonts;
        for (int i = 0; i < m_fonts.size(); ++i)
            fonts += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 " + escaped(m_fonts[i]) + ";}";
        // A4 with margins of one inch, as the record prints: a word
        // processor opens it as it came out of the printer.
        return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl" + fonts
            + "}\r\n\\paperw11906\\paperh16838\\margl1440\\margr1440\\margt1440\\margb1440\r\n\\uc1" + body
            + "}\r\n";
    }

private:
    QByteArray characterFormat(const QTextCharFormat &format)
    {
        const QFont fallback = m_document.defaultFont();
        const QStringList families = format.fontFamilies().toStringList();
        const QString family = families.isEmpty() ? fallback.family() : families.constFirst();
        const double points = format.fontPointSize() > 0 ? format.fontPointSize() : fallback.pointSizeF();
        QByteArray out = "\\f" + QByteArray::number(fontIndex(family)) + "\\fs"
            + QByteArray::number(std::lround(points * 2));
        out += format.fontWeight() >= QFont::Bold ? "\\b" : "\\b0";
        out += format.fontItalic() ? "\\i" : "\\i0";
        out += format.fontUnderline() ? "\\ul" : "\\ulnone";
        return out;
    }

    int fontIndex(const QString &family)
    {
        int index = int(m_fonts.indexOf(family));
        if (index < 0) {
            index = int(m_fonts.size());
            m_fonts.append(family);
        }
        return index;
    }

    const QTextDocument &m_document;
    QStringList m_fonts;
};

} // namespace

namespace RtfWriter {

QByteArray write(const QTextDocument &document)
{
    return Writer(document).run();
}

} // namespace RtfWriter
