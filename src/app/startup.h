#pragma once

#include <QString>

#include <memory>

class FormHost;
class InstanceDoor;
class InstanceLock;
class StopSignals;

// The user's font folder stands for the system's fonts folder: this returns
// the folder that holds "fonts/", ending with '/'.
QString fontsParentFolder();

// True when path names an ordinary, not hidden, file; a name with wildcards
// is true when any such file matches.
bool fileExists(const QString &path);

// Copies the cursive font into the user's font folder on the first start,
// says so, and makes it available to the running program.
void installCursiveFont();

// Creates whichever of the four settings folders is missing, parent first,
// and tells the user once when one cannot be made.
void createSettingsFolders();

// Opens the pupils' history in the data folder; without it the exercises go
// on and nothing of the answers is kept.
void openHistory();

// The folder of the program's data: beside the executable in a build tree,
// share/velmora under the installation prefix otherwise.
QString findApplicationFolder(const QString &executableFolder);

// Registers every form of the program with the host.
void registerForms(FormHost &host);

// Start-up, from the single-instance check to the start window on screen.
class Velmora
{
public:
    Velmora();
    ~Velmora();

    // False when another instance already runs: nothing is shown, the
    // running one is brought to the front, and this one should end without
    // a word. A lock that cannot be taken for
    // any other reason is told, and the program starts all the same.
    bool start();

    FormHost *host() const { return m_host.get(); }

private:
    std::unique_ptr<InstanceLock> m_instanceLock;
    std::unique_ptr<InstanceDoor> m_door;
    std::unique_ptr<FormHost> m_host;
    // After the host: it goes first, while the host it ends is still there.
    std::unique_ptr<StopSignals> m_stopSignals;
};
