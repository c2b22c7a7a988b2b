#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

// A home folder of its own for a test, a tool or a benchmark: a temporary
// folder, removed with this object, holding the XDG folders where a desktop
// session puts them. The program run in it (in this process or as a child)
// reads and writes nothing of the real home.
class PrivateHome
{
public:
    // The folder is made in the system's temporary folder, named after `name`.
    explicit PrivateHome(const QString &name = QStringLiteral("velmora"));

    bool isValid() const { return m_folder.isValid(); }
    QString errorString() const { return m_folder.errorString(); }

    QString path() const;
    QString dataHome() const;
    QString configHome() const;
    QString cacheHome() const;
    // Private to its owner, as the desktop makes it.
    QString runtimeDir() const;
    // Not made: a first start installs the cursive font there.
    QString fontsFolder() const;
    // The first of the machine's shared data folders (XDG_DATA_DIRS), before
    // the system's own, where a school keeps what every user reads. Not made.
    QString sharedDataFolder() const;

    // Where the program keeps its settings below this home, each path ending
    // with '/': what a test expects the program to have written.
    QString usersFolder() const;
    QString recordsFolder() const;

    // `base` with HOME and the XDG folders pointing here: for a child process.
    QProcessEnvironment environment(
        QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const;

    // The same variables set in this process, for the program run in it.
    void enter() const;

private:
    QTemporaryDir m_folder;
};
