#pragma once

#include <QLoggingCategory>

// The forms and message boxes shown, and where their menus are, for
// following a session and for driving the program from outside:
// QT_LOGGING_RULES="velmora.forms.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcForms)

class QWidget;

// Logs where each visible named control below container stands on the
// screen: "control NAME at X,Y size WxH". The host logs a named control
// that its form shows later the same way.
void logControls(const QWidget *container);
