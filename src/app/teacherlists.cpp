#include "teacherlists.h"

#include "settings/settingsfolders.h"

#include <QCollator>
#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <tuple>

namespace {

const QString kSentenceFolder = QStringLiteral("frasi");
const QString kListSuffix = QStringLiteral(".txt");

struct Entry
{
    QString name;
    bool folder = false;
    bool file = false;
};

// The entries of a folder whose names read as UTF-8: a name that does not
// could not be opened again by the name shown. Links are followed, so that a
// school may keep its lists on a shared drive; a missing or unreadable
// folder has no entries.
QList<Entry> entriesOf(const QString &folder)
{
    QList<Entry> entries;
    const QByteArray encoded = QFile::encodeName(folder);
    DIR *dir = ::opendir(encoded.constData());
    if (!dir)
        return entries;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray bytes(entry->d_name);
        if (bytes == "." || bytes == "..")
            continue;
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString name = utf8.decode(bytes);
        if (utf8.hasError())
            continue;
        struct stat info = {};
        if (::stat((encoded + '/' + bytes).constData(), &info) != 0)
            continue;
        entries.append({name, S_ISDIR(info.st_mode), S_ISREG(info.st_mode)});
    }
    ::closedir(dir);
    return entries;
}

// The lists of one folder of the topic: word lists in "<first>-<second>",
// sentences in "frasi".
void addListsOf(const QString &topicPath, const Entry &kindFolder, bool school, QList<TeacherList> &lists)
{
    TeacherList list;
    list.school = school;
    list.sentences = kindFolder.name == kSentenceFolder;
    if (!list.sentences) {
        const qsizetype dash = kindFolder.name.indexOf(u'-');
        if (dash <= 0 || dash == kindFolder.name.size() - 1)
            return;
        list.first = kindFolder.name.left(dash);
        list.second = kindFolder.name.mid(dash + 1);
    }
    const QString folder = topicPath + kindFolder.name + u'/';
    for (const Entry &entry : entriesOf(folder)) {
        // A hidden file is no list the teacher made.
        if (!entry.file || !entry.name.endsWith(kListSuffix) || entry.name.startsWith(u'.'))
            continue;
        list.path = folder + entry.name;
        list.name = entry.name.chopped(kListSuffix.size());
        lists << list;
    }
}

QList<TeacherList> listsBelow(const QString &root, const QString &topicFolder, bool school)
{
    QList<TeacherList> lists;
    const QString topicPath = root + topicFolder + u'/';
    for (const Entry &entry : entriesOf(topicPath)) {
        if (entry.folder)
            addListsOf(topicPath, entry, school, lists);
    }
    for (TeacherList &list : lists)
        list.topicFolder = topicFolder;

    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Names the collator holds equal still come in the same order on every call.
    std::sort(lists.begin(), lists.end(), [&collator](const TeacherList &a, const TeacherList &b) {
        const int order = collator.compare(a.name, b.name);
        if (order != 0)
            return order < 0;
        return std::tie(a.name, a.sentences, a.first, a.second)
            < std::tie(b.name, b.sentences, b.first, b.second);
    });
    return lists;
}

} // namespace

namespace TeacherLists {

QString userFolder()
{
    return SettingsFolders::programSettingsFolder() + QStringLiteral("liste/");
}

QString schoolFolder()
{
    // The first absolute folder: XDG data folders given as relative paths
    // are not to be used.
    QString first;
    const QStringList folders = qEnvironmentVariable("XDG_DATA_DIRS").split(u':', Qt::SkipEmptyParts);
    for (const QString &folder : folders) {
        if (folder.startsWith(u'/')) {
            first = folder;
            break;
        }
    }
    if (first.isEmpty())
        first = QStringLiteral("/usr/local/share");
    if (!first.endsWith(u'/'))
        first += u'/';
    return first + QStringLiteral("velmora/liste/");
}

QList<TeacherList> forTopic(const QString &topicFolder)
{
    // A topic folder is one name below the folders of lists, never a way out of them.
    if (topicFolder.isEmpty() || topicFolder.contains(u'/') || topicFolder.startsWith(u'.'))
        return {};
    return listsBelow(userFolder(), topicFolder, false) + listsBelow(schoolFolder(), topicFolder, true);
}

QString userPath(const QString &topicFolder, bool sentences, const QString &first, const QString &second,
    const QString &name)
{
    const QString kind = sentences ? kSentenceFolder : first + u'-' + second;
    return userFolder() + topicFolder + u'/' + kind + u'/' + name + kListSuffix;
}

QString whyNotAListName(const QString &name)
{
    return whyNotAFileName(name, QStringLiteral("Scrivi il nome della lista."));
}

QList<ReviewFile> review(const Catalogue::TopicMenu &menu)
{
    QList<ReviewFile> files = menu.review;
    if (files.isEmpty())
        return files;
    for (const TeacherList &list : forTopic(menu.topicFolder)) {
        if (!list.sentences)
            files.append({list.path, list.first, list.second});
    }
    return files;
}

} // namespace TeacherLists
