#pragma once

class QWidget;

// Logs in velmora.forms where each visible named control below container
// stands on the screen: "control NAME at X,Y size WxH". The host logs a
// named control that its form shows later the same way.
void logControls(const QWidget *container);
