#pragma once

#include <QList>
#include <QString>

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
// 12000 rows are read.
LoadReport CaricaParole();

// Reads the sentence records ("text[first-second]answer") of WordListPath into
// columns 1 to 4 and sets WordCount.
LoadReport CaricaFrasi();

// Column 1 of the row with its first "_" replaced by column 2; every further
// "_" is dropped.
QString ParolaCompleta(int row);
QString completeWord(const QString &gapped, const QString &answer);

// Sets CurrentWordIndex to a random row from 1 to WordCount.
void ScegliParolaCasuale();
