// Linux implementation of the process-level choices.
#include "platform/Platform.h"

#include <QByteArray>
#include <QString>
#include <unistd.h>

void PreferX11OnWayland()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    if (qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ||
        qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

bool RunningAsRoot()
{
    return ::geteuid() == 0;
}
