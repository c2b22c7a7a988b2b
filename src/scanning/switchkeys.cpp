#include "switchkeys.h"

#include "scancycles.h"
#include "scanlog.h"

#include "state/appstate.h"

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
    return repeat && appState().Settings.scanning();
}

SwitchKeyFilter::SwitchKeyFilter(QWidget *scope, Handler keyDown, Handler keyUp, QObject *parent)
    : QObject(parent)
    , m_scope(scope)
    , m_keyDown(std::move(keyDown))
    , m_keyUp(std::move(keyUp))
{ }

SwitchKeyFilter::~SwitchKeyFilter()
{
    setActive(false);
}

void SwitchKeyFilter::setActive(bool active)
{
    if (active == m_active || !QCoreApplication::instance())
        return;
    m_active = active;
    // Keys already down belong to whatever was on screen before.
    m_pressed.clear();
    if (active)
        QCoreApplication::instance()->installEventFilter(this);
    else
        QCoreApplication::instance()->removeEventFilter(this);
}

int SwitchKeyFilter::keyCode(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
        return Scan::kSwitch1;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Scan::kSwitch2;
    default:
        return Scan::kOtherInput;
    }
}

bool SwitchKeyFilter::inScope(QObject *watched) const
{
    if (!m_scope || !m_scope->isVisible() || !watched->isWidgetType())
        return false;
    // Focus may rest on the window around the form, so the whole window counts.
    return static_cast<QWidget *>(watched)->window() == m_scope->window();
}

bool SwitchKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return false;
    if (!inScope(watched))
        return false;

    auto *key = static_cast<QKeyEvent *>(event);
    // Accepting the override keeps the key away from shortcuts.
    key->accept();
    if (type == QEvent::ShortcutOverride || key->isAutoRepeat())
        return true;
    const int code = keyCode(key);
    if (type == QEvent::KeyPress) {
        if (m_pressed.press(key->key()) && m_keyDown) {
            qCDebug(lcScanning, "key down %d", code);
            m_keyDown(code);
        }
    } else if (m_pressed.release(key->key())) {
        qCDebug(lcScanning, "key up %d", code);
        if (m_keyUp)
            m_keyUp(code);
    } else {
        qCDebug(lcScanning, "key up %d without its press: ignored", code);
    }
    return true;
}
