#pragma once

#include "teacherlists.h"

#include "exercises/listcheck.h"

#include <QList>
#include <QString>
#include <QStringList>

// What a teacher's list drills: a pair of spellings of its topic, shown on
// the two buttons of the word exercise, or sentences, each with its own two.
struct ListExercise
{
    bool sentences = false;
    QString first; // empty for sentences
    QString second;

    static ListExercise pair(const QString &first, const QString &second) { return {false, first, second}; }
    static ListExercise ofSentences() { return {true, {}, {}}; }
    static ListExercise of(const TeacherList &list) { return {list.sentences, list.first, list.second}; }

    // The spellings the checks hold the answers to; none for sentences.
    QStringList spellings() const;
    // "s / ss", or "frasi".
    QString caption() const;
    ListCheck::Records records() const;

    bool operator==(const ListExercise &other) const;
    bool operator!=(const ListExercise &other) const { return !(*this == other); }
};

// A topic as the teacher's lists are filed under it.
struct ListTopic
{
    QString folder; // as the shipped lists' folder: "doppie"
    QString caption; // the main menu's, without its padding: "Doppie"
    QString marker; // TopicMarker while its exercises are played
    QList<ListExercise> exercises; // its pairs, in the order of its buttons, then sentences
};

namespace ListEditing {

// The eight topics, in the order of the main menu.
const QList<ListTopic> &topics();
// The index of the topic with that folder, or -1.
int topicIndex(const QString &folder);

// Whether two paths name the same list file, however they were put together.
bool sameFile(const QString &a, const QString &b);

// The lines of the text a teacher typed or a file held, whatever their line
// ends; blank lines at the end are no records and are dropped.
QStringList linesOf(const QString &text);

// "12 parole", "1 frase": the lines that are not blank.
QString countCaption(const QStringList &lines, bool sentences);

// One line of a list as the child will see it.
struct LinePreview
{
    QString shown; // the gapped text as the exercise shows it; empty for a blank or faulty line
    QStringList choices; // the two buttons' captions
    QString problem; // why the line is no record, in Italian; empty when it is one or blank
};
LinePreview preview(const QString &line, const ListExercise &exercise);

} // namespace ListEditing

// The list a teacher writes: its topic, exercise, name and text, where it
// was read from, and whether it changed since. Saving writes the user's own
// file only: a school list is read, never written, and saved as a copy.
class ListDraft
{
public:
    // A new, empty list, not saved yet.
    void startNew(const QString &topicFolder, const ListExercise &exercise);
    // Reads a saved list; false, with the reason in Italian, when it cannot be read.
    bool open(const TeacherList &list, QString *error = nullptr);
    // The records of a text file as a new list, named after the file and
    // not saved yet; false, with the reason, when the file cannot be read.
    bool importFile(const QString &path, const QString &topicFolder, const ListExercise &exercise,
        QString *error = nullptr);

    const QString &topicFolder() const { return m_topicFolder; }
    const ListExercise &exercise() const { return m_exercise; }
    void setExercise(const ListExercise &exercise) { m_exercise = exercise; }
    const QString &name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    const QString &text() const { return m_text; }
    void setText(const QString &text) { m_text = text; }
    QStringList lines() const { return ListEditing::linesOf(m_text); }

    // The file the list was read from or last saved to; empty for a new or imported list.
    const QString &source() const { return m_source; }
    bool fromSchool() const { return m_school; }
    // The user's own saved list, which can be removed.
    bool isUsersOwn() const { return !m_source.isEmpty() && !m_school; }
    // The records, the name or the exercise differ from the file's; a list not
    // saved yet, once a name or a record is typed.
    bool modified() const;

    QList<ListCheck::Problem> problems() const;

    // Where saving writes: the user's folder, by topic, exercise and name.
    QString target() const;
    // Why saving would write nothing, in Italian: the name cannot be a
    // list's, or a character cannot be stored. Empty when it can be saved.
    QString refusal() const;
    // Saving would replace another list: the target is there and is not
    // the file this list was read from.
    bool replacesAnother() const;
    // Writes the list to target() at once or not at all, making the
    // folders it needs; a list with problems is saved all the same. A list
    // of the user's saved under a new name or exercise leaves its old file.
    // False, with the reason in Italian, when nothing was written.
    bool save(QString *error = nullptr);
    // Removes the user's own file; a school list is never removed.
    bool remove(QString *error = nullptr);
    // The list in the format of the saved ones, wherever the teacher chose.
    bool exportTo(const QString &path, QString *error = nullptr) const;

private:
    void markSaved();

    QString m_topicFolder;
    ListExercise m_exercise;
    QString m_name;
    QString m_text;
    QString m_source;
    bool m_school = false;
    // As the file holds them.
    ListExercise m_savedExercise;
    QString m_savedName;
    QStringList m_savedLines;
};
