#include "switchkeys.h"

#include "scancycles.h"

#include <QCoreApplication>
#include <QKeyEvent>

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
    if (active)
        QCoreApplication::instance()->installEventFilter(this);
    else
        QCoreApplication::instance()->removeEventFilter(this);
}

int SwitchKeyFilter::keyCode(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
        return Scan::kSpace;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Scan::kEnter;
    default:
        return Scan::kOtherKey;
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
    const Handler &handler = type == QEvent::KeyPress ? m_keyDown : m_keyUp;
    if (handler)
        handler(keyCode(key));
    return true;
}
