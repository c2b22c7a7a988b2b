#pragma once

class QWidget;

// Saves the current profile. When that fails the program goes on with the
// settings in memory and says so, once in a run.
bool saveSettingsOrWarn(QWidget *parent);
