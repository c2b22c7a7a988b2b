#pragma once

#include <QRect>
#include <QSize>

// Windows are designed in twips, 1440 to the inch: 15 to a pixel at 96 DPI.
namespace Twips {

double perPixel();
int toPixels(int twips);
QRect toPixels(const QRect &twips);
QSize toPixels(const QSize &twips);

} // namespace Twips
