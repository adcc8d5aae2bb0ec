#include "x11hints.h"

#include <QGuiApplication>
#include <QWidget>

#ifdef DIALMERE_HAVE_XCB
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace {
xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}
} // namespace
#endif

void keepOffTaskbar(QWidget* window) {
#ifdef DIALMERE_HAVE_XCB
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c || window->isVisible())
        return;
    const xcb_atom_t state = atom(c, "_NET_WM_STATE");
    const xcb_atom_t skip = atom(c, "_NET_WM_STATE_SKIP_TASKBAR");
    if (state == XCB_ATOM_NONE || skip == XCB_ATOM_NONE)
        return;
    // Qt's own connection: this request is ordered before Qt maps the window.
    xcb_change_property(c, XCB_PROP_MODE_APPEND, xcb_window_t(window->winId()), state,
                        XCB_ATOM_ATOM, 32, 1, &skip);
    xcb_flush(c);
#else
    Q_UNUSED(window);
#endif
}
