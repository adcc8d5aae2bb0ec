// The arithmetic of dragging the clock window and snapping it to the screen
// edges, in twips and single precision, free of widgets so tables can test it.
#pragma once

#include <QPointF>
#include <QRect>
#include <QRectF>

namespace Docking {

// What a left-button press remembers: the window's position and the pointer's
// position (the press point in the pressed element plus the window position),
// both in twips.
struct DragState {
    bool dragging = false;
    float dragStartLeft = 0;
    float dragStartTop = 0;
    float dragGrabX = 0;
    float dragGrabY = 0;
};

// A press at (x, y) in the pressed element's own twips, the window standing at
// (left, top) twips. The same for the window and its caption: the caption's
// offset in the window is the same at the press and at every move.
DragState pressAt(float left, float top, float x, float y);

// Where the window goes for a move to (x, y) in the element's own twips while
// the window stands at (left, top): the press point stays under the pointer.
QPointF dragTo(const DragState& state, float left, float top, float x, float y);

// The window's new top-left corner after snapping, in twips. `window` is the
// window's rectangle and `screen` the rectangle of the screen it stands on,
// both in twips; `distance` is the docking distance in pixels; tppX and tppY
// the twips per pixel. An edge closer than `distance` pixels to the screen's
// edge, or beyond it, goes flush against it; at exactly `distance` it stays.
// Top wins over bottom, left over right.
QPointF dockToEdges(const QRectF& window, const QRectF& screen, int distance, float tppX,
                    float tppY);

// The same in pixels: the window's and its screen's geometry, the result the
// window's new position. What the clock window calls.
QPoint dockToEdgesPixels(const QRect& window, const QRect& screen, int distance, double tppX,
                         double tppY);

} // namespace Docking
