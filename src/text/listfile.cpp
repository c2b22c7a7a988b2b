#include "listfile.h"

#include "text/cp1252.h"
#include "text/textfile.h"

namespace ListFile {

namespace {

// The character starting at i (both halves of a pair outside the basic
// plane), and how many UTF-16 units it takes.
QString characterAt(const QString &line, qsizetype i)
{
    if (line[i].isHighSurrogate() && i + 1 < line.size() && line[i + 1].isLowSurrogate())
        return line.mid(i, 2);
    return line.mid(i, 1);
}

// Whether the stored list keeps the character as typed: the code page holds
// it, and it is no control character the code page has no glyph for.
bool keeps(const QString &character)
{
    const char32_t code = character.toUcs4().value(0);
    if (code >= 0x80 && code <= 0x9F)
        return false;
    return character == QLatin1String("?") || Cp1252::encode(character) != "?";
}

} // namespace

Encoded encodeList(const QStringList &lines)
{
    Encoded encoded;
    QByteArray bytes;
    for (int n = 1; n <= lines.size(); ++n) {
        const QString &line = lines[n - 1];
        for (qsizetype i = 0; i < line.size();) {
            const QString character = characterAt(line, i);
            if (character == QLatin1String("\r") || character == QLatin1String("\n")) {
                encoded.error
                    = QStringLiteral("Riga %1: la riga va a capo al suo interno; ogni parola o frase "
                                     "va su una riga sua.")
                          .arg(n);
                return encoded;
            }
            if (!keeps(character)) {
                encoded.error = QStringLiteral("Riga %1: il carattere «%2» (U+%3) non si può salvare nella "
                                               "codifica Windows-1252 delle liste: sostituirlo o toglierlo.")
                                    .arg(n)
                                    .arg(character,
                                        QString::number(character.toUcs4().value(0), 16)
                                            .toUpper()
                                            .rightJustified(4, u'0'));
                return encoded;
            }
            i += character.size();
        }
        bytes += Cp1252::encode(line);
        bytes += "\r\n";
    }
    encoded.bytes = bytes;
    return encoded;
}

bool saveList(const QString &path, const QStringList &lines, QString *error)
{
    const Encoded encoded = encodeList(lines);
    if (!encoded.ok()) {
        if (error)
            *error = encoded.error;
        return false;
    }
    return TextFile::writeAtomically(path, encoded.bytes, error);
}

} // namespace ListFile
