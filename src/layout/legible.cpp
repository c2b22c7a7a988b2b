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

// Below this the text all but vanishes; a deliberate low-contrast choice,
// such as red on pink, stays above it.
constexpr double kLeastContrast = 1.5;

// In whole steps of 255, as the screen shows it, so its contrast is the one seen.
QColor mixed(const QColor &from, const QColor &to, double share)
{
    const auto channel = [share](int a, int b) { return int(std::lround(a + (b - a) * share)); };
    return QColor(
        channel(from.red(), to.red()), channel(from.green(), to.green()), channel(from.blue(), to.blue()));
}

} // namespace

namespace Legible {

int textPoints(int points)
{
    return qBound(kMinTextPoints, points, kMaxTextPoints);
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

QColor textColour(const QColor &text, const QColor &background)
{
    if (contrast(text, background) >= kLeastContrast)
        return text;
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrast(black, background) >= contrast(white, background) ? black : white;
}

QColor mutedTextColour(const QColor &text, const QColor &background)
{
    // Black or white stands out at least 4.58 times from any background, so
    // the ink always has room to fade by a third of its contrast or more.
    constexpr double kInkContrast = kMutedContrast * 1.5;
    QColor ink = text;
    if (contrast(ink, background) < kInkContrast) {
        const QColor black(Qt::black);
        const QColor white(Qt::white);
        ink = contrast(black, background) >= contrast(white, background) ? black : white;
    }
    // Halfway to the background on the contrast scale, no lower than readable.
    const double wanted = qMax(kMutedContrast, std::sqrt(contrast(ink, background)));
    double low = 0.0; // shares of background that keep the wanted contrast
    double high = 1.0;
    for (int step = 0; step < 20; ++step) {
        const double share = (low + high) / 2;
        (contrast(mixed(ink, background, share), background) >= wanted ? low : high) = share;
    }
    return mixed(ink, background, low);
}

} // namespace Legible
