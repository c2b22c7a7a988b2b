#include "buttonhighlight.h"

#include "feedback/colours.h"
#include "state/appstate.h"
#include "state/logcategories.h"

#include <QAbstractButton>
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

    void setProgress(double progress)
    {
        if (progress != m_progress) {
            m_progress = progress;
            update();
        }
    }

    void setCountdown(double left)
    {
        const int before = countdownWidth();
        m_countdown = left;
        // Repainted only when the bar changes by a pixel, and only the bar.
        if (countdownWidth() != before)
            update(countdownTrack());
    }
    double countdown() const { return m_countdown; }

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
        const int thickness = outlineWidth();
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
        if (m_countdown >= 0) {
            // Along the lower edge, over the outline, so the caption stays whole;
            // on white or black, whichever the text colour stands out on.
            const QColor text = Colours::fromNumber(appState().Settings.TextColour);
            const QRect track = countdownTrack();
            painter.setPen(Qt::NoPen);
            painter.setBrush(text.lightness() < 128 ? Qt::white : Qt::black);
            painter.drawRect(track);
            painter.setBrush(text);
            painter.drawRect(track.x(), track.y(), countdownWidth(), track.height());
        }
        if (m_progress < 0)
            return;
        // The press being timed: a black band inside the outline that fills
        // with white as the press goes on.
        const QRect band(thickness, all.height() - 3 * thickness, all.width() - 2 * thickness, 2 * thickness);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        painter.drawRect(band);
        const int filled = int((band.width() - 4) * std::min(1.0, m_progress));
        painter.setBrush(Qt::white);
        painter.drawRect(band.x() + 2, band.y() + 2, filled, band.height() - 4);
    }

private:
    int outlineWidth() const { return qMax(4, qMin(width(), height()) / 10); }
    // The white band of the outline's lower side.
    QRect countdownTrack() const
    {
        const int outer = qMax(3, outlineWidth() * 2 / 3);
        const int band = qMax(2, outlineWidth() - outer);
        return QRect(outer, height() - outlineWidth(), width() - 2 * outer, band);
    }
    int countdownWidth() const
    {
        return m_countdown < 0 ? -1 : int(countdownTrack().width() * std::min(1.0, m_countdown));
    }

    double m_progress = -1;
    double m_countdown = -1;
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
    m_highlighted.clear();
}

void ButtonHighlighter::highlight(int index, double colour)
{
    highlight(index >= 0 ? QList<int>{index} : QList<int>(), colour);
}

void ButtonHighlighter::highlight(const QList<int> &indexes, double colour)
{
    const double plain = appState().Settings.ButtonColour;
    QList<int> highlighted;
    for (int i = 0; i < m_buttons.size(); ++i) {
        QWidget *button = m_buttons[i];
        if (!button)
            continue;
        const bool lit = indexes.contains(i);
        if (lit)
            highlighted << i;
        setButtonColourIfChanged(button, lit ? colour : plain);
        if (ScanOutline *outline = m_outlines[i]) {
            outline->setProgress(-1);
            if (!lit)
                outline->setCountdown(-1);
            outline->setVisible(lit);
            if (lit)
                outline->raise();
        }
    }
    if (highlighted != m_highlighted) {
        for (int index : std::as_const(highlighted)) {
            const QWidget *button = m_buttons[index];
            const QPoint at = button->mapToGlobal(QPoint(0, 0));
            qCDebug(lcScanning, "highlight %s at %d,%d size %dx%d", qPrintable(button->objectName()), at.x(),
                at.y(), button->width(), button->height());
        }
    }
    m_highlighted = highlighted;
}

void ButtonHighlighter::showPressProgress(double progress)
{
    for (int index : std::as_const(m_highlighted)) {
        if (ScanOutline *outline = m_outlines.value(index))
            outline->setProgress(progress);
    }
}

void ButtonHighlighter::showCountdown(double left)
{
    for (int index : std::as_const(m_highlighted)) {
        if (ScanOutline *outline = m_outlines.value(index))
            outline->setCountdown(left);
    }
}

double ButtonHighlighter::countdownShown(int index) const
{
    const ScanOutline *outline = m_outlines.value(index);
    return outline && !outline->isHidden() ? outline->countdown() : -1;
}

QWidget *ButtonHighlighter::parentOfButtons() const
{
    for (const QPointer<QWidget> &button : m_buttons) {
        if (button)
            return button->parentWidget();
    }
    return nullptr;
}

QString ButtonHighlighter::highlightedCaption() const
{
    QStringList captions;
    for (int index : m_highlighted) {
        const auto *button = qobject_cast<const QAbstractButton *>(m_buttons.value(index).data());
        const QString caption = button ? button->text().remove(u'&').simplified() : QString();
        if (!caption.isEmpty())
            captions << caption;
    }
    return captions.join(QStringLiteral(", "));
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
