#pragma once

#include <QtGlobal>

// How the pupil works the program. The profile keeps the number of the mode
// on its InputMode line.
enum class InputMode : qint16 {
    Mouse = 0, // the mouse or the keyboard
    Manual = 1, // switch 1 moves the highlight, switch 2 selects
    Automatic = 2, // the highlight moves by itself, switch 1 selects
};

// Whether the pupil works by switches, the highlight scanning the buttons:
// the one place that answers it.
constexpr bool isScanning(InputMode mode)
{
    return mode == InputMode::Manual || mode == InputMode::Automatic;
}
