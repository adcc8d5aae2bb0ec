#include "windowhints.h"

#include <QGuiApplication>
#include <QWidget>

// Xlib comes last: its macros (None, Bool, Status, ...) clash with Qt's names.
#ifdef DIALMERE_HAVE_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

void keepOffTaskbar(QWidget* window) {
#ifdef DIALMERE_HAVE_X11
    if (!window || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return;
    // Set on the window before it is mapped, the state is read by the window
    // manager when it takes the window; Qt adds its own states to it on show.
    const auto id = static_cast<::Window>(window->winId());
    Atom states[2] = {XInternAtom(display, "_NET_WM_STATE_SKIP_TASKBAR", False),
                      XInternAtom(display, "_NET_WM_STATE_SKIP_PAGER", False)};
    XChangeProperty(display, id, XInternAtom(display, "_NET_WM_STATE", False), XA_ATOM, 32,
                    PropModeAppend, reinterpret_cast<unsigned char*>(states), 2);
    XFlush(display);
#else
    (void)window;
#endif
}
