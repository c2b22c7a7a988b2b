#include "formhost.h"

#include "form.h"
#include "formlog.h"

#include "state/logcategories.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTabBar>

#include <utility>

namespace {

// Once activated, when the entries have their captions.
void logMenus(const Form *form)
{
    if (!lcForms().isDebugEnabled())
        return;
    const QMenuBar *bar = form->findChild<QMenuBar *>();
    if (!bar)
        return;
    for (QAction *action : bar->actions()) {
        const QRect place = action->isVisible() ? bar->actionGeometry(action) : QRect();
        if (place.isEmpty())
            continue;
        const QPoint at = bar->mapToGlobal(place.topLeft());
        const QMenu *menu = action->menu<QMenu *>();
        const QString name = menu ? menu->objectName() : action->objectName();
        qCDebug(lcForms, "menu %s at %d,%d size %dx%d", qPrintable(name), at.x(), at.y(), place.width(),
            place.height());
    }
}

void logControl(const QWidget *control)
{
    const QPoint at = control->mapToGlobal(QPoint(0, 0));
    qCDebug(lcForms, "control %s at %d,%d size %dx%d", qPrintable(control->objectName()), at.x(), at.y(),
        control->width(), control->height());
    // Each tab is a place to click of its own.
    if (const auto *tabs = qobject_cast<const QTabBar *>(control)) {
        for (int i = 0; i < tabs->count(); ++i) {
            const QRect tab = tabs->tabRect(i).translated(at);
            qCDebug(lcForms, "control %s_tab%d at %d,%d size %dx%d", qPrintable(control->objectName()), i + 1,
                tab.x(), tab.y(), tab.width(), tab.height());
        }
    }
}

// Logs a named control that the form on screen shows, such as the box that
// comes with a choice, whatever made the choice: a click, a key or an
// assistive technology.
class ShownControlLog : public QObject
{
public:
    explicit ShownControlLog(FormHost *host)
        : QObject(host)
        , m_host(host)
    { }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Sent when the control itself is shown, not when its form is.
        if (event->type() == QEvent::ShowToParent && watched->isWidgetType()) {
            const auto *control = static_cast<const QWidget *>(watched);
            if (!control->objectName().isEmpty() && !control->isWindow() && control->window() == m_host
                && control->isVisible())
                logControl(control);
        }
        return false;
    }

private:
    const FormHost *m_host;
};

} // namespace

void logControls(const QWidget *container)
{
    if (!lcForms().isDebugEnabled())
        return;
    for (const QWidget *control : container->findChildren<QWidget *>()) {
        if (!control->objectName().isEmpty() && control->isVisible())
            logControl(control);
    }
}

FormHost::FormHost(QWidget *parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Velmora"));
    if (lcForms().isDebugEnabled())
        QCoreApplication::instance()->installEventFilter(new ShownControlLog(this));
}

FormHost::~FormHost()
{
    if (m_current)
        m_current->unload();
    for (const QPointer<Form> &form : std::as_const(m_kept)) {
        if (form)
            form->unload();
    }
}

void FormHost::registerForm(const QString &name, Factory factory)
{
    m_factories.insert(name, std::move(factory));
}

void FormHost::setLateForms(std::function<void()> registerRest)
{
    m_lateForms = std::move(registerRest);
}

bool FormHost::hasForm(const QString &name) const
{
    return m_factories.contains(name);
}

QStringList FormHost::formNames() const
{
    QStringList names = m_factories.keys();
    names.sort();
    return names;
}

Form *FormHost::showForm(const QString &name)
{
    Form *next = makeForm(name);
    if (!next)
        return nullptr;

    uncover();
    if (Form *previous = m_current) {
        previous->unload();
        previous->hide();
        // The previous form may be the caller, still inside its own handler.
        previous->deleteLater();
    }

    m_current = next;
    present(next, name, "");
    return next;
}

Form *FormHost::keepLoaded(const QString &name)
{
    if (Form *kept = m_kept.value(name))
        return kept;
    Form *form = makeForm(name);
    if (form)
        m_kept.insert(name, form);
    return form;
}

Form *FormHost::showOnTop(const QString &name)
{
    Form *form = keepLoaded(name);
    if (!form)
        return nullptr;
    if (m_onTop && m_onTop != form)
        m_onTop->hide();
    m_onTop = form;
    // Hidden, the form beneath takes no keys and keeps its state.
    if (m_current)
        m_current->hide();
    form->raise();
    present(form, name, " on top");
    return form;
}

Form *FormHost::makeForm(const QString &name)
{
    if (!m_factories.contains(name) && m_lateForms)
        std::exchange(m_lateForms, nullptr)();
    const auto factory = m_factories.constFind(name);
    if (factory == m_factories.constEnd()) {
        // A name is a constant of FormName: one that no form has is the
        // program's own fault, which the tests catch.
        qCCritical(lcForms, "no form is registered as %s", qPrintable(name));
        return nullptr;
    }
    Form *form = (*factory)();
    form->hide();
    form->setParent(this);
    form->setHost(this);
    form->load();
    return form;
}

void FormHost::present(Form *form, const QString &name, const char *how)
{
    form->setGeometry(rect());
    form->show();
    // Before activation, so that a form may give the focus to a control.
    form->setFocus();
    qCDebug(lcForms, "shown %s%s", qPrintable(name), how);
    form->activate();
    logMenus(form);
    Q_EMIT formShown(name);
}

void FormHost::hideOnTop(Form *form)
{
    if (!form || form != m_onTop || !uncover())
        return;
    if (m_current) {
        qCDebug(lcForms, "shown %s again", qPrintable(m_current->formName()));
        m_current->setFocus();
        m_current->activate();
        Q_EMIT formShown(m_current->formName());
    }
}

bool FormHost::uncover()
{
    if (!m_onTop)
        return false;
    m_onTop->hide();
    m_onTop = nullptr;
    if (m_current) {
        m_current->setGeometry(rect());
        m_current->show();
    }
    return true;
}

void FormHost::showOnScreen()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
    showFullScreen();
}

void FormHost::bringToFront()
{
    qCDebug(lcForms, "brought to the front");
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void FormHost::endProgram()
{
    finishWork();
    // Quitting closes the window too; closeEvent then has nothing left to do.
    QCoreApplication::quit();
}

void FormHost::closeEvent(QCloseEvent *event)
{
    finishWork();
    // Accepted: the last window closed ends the program.
    QWidget::closeEvent(event);
}

void FormHost::finishWork()
{
    if (m_ending)
        return;
    m_ending = true;
    Q_EMIT programEnding();
}

void FormHost::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_current)
        m_current->setGeometry(rect());
    if (m_onTop)
        m_onTop->setGeometry(rect());
}

#include "moc_formhost.cpp"
