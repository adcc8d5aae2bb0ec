#include "docking.h"

#include <cmath>

namespace Docking {

DragState pressAt(float left, float top, float x, float y) {
    DragState s;
    s.dragging = true;
    s.dragStartLeft = left;
    s.dragStartTop = top;
    s.dragGrabX = x + left;
    s.dragGrabY = y + top;
    return s;
}

QPointF dragTo(const DragState& state, float left, float top, float x, float y) {
    const float newLeft = state.dragStartLeft + (x + left) - state.dragGrabX;
    const float newTop = state.dragStartTop + (y + top) - state.dragGrabY;
    return QPointF(newLeft, newTop);
}

QPointF dockToEdges(const QRectF& window, const QRectF& screen, int distance, float tppX,
                    float tppY) {
    // Positions relative to the screen's own corner, so a second monitor
    // snaps to its own edges.
    const float sx = float(screen.left());
    const float sy = float(screen.top());
    const float W = float(screen.width());
    const float H = float(screen.height());
    const float w = float(window.width());
    const float h = float(window.height());
    float left = float(window.left()) - sx;
    float top = float(window.top()) - sy;
    const float marginX = float(distance) * tppX;
    const float marginY = float(distance) * tppY;

    // A window larger than the screen is near both edges at once; flush
    // against the far edge it would hide its top or left part, so the top
    // and left edges win there too.
    if (marginY > top)
        top = 0;
    else if (top + h > H - marginY)
        top = h > H ? 0 : H - h;

    if (marginX > left)
        left = 0;
    else if (left + w > W - marginX)
        left = w > W ? 0 : W - w;

    return QPointF(left + sx, top + sy);
}

QPoint dockToEdgesPixels(const QRect& window, const QRect& screen, int distance, double tppX,
                         double tppY) {
    const auto twips = [tppX, tppY](const QRect& r) {
        return QRectF(r.x() * tppX, r.y() * tppY, r.width() * tppX, r.height() * tppY);
    };
    const QPointF corner =
        dockToEdges(twips(window), twips(screen), distance, float(tppX), float(tppY));
    return QPoint(int(std::lround(corner.x() / tppX)), int(std::lround(corner.y() / tppY)));
}

} // namespace Docking
