#include "placement.h"

#include <QtGlobal>
#include <limits>

namespace {
// Squared distance from point p to the rectangle r (0 inside).
qint64 distance2(const QPoint& p, const QRect& r) {
    const qint64 dx = p.x() < r.left()    ? r.left() - p.x()
                      : p.x() > r.right() ? p.x() - r.right()
                                          : 0;
    const qint64 dy = p.y() < r.top()      ? r.top() - p.y()
                      : p.y() > r.bottom() ? p.y() - r.bottom()
                                           : 0;
    return dx * dx + dy * dy;
}
} // namespace

QPoint placeOnScreens(const QRect& window, const QList<QRect>& screens) {
    if (screens.isEmpty())
        return window.topLeft();
    const int needW = qMin(MinVisible, qMax(1, window.width()));
    const int needH = qMin(MinVisible, qMax(1, window.height()));
    for (const QRect& s : screens) {
        const QRect seen = s.intersected(window);
        if (seen.width() >= needW && seen.height() >= needH)
            return window.topLeft();
    }
    const QPoint centre = window.center();
    const QRect* nearest = &screens.first();
    qint64 best = std::numeric_limits<qint64>::max();
    for (const QRect& s : screens) {
        const qint64 d = distance2(centre, s);
        if (d < best) {
            best = d;
            nearest = &s;
        }
    }
    const QRect& s = *nearest;
    const int x = qMax(s.left(), qMin(window.left(), s.right() + 1 - window.width()));
    const int y = qMax(s.top(), qMin(window.top(), s.bottom() + 1 - window.height()));
    return {x, y};
}
