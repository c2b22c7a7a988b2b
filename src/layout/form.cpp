#include "form.h"

#include "formhost.h"
#include "legible.h"
#include "twips.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QMenuBar>
#include <QResizeEvent>

#include <functional>
#include <utility>

namespace {

// The scaler reacts to the client area's size, whatever changed it.
class ClientResizeWatcher : public QObject
{
public:
    ClientResizeWatcher(QObject *parent, std::function<void()> onResize)
        : QObject(parent)
        , m_onResize(std::move(onResize))
    { }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            m_onResize();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onResize;
};

} // namespace

Form::Form(const QString &name, const QSize &designClientTwips, QWidget *parent)
    : QWidget(parent)
    , m_name(name)
    , m_client(new QWidget(this))
{
    setObjectName(name);
    setAutoFillBackground(true);
    m_client->setObjectName(QStringLiteral("clientArea"));
    m_client->resize(Twips::toPixels(designClientTwips));
    resize(m_client->size());
    m_client->installEventFilter(new ClientResizeWatcher(this, [this] {
        if (m_loaded)
            formResize();
    }));
}

Form::~Form() = default;

QMenuBar *Form::menuBar()
{
    if (!m_menuBar) {
        m_menuBar = new QMenuBar(this);
        m_menuBar->setNativeMenuBar(false);
        // The client area keeps its design size; the form grows by the bar.
        resize(width(), height() + m_menuBar->sizeHint().height());
        layoutChildren();
    }
    return m_menuBar;
}

void Form::placeControl(QWidget *control, const QRect &twips)
{
    control->setParent(m_client);
    control->setGeometry(Twips::toPixels(twips));
}

void Form::load()
{
    m_resizer.setSourceForm(this, m_client);
    m_loaded = true;
    m_resizer.sizeFormToScreen(75);
    formLoad();
}

void Form::activate()
{
    formActivate();
}

void Form::unload()
{
    formUnload();
    m_loaded = false;
}

void Form::setBackgroundColour(const QColor &colour)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colour);
    // The menu bar and the labels are drawn on this background too.
    const QColor ink = Legible::textColour(QApplication::palette().color(QPalette::WindowText), colour);
    const QColor muted = Legible::mutedTextColour(ink, colour);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText}) {
        pal.setColor(role, ink);
        // A control that does not apply looks it.
        pal.setColor(QPalette::Disabled, role, muted);
    }
    setPalette(pal);
}

QColor Form::backgroundColour() const
{
    return palette().color(QPalette::Window);
}

void Form::formResize()
{
    m_resizer.resizeControls();
}

void Form::showForm(const QString &name)
{
    if (m_host)
        m_host->showForm(name);
}

void Form::showOnTop(const QString &name)
{
    if (m_host)
        m_host->showOnTop(name);
}

void Form::hideFromTop()
{
    if (m_host)
        m_host->hideOnTop(this);
}

void Form::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutChildren();
}

void Form::layoutChildren()
{
    int top = 0;
    if (m_menuBar) {
        top = m_menuBar->sizeHint().height();
        m_menuBar->setGeometry(0, 0, width(), top);
    }
    m_client->setGeometry(0, top, width(), qMax(0, height() - top));
}

QFont arialFont(double points, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

#include "moc_form.cpp"
