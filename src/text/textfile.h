#pragma once

#include <QByteArray>
#include <QString>

namespace TextFile {

// Text files are stored in Windows-1252. A file that a teacher saved from a
// modern editor in UTF-8 (with or without a byte-order mark) is recognised
// and read as such: Windows-1252 text with accents is never valid UTF-8.
QString decode(const QByteArray &bytes);

struct ReadResult
{
    bool ok = false;
    QString text;
    QString error; // in Italian, for the teacher
};

ReadResult read(const QString &path);

// Writes through a temporary file in the same folder and renames it over the
// old one, so a failed or interrupted write leaves the old file intact.
bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

} // namespace TextFile
