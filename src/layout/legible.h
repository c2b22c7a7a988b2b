#pragma once

#include <QColor>

// A profile may hold any size or colour (typed by hand, or damaged). These
// bring a value into what keeps the screen usable at the place it is applied;
// the profile itself keeps what it holds.
namespace Legible {

constexpr int kMinTextPoints = 8;
constexpr int kMaxTextPoints = 200;

// A text size in points, kept within kMinTextPoints to kMaxTextPoints.
int textPoints(int points);

// The text colour as chosen, unless it is too close to its background to be
// read: then black or white, whichever stands out more.
QColor textColour(const QColor &text, const QColor &background);

} // namespace Legible
