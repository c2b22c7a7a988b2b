#include "printouts.h"

#include "layout/commondialogs.h"
#include "layout/dialogs.h"
#include "records/printing.h"
#include "settings/settingsfolders.h"
#include "state/appstate.h"
#include "text/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>

#include <cerrno>
#include <sys/resource.h>
#include <sys/statvfs.h>

namespace {

// What a PDF file ends with once it is written whole.
bool endsAsAPdf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 16)
        return false;
    file.seek(file.size() - 16);
    return file.read(16).trimmed().endsWith("%%EOF");
}

// The printer does not say why it stopped writing: the two usual causes are
// looked for.
QString whyCutShort(const QString &path)
{
    struct statvfs disk = {};
    if (::statvfs(QFile::encodeName(QFileInfo(path).path()).constData(), &disk) == 0 && disk.f_bavail == 0)
        return TextFile::reasonFor(ENOSPC);
    rlimit limit = {};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY
        && QFileInfo(path).size() >= qint64(limit.rlim_cur))
        return TextFile::reasonFor(EFBIG);
    return QStringLiteral("il file PDF non è stato scritto per intero");
}

// Prints into a temporary file beside path, then puts it in place as every
// other file is saved: an existing file is replaced whole or not at all, and
// a link is never written through.
bool savePdf(const QString &path, const std::function<bool(QPrinter &)> &print, QString *error)
{
    *error = SettingsFolders::whyNotWritable(path);
    if (!error->isEmpty())
        return false;
    const QString temporary = TextFile::createTemporary(path, error);
    if (temporary.isEmpty())
        return false;
    bool printed = false;
    {
        const std::unique_ptr<QPrinter> pdf = Printing::pdfPrinter(temporary);
        printed = print(*pdf);
    }
    // The printer says nothing of a write that failed on the way.
    if (!printed || !endsAsAPdf(temporary)) {
        *error = whyCutShort(temporary);
        QFile::remove(temporary);
        return false;
    }
    return TextFile::moveIntoPlace(temporary, path, error);
}

} // namespace

QString userDataFolder(QString *error)
{
    const QString folder = SettingsFolders::dataFolder() + appState().UserName + u'/';
    // The settings folders may have gone since start-up: each is made again in turn.
    QStringList chain = SettingsFolders::all();
    chain << folder;
    for (const QString &path : std::as_const(chain)) {
        if (!pathExists(path) && !createFolder(path, error))
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
    const QString path = chooseFilePath(owner, CommonDialogs::FileMode::Save, QStringLiteral("Salva"),
        QString(), {{QStringLiteral("PDF"), QStringLiteral("*.pdf")}}, folder, QStringLiteral("pdf"));
    if (path.isEmpty())
        return;
    if (!savePdf(path, print, &error)) {
        Dialogs::error(owner,
            QStringLiteral("Non ho potuto salvare il file %1: %2.")
                .arg(QDir::toNativeSeparators(path), error));
    }
}
