#include "switchinput.h"

#include "scancycles.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>

#include <array>

namespace {

struct ControllerButton
{
    const char *name; // as SDL's game-controller mapping names it
    const char *italian;
};

// In the order of SDL_GameControllerButton, so the index is the button.
constexpr std::array<ControllerButton, 21> kControllerButtons{{
    {"a", "pulsante A del controller"},
    {"b", "pulsante B del controller"},
    {"x", "pulsante X del controller"},
    {"y", "pulsante Y del controller"},
    {"back", "pulsante Back del controller"},
    {"guide", "pulsante Guide del controller"},
    {"start", "pulsante Start del controller"},
    {"leftstick", "levetta sinistra del controller"},
    {"rightstick", "levetta destra del controller"},
    {"leftshoulder", "dorsale sinistro del controller"},
    {"rightshoulder", "dorsale destro del controller"},
    {"dpup", "freccia su del controller"},
    {"dpdown", "freccia giù del controller"},
    {"dpleft", "freccia sinistra del controller"},
    {"dpright", "freccia destra del controller"},
    {"misc1", "pulsante extra del controller"},
    {"paddle1", "paletta 1 del controller"},
    {"paddle2", "paletta 2 del controller"},
    {"paddle3", "paletta 3 del controller"},
    {"paddle4", "paletta 4 del controller"},
    {"touchpad", "touchpad del controller"},
}};

struct MouseButton
{
    Qt::MouseButton button;
    const char *name;
    const char *italian;
};

constexpr std::array<MouseButton, 3> kMouseButtons{{
    {Qt::LeftButton, "left", "clic sinistro del mouse"},
    {Qt::RightButton, "right", "clic destro del mouse"},
    {Qt::MiddleButton, "middle", "clic centrale del mouse"},
}};

// The keys whose Italian name is not the one on the key cap.
struct KeyName
{
    int key;
    const char *italian;
};

constexpr std::array<KeyName, 20> kKeyNames{{
    {Qt::Key_Space, "spazio"},
    {Qt::Key_Return, "Invio"},
    {Qt::Key_Backspace, "Backspace"},
    {Qt::Key_Shift, "Maiusc"},
    {Qt::Key_Control, "Ctrl"},
    {Qt::Key_Alt, "Alt"},
    {Qt::Key_AltGr, "Alt Gr"},
    {Qt::Key_Meta, "Windows"},
    {Qt::Key_CapsLock, "Bloc Maiusc"},
    {Qt::Key_Up, "freccia su"},
    {Qt::Key_Down, "freccia giù"},
    {Qt::Key_Left, "freccia sinistra"},
    {Qt::Key_Right, "freccia destra"},
    {Qt::Key_Insert, "Ins"},
    {Qt::Key_Delete, "Canc"},
    {Qt::Key_Home, "Home"},
    {Qt::Key_End, "Fine"},
    {Qt::Key_PageUp, "Pagina su"},
    {Qt::Key_PageDown, "Pagina giù"},
    {Qt::Key_Menu, "Menu"},
}};

// The keypad's Enter is the Enter key to a pupil.
int sameKey(int key)
{
    return key == Qt::Key_Enter ? int(Qt::Key_Return) : key;
}

bool canBeSwitch(int key)
{
    return key != 0 && key != Qt::Key_Escape && key != Qt::Key_unknown;
}

} // namespace

SwitchInput SwitchInput::key(int qtKey)
{
    return {Kind::Key, sameKey(qtKey)};
}

SwitchInput SwitchInput::mouse(int qtButton)
{
    return {Kind::Mouse, qtButton};
}

std::optional<SwitchInput> SwitchInput::controller(const QString &button)
{
    for (int i = 0; i < int(kControllerButtons.size()); ++i) {
        if (button == QLatin1String(kControllerButtons[i].name))
            return SwitchInput(Kind::Controller, i);
    }
    return std::nullopt;
}

SwitchInput SwitchInput::controller(int button)
{
    return {Kind::Controller, button};
}

