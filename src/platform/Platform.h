// Process-level platform choices made before the application object exists.
#pragma once

/// In a Wayland session, asks Qt for X11 (XWayland): only there may a window place itself.
/// An explicit QT_QPA_PLATFORM is left alone.
void PreferX11OnWayland();
/// True when the process runs as root.
bool RunningAsRoot();
