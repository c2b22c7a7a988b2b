#pragma once

#include <QString>

#include <optional>

class QEvent;

// One input a pupil can use as a switch: a keyboard key, a mouse button or
// a game-controller button. A profile keeps it as text: "key:Space",
// "key:F7", "mouse:right", "controller:a".
class SwitchInput
{
public:
    enum class Kind { Key, Mouse, Controller };

    // The space bar.
    SwitchInput() = default;
    static SwitchInput key(int qtKey);
    // Qt::LeftButton, Qt::RightButton or Qt::MiddleButton.
    static SwitchInput mouse(int qtButton);
    // A button by its name in the SDL game-controller mapping ("a", "start").
    static std::optional<SwitchInput> controller(const QString &button);
    // A button by its index in that mapping (SDL_GameControllerButton).
    static SwitchInput controller(int button);

    // Nothing when the text names no input the program can read; Escape is
    // never a switch, since it always cancels.
    static std::optional<SwitchInput> fromText(const QString &text);
    QString toText() const;
    // What the configuration window calls it: "tasto F7", "clic destro del mouse".
    QString italianName() const;

    // The switch input that a key, mouse button or controller event comes
    // from; nothing for any other event, or a button or key that cannot be one.
    static std::optional<SwitchInput> fromEvent(const QEvent *event);

    Kind kind() const { return m_kind; }
    // The Qt key, the Qt mouse button or the controller button's index.
    int code() const { return m_code; }
    // One number for each input, for tables of inputs that are down.
    int id() const;
    static bool isControllerId(int id) { return id <= kControllerIds; }

    bool operator==(const SwitchInput &other) const
    {
        return m_kind == other.m_kind && m_code == other.m_code;
    }
    bool operator!=(const SwitchInput &other) const { return !(*this == other); }

private:
    SwitchInput(Kind kind, int code)
        : m_kind(kind)
        , m_code(code)
    { }

    static constexpr int kControllerIds = -0x10000;

    Kind m_kind = Kind::Key;
    int m_code = 0x20; // Qt::Key_Space
};

// The pupil's two switches as the profile holds them. A text that names no
// input gives that switch its default (space, Enter); two switches on one
// input leave the second on its default, or on the first's default when
// the first holds it.
class SwitchMap
{
public:
    SwitchMap() = default;
    SwitchMap(const QString &switch1Text, const QString &switch2Text);

    SwitchInput first() const { return m_first; }
    SwitchInput second() const { return m_second; }
    // Scan::kSwitch1, Scan::kSwitch2 or Scan::kOtherInput.
    int switchOf(const SwitchInput &input) const;
    bool usesMouse() const;
    bool usesController() const;

private:
    SwitchInput m_first = SwitchInput::key(0x20);
    SwitchInput m_second = SwitchInput::key(0x01000004); // Qt::Key_Return
};
