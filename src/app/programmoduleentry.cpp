// The one symbol of the program module that the executable looks up.

#include "program.h"

extern "C" Q_DECL_EXPORT const ProgramParts *velmora_program_parts()
{
    return &programParts();
}
