#pragma once

#include <QString>
#include <QSvgRenderer>
#include <QWidget>

// A picture drawn from an SVG file, scaled to the control and centred,
// keeping its proportions; crisp at any screen size.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);

    bool load(const QString &svgPath);
    bool hasPicture() const { return m_renderer.isValid(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSvgRenderer m_renderer;
};
