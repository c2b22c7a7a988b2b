#include "printouts.h"

#include "layout/dialogs.h"
#include "records/commondialogs.h"
#include "records/printing.h"
#include "settings/settingsfolders.h"
#include "state/appstate.h"

#include <QPrinter>

QString userDataFolder(QString *error)
{
    const QString folder = SettingsFolders::DataFolder() + appState().UserName + u'/';
    // The settings folders may have gone since start-up: each is made again in turn.
    QStringList chain = SettingsFolders::all();
    chain << folder;
    for (const QString &path : std::as_const(chain)) {
        if (!EsisteCartella(path) && !CreaCartella(path, error))
            return QString();
    }
    // A folder on the way may be a link to somewhere else.
    const QString refused = SettingsFolders::whyNotOurFolder(folder);
    if (!refused.isEmpty()) {
        if (error)
            *error = refused;
        return QString();
    }
    return folder;
}

void printOrSaveAsPdf(QWidget *owner, const QString &printout, const std::function<bool(QPrinter &)> &print)
{
    if (const std::unique_ptr<QPrinter> printer = Printing::defaultPrinter()) {
        if (!print(*printer))
            Dialogs::error(owner, QStringLiteral("La stampa non è riuscita: controllare la stampante."));
        return;
    }
    if (!Dialogs::question(owner,
            QStringLiteral("Non c'è nessuna stampante disponibile.\r\n"
                           "Vuoi salvare %1 come file PDF nella tua cartella dei dati?")
                .arg(printout)))
        return;
    QString error;
    const QString folder = userDataFolder(&error);
    if (folder.isEmpty()) {
        Dialogs::error(owner, error);
        return;
    }
    const QString path = ScegliFile(owner, 2, QStringLiteral("Salva"), QString(),
        {{QStringLiteral("PDF"), QStringLiteral("*.pdf")}}, folder, QStringLiteral("pdf"));
    if (path.isEmpty())
        return;
    const std::unique_ptr<QPrinter> pdf = Printing::pdfPrinter(path);
    if (!print(*pdf))
        Dialogs::error(owner, QStringLiteral("Non ho potuto salvare il file %1.").arg(path));
}
