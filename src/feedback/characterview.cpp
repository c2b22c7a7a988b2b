#include "characterview.h"

#include <QPainter>
#include <QRandomGenerator>

namespace {

const QString kBody = QStringLiteral("body");
const QString kEyesOpen = QStringLiteral("eyes-open");
const QString kEyesClosed = QStringLiteral("eyes-closed");
const QString kMouths[]
    = {QStringLiteral("mouth-closed"), QStringLiteral("mouth-half"), QStringLiteral("mouth-open")};

constexpr int kBlinkMilliseconds = 150;

} // namespace

CharacterView::CharacterView(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    m_blinkTimer.setSingleShot(true);
    connect(&m_blinkTimer, &QTimer::timeout, this, &CharacterView::blink);
}

bool CharacterView::load(const QString &svgPath)
{
    m_loaded = m_renderer.load(svgPath) && m_renderer.elementExists(kBody)
        && m_renderer.elementExists(kEyesOpen) && m_renderer.elementExists(kMouths[0]);
    if (m_loaded)
        scheduleBlink();
    update();
    return m_loaded;
}

void CharacterView::setLoudness(double loudness)
{
    const Mouth mouth = loudness > 0.35 ? Mouth::Open : loudness > 0.08 ? Mouth::Half : Mouth::Closed;
    if (mouth != m_mouth) {
        m_mouth = mouth;
        update();
    }
}

void CharacterView::setAppearance(double appearance)
{
    m_appearance = qBound(0.0, appearance, 1.0);
    update();
}

void CharacterView::blink()
{
    m_eyesClosed = !m_eyesClosed;
    update();
    if (m_eyesClosed)
        m_blinkTimer.start(kBlinkMilliseconds);
    else
        scheduleBlink();
}

void CharacterView::scheduleBlink()
{
    // Not the program's random source: blinking must not change which word comes next.
    m_blinkTimer.start(2500 + QRandomGenerator::global()->bounded(2500));
}

void CharacterView::paintEvent(QPaintEvent *)
{
    if (!m_loaded || m_appearance <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(m_appearance);
    const QRectF box = m_renderer.viewBoxF();
    const double scale = std::min(width() / box.width(), height() / box.height()) * m_appearance;
    // Standing on the bottom of the widget, in the middle.
    const QPointF origin((width() - box.width() * scale) / 2, height() - box.height() * scale);
    const auto draw = [&](const QString &id) {
        if (!m_renderer.elementExists(id))
            return;
        const QRectF bounds = m_renderer.boundsOnElement(id);
        m_renderer.render(
            &painter, id, QRectF(origin + (bounds.topLeft() - box.topLeft()) * scale, bounds.size() * scale));
    };
    draw(kBody);
    draw(m_eyesClosed && m_renderer.elementExists(kEyesClosed) ? kEyesClosed : kEyesOpen);
    draw(kMouths[int(m_mouth)]);
}

#include "moc_characterview.cpp"
