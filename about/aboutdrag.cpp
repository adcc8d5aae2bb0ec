#include "aboutdrag.h"

void AboutDrag::press(Qt::MouseButton button, float left, float top, float x, float y) {
    if (button != Qt::LeftButton)
        return;
    dragging = true;
    startLeft = left;
    startTop = top;
    grabX = left + x;
    grabY = top + y;
}

std::optional<QPointF> AboutDrag::move(float left, float top, float x, float y) const {
    if (!dragging)
        return std::nullopt;
    return QPointF(left + x + startLeft - grabX, top + y + startTop - grabY);
}
