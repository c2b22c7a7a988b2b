#pragma once

#include <QString>

class FormHost;
class QWidget;

// Everything beyond the start window: the menus and exercises, the pupils'
// history, printing, charts, sound and speech. The executable keeps it in a
// module of its own, loaded when the start window first leads on, so that
// the start window waits for none of the libraries behind it; the tests
// link it (program.h).
struct ProgramParts
{
    // Registers every form with the host, keeps the worksheet form loaded,
    // opens the pupils' history and saves the pupil's work when the program ends.
    void (*open)(FormHost &host) = nullptr;
    // Saves the record of the exercises done now; a failure is written to
    // stderr and, with an owner, told in a message box.
    void (*saveUnsavedWork)(QWidget *owner) = nullptr;
};

namespace ProgramModule {

// The C name the module gives its ProgramParts by.
inline constexpr char kEntry[] = "velmora_program_parts";

// The module beside the executable (a build tree), else in lib/velmora under
// the installation prefix; nullptr, with the reason in Italian, when it
// cannot be loaded.
const ProgramParts *load(QString *error);

} // namespace ProgramModule
