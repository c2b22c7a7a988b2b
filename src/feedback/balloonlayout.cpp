#include "balloonlayout.h"

#include <QFontMetrics>

#include <cmath>
#include <limits>

namespace BalloonLayout {

QStringList wrap(const QString &text, const QFontMetrics &metrics, int width)
{
    QStringList lines;
    QString line;
    const auto fits = [&](const QString &candidate) { return metrics.horizontalAdvance(candidate) <= width; };
    for (QString word : text.split(u' ', Qt::SkipEmptyParts)) {
        const QString joined = line.isEmpty() ? word : line + u' ' + word;
        if (fits(joined)) {
            line = joined;
            continue;
        }
        if (!line.isEmpty())
            lines << line;
        line.clear();
        // A word longer than the line goes on in pieces.
        while (!fits(word) && word.size() > 1) {
            qsizetype cut = word.size() - 1;
            while (cut > 1 && !fits(word.left(cut)))
                --cut;
            lines << word.left(cut);
            word = word.mid(cut);
        }
        line = word;
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

QStringList window(const QStringList &lines, int count, double progress)
{
    if (count <= 0 || lines.size() <= count)
        return lines;
    const int reached = qBound(0, int(std::floor(progress * lines.size())), int(lines.size()) - 1);
    const int first = qBound(0, reached - (count - 1) / 2, int(lines.size()) - count);
    return lines.mid(first, count);
}

QRect place(QSize size, const QRect &character, const QList<QRect> &obstacles, const QRect &area)
{
    if (size.width() > area.width() || size.height() > area.height())
        return {};
    const QPoint anchor(character.center().x(), character.top());
    constexpr int step = 4;
    QRect best;
    double bestDistance = std::numeric_limits<double>::max();
    for (int y = area.top(); y + size.height() - 1 <= area.bottom(); y += step) {
        for (int x = area.left(); x + size.width() - 1 <= area.right(); x += step) {
            const QRect candidate(QPoint(x, y), size);
            if (candidate.intersects(character))
                continue;
            bool free = true;
            for (const QRect &obstacle : obstacles) {
                if (candidate.intersects(obstacle)) {
                    free = false;
                    break;
                }
            }
            if (!free)
                continue;
            // Measured from the balloon's lower middle, where its tail starts.
            const QPoint tail(candidate.center().x(), candidate.bottom());
            const double distance = std::hypot(tail.x() - anchor.x(), tail.y() - anchor.y());
            if (distance < bestDistance) {
                bestDistance = distance;
                best = candidate;
            }
        }
    }
    return best;
}

} // namespace BalloonLayout
