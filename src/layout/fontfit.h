#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

class QFont;
class QPushButton;

// Sizing the captions of a menu's buttons: one point size for all of them,
// the largest at which the longest caption, with four blanks each side, still
// stays narrower than a button and lower than four fifths of it.
namespace FontFit {

// The longest caption; of two equally long ones, the first.
QString longestCaption(const QStringList &captions);

// The caption as it is measured: four blanks, the caption, four blanks.
QString padded(const QString &caption);

// Width and height of a one-line label showing `text` in the font.
QSize labelSize(const QString &text, const QString &family, int points);

// Counting up from `startPoints`, the first size at which the padded longest
// caption reaches the button's width or four fifths of its height. A button
// of no size keeps the start size.
int fittingPointSize(
    const QStringList &captions, const QString &family, const QSize &button, int startPoints = 12);

// The room a push button leaves its caption: the button less its frame.
QSize captionRoom(const QPushButton *button);

// Counting down from the font's own size to `leastPoints`, the first size
// at which every caption fits within `room`.
int shrunkPointSize(const QStringList &captions, const QFont &font, const QSize &room, int leastPoints);

} // namespace FontFit
