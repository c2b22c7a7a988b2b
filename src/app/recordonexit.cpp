#include "recordonexit.h"

#include "printouts.h"

#include "layout/dialogs.h"
#include "records/activityrecord.h"
#include "records/recorddocument.h"
#include "records/rtfwriter.h"
#include "settings/settingsfolders.h"
#include "state/appstate.h"

#include <QDir>
#include <QFileInfo>
#include <QTextDocument>

#include <cstdio>

namespace {

// More files of one minute than anyone makes; past it something is wrong.
constexpr int kMaxTries = 1000;

bool taken(const QString &path)
{
    const QFileInfo entry(path);
    return entry.exists() || entry.isSymLink();
}

RecordSave failed(const QString &folder, const QString &reason)
{
    RecordSave result;
    result.outcome = RecordSave::Outcome::Failed;
    result.error = QStringLiteral("Non ho potuto salvare gli esercizi eseguiti nella cartella %1: %2")
                       .arg(QDir::toNativeSeparators(folder), reason);
    return result;
}

} // namespace

QString freeRecordPath(const QString &folder, const QDateTime &when)
{
    // No ':' in the time: Windows refuses it in a name, and the folder may be copied there.
    const QString stem
        = folder + QStringLiteral("Esercizi eseguiti ") + when.toString(QStringLiteral("yyyy-MM-dd HH.mm"));
    for (int number = 1; number <= kMaxTries; ++number) {
        const QString path
            = number == 1 ? stem + QStringLiteral(".rtf") : stem + QStringLiteral(" (%1).rtf").arg(number);
        if (!taken(path))
            return path;
    }
    return QString();
}

RecordSave saveUnsavedRecord(const QDateTime &when)
{
    const AppState &state = appState();
    // A teacher who turned the record off chose not to keep it; without a
    // home start-up told that nothing would be kept.
    if (!state.Settings.KeepActivityRecord || !ActivityRecord::hasUnsavedItems()
        || !SettingsFolders::hasHome())
        return {};

    QString reason;
    const QString folder = userDataFolder(&reason);
    if (folder.isEmpty())
        return failed(SettingsFolders::dataFolder() + state.UserName + u'/', reason);
    const QString path = freeRecordPath(folder, when);
    if (path.isEmpty())
        return failed(folder, QStringLiteral("ci sono già troppi file con la data di oggi"));

    QTextDocument document;
    RecordDocument::build(state.UserName, when.date()).fill(document);
    if (!SettingsFolders::writeFile(path, RtfWriter::write(document), &reason))
        return failed(folder, reason);
    ActivityRecord::markSaved();
    RecordSave result;
    result.outcome = RecordSave::Outcome::Saved;
    result.path = path;
    return result;
}

void saveUnsavedRecordOrTell(QWidget *owner)
{
    const RecordSave result = saveUnsavedRecord(QDateTime::currentDateTime());
    if (result.outcome != RecordSave::Outcome::Failed)
        return;
    std::fprintf(stderr, "velmora: %s\n", result.error.toLocal8Bit().constData());
    if (owner)
        Dialogs::error(owner, result.error);
}
