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

// Contrast ratio of two colours, from 1 (the same) to 21 (black on white).
double contrast(const QColor &a, const QColor &b);

// Least contrast of a muted caption: faded, but still read by a child.
constexpr double kMutedContrast = 3.0;

// The caption of a control that no longer answers: the text colour faded
// towards its background, clearly less bright than the text but never below
// kMutedContrast. A text already too faint to fade is replaced by black or
// white faded the same way.
QColor mutedTextColour(const QColor &text, const QColor &background);

} // namespace Legible
