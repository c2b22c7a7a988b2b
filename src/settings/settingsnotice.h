#pragma once

class QWidget;

// Saves the current profile. When that fails the program goes on with the
// settings in memory and says so, once in a run. A damaged profile kept
// aside before the save is told each time it happens.
bool saveSettingsOrWarn(QWidget *parent);
