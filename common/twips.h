// Twips per pixel of the primary screen: 1440 / logical dots per inch (15 at 96).
#pragma once

#include <QLatin1String>
#include <QRect>

double twipsPerPixelX();
double twipsPerPixelY();

// A place given in twips, in pixels of this screen.
QRect twipsRect(int left, int top, int width, int height);

// Names a control (its objectName) and puts it at `rect`; returns it.
template <typename W> W* placeWidget(W* widget, const char* name, const QRect& rect) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(rect);
    return widget;
}
