// The toolkit's own connection to the X server, for the calls it has no API for.
#pragma once

#include <QGuiApplication>
#include <qguiapplication_platform.h>
#include <xcb/xcb.h>

/// The application's X connection; null off X11 or before the application exists.
inline xcb_connection_t *X11Connection()
{
    const auto *x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}
