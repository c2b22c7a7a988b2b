#pragma once

#include "state/profilesettings.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The profile file: one value a line, in the order of ProfileSchema::settings();
// position alone gives meaning. Read field by field, so a one-line
// comma-separated file reads the same. The first 24 lines are in every
// profile; the switch settings after them were added later, and older
// copies of the program neither write nor read them. Lines after the last
// known one are ignored, so a file from a newer copy still reads.
namespace Profile {

QByteArray serialize(const ProfileSettings &settings);

// The first 24 values or nothing: a short file, an integer beyond 16 bits or
// any other fault there gives no value. A later line that is missing or
// damaged (a flag neither True nor False, an integer outside its row's
// range or no number at all) takes its default. The lines listed in
// overlong (from 1) were too long to be values: among the first 24 they
// are a fault, later each takes its own default.
std::optional<ProfileSettings> parse(const QString &text, const QList<int> &overlong = {});

// The bytes of a profile file. One the program wrote itself, or an older or
// newer copy of it, is read as Windows-1252 even where its bytes would also
// read as UTF-8, so that a name survives any number of saves; others are
// decoded as TextFile::decode does.
std::optional<ProfileSettings> parseBytes(const QByteArray &bytes, const QList<int> &overlong = {});

// A profile line is a few dozen bytes; a line longer than this is no value.
constexpr qint64 kLineLimit = 16 * 1024;
// How far a file is read in search of the end of an over-long line; what
// lies beyond is missing, and its lines take their defaults.
constexpr qint64 kScanLimit = 16 * 1024 * 1024;

struct FileLines
{
    bool ok = false; // a regular file that could be read
    // The file's bytes up to the last line the program knows, each line
    // longer than kLineLimit emptied, its line end kept.
    QByteArray bytes;
    QList<int> overlong; // the emptied lines, from 1
};

// Reads a profile file without ever holding more than kLineLimit bytes of a
// line or waiting on anything but a regular file.
FileLines readFile(const QString &path);

// Where a damaged profile is kept before it is replaced: path + ".danneggiato",
// or the first of ".danneggiato2", ".danneggiato3", … that is free, so a
// copy kept earlier is never overwritten.
QString damagedCopyPath(const QString &path);

} // namespace Profile

// Operations on the program-wide settings and ProfilePath.
void resetSettings();

// A missing, short or damaged file gives every default; never an error. A
// damaged one is remembered, so that the next save keeps a copy of it.
void loadSettings();

// Replaces the file at ProfilePath without ever destroying the old one: on
// failure the old profile stays as it was and error says why, in Italian.
// A file that did not load is first kept aside (damagedCopyPath); notice then
// tells the teacher, in Italian, what happened and where the copy is.
bool saveSettings(QString *error = nullptr, QString *notice = nullptr);
