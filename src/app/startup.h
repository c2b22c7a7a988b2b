#pragma once

#include "programmodule.h"

#include <QString>

#include <functional>
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

// The folder of the program's data: beside the executable in a build tree,
// share/velmora under the installation prefix otherwise.
QString findApplicationFolder(const QString &executableFolder);

// Start-up, from the single-instance check to the start window on screen.
// The rest of the program is loaded when the start window first leads on.
class Velmora
{
public:
    using PartsLoader = std::function<const ProgramParts *(QString *error)>;

    // The executable passes ProgramModule::load, the tests linkedProgram.
    explicit Velmora(PartsLoader loadParts);
    ~Velmora();

    // False when another instance already runs: nothing is shown, the
    // running one is brought to the front, and this one should end without
    // a word. A lock that cannot be taken for
    // any other reason is told, and the program starts all the same.
    bool start();

    FormHost *host() const { return m_host.get(); }

    // Saves the pupil's work unless the window's ending already has; before
    // the program beyond the start window is loaded there is none. Also run
    // when the program ends by exit() once that program is loaded.
    void saveUnsavedWork() const;

private:
    // The rest of the forms; without them the program cannot go on, and
    // ends once it has said why.
    void loadProgram();

    PartsLoader m_loadParts;
    const ProgramParts *m_parts = nullptr;
    std::unique_ptr<InstanceLock> m_instanceLock;
    std::unique_ptr<InstanceDoor> m_door;
    std::unique_ptr<FormHost> m_host;
    // After the host: it goes first, while the host it ends is still there.
    std::unique_ptr<StopSignals> m_stopSignals;
};
