// What Qt cannot say to an X11 window manager by itself: keep our windows out of
// the taskbar and the pager. Does nothing on other platforms.
#pragma once

class QWidget;

// Sets _NET_WM_STATE_SKIP_TASKBAR and _NET_WM_STATE_SKIP_PAGER on the
// top-level `window` that is about to be mapped (its show event). The window
// manager drops the property whenever the window is hidden, so this is done
// before every showing.
void keepOffTaskbarAndPager(QWidget* window);

#include <optional>
class QPoint;

// The top-left corner of the shown top-level `window` on the screen, asked of
// the window system itself (Qt's own idea can lag behind the window manager).
// Empty where that cannot be asked.
std::optional<QPoint> windowSystemPlace(QWidget* window);
