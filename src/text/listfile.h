#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A word list as the program stores it: Windows-1252, a CR LF after every
// line, so that the readers and any editor of the schools open it alike.
namespace ListFile {

struct Encoded
{
    QByteArray bytes;
    QString error; // in Italian, naming the line and the character; empty when encoded

    bool ok() const { return error.isEmpty(); }
};

// The bytes of the lines, each followed by CR LF. A character the code page
// cannot hold, or a line break inside a line (which would split a record in
// two), refuses the whole list: no bytes, and the first such line named.
Encoded encodeList(const QStringList &lines);

// encodeList, then TextFile::writeAtomically: a list that cannot be encoded
// writes nothing, and a failed write leaves the old file as it was.
bool saveList(const QString &path, const QStringList &lines, QString *error = nullptr);

} // namespace ListFile
