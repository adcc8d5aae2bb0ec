// Turns a picture into a window shape.
#pragma once

#include <QImage>
#include <QRegion>

// Every pixel whose RGB differs from `transparent` (0xRRGGBB, as QRgb), minus
// the fully transparent pixels of a picture with an alpha channel.
QRegion bitmapToRegion(const QImage& image, QRgb transparent);
