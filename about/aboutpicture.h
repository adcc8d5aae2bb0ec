// The about window's background picture, drawn by our own code: a title strip
// reading "About..." with a close mark "X" at its right end, and the name
// "Dialmere" in large raised letters on a plain blue-grey ground.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

namespace AboutPicture {

// The picture's own size in pixels; the window is this size at 15 twips per
// pixel, and the picture is scaled to the window on other screens.
inline constexpr int Width = 276;
inline constexpr int Height = 234;

// Where the close mark is drawn, in the picture's own pixels (the window's
// invisible "Close" hot spot lies over it).
inline constexpr QRect CloseMark{249, 7, 22, 19};

// The picture drawn at `size` (a device pixel ratio above 1 gives a sharper
// picture of the same logical size).
QImage draw(const QSize& size, qreal devicePixelRatio = 1.0);

} // namespace AboutPicture
