// Linux implementation of the process-level choices.
#include "desktop/Platform.h"

#include <unistd.h>
#include <xcb/xcb.h>

X11Choice ChooseX11()
{
    X11Choice choice;
    const QString display = qEnvironmentVariable("DISPLAY");
    if (!display.isEmpty()) {
        xcb_connection_t *connection = xcb_connect(display.toLocal8Bit().constData(), nullptr);
        choice.reachable = !xcb_connection_has_error(connection);
        xcb_disconnect(connection);
    }
    if (!choice.reachable) {
        choice.error =
            display.isEmpty()
                ? QStringLiteral("Tarnbeck needs X11 or XWayland, and DISPLAY is not set.")
                : QStringLiteral("Tarnbeck needs X11 or XWayland, and no X server answers at "
                                 "DISPLAY=%1.")
                      .arg(display);
        return choice;
    }
    const QString asked = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (!asked.isEmpty() && !asked.startsWith(QLatin1String("xcb")))
        choice.notice = QStringLiteral("Tarnbeck: QT_QPA_PLATFORM=%1 overridden: the ticker runs "
                                       "on X11 (XWayland in a Wayland session) to keep its place, "
                                       "shape and click-through.")
                            .arg(asked);
    return choice;
}

bool InWaylandSession()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland");
}

bool RunningAsRoot()
{
    return ::geteuid() == 0;
}
