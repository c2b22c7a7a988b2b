#pragma once

#include <QDateTime>
#include <QString>

class QWidget;

// The record of the exercises done is kept in memory only; these save it
// when the program ends, so that a pupil's work outlives the run.

// folder + "Esercizi eseguiti YYYY-MM-DD HH.MM.rtf", or the same with " (2)",
// " (3)", … before the extension: the first name that nothing in the folder
// has, not even a link leading nowhere, so no earlier file is replaced.
// Empty when every name tried is taken.
QString freeRecordPath(const QString &folder, const QDateTime &when);

struct RecordSave
{
    enum class Outcome { NothingToSave, Saved, Failed };
    Outcome outcome = Outcome::NothingToSave;
    QString path; // the file written
    QString error; // in Italian: the folder and the reason
};

// When the profile keeps the record and an item was shown or marked since
// the last save, writes the record as the record window would save it into
// the user's data folder under a free name.
RecordSave saveUnsavedRecord(const QDateTime &when);

// saveUnsavedRecord now, as the program ends or the pupil changes; a failure
// is written to stderr and, with an owner, also told in a message box that
// is answered before this returns.
void saveUnsavedRecordOrTell(QWidget *owner);
