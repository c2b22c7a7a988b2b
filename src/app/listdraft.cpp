#include "listdraft.h"

#include "catalogue.h"

#include "exercises/wordstore.h"
#include "settings/settingsfolders.h"
#include "text/listfile.h"
#include "text/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// As the readers of the lists take them.
constexpr qint64 kListReadLimit = 4 * 1024 * 1024;

QList<ListTopic> buildTopics()
{
    QList<ListTopic> topics;
    for (const Catalogue::TopicMenu &menu : Catalogue::topicMenus()) {
        ListTopic topic{menu.topicFolder, menu.mainMenuCaption.simplified(), menu.marker, {}};
        for (const Catalogue::Pair &pair : Catalogue::pairsOf(menu))
            topic.exercises << ListExercise::pair(pair.first, pair.second);
        topic.exercises << ListExercise::ofSentences();
        topics << topic;
    }
    return topics;
}

// The settings folders, then the lists' folders down to the file's.
bool makeFoldersFor(const QString &file, QString *error)
{
    QStringList chain = SettingsFolders::all();
    const QString root = TeacherLists::userFolder();
    chain << root;
    QString folder = root;
    const QStringList parts = QDir(root).relativeFilePath(file).split(u'/');
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        folder += parts[i] + u'/';
        chain << folder;
    }
    for (const QString &path : std::as_const(chain)) {
        if (!pathExists(path) && !createFolder(path, error))
            return false;
    }
    return true;
}

} // namespace

QStringList ListExercise::spellings() const
{
    return sentences ? QStringList() : QStringList{first, second};
}

QString ListExercise::caption() const
{
    return sentences ? QStringLiteral("frasi") : first + QStringLiteral(" / ") + second;
}

ListCheck::Records ListExercise::records() const
{
    return sentences ? ListCheck::Records::Sentences : ListCheck::Records::Words;
}

bool ListExercise::operator==(const ListExercise &other) const
{
    return sentences == other.sentences && first == other.first && second == other.second;
}

namespace ListEditing {

const QList<ListTopic> &topics()
{
    static const QList<ListTopic> topics = buildTopics();
    return topics;
}

int topicIndex(const QString &folder)
{
    for (int i = 0; i < topics().size(); ++i) {
        if (topics()[i].folder == folder)
            return i;
    }
    return -1;
}

bool sameFile(const QString &a, const QString &b)
{
    return !a.isEmpty() && QDir::cleanPath(a) == QDir::cleanPath(b);
}

QStringList linesOf(const QString &text)
{
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineEnd);
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines;
}

QString countCaption(const QStringList &lines, bool sentences)
{
    const auto count = std::count_if(
        lines.cbegin(), lines.cend(), [](const QString &line) { return !line.trimmed().isEmpty(); });
    if (sentences)
        return count == 1 ? QStringLiteral("1 frase") : QStringLiteral("%1 frasi").arg(count);
    return count == 1 ? QStringLiteral("1 parola") : QStringLiteral("%1 parole").arg(count);
}

LinePreview preview(const QString &line, const ListExercise &exercise)
{
    LinePreview shown;
    shown.choices = exercise.spellings();
    if (line.trimmed().isEmpty())
        return shown;
    ListCheck::Record record;
    shown.problem = ListCheck::readRecord(line, exercise.records(), record);
    if (!shown.problem.isEmpty())
        return shown;
    if (exercise.sentences)
        shown.choices = record.choices;
    shown.shown = gapShownApart(record.text, shown.choices);
    return shown;
}

} // namespace ListEditing

void ListDraft::startNew(const QString &topicFolder, const ListExercise &exercise)
{
    m_topicFolder = topicFolder;
    m_exercise = exercise;
    m_name.clear();
    m_text.clear();
    m_source.clear();
    m_school = false;
    markSaved();
}

bool ListDraft::open(const TeacherList &list, QString *error)
{
    const TextFile::ReadResult file = TextFile::read(list.path, kListReadLimit);
    if (!file.ok) {
        if (error)
            *error = QStringLiteral("Non ho potuto aprire la lista %1: %2.")
                         .arg(QDir::toNativeSeparators(list.path), file.error);
        return false;
    }
    m_topicFolder = list.topicFolder;
    m_exercise = ListExercise::of(list);
    m_name = list.name;
    m_text = ListEditing::linesOf(file.text).join(u'\n');
    m_source = list.path;
    m_school = list.school;
    markSaved();
    return true;
}

