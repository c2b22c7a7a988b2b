#pragma once

#include <QLoggingCategory>

// The forms and message boxes shown, and where their menus are, for
// following a session and for driving the program from outside:
// QT_LOGGING_RULES="velmora.forms.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcForms)
