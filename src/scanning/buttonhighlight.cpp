#include "buttonhighlight.h"

#include "scanlog.h"

#include "feedback/colours.h"
#include "state/appstate.h"

#include <QEvent>
#include <QPainter>

// Drawn over its button and sized with it; it lets every click through.
class ScanOutline : public QWidget
{
public:
    explicit ScanOutline(QWidget *button)
        : QWidget(button)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
        button->installEventFilter(this);
        setGeometry(button->rect());
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == parent() && event->type() == QEvent::Resize)
            setGeometry(parentWidget()->rect());
        return false;
    }

    void paintEvent(QPaintEvent *) override
    {
        // A tenth of the smaller side, so it stays thick on large screens.
        const int thickness = qMax(4, qMin(width(), height()) / 10);
        const int outer = qMax(3, thickness * 2 / 3);
        QPainter painter(this);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        const QRect all = rect();
        painter.drawRect(all.x(), all.y(), all.width(), outer);
        painter.drawRect(all.x(), all.bottom() - outer + 1, all.width(), outer);
        painter.drawRect(all.x(), all.y(), outer, all.height());
        painter.drawRect(all.right() - outer + 1, all.y(), outer, all.height());
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::white, thickness - outer, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        const int inset = outer + (thickness - outer) / 2;
        painter.drawRect(all.adjusted(inset, inset, -inset - 1, -inset - 1));
    }
};

void setButtonColourIfChanged(QWidget *button, double colourNumber)
{
    if (button->palette().color(QPalette::Button) != Colours::fromNumber(colourNumber))
        setButtonColour(button, colourNumber);
}

ButtonHighlighter::ButtonHighlighter(const QList<QWidget *> &buttons)
{
    setButtons(buttons);
}

ButtonHighlighter::~ButtonHighlighter()
{
    for (const QPointer<ScanOutline> &outline : std::as_const(m_outlines))
        delete outline.data();
}

void ButtonHighlighter::setButtons(const QList<QWidget *> &buttons)
{
    for (const QPointer<ScanOutline> &outline : std::as_const(m_outlines))
        delete outline.data();
    m_buttons.clear();
    m_outlines.clear();
    for (QWidget *button : buttons) {
        m_buttons << button;
        m_outlines << new ScanOutline(button);
    }
    m_highlighted = -1;
}

void ButtonHighlighter::highlight(int index, double colour)
{
    const double plain = appState().Settings.ButtonColour;
    for (int i = 0; i < m_buttons.size(); ++i) {
        QWidget *button = m_buttons[i];
        if (!button)
            continue;
        setButtonColourIfChanged(button, i == index ? colour : plain);
        if (ScanOutline *outline = m_outlines[i]) {
            outline->setVisible(i == index);
            if (i == index)
                outline->raise();
        }
    }
    const int highlighted = index >= 0 && index < m_buttons.size() ? index : -1;
    if (highlighted != m_highlighted && highlighted >= 0 && m_buttons[highlighted]) {
        const QWidget *button = m_buttons[highlighted];
        const QPoint at = button->mapToGlobal(QPoint(0, 0));
        qCDebug(lcScanning, "highlight %s at %d,%d size %dx%d", qPrintable(button->objectName()), at.x(),
            at.y(), button->width(), button->height());
    }
    m_highlighted = highlighted;
}

void ButtonHighlighter::clear()
{
    highlight(-1, appState().Settings.ButtonColour);
}

bool ButtonHighlighter::outlineShown(int index) const
{
    const ScanOutline *outline = m_outlines.value(index);
    return outline && !outline->isHidden();
}
