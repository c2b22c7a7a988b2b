#pragma once

#include <QList>
#include <QString>

// The paper exercise of the loaded list: a heading "INSERISCI" with the two
// spellings in capitals, then the gapped items, five words to a row or one
// sentence to a line, each row followed by an empty line.
namespace Worksheet {

enum class Kind { Words, Sentences };

constexpr int kWordsPerRow = 5;

// From the word store and the spellings of the exercise.
QString build(Kind kind);
// The same sheet with only these rows of the store, in this order.
QString build(Kind kind, const QList<int> &rows);

} // namespace Worksheet
