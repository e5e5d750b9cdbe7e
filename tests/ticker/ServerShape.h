// A window's shape as the X server holds it, for the tests that check what really stands there.
#pragma once

#include "desktop/X11Connection.h"

#include <QRegion>
#include <xcb/shape.h>

/// The bounding or input shape of `window`, in the server's pixels.
inline QRegion ServerShape(xcb_window_t window, xcb_shape_kind_t kind)
{
    xcb_connection_t *connection = X11Connection();
    QRegion region;
    auto *reply = xcb_shape_get_rectangles_reply(
        connection, xcb_shape_get_rectangles(connection, window, kind), nullptr);
    if (!reply)
        return region;
    const xcb_rectangle_t *rects = xcb_shape_get_rectangles_rectangles(reply);
    for (int i = 0; i < xcb_shape_get_rectangles_rectangles_length(reply); ++i)
        region += QRect(rects[i].x, rects[i].y, rects[i].width, rects[i].height);
    free(reply);
    return region;
}
