#include "resizer.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace {

void collectControls(QWidget *parent, std::vector<QWidget *> &out)
{
    for (QObject *child : parent->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (!widget || widget->isWindow())
            continue;
        out.push_back(widget);
        if (widget->property("scaledContainer").toBool())
            collectControls(widget, out);
    }
}

QString scaleTag(const QWidget *control)
{
    const QString tag = control->property("Tag").toString().toUpper();
    return tag.startsWith(u'@') ? tag : QStringLiteral("@L,T,W,H");
}

int scaled(int designValue, double ratio)
{
    return int(std::lround(designValue * ratio));
}

} // namespace

void Resizer::setSourceForm(QWidget *form, QWidget *clientArea)
{
    m_form = form;
    m_client = clientArea ? clientArea : form;
}

void Resizer::reinitialise()
{
    captureLayout();
}

void Resizer::captureLayout()
{
    m_layouts.clear();
    m_designWidth = 0;
    m_designHeight = 0;
    if (m_client) {
        m_designWidth = m_client->width();
        m_designHeight = m_client->height();
        std::vector<QWidget *> controls;
        collectControls(m_client, controls);
        m_layouts.reserve(controls.size());
        for (QWidget *control : controls)
            m_layouts.push_back({control, control->geometry()});
    }
    m_layoutPending = false;
}

void Resizer::sizeFormToScreen(int percent)
{
    if (!m_form)
        return;
    if (m_layoutPending)
        captureLayout();
    const QScreen *screen = m_form->screen() ? m_form->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 800, 600);
    const int height = int(percent / 100.0 * area.height());
    const int width = int(percent / 100.0 * area.width());
    m_form->setGeometry((area.width() - width) / 2, (area.height() - height) / 2, width, height);
    resizeControls();
}

void Resizer::resizeControls()
{
    if (!m_form || !m_client)
        return;
    if (m_layoutPending) {
        captureLayout();
        return;
    }
    if (m_layouts.empty() || m_form->window()->isMinimized())
        return;

    // A client area captured with no size has no ratio; such a layout stays put.
    const double ratioX = m_designWidth > 0 ? double(m_client->width()) / m_designWidth : 1.0;
    const double ratioY = m_designHeight > 0 ? double(m_client->height()) / m_designHeight : 1.0;

    const bool wasEnabled = m_form->updatesEnabled();
    m_form->setUpdatesEnabled(false);
    for (const ControlLayout &entry : m_layouts) {
        QWidget *control = entry.control;
        if (!control)
            continue;
        const QString tag = scaleTag(control);
        QRect place = control->geometry();
        if (tag.contains(u'L'))
            place.moveLeft(scaled(entry.design.left(), ratioX));
        if (tag.contains(u'T'))
            place.moveTop(scaled(entry.design.top(), ratioY));
        if (tag.contains(u'W'))
            place.setWidth(scaled(entry.design.width(), ratioX));
        if (tag.contains(u'H'))
            place.setHeight(scaled(entry.design.height(), ratioY));
        control->setGeometry(place);
    }
    m_form->setUpdatesEnabled(wasEnabled);
}
