#include "picturebox.h"

#include <QPainter>

PictureBox::PictureBox(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

bool PictureBox::load(const QString &svgPath)
{
    const bool ok = m_renderer.load(svgPath);
    update();
    return ok;
}

void PictureBox::paintEvent(QPaintEvent *)
{
    if (!m_renderer.isValid())
        return;
    QSizeF size = m_renderer.defaultSize();
    size.scale(QSizeF(this->size()), Qt::KeepAspectRatio);
    const QRectF target(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    m_renderer.render(&painter, target);
}

#include "moc_picturebox.cpp"
