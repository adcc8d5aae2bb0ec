// Window manager hints that Qt does not set itself.
#pragma once

class QWidget;

// Keeps a top-level window out of the taskbar and the pager. Call before the
// window is first shown; on a platform other than X11 it does nothing.
void keepOffTaskbar(QWidget* window);
