#pragma once

#include <QColor>

#include <array>

// Colour numbers are 0x00BBGGRR, red in the low byte, held as doubles as the
// profile stores them. A number with the top bit set (0x80000000 + index)
// names a system colour, such as 0x8000000F for the button face.
namespace Colours {

QColor fromNumber(double number);
double toNumber(const QColor &colour);

// The eighteen background colours; pink stands twice, so it comes twice as often.
const std::array<double, 18> &palette();

} // namespace Colours

class QWidget;

// Paints a button in the colour a profile names; disabled, its caption is muted.
void setButtonColour(QWidget *button, double colourNumber);

// The pointer over the buttons: the program's own, unless the pupil scans
// or the profile asks for the system's.
Qt::CursorShape buttonPointer();

// One palette colour drawn at random, as a colour number.
double randomPaletteColour();

// The background of a window being shown: a random palette colour when the
// profile asks for one, else the fixed background colour.
QColor windowBackgroundColour();
