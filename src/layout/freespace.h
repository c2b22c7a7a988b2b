#pragma once

#include <QList>
#include <QRect>

namespace FreeSpace {

// Within `area`, the free rectangle (one that overlaps none of `taken`) that
// holds the largest box four times as wide as it is high: room for a line
// or two of large text. An empty rectangle when nothing is free.
QRect forText(const QRect &area, const QList<QRect> &taken);

} // namespace FreeSpace
