#include "switchcapture.h"

#include "scanning/controllersource.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

SwitchCapture::SwitchCapture(QObject *parent)
    : QObject(parent)
{
    m_seconds.setInterval(1000);
    connect(&m_seconds, &QTimer::timeout, this, &SwitchCapture::onSecond);
}

SwitchCapture::~SwitchCapture()
{
    stop();
    if (!m_releasesToEat.isEmpty() && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void SwitchCapture::start(QWidget *cancelButton)
{
    if (!QCoreApplication::instance())
        return;
    m_cancelButton = cancelButton;
    m_secondsLeft = kWaitSeconds;
    if (!m_waiting) {
        m_waiting = true;
        QCoreApplication::instance()->removeEventFilter(this);
        QCoreApplication::instance()->installEventFilter(this);
        ControllerSource &source = Controllers::source();
        source.start();
        m_controller = connect(&source, &ControllerSource::buttonPressed, this,
            [this](int button) { take(SwitchInput::controller(button)); });
    }
    m_seconds.start();
    Q_EMIT countdown(m_secondsLeft);
}

void SwitchCapture::cancel()
{
    if (!m_waiting)
        return;
    stop();
    Q_EMIT cancelled();
}

void SwitchCapture::stop()
{
    m_waiting = false;
    m_seconds.stop();
    disconnect(m_controller);
    if (m_releasesToEat.isEmpty() && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void SwitchCapture::take(const SwitchInput &input)
{
    if (!m_waiting)
        return;
    if (input.kind() != SwitchInput::Kind::Controller)
        m_releasesToEat.insert(input.id());
    stop();
    Q_EMIT captured(input);
}

void SwitchCapture::onSecond()
{
    if (--m_secondsLeft <= 0) {
        cancel();
        return;
    }
    Q_EMIT countdown(m_secondsLeft);
}

bool SwitchCapture::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    // Each input reaches a widget once (and the window around it before).
    if (!watched->isWidgetType())
        return false;
    if (type == QEvent::KeyRelease || type == QEvent::MouseButtonRelease) {
        const std::optional<SwitchInput> input = SwitchInput::fromEvent(event);
        if (!input || !m_releasesToEat.contains(input->id()))
            return false;
        if (type == QEvent::KeyRelease && static_cast<QKeyEvent *>(event)->isAutoRepeat())
            return true;
        m_releasesToEat.remove(input->id());
        if (!m_waiting && m_releasesToEat.isEmpty())
            QCoreApplication::instance()->removeEventFilter(this);
        return true;
    }
    if (type == QEvent::KeyPress) {
        // The key taken, held down, repeats until its release.
        const std::optional<SwitchInput> input = SwitchInput::fromEvent(event);
        if (input && m_releasesToEat.contains(input->id()))
            return true;
    }
    if (!m_waiting)
        return false;
    switch (type) {
    case QEvent::ShortcutOverride:
        // No shortcut, and no Tab moving the focus, while a key is awaited.
        event->accept();
        return true;
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->isAutoRepeat())
            return true;
        if (key->key() == Qt::Key_Escape) {
            cancel();
            return true;
        }
        if (const std::optional<SwitchInput> input = SwitchInput::fromEvent(event))
            take(*input);
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        auto *widget = static_cast<QWidget *>(watched);
        const bool onCancel
            = m_cancelButton && (widget == m_cancelButton || m_cancelButton->isAncestorOf(widget));
        if (onCancel && mouse->button() == Qt::LeftButton)
            return false;
        if (const std::optional<SwitchInput> input = SwitchInput::fromEvent(event))
            take(*input);
        return true;
    }
    default:
        return false;
    }
}

#include "moc_switchcapture.cpp"
