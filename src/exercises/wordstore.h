#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What went wrong while reading a word list, for the teacher.
struct LoadProblem
{
    int line = 0; // 0: the file as a whole
    QString message;
};

struct LoadReport
{
    QString path;
    bool sentences = false; // a sentence list rather than a word list
    int recordsRead = 0;
    QList<LoadProblem> problems;

    bool ok() const { return problems.isEmpty(); }
    // One Italian message naming the file and, line by line, what is wrong;
    // empty when nothing is.
    QString text() const;
};

// Reads the word records (gapped word, answer) of the file named by
// WordListPath into columns 1 and 2 of the word store and sets WordCount.
// Well-formed records are kept whatever else the file holds; never more than
// 12000 rows are read. A record whose answer is none of the spellings the
// exercise offers (letter case aside) could never be answered right: it is
// reported and left out. With no spellings given, every answer is kept.
// In every list, a record longer than 200 characters or holding a control
// character (anything below a blank but the tab) is reported and left out,
// and a file saved in UTF-16 is reported and not read.
LoadReport loadWords(const QStringList &offered = {});

// One file of a review: its path under the program folder (or a full path,
// for a teacher's own list), and the pair of spellings every word of it is
// played with.
struct ReviewFile
{
    QString file;
    QString first;
    QString second;
};

struct ReviewReport
{
    int rows = 0;
    QStringList missing; // files that could not be read, skipped
    QList<LoadReport> damaged; // files read with faulty records
    bool full = false; // words beyond the store's last row were left out

    bool ok() const { return missing.isEmpty() && damaged.isEmpty() && !full; }
    // One Italian message for the teacher; empty when all went well.
    QString text() const;
};

// Fills the word store with every word of the files in turn, each row with
// its file's pair in columns 3 and 4, and leaves WordListPath on the last
// file. A file that cannot be read is skipped, and so is a word whose answer
// is not one of its file's pair.
ReviewReport loadReview(const QList<ReviewFile> &files);

// Reads the sentence records ("text[first-second]answer") of WordListPath into
// columns 1 to 4 and sets WordCount.
LoadReport loadSentences();

// The two readers on a file's bytes already in memory, as if read from
// WordListPath: the entry points of the fuzzing harnesses.
namespace WordLists {
LoadReport wordsFromBytes(const QByteArray &bytes, const QStringList &offered);
LoadReport sentencesFromBytes(const QByteArray &bytes);

// Why the readers leave out a record that reads well, in Italian: longer
// than a pupil's window shows, or holding a control character. Empty when
// they keep it.
QString unusableRecord(const QString &record);

// Whether a button showing one of the spellings answers it, compared as the
// exercise windows compare an answer.
bool offers(const QStringList &spellings, const QString &answer);
} // namespace WordLists

// Column 1 of the row with its first "_" replaced by column 2; every further
// "_" is dropped.
QString completedItem(int row);
QString completeWord(const QString &gapped, const QString &answer);

// The gapped item as the pupil sees it. Lists write a gap against the next
// word when the answer ends in an apostrophe ("_albero" for l'albero) and
// apart otherwise ("_ casa" for la casa); shown as written, the blank would
// give the answer away. When a spelling on offer ends in an apostrophe, every
// gap is shown with a blank after it.
QString gapShownApart(const QString &gapped, const QStringList &spellings);

// The list as the answers' history names it: a shipped list by its file
// name, as the history has always kept it; a teacher's list by its place
// below its "liste" folder ("liste/doppie/b-bb/b.txt"), so that it never
// shares the history of a shipped list of the same file name.
QString historyListName(const QString &path);

// Sets CurrentWordIndex to a random row from 1 to WordCount.
void pickRandomItem();
