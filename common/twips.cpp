#include "twips.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
double factor(bool horizontal) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = !screen      ? 96.0
                       : horizontal ? screen->logicalDotsPerInchX()
                                    : screen->logicalDotsPerInchY();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}
} // namespace

double twipsPerPixelX() {
    return factor(true);
}
double twipsPerPixelY() {
    return factor(false);
}

QRect twipsRect(int left, int top, int width, int height) {
    const double fx = twipsPerPixelX();
    const double fy = twipsPerPixelY();
    return QRect(qRound(left / fx), qRound(top / fy), qRound(width / fx), qRound(height / fy));
}
