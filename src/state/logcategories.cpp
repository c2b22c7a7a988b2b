#include "logcategories.h"

// Debug lines are off by default; warnings and errors always show.
Q_LOGGING_CATEGORY(lcForms, "velmora.forms", QtInfoMsg)
Q_LOGGING_CATEGORY(lcScanning, "velmora.scanning", QtInfoMsg)
Q_LOGGING_CATEGORY(lcExercises, "velmora.exercises", QtInfoMsg)
Q_LOGGING_CATEGORY(lcAgent, "velmora.agent", QtInfoMsg)
Q_LOGGING_CATEGORY(lcSpeech, "velmora.speech", QtInfoMsg)
Q_LOGGING_CATEGORY(lcHistory, "velmora.history", QtInfoMsg)
Q_LOGGING_CATEGORY(lcStartup, "velmora.startup", QtInfoMsg)
