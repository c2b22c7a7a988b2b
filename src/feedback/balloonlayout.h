#pragma once

#include <QList>
#include <QRect>
#include <QStringList>

class QFontMetrics;

// Where the speech balloon goes and what it holds: plain geometry and
// text, kept apart from the widgets so that they can be tested alone.
namespace BalloonLayout {

// The words of `text` in lines no wider than `width` pixels; a word wider
// than a line is cut across lines, so nothing is lost.
QStringList wrap(const QString &text, const QFontMetrics &metrics, int width);

// The `count` lines of `lines` around the place `progress` (0 to 1) has
// reached, for a balloon that follows the speech; all of them when they fit.
QStringList window(const QStringList &lines, int count, double progress);

// The free place of `size` nearest to the top of `character` inside `area`
// that overlaps no obstacle; a null rectangle when there is none.
QRect place(QSize size, const QRect &character, const QList<QRect> &obstacles, const QRect &area);

} // namespace BalloonLayout
