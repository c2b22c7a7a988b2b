#include "colours.h"

#include "layout/legible.h"
#include "state/appstate.h"
#include "state/random.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

#include <cmath>

namespace {

// The system colours the profile can name, by index.
QColor systemColour(int index)
{
    const QPalette palette = QApplication::palette();
    switch (index) {
    case 5: // window
        return palette.color(QPalette::Base);
    case 8: // window text
    case 18: // button text
        return palette.color(QPalette::WindowText);
    case 13: // highlight
        return palette.color(QPalette::Highlight);
    case 14: // highlighted text
        return palette.color(QPalette::HighlightedText);
    case 15: // button face
    default:
        return palette.color(QPalette::Button);
    }
}

} // namespace

namespace Colours {

QColor fromNumber(double number)
{
    const auto value = static_cast<qint64>(std::llround(number));
    const auto bits = static_cast<quint32>(value);
    if (bits & 0x80000000u)
        return systemColour(int(bits & 0xFFu));
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

double toNumber(const QColor &colour)
{
    return double(colour.red() | (colour.green() << 8) | (colour.blue() << 16));
}

const std::array<double, 18> &palette()
{
    static const std::array<double, 18> colours = {
        12632319,
        8421631,
        255,
        8438015,
        33023,
        12648447,
        65535,
        16576,
        8454016,
        49152,
        16777152,
        16776960,
        16761024,
        16761087,
        16761087,
        14737632,
        16711680,
        16711935,
    };
    return colours;
}

} // namespace Colours

void setButtonColour(QWidget *button, double colourNumber)
{
    QPalette palette = button->palette();
    const QColor face = Colours::fromNumber(colourNumber);
    palette.setColor(QPalette::Button, face);
    const QColor text = Legible::textColour(QApplication::palette().color(QPalette::ButtonText), face);
    palette.setColor(QPalette::ButtonText, text);
    // A button that no longer answers says so in a fainter caption.
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, Legible::mutedTextColour(text, face));
    button->setPalette(palette);
}

Qt::CursorShape buttonPointer()
{
    const ProfileSettings &settings = appState().Settings;
    return isScanning(settings.inputMode()) || settings.UseSystemCursor ? Qt::ArrowCursor
                                                                        : Qt::PointingHandCursor;
}

double randomPaletteColour()
{
    return Colours::palette()[std::size_t(Random::pickOneBased(18) - 1)];
}

QColor windowBackgroundColour()
{
    const ProfileSettings &settings = appState().Settings;
    return Colours::fromNumber(settings.RandomBackground ? randomPaletteColour() : settings.BackgroundColour);
}
