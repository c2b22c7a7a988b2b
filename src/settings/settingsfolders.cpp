#include "settingsfolders.h"

#include "text/cp1252.h"
#include "text/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

namespace {

// Long enough for a first name and a surname, or a list's title; with the
// extension and the temporary suffix of a save it stays far below the
// file-name limit.
constexpr int kMaxNameLength = 64;

QString dataHome()
{
    QString location = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // Without a data location the settings would land in the file-system root.
    if (location.isEmpty())
        location = QDir::homePath() + QStringLiteral("/.local/share");
    return location;
}

QByteArray readMeBytes()
{
    static const QStringList lines = {
        QStringLiteral("Questa cartella contiene i files di impostazione dei programmi presenti "
                       "nel sito Velmora."),
        QStringLiteral(" "),
        QStringLiteral("Se qualche programma presenta problemi di funzionamento può essere utile "
                       "cancellare il file *.ini relativo al programma in quata cartella."),
        QStringLiteral(" "),
        QStringLiteral("Non cancellare questo file."),
    };
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    return Cp1252::encode(text);
}

bool fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Why path is not a real folder; empty when it is.
QString whyNotARealFolder(const QString &path)
{
    struct stat info = {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) {
        return errno == ENOENT ? QStringLiteral("la cartella %1 non esiste").arg(shown(path))
                               : QStringLiteral("la cartella %1 non si può leggere").arg(shown(path));
    }
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("la cartella %1 è un collegamento simbolico, che non viene seguito")
            .arg(shown(path));
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("al posto della cartella %1 c'è un file").arg(shown(path));
    return QString();
}

bool isIniFile(const QFileInfo &info)
{
    return info.suffix().compare(QLatin1String("ini"), Qt::CaseInsensitive) == 0;
}

} // namespace

namespace SettingsFolders {

QString settingsRoot()
{
    return dataHome() + QStringLiteral("/ImpostazioniProgrammiZerla/");
}

QString programSettingsFolder()
{
    return settingsRoot() + QStringLiteral("Velmora/");
}

QString usersFolder()
{
    return programSettingsFolder() + QStringLiteral("utenti/");
}

QString dataFolder()
{
    return programSettingsFolder() + QStringLiteral("dati/");
}

QStringList all()
{
    return {settingsRoot(), programSettingsFolder(), usersFolder(), dataFolder()};
}

QString readMePath()
{
    return settingsRoot() + QStringLiteral("leggimi.txt");
}

bool hasHome()
{
    const QString home = qEnvironmentVariable("HOME");
    return !home.isEmpty() && QDir::cleanPath(home) != QLatin1String("/");
}

QString noHomeMessage()
{
    return QStringLiteral("Non trovo la cartella personale: le impostazioni degli alunni e il lavoro svolto "
                          "non verranno salvati.");
}

QString whyNotOurFolder(const QString &folder)
{
    if (!hasHome())
        return QStringLiteral("non trovo la cartella personale");
    const QString root = QDir::cleanPath(settingsRoot());
    const QString target = QDir::cleanPath(folder);
    if (target != root && !target.startsWith(root + u'/'))
        return QString();
    QString path = root;
    QString reason = whyNotARealFolder(path);
    const QStringList steps = target.mid(root.size()).split(u'/', Qt::SkipEmptyParts);
    for (const QString &step : steps) {
        if (!reason.isEmpty())
            break;
        path += u'/' + step;
        reason = whyNotARealFolder(path);
    }
    return reason;
}

QString whyNotWritable(const QString &path)
{
    const QString reason = whyNotOurFolder(QFileInfo(QDir::cleanPath(path)).path());
    return reason.isEmpty() ? TextFile::whyNotReplaceable(path) : reason;
}

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    const QString reason = whyNotWritable(path);
    if (!reason.isEmpty())
        return fail(error, reason);
    return TextFile::writeAtomically(path, bytes, error);
}

void removeLeftovers()
{
    const auto clean = [](const QString &folder, const QStringList &extensions) {
        // A folder that is a link leads elsewhere: what is there is not ours.
        if (whyNotOurFolder(folder).isEmpty())
            TextFile::removeLeftovers(folder, extensions);
    };
    clean(settingsRoot(), {QStringLiteral("txt")});
    clean(usersFolder(), {QStringLiteral("ini")});
    const QStringList users = QDir(dataFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &user : users)
        clean(dataFolder() + user, {QStringLiteral("rtf"), QStringLiteral("pdf")});
}

} // namespace SettingsFolders

bool pathExists(const QString &path)
{
    if (path.isEmpty() || path.contains(QChar(0)))
        return false;
    return QFileInfo::exists(path);
}

