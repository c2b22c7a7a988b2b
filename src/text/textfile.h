#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

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

// Why a write failed with this errno value, in Italian: a full disk and a
// limit on file sizes are named as such.
QString reasonFor(int errorCode);

// Makes a new, empty temporary file for a save of path, beside it: path plus
// a dot and six random letters, readable by the owner only until it is moved
// into place. Its name, or empty with the reason.
QString createTemporary(const QString &path, QString *error = nullptr);

// Puts a finished temporary file of createTemporary in the place of path,
// with the permissions of the file it replaces (or the usual ones for a new
// file). Refuses a path that whyNotReplaceable objects to; on any failure the
// temporary file is removed and the old file is left intact.
bool moveIntoPlace(const QString &temporary, const QString &path, QString *error = nullptr);

// Writes through a temporary file in the same folder and renames it over the
// old one, so a failed or interrupted write leaves the old file intact.
// Refuses a path that whyNotReplaceable objects to.
bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Removes from folder what saves cut short left there: temporary files of
// createTemporary whose name before the random letters ends with one of the
// extensions ("ini", "rtf"), still readable by their owner only, as a save
// leaves them. Nothing else is touched. The names of the files removed.
QStringList removeLeftovers(const QString &folder, const QStringList &extensions);

} // namespace TextFile