std::optional<SwitchInput> SwitchInput::fromText(const QString &text)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return std::nullopt;
    const QString kind = text.left(colon);
    const QString value = text.mid(colon + 1);
    if (kind == QLatin1String("key")) {
        const QKeySequence sequence = QKeySequence::fromString(value, QKeySequence::PortableText);
        if (sequence.count() != 1)
            return std::nullopt;
        const int key = sequence[0].key();
        // A key with modifiers is not one switch.
        if (sequence[0].keyboardModifiers() != Qt::NoModifier || !canBeSwitch(key))
            return std::nullopt;
        return SwitchInput::key(key);
    }
    if (kind == QLatin1String("mouse")) {
        for (const MouseButton &button : kMouseButtons) {
            if (value == QLatin1String(button.name))
                return SwitchInput::mouse(button.button);
        }
        return std::nullopt;
    }
    if (kind == QLatin1String("controller"))
        return controller(value);
    return std::nullopt;
}

QString SwitchInput::toText() const
{
    switch (m_kind) {
    case Kind::Key:
        return QStringLiteral("key:") + QKeySequence(m_code).toString(QKeySequence::PortableText);
    case Kind::Mouse:
        for (const MouseButton &button : kMouseButtons) {
            if (int(button.button) == m_code)
                return QStringLiteral("mouse:") + QLatin1String(button.name);
        }
        break;
    case Kind::Controller:
        if (m_code >= 0 && m_code < int(kControllerButtons.size()))
            return QStringLiteral("controller:") + QLatin1String(kControllerButtons[m_code].name);
        break;
    }
    return {};
}

QString SwitchInput::italianName() const
{
    switch (m_kind) {
    case Kind::Key:
        for (const KeyName &name : kKeyNames) {
            if (name.key == m_code)
                return QStringLiteral("tasto ") + QString::fromUtf8(name.italian);
        }
        return QStringLiteral("tasto ") + QKeySequence(m_code).toString(QKeySequence::PortableText);
    case Kind::Mouse:
        for (const MouseButton &button : kMouseButtons) {
            if (int(button.button) == m_code)
                return QString::fromUtf8(button.italian);
        }
        break;
    case Kind::Controller:
        if (m_code >= 0 && m_code < int(kControllerButtons.size()))
            return QString::fromUtf8(kControllerButtons[m_code].italian);
        break;
    }
    return {};
}

std::optional<SwitchInput> SwitchInput::fromEvent(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const int key = static_cast<const QKeyEvent *>(event)->key();
        if (!canBeSwitch(key))
            return std::nullopt;
        return SwitchInput::key(key);
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        const Qt::MouseButton button = static_cast<const QMouseEvent *>(event)->button();
        for (const MouseButton &known : kMouseButtons) {
            if (known.button == button)
                return SwitchInput::mouse(button);
        }
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

int SwitchInput::id() const
{
    // Qt keys stay below 0x02000000; mouse buttons and controller buttons
    // take numbers no key has.
    switch (m_kind) {
    case Kind::Key:
        return m_code;
    case Kind::Mouse:
        return -m_code;
    case Kind::Controller:
        return kControllerIds - m_code;
    }
    return 0;
}

SwitchMap::SwitchMap(const QString &switch1Text, const QString &switch2Text)
{
    const SwitchMap defaults;
    m_first = SwitchInput::fromText(switch1Text).value_or(defaults.m_first);
    m_second = SwitchInput::fromText(switch2Text).value_or(defaults.m_second);
    if (m_second == m_first)
        m_second = m_first == defaults.m_second ? defaults.m_first : defaults.m_second;
}

int SwitchMap::switchOf(const SwitchInput &input) const
{
    if (input == m_first)
        return Scan::kSwitch1;
    if (input == m_second)
        return Scan::kSwitch2;
    return Scan::kOtherInput;
}

bool SwitchMap::usesMouse() const
{
    return m_first.kind() == SwitchInput::Kind::Mouse || m_second.kind() == SwitchInput::Kind::Mouse;
}

bool SwitchMap::usesController() const
{
    return m_first.kind() == SwitchInput::Kind::Controller
        || m_second.kind() == SwitchInput::Kind::Controller;
}