bool createFolder(const QString &path, QString *error)
{
    if (path.isEmpty())
        return fail(error, QStringLiteral("impossibile creare la cartella: nessun percorso indicato"));

    const QFileInfo info(QDir::cleanPath(path));
    const QString refused = SettingsFolders::whyNotOurFolder(info.path());
    if (!refused.isEmpty())
        return fail(error, QStringLiteral("impossibile creare la cartella %1: %2").arg(shown(path), refused));
    if (info.isSymLink()) {
        return fail(error,
            QStringLiteral("impossibile creare la cartella %1: al suo posto c'è un collegamento simbolico, "
                           "che non viene seguito")
                .arg(shown(path)));
    }
    // A folder that is already there is what the caller wanted; only the
    // read-me still needs writing.
    if (!info.isDir()) {
        if (info.exists()) {
            return fail(error,
                QStringLiteral("impossibile creare la cartella %1: esiste già un "
                               "file con lo stesso nome")
                    .arg(shown(path)));
        }
        if (!QFileInfo(info.path()).isDir()) {
            return fail(error,
                QStringLiteral("impossibile creare la cartella %1: la cartella "
                               "che dovrebbe contenerla non esiste")
                    .arg(shown(path)));
        }
        if (::mkdir(QFile::encodeName(info.filePath()).constData(), 0777) != 0) {
            return fail(error,
                QStringLiteral("impossibile creare la cartella %1: %2")
                    .arg(shown(path), TextFile::reasonFor(errno)));
        }
    }

    QString reason;
    if (!SettingsFolders::writeFile(SettingsFolders::readMePath(), readMeBytes(), &reason)) {
        return fail(error,
            QStringLiteral("impossibile scrivere il file leggimi.txt in %1 (%2)")
                .arg(shown(SettingsFolders::settingsRoot()), reason));
    }
    return true;
}

QString whyNotAFileName(const QString &name, const QString &missing)
{
    if (name.trimmed().isEmpty())
        return missing;
    if (name.size() > kMaxNameLength)
        return QStringLiteral("Il nome può avere al massimo %1 caratteri.").arg(kMaxNameLength);
    // Characters Windows refuses in file names stay out too, so that a
    // folder of profiles or lists can be copied to and from a Windows machine.
    static const QString forbidden = QStringLiteral("/\\<>:\"|?*");
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.category() == QChar::Other_Control || forbidden.contains(c))
            return QStringLiteral("Il nome non può contenere i segni / \\ < > : \" | ? * né caratteri "
                                  "di controllo.");
    }
    // A name must show on a list or a button; marks that turn the writing round would
    // make it show as another name, or hide where it ends.
    const auto turnsTheWriting = [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069) || u == 0x200E || u == 0x200F
            || u == 0x061C;
    };
    if (std::any_of(name.cbegin(), name.cend(), turnsTheWriting))
        return QStringLiteral("Il nome non può contenere segni che cambiano il verso della scrittura.");
    const auto invisible = [](QChar c) {
        const char16_t u = c.unicode();
        return c.isSpace() || c.category() == QChar::Other_Format || c.category() == QChar::Mark_NonSpacing
            || c.category() == QChar::Mark_Enclosing || u == 0x115F || u == 0x1160 || u == 0x3164
            || u == 0xFFA0 || u == 0x2800;
    };
    if (std::all_of(name.cbegin(), name.cend(), invisible))
        return QStringLiteral("Il nome non può essere fatto solo di spazi o di caratteri invisibili.");
    // A leading dot hides the file; Windows drops trailing dots and blanks.
    static const QString edges = QStringLiteral(". \t");
    if (edges.contains(name.front()) || edges.contains(name.back()))
        return QStringLiteral("Il nome non può iniziare o finire con un punto o uno spazio.");
    static const QRegularExpression reserved(
        QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])$"), QRegularExpression::CaseInsensitiveOption);
    if (reserved.match(name).hasMatch())
        return QStringLiteral("«%1» è un nome riservato dal sistema: scegline un altro.").arg(name);
    return {};
}

namespace ProfileFiles {

QString pathFor(const QString &userName)
{
    return SettingsFolders::usersFolder() + userName + QStringLiteral(".ini");
}

QString resolve(const QString &path)
{
    if (path.isEmpty())
        return path;
    const QFileInfo wanted(path);
    const QString name = wanted.fileName();
    if (name.isEmpty())
        return path;
    const QString folder = path.left(path.size() - name.size());

    const QDir dir(wanted.path());
    QStringList matches;
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            matches.append(entry);
    }
    if (!matches.isEmpty()) {
        // Two spellings can sit side by side on a case-sensitive disk. Every
        // spelling of the name must lead to the same one, or start-up and the
        // user list would read different files: the first in name order.
        return folder + *std::min_element(matches.cbegin(), matches.cend());
    }

    if (isIniFile(wanted))
        return path.left(path.size() - 3) + QStringLiteral("ini");
    return path;
}

QStringList userNames()
{
    const QDir dir(SettingsFolders::usersFolder());
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    QStringList names;
    for (const QFileInfo &entry : entries) {
        if (!isIniFile(entry))
            continue;
        const QString name = entry.completeBaseName();
        if (!name.isEmpty())
            names.append(name);
    }
    // Of two spellings of one name, the same one is kept on every call.
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    const auto duplicate = std::unique(names.begin(), names.end(),
        [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; });
    names.erase(duplicate, names.end());
    return names;
}

QStringList unreadableNames()
{
    QStringList names;
    DIR *dir = ::opendir(QFile::encodeName(SettingsFolders::usersFolder()).constData());
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray bytes(entry->d_name);
        if (bytes.size() <= 4 || bytes.right(4).toLower() != ".ini")
            continue;
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = utf8.decode(bytes);
        if (utf8.hasError())
            names << Cp1252::decode(bytes.chopped(4));
    }
    ::closedir(dir);
    names.sort();
    return names;
}

QString whyNotAUserName(const QString &name)
{
    return whyNotAFileName(name, QStringLiteral("Scrivi il nome dell'utente."));
}

bool isValidUserName(const QString &name)
{
    return whyNotAUserName(name).isEmpty();
}

} // namespace ProfileFiles
