#include "settingsnotice.h"

#include "profile.h"

#include "layout/dialogs.h"
#include "state/appstate.h"

#include <QDir>

bool saveSettingsOrWarn(QWidget *parent)
{
    QString error;
    QString notice;
    const bool saved = saveSettings(&error, &notice);
    if (!notice.isEmpty())
        Dialogs::information(parent, notice);
    if (saved)
        return true;
    AppState &state = appState();
    if (!state.SettingsSaveFailureShown) {
        state.SettingsSaveFailureShown = true;
        Dialogs::information(parent,
            QStringLiteral("Non è stato possibile salvare le impostazioni di «%1» nel file %2: %3\r\n"
                           "Il programma continua con le impostazioni attuali, "
                           "che però andranno perse alla chiusura.")
                .arg(state.UserName, QDir::toNativeSeparators(state.ProfilePath), error));
    }
    return false;
}
