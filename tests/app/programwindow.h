#pragma once

#include "app/program.h"
#include "layout/formhost.h"
#include "settings/settingsfolders.h"

#include <QDir>

// Where a test of the program's windows starts: every form registered, the
// window shown at 1024 × 768, and the settings folders made.
inline void setUpProgramWindow(FormHost &host)
{
    registerForms(host);
    host.resize(1024, 768);
    host.show();
    for (const QString &folder : SettingsFolders::all())
        QDir().mkpath(folder);
}
