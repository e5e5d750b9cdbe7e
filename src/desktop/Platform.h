// Process-level platform choices made before the application object exists.
#pragma once

#include <QString>

/// The ticker runs on X11 only: its place, its shape and click-through are what it is, and a
/// Wayland session grants none of them (XWayland does).
struct X11Choice
{
    bool reachable = false; ///< an X server answers at DISPLAY
    QString notice;         ///< one line to print: a platform asked for is overridden
    QString error;          ///< why the ticker cannot run here; empty when it can
};

/// Looks for an X server without touching the environment, so that programs the ticker starts
/// get the user's own. The caller hands Qt "-platform xcb".
X11Choice ChooseX11();
/// True in a Wayland session (the ticker then still runs through XWayland).
bool InWaylandSession();
/// True when the process runs as root.
bool RunningAsRoot();
