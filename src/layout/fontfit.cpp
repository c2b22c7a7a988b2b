#include "fontfit.h"

#include <QFont>
#include <QFontMetrics>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

namespace FontFit {

namespace {

// Far beyond any screen; it only guards the loop against a font that
// measures nothing.
constexpr int kLargestPoints = 400;

} // namespace

QString longestCaption(const QStringList &captions)
{
    // The measuring label starts out with one letter.
    QString longest = QStringLiteral("a");
    for (const QString &caption : captions) {
        if (caption.size() > longest.size())
            longest = caption;
    }
    return longest;
}

QString padded(const QString &caption)
{
    const QString blanks(4, u' ');
    return blanks + caption + blanks;
}

QSize labelSize(const QString &text, const QString &family, int points)
{
    QFont font(family);
    font.setPointSize(points);
    return QFontMetrics(font).size(Qt::TextSingleLine, text);
}

int fittingPointSize(const QStringList &captions, const QString &family, const QSize &button, int startPoints)
{
    const QString text = padded(longestCaption(captions));
    const int heightLimit = button.height() / 5 * 4;
    int points = startPoints;
    while (points < kLargestPoints) {
        const QSize size = labelSize(text, family, points);
        if (size.width() >= button.width() || size.height() >= heightLimit)
            break;
        ++points;
    }
    return points;
}

QSize captionRoom(const QPushButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).size();
}

int shrunkPointSize(const QStringList &captions, const QFont &font, const QSize &room, int leastPoints)
{
    QFont measured = font;
    int points = font.pointSize();
    for (; points > leastPoints; --points) {
        measured.setPointSize(points);
        const QFontMetrics metrics(measured);
        const bool fits = std::all_of(captions.cbegin(), captions.cend(), [&](const QString &caption) {
            const QSize size = metrics.size(Qt::TextShowMnemonic, caption);
            return size.width() <= room.width() && size.height() <= room.height();
        });
        if (fits)
            break;
    }
    return points;
}

} // namespace FontFit
