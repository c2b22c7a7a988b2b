#include "formhost.h"

#include "form.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

FormHost::FormHost(QWidget *parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Velmora"));
}

FormHost::~FormHost()
{
    if (m_current)
        m_current->unload();
}

void FormHost::registerForm(const QString &name, Factory factory)
{
    m_factories.insert(name, std::move(factory));
}

bool FormHost::hasForm(const QString &name) const
{
    return m_factories.contains(name);
}

Form *FormHost::showForm(const QString &name)
{
    const auto factory = m_factories.constFind(name);
    if (factory == m_factories.constEnd()) {
        qWarning("No form is registered as %s", qPrintable(name));
        return nullptr;
    }

    Form *next = (*factory)();
    next->setParent(this);
    next->setHost(this);
    next->load();

    if (Form *previous = m_current) {
        previous->unload();
        previous->hide();
        // The previous form may be the caller, still inside its own handler.
        previous->deleteLater();
    }

    m_current = next;
    next->setGeometry(rect());
    next->show();
    // Before activation, so that a form may give the focus to a control.
    next->setFocus();
    next->activate();
    Q_EMIT formShown(name);
    return next;
}

void FormHost::showOnScreen()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
    showFullScreen();
}

void FormHost::endProgram()
{
    Q_EMIT programEnding();
    QCoreApplication::quit();
}

void FormHost::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_current)
        m_current->setGeometry(rect());
}
