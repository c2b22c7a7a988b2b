#pragma once

#include <QSvgRenderer>
#include <QTimer>
#include <QWidget>

// The character drawn from its SVG file: the group "body", then one of
// "eyes-open" and "eyes-closed", then one of "mouth-closed", "mouth-half"
// and "mouth-open". It blinks by itself; the mouth follows the loudness it
// is given; `appearance` (0 to 1) grows it from its feet for the entry and
// exit animations.
class CharacterView : public QWidget
{
    Q_OBJECT

public:
    explicit CharacterView(QWidget *parent = nullptr);

    // False when the file cannot be read or lacks a part.
    bool load(const QString &svgPath);
    bool isLoaded() const { return m_loaded; }

    enum class Mouth { Closed, Half, Open };
    void setLoudness(double loudness);
    Mouth mouth() const { return m_mouth; }
    bool eyesClosed() const { return m_eyesClosed; }

    void setAppearance(double appearance);
    double appearance() const { return m_appearance; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void blink();
    void scheduleBlink();

    QSvgRenderer m_renderer;
    bool m_loaded = false;
    Mouth m_mouth = Mouth::Closed;
    bool m_eyesClosed = false;
    double m_appearance = 1;
    QTimer m_blinkTimer;
};
