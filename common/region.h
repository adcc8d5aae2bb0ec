// Turns a picture into a window shape.
#pragma once

#include <QImage>
#include <QRegion>

// The region of every pixel whose RGB differs from `transparent` (0xRRGGBB as
// a QRgb; its alpha byte is ignored), minus the fully transparent pixels of a
// picture with an alpha channel. Pixels with partial alpha count by their
// (unpremultiplied) RGB alone. Coordinates are the picture's pixels, origin at
// its top-left corner. Any QImage format is taken; a null picture gives an
// empty region, and what an empty shape means is the caller's decision.
//
// Runs over each scanline once (time linear in pixels plus runs) and hands Qt
// the rectangles already in its banded form, with equal neighbouring scanlines
// merged into one band.
QRegion bitmapToRegion(const QImage& image, QRgb transparent);
