#pragma once

#include "catalogue.h"

#include <QList>
#include <QString>
#include <QStringList>

// The teacher's own word lists, kept apart from the lists the program ships
// so that no update of the program touches them: the user's below the
// settings folder, in "liste", and the school's (read, never written) in
// the first folder of $XDG_DATA_DIRS, in "velmora/liste", which may be a
// shared network folder. A list is a file in the format of the shipped
// ones, filed by its topic and by what it drills:
//   liste/<topic folder>/<first>-<second>/<name>.txt   word records
//   liste/<topic folder>/frasi/<name>.txt               sentence records
struct TeacherList
{
    QString path;
    QString topicFolder; // as the shipped lists' folders: "doppie", "cq", ...
    QString name; // as the menu shows it: the file name without ".txt"
    bool sentences = false;
    // The two spellings a word list offers; empty for sentences.
    QString first;
    QString second;
    bool school = false; // from the school's folder: read only
};

namespace TeacherLists {

QString userFolder();
QString schoolFolder();

// The lists of a topic, the user's first, each group by name (in the
// user's language, letter case aside). Only regular "*.txt" files in a pair's
// folder or in "frasi" count; a folder that is missing or cannot be read
// has none, and a file whose name is not UTF-8 is left out.
QList<TeacherList> forTopic(const QString &topicFolder);

// Where the user's list goes; its folders are made when it is saved.
QString userPath(const QString &topicFolder, bool sentences, const QString &first, const QString &second,
    const QString &name);

// Why the name cannot be a list's (a file name on this system and on
// Windows, at most 64 characters), in Italian; empty when it can.
QString whyNotAListName(const QString &name);

// The files of the menu's review and, each with its own pair, the teacher's
// word lists of its topic; nothing for a menu without a review.
QList<ReviewFile> review(const Catalogue::TopicMenu &menu);

} // namespace TeacherLists
