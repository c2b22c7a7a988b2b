#pragma once

#include <QLoggingCategory>

// The program's debug categories, all of them here, each silent until asked
// for: QT_LOGGING_RULES="velmora.*.debug=true" turns on every one. The
// end-to-end tests follow and drive the running program by these lines, so
// a line keeps its words once written.
Q_DECLARE_LOGGING_CATEGORY(lcForms) // velmora.forms: forms, message boxes, and where their controls stand
Q_DECLARE_LOGGING_CATEGORY(lcScanning) // velmora.scanning: highlights, selections, switch presses
Q_DECLARE_LOGGING_CATEGORY(lcExercises) // velmora.exercises: the items shown and the answers given
Q_DECLARE_LOGGING_CATEGORY(lcAgent) // velmora.agent: what the character is asked to do
Q_DECLARE_LOGGING_CATEGORY(lcSpeech) // velmora.speech: every sentence said
Q_DECLARE_LOGGING_CATEGORY(lcHistory) // velmora.history: the answers' history opened, set aside or off
Q_DECLARE_LOGGING_CATEGORY(lcStartup) // velmora.startup: the steps of the start-up and when each ended
