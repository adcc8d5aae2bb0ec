// Where the clock window goes at start-up: its stored place, unless that is
// off every screen (a removed monitor, a value clamped to the 16-bit range),
// in which case it is moved onto the nearest screen. A clock the user cannot
// see is lost.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

// The top-left corner for `window` among `screens` (their geometries, in
// logical pixels). The window stays where it is when a part of it at least
// `MinVisible` pixels wide and high (or all of it, when smaller) lies on one
// screen; otherwise it is moved to lie wholly on the screen nearest to it (its
// top-left corner on that screen when it is larger than the screen).
// Without screens the window stays.
QPoint placeOnScreens(const QRect& window, const QList<QRect>& screens);

inline constexpr int MinVisible = 32;
