#pragma once

#include <QByteArray>
#include <QString>

// The stored files of the program (profiles, word lists, the read-me) are
// 8-bit Windows-1252 text. Qt 6 has no codec for it, so this is ours.
namespace Cp1252 {

QString decode(const QByteArray &bytes);

// Characters outside the code page become '?'.
QByteArray encode(const QString &text);

} // namespace Cp1252
