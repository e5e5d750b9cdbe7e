// What a window tells the window manager it is.
#pragma once

#include <Qt>

class QWidget;

/// The window flags of a window that stands on the desktop by itself. In a Wayland session the
/// compositor's X window manager would centre it (sway), or frame it and take every click in the
/// frame (weston): there it bypasses the manager and stands exactly at its own place.
Qt::WindowFlags DesktopGadgetFlags();
/// Tells window managers that `window` stands on the desktop by itself: a utility window (tiling
/// managers float it at its own place), no taskbar or pager entry, neither frame nor shadow
/// from compositors that take a hint, and a window no manager gives the keyboard to (with the
/// flag Qt::WindowDoesNotAcceptFocus). Call once its native window exists and before it is
/// shown; nothing happens off X11.
void MarkAsDesktopGadget(QWidget *window);
