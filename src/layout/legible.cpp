#include "legible.h"

#include <QtGlobal>

#include <cmath>

namespace {

// Relative luminance as the usual contrast measure defines it.
double luminance(const QColor &colour)
{
    const auto channel = [](double value) {
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF())
        + 0.0722 * channel(colour.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

// Below this the text all but vanishes; a deliberate low-contrast choice,
// such as red on pink, stays above it.
constexpr double kLeastContrast = 1.5;

} // namespace

namespace Legible {

int textPoints(int points)
{
    return qBound(kMinTextPoints, points, kMaxTextPoints);
}

QColor textColour(const QColor &text, const QColor &background)
{
    if (contrast(text, background) >= kLeastContrast)
        return text;
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrast(black, background) >= contrast(white, background) ? black : white;
}

} // namespace Legible
