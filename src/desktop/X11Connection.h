// The toolkit's own connection to the X server, for the calls it has no API for.
#pragma once

#include <QGuiApplication>
#include <QRegion>
#include <QWidget>
#include <qguiapplication_platform.h>
#include <vector>
#include <xcb/xcb.h>

/// The application's X connection; null off X11 or before the application exists.
inline xcb_connection_t *X11Connection()
{
    const auto *x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

/// The atom named `name`, or XCB_ATOM_NONE.
inline xcb_atom_t InternAtom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(qstrlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

/// The rectangles of `region` as the X protocol takes them.
inline std::vector<xcb_rectangle_t> XcbRectangles(const QRegion &region)
{
    std::vector<xcb_rectangle_t> rects;
    rects.reserve(size_t(region.rectCount()));
    for (const QRect &r : region)
        rects.push_back(
            {int16_t(r.x()), int16_t(r.y()), uint16_t(r.width()), uint16_t(r.height())});
    return rects;
}
