// Moving the about window by its background. Positions are in twips, as the
// window keeps them; the caller converts at the screen's factor.
#pragma once

#include <QPointF>
#include <Qt>
#include <optional>

struct AboutDrag {
    bool dragging = false;
    float startLeft = 0; // window position when the button went down
    float startTop = 0;
    float grabX = 0; // the pointer's place on the screen when the button went down
    float grabY = 0;

    // A button went down at (x, y) inside the window whose top-left corner is
    // at (left, top). Only the left button starts a drag.
    void press(Qt::MouseButton button, float left, float top, float x, float y);
    // The pointer moved to (x, y) inside the window now at (left, top). Where
    // the window goes: its starting place moved by the distance the pointer
    // has travelled since the press. Nothing while no drag is under way.
    std::optional<QPointF> move(float left, float top, float x, float y) const;
    // Any button went up.
    void release() { dragging = false; }
};
