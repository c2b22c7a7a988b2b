#include "switchkeys.h"

#include "controllersource.h"
#include "scancycles.h"

#include "state/appstate.h"
#include "state/logcategories.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>

#ifdef VELMORA_HAVE_XCB_XKB
#include <QtGui/qguiapplication_platform.h>
// The XKB header names a field "explicit".
#define explicit xcb_explicit
#include <xcb/xkb.h>
#undef explicit
#endif

#include <cstdlib>

namespace {

bool s_detectableAutoRepeat = false;

bool askForDetectableAutoRepeat()
{
#ifdef VELMORA_HAVE_XCB_XKB
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return false;
    xcb_connection_t *connection = x11->connection();
    const uint32_t flag = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
    xcb_xkb_per_client_flags_reply_t *reply = xcb_xkb_per_client_flags_reply(connection,
        xcb_xkb_per_client_flags(connection, XCB_XKB_ID_USE_CORE_KBD, flag, flag, 0, 0, 0), nullptr);
    const bool granted = reply && (reply->supported & flag) && (reply->value & flag);
    std::free(reply);
    return granted;
#else
    return false;
#endif
}

} // namespace

bool KeyPresses::press(int key)
{
    if (m_down.contains(key))
        return false;
    m_down.insert(key);
    return true;
}

void KeyPresses::clearControllers()
{
    m_down.removeIf([](int id) { return SwitchInput::isControllerId(id); });
}

bool KeyPresses::release(int key)
{
    return m_down.remove(key);
}

KeyRepeatGuard::KeyRepeatGuard(QObject *parent)
    : QObject(parent)
{
    // A key released while another program had the keyboard sends us no
    // release: it must not stay down for good and swallow the next press.
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive)
            m_down.clear();
    });
}

void KeyRepeatGuard::install()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!qGuiApp || app->findChild<KeyRepeatGuard *>(QString(), Qt::FindDirectChildrenOnly))
        return;
    app->installEventFilter(new KeyRepeatGuard(app));
    s_detectableAutoRepeat = askForDetectableAutoRepeat();
    if (QGuiApplication::platformName() == QLatin1String("xcb") && !s_detectableAutoRepeat)
        qCWarning(
            lcScanning, "The X server does not report held keys: a held switch may act more than once.");
}

bool KeyRepeatGuard::detectableAutoRepeat()
{
    return s_detectableAutoRepeat;
}

bool KeyRepeatGuard::eventFilter(QObject *watched, QEvent *event)
{
    // Every key event from the window system goes to a window before any
    // widget, so here each one is seen exactly once.
    if (!watched->isWindowType()
        || (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease))
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (event->type() == QEvent::KeyRelease) {
        if (!key->isAutoRepeat())
            m_down.release(key->key());
        return false;
    }
    const bool repeat = !m_down.press(key->key()) || key->isAutoRepeat();
    return repeat && isScanning(appState().Settings.inputMode());
}

SwitchInputFilter::SwitchInputFilter(QWidget *scope, Handler pressed, Handler released, QObject *parent)
    : QObject(parent)
    , m_scope(scope)
    , m_pressed(std::move(pressed))
    , m_released(std::move(released))
{ }

SwitchInputFilter::~SwitchInputFilter()
{
    setActive(false);
}

void SwitchInputFilter::setActive(bool active)
{
    if (active == m_active || !QCoreApplication::instance())
        return;
    m_active = active;
    // Inputs already down belong to whatever was on screen before.
    m_down.clear();
    for (const QMetaObject::Connection &connection : std::as_const(m_controller))
        disconnect(connection);
    m_controller.clear();
    if (!active) {
        QCoreApplication::instance()->removeEventFilter(this);
        return;
    }
    const ProfileSettings &settings = appState().Settings;
    m_switches = SwitchMap(settings.Switch1Input, settings.Switch2Input);
    QCoreApplication::instance()->installEventFilter(this);
    if (m_switches.usesController()) {
        ControllerSource &source = Controllers::source();
        source.start();
        m_controller << connect(&source, &ControllerSource::buttonPressed, this,
            [this](int button) { controllerButton(button, true); });
        m_controller << connect(&source, &ControllerSource::buttonReleased, this,
            [this](int button) { controllerButton(button, false); });
        m_controller << connect(&source, &ControllerSource::controllerRemoved, this, [this] {
            // Its buttons that were down will send no release.
            m_down.clearControllers();
            if (m_scope && m_scope->isVisible())
                Q_EMIT controllerUnplugged();
        });
    }
}

bool SwitchInputFilter::inScope(QObject *watched) const
{
    if (!m_scope || !m_scope->isVisible() || !watched->isWidgetType())
        return false;
    // Focus may rest on the window around the form, so the whole window counts.
    return static_cast<QWidget *>(watched)->window() == m_scope->window();
}

void SwitchInputFilter::input(int id, int which, bool pressed)
{
    if (pressed) {
        if (m_down.press(id)) {
            qCDebug(lcScanning, "key down %d", which);
            if (m_pressed)
                m_pressed(which);
        }
    } else if (m_down.release(id)) {
        qCDebug(lcScanning, "key up %d", which);
        if (m_released)
            m_released(which);
    } else {
        qCDebug(lcScanning, "key up %d without its press: ignored", which);
    }
}

bool SwitchInputFilter::mouseEvent(QEvent *event)
{
    const std::optional<SwitchInput> button = SwitchInput::fromEvent(event);
    if (!button)
        return false;
    const int which = m_switches.switchOf(*button);
    // A button that is no switch clicks as it always does.
    if (which == Scan::kOtherInput)
        return false;
    // The second press of a double click may come as a double click alone,
    // or after a press of its own, which the table of inputs down drops.
    input(button->id(), which, event->type() != QEvent::MouseButtonRelease);
    return true;
}

void SwitchInputFilter::controllerButton(int button, bool pressed)
{
    // The controller reaches no window of its own: it works the scan on
    // screen, unless a message box or a menu stands over it.
    if (!m_scope || !m_scope->isVisible())
        return;
    QWidget *modal = QApplication::activeModalWidget();
    QWidget *popup = QApplication::activePopupWidget();
    if ((modal && modal != m_scope->window()) || popup)
        return;
    const SwitchInput controller = SwitchInput::controller(button);
    input(controller.id(), m_switches.switchOf(controller), pressed);
}

bool SwitchInputFilter::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease
        || type == QEvent::MouseButtonDblClick)
        return m_switches.usesMouse() && inScope(watched) && mouseEvent(event);
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return false;
    if (!inScope(watched))
        return false;

    auto *key = static_cast<QKeyEvent *>(event);
    const std::optional<SwitchInput> pressedKey = SwitchInput::fromEvent(event);
    const int which = pressedKey ? m_switches.switchOf(*pressedKey) : Scan::kOtherInput;
    if (which == Scan::kOtherInput && m_otherKeysPass)
        return false;
    // Accepting the override keeps the key away from shortcuts.
    key->accept();
    if (type == QEvent::ShortcutOverride || key->isAutoRepeat())
        return true;
    input(pressedKey ? pressedKey->id() : key->key(), which, type == QEvent::KeyPress);
    return true;
}

#include "moc_switchkeys.cpp"
