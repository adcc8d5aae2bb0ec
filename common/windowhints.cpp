#include "windowhints.h"

#include <QGuiApplication>
#include <QPoint>
#include <QWidget>
#include <QWindow>

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

void keepOffTaskbarAndPager(QWidget* window) {
#ifdef DIALMERE_HAVE_XCB
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c || !window)
        return;
    const xcb_atom_t state = atom(c, "_NET_WM_STATE");
    const xcb_atom_t skip[2] = {atom(c, "_NET_WM_STATE_SKIP_TASKBAR"),
                                atom(c, "_NET_WM_STATE_SKIP_PAGER")};
    if (state == XCB_ATOM_NONE || skip[0] == XCB_ATOM_NONE || skip[1] == XCB_ATOM_NONE)
        return;
    // Qt's own connection: ordered before Qt maps the window, and Qt merges
    // its own states into the property when it maps it.
    xcb_change_property(c, XCB_PROP_MODE_APPEND, xcb_window_t(window->winId()), state,
                        XCB_ATOM_ATOM, 32, 2, skip);
    xcb_flush(c);
#else
    Q_UNUSED(window);
#endif
}

std::optional<QPoint> windowSystemPlace(QWidget* window) {
#ifdef DIALMERE_HAVE_XCB
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c || !window || !window->windowHandle())
        return std::nullopt;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (!screen)
        return std::nullopt;
    const xcb_translate_coordinates_cookie_t cookie =
        xcb_translate_coordinates(c, xcb_window_t(window->winId()), screen->root, 0, 0);
    xcb_translate_coordinates_reply_t* reply = xcb_translate_coordinates_reply(c, cookie, nullptr);
    if (!reply)
        return std::nullopt;
    // X11 pixels to Qt's logical pixels.
    const qreal ratio = window->windowHandle()->devicePixelRatio();
    const QPoint place(qRound(reply->dst_x / ratio), qRound(reply->dst_y / ratio));
    std::free(reply);
    return place;
#else
    Q_UNUSED(window);
    return std::nullopt;
#endif
}
