#pragma once

#include <QString>

// The record of the work done in this run: the captions of the menu buttons
// pressed, the items shown, and one " * " per wrong answer on an item. It
// holds at most 1000 rows; later rows are not recorded, and the first of
// them leaves fullNote() as a heading after the last row instead.
namespace ActivityRecord {

QString fullNote();

// The row written, or 0 when the record is full.
int addCaption(const QString &caption);
int addItem(const QString &item);

// One more " * " on the item of row; nothing for row 0.
void markWrongAnswer(int row);

void clear();

// Whether an item was shown or marked since the record was last saved (or
// emptied): menu captions alone are not the pupil's work.
bool hasUnsavedItems();
// The record as it stands has been saved.
void markSaved();

} // namespace ActivityRecord

// Adds one to a count that stops at its largest value instead of wrapping.
void incrementCount(qint16 &count);
