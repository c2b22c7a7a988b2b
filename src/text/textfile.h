#pragma once

#include <QByteArray>
#include <QString>

namespace TextFile {

// Text files are stored in Windows-1252. A file that a teacher saved from a
// modern editor in UTF-8 (with or without a byte-order mark) is recognised
// and read as such: Windows-1252 text with accents is never valid UTF-8.
QString decode(const QByteArray &bytes);

// More than any file the program reads should hold; a larger one is refused
// rather than read until memory runs out.
constexpr qint64 kDefaultReadLimit = 8 * 1024 * 1024;

struct ReadResult
{
    bool ok = false;
    QByteArray bytes;
    QString text;
    QString error; // in Italian, for the teacher
};

// Reads a regular file of at most limit bytes (a link to one is followed).
// A pipe, a device or a folder is refused without waiting on it.
ReadResult readBytes(const QString &path, qint64 limit = kDefaultReadLimit);

// readBytes, then decode.
ReadResult read(const QString &path, qint64 limit = kDefaultReadLimit);

// Why path cannot be replaced by a file of ours, or empty when it can: it is
// missing or a regular file. A symbolic link is never written through, since
// that would replace whatever file it points at.
QString whyNotReplaceable(const QString &path);

// Writes through a temporary file in the same folder and renames it over the
// old one, so a failed or interrupted write leaves the old file intact.
// Refuses a path that whyNotReplaceable objects to.
bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

} // namespace TextFile
