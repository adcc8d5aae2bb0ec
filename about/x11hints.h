// What Qt cannot say to an X11 window manager by itself.
#pragma once

class QWidget;

// Keeps the not yet shown top-level `window` out of the taskbar: sets
// _NET_WM_STATE_SKIP_TASKBAR, which Qt merges with its own states when it
// maps the window. Does nothing on other platforms.
void keepOffTaskbar(QWidget* window);