bool ListDraft::importFile(
    const QString &path, const QString &topicFolder, const ListExercise &exercise, QString *error)
{
    const TextFile::ReadResult file = TextFile::readBytes(path, kListReadLimit);
    QString reason = file.error;
    // What the readers take for text saved as UTF-16 (a NUL in every
    // other byte) is no list: read as text it would be noise.
    if (file.ok && file.bytes.contains('\0'))
        reason = QStringLiteral("non è un file di testo in Windows-1252 o UTF-8 (forse è salvato in "
                                "UTF-16): aprirlo con un editor di testo e salvarlo di nuovo in UTF-8");
    if (!reason.isEmpty()) {
        if (error)
            *error = QStringLiteral("Non ho potuto importare il file %1: %2.")
                         .arg(QDir::toNativeSeparators(path), reason);
        return false;
    }
    startNew(topicFolder, exercise);
    m_name = QFileInfo(path).completeBaseName();
    m_text = ListEditing::linesOf(TextFile::decode(file.bytes)).join(u'\n');
    return true;
}

bool ListDraft::modified() const
{
    // A list not saved yet has nothing to lose until something is typed.
    if (m_source.isEmpty())
        return !lines().isEmpty() || !m_name.isEmpty();
    return lines() != m_savedLines || m_name != m_savedName || m_exercise != m_savedExercise;
}

QList<ListCheck::Problem> ListDraft::problems() const
{
    const QStringList all = lines();
    // An empty list has nothing to check: the word data is read at the first record.
    if (all.isEmpty())
        return {};
    return ListCheck::check(all, m_exercise.records(), m_exercise.spellings());
}

QString ListDraft::target() const
{
    return TeacherLists::userPath(
        m_topicFolder, m_exercise.sentences, m_exercise.first, m_exercise.second, m_name);
}

QString ListDraft::refusal() const
{
    if (const QString why = TeacherLists::whyNotAListName(m_name); !why.isEmpty())
        return why;
    return ListFile::encodeList(lines()).error;
}

bool ListDraft::replacesAnother() const
{
    const QString path = target();
    return pathExists(path) && !(isUsersOwn() && ListEditing::sameFile(path, m_source));
}

bool ListDraft::save(QString *error)
{
    if (const QString why = refusal(); !why.isEmpty()) {
        if (error)
            *error = why;
        return false;
    }
    const QString path = target();
    QString reason;
    if (!makeFoldersFor(path, &reason)
        || !SettingsFolders::writeFile(path, ListFile::encodeList(lines()).bytes, &reason)) {
        if (error)
            *error = QStringLiteral("Non ho potuto salvare la lista %1: %2.")
                         .arg(QDir::toNativeSeparators(path), reason);
        return false;
    }
    // Saved under a new name or exercise, the list has moved: its old file
    // would be a second copy the teacher never asked for.
    if (isUsersOwn() && !ListEditing::sameFile(path, m_source))
        QFile::remove(m_source);
    m_source = path;
    m_school = false;
    markSaved();
    return true;
}

bool ListDraft::remove(QString *error)
{
    if (!isUsersOwn())
        return false;
    if (!QFile::remove(m_source) && pathExists(m_source)) {
        if (error)
            *error = QStringLiteral("Non ho potuto eliminare la lista %1.")
                         .arg(QDir::toNativeSeparators(m_source));
        return false;
    }
    return true;
}

bool ListDraft::exportTo(const QString &path, QString *error) const
{
    QString reason;
    if (ListFile::saveList(path, lines(), &reason))
        return true;
    if (error)
        *error = ListFile::encodeList(lines()).ok() ? QStringLiteral("Non ho potuto salvare il file %1: %2.")
                                                          .arg(QDir::toNativeSeparators(path), reason)
                                                    : reason;
    return false;
}

void ListDraft::markSaved()
{
    m_savedExercise = m_exercise;
    m_savedName = m_name;
    m_savedLines = lines();
}
