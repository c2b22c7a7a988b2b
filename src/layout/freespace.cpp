#include "freespace.h"

#include <algorithm>
#include <utility>

namespace {

// Edges are half-open here: [left, right) and [top, bottom).
struct Span
{
    int from;
    int to;
};

// The widest stretch of [from, to) that none of the blocked spans covers.
Span widestGap(int from, int to, QList<Span> blocked)
{
    std::sort(blocked.begin(), blocked.end(), [](const Span &a, const Span &b) { return a.from < b.from; });
    Span best{from, from};
    int start = from;
    for (const Span &span : std::as_const(blocked)) {
        if (span.from > start && span.from - start > best.to - best.from)
            best = {start, std::min(span.from, to)};
        start = std::max(start, span.to);
    }
    if (to - start > best.to - best.from)
        best = {start, to};
    return best;
}

} // namespace

QRect FreeSpace::forText(const QRect &area, const QList<QRect> &taken)
{
    QList<int> edges{area.top(), area.bottom() + 1};
    QList<QRect> inside;
    for (const QRect &rect : taken) {
        const QRect clipped = rect.intersected(area);
        if (clipped.isEmpty())
            continue;
        inside << clipped;
        edges << clipped.top() << clipped.bottom() + 1;
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

    QRect best;
    double bestScore = 0;
    for (int i = 0; i < edges.size(); ++i) {
        for (int j = i + 1; j < edges.size(); ++j) {
            const int top = edges[i];
            const int bottom = edges[j];
            QList<Span> blocked;
            for (const QRect &rect : std::as_const(inside)) {
                if (rect.top() < bottom && rect.bottom() + 1 > top)
                    blocked << Span{rect.left(), rect.right() + 1};
            }
            const Span gap = widestGap(area.left(), area.right() + 1, blocked);
            const int width = gap.to - gap.from;
            const int height = bottom - top;
            const double score = std::min(width / 4.0, double(height));
            // Of two places that hold the same text, the roomier one.
            const bool roomier
                = score == bestScore && qint64(width) * height > qint64(best.width()) * best.height();
            if (width > 0 && (score > bestScore || roomier)) {
                bestScore = score;
                best = QRect(gap.from, top, width, height);
            }
        }
    }
    return best;
}
