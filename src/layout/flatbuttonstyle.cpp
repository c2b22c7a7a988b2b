#include "flatbuttonstyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOption>

void FlatButtonStyle::drawPrimitive(
    PrimitiveElement element, const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    if (element != PE_PanelButtonCommand) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const QRect all = option->rect;
    painter->fillRect(all, option->palette.brush(QPalette::Button));
    const bool down = option->state & (State_Sunken | State_On);
    const int edge = qMin(down ? 3 : 1, qMin(all.width(), all.height()) / 2);
    const QColor ink = option->palette.color(QPalette::ButtonText);
    painter->fillRect(QRect(all.left(), all.top(), all.width(), edge), ink);
    painter->fillRect(QRect(all.left(), all.bottom() - edge + 1, all.width(), edge), ink);
    painter->fillRect(QRect(all.left(), all.top(), edge, all.height()), ink);
    painter->fillRect(QRect(all.right() - edge + 1, all.top(), edge, all.height()), ink);
}

void FlatButtonStyle::install()
{
    if (!qobject_cast<FlatButtonStyle *>(QApplication::style()))
        QApplication::setStyle(new FlatButtonStyle);
}

#include "moc_flatbuttonstyle.cpp"
