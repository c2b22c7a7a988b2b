#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The settings live below the user's data folder, in
// ImpostazioniProgrammiZerla/Velmora/, with the users' profiles in utenti/
// and their saved records in dati/. Every folder path ends with '/'.
namespace SettingsFolders {

QString settingsRoot();
QString programSettingsFolder();
QString usersFolder();
QString dataFolder();

// The four folders, parent first, in the order start-up creates them.
QStringList all();

QString readMePath();

// False when HOME is unset, empty or the root folder: the user has no folder
// of their own to keep the settings in, and the program writes nothing.
bool hasHome();
// What start-up says then.
QString noHomeMessage();

// Why the folder cannot hold the program's files, in Italian; empty when it
// can. Inside the settings root every folder on the way, the root included,
// must be a real folder and not a link, so that nothing is written elsewhere;
// a folder outside it (chosen by the teacher in a file dialog) is the
// teacher's own. Nothing at all can be written without a home.
QString whyNotOurFolder(const QString &folder);

// whyNotOurFolder of the file's folder, then TextFile::whyNotReplaceable.
QString whyNotWritable(const QString &path);

// TextFile::writeAtomically, once whyNotWritable has nothing against it.
bool writeFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Removes the temporary files that saves cut short (the program killed
// during a save) left in the settings folders.
void removeLeftovers();

} // namespace SettingsFolders

// True when path is not empty and names an existing folder or file, hidden
// ones included; false when the test itself fails.
bool pathExists(const QString &path);

// Creates the folder (its parent must exist, and pass whyNotOurFolder), then
// rewrites the read-me file in the settings root. False, with a reason in
// Italian, when either fails or the folder is there as a link.
bool createFolder(const QString &path, QString *error = nullptr);

// Why the name cannot be the name of a file the program keeps for the
// teacher (a user's profile, a word list), in Italian; empty when it can.
// Such a name is a file name on this system and on Windows alike, of at
// most 64 characters, shown as it is written. An empty one is `missing`.
QString whyNotAFileName(const QString &name, const QString &missing);

// Profile file names are matched without regard to letter case: the folder
// was meant for a case-insensitive file system.
namespace ProfileFiles {

// usersFolder + name + ".ini".
QString pathFor(const QString &userName);

// The file on disk that path names, matched without regard to letter case;
// for a profile that does not exist yet, path itself with a ".ini" extension.
QString resolve(const QString &path);

// The user names that have a profile in the users folder, one per name.
QStringList userNames();

// Profiles whose file names are not UTF-8 (copied from an older system, say):
// they cannot be opened by name, so they are missing from userNames(). Their
// names as Windows-1252 would show them, for telling the teacher.
QStringList unreadableNames();

// A name that can be a file name in the users folder, of at most 64
// characters, on this system and on Windows alike.
bool isValidUserName(const QString &name);
// Why a name cannot be a user's, in Italian; empty when it can.
QString whyNotAUserName(const QString &name);

} // namespace ProfileFiles
