#pragma once

#include "programmodule.h"

class FormHost;

// The program beyond the start window, as the module gives it (programmodule.h).
const ProgramParts &programParts();

// The same parts, linked into the caller rather than loaded: what the tests
// start Velmora with.
const ProgramParts *linkedProgram(QString *error);

// Registers every form of the program with the host.
void registerForms(FormHost &host);

// Opens the pupils' history in the data folder; without it the exercises go
// on and nothing of the answers is kept.
void openHistory();
