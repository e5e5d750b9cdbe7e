// Centring windows on a screen, counting the frame the window manager draws around them.
#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QScreen;
class QWidget;

/// Top-left corner that centres a window of outer size `outer` on `screen`.
QPoint CentredOn(const QRect &screen, const QSize &outer);

/// The window the program stands on the desktop with (the ticker): windows opened with no shown
/// owner go on its screen. Held weakly; none by default.
void SetAnchorWindow(QWidget *window);

/// The screen a window opened for `owner` belongs on: that of the owner or of its nearest shown
/// ancestor, else the anchor window's, else the primary screen.
QScreen *ScreenFor(const QWidget *owner);

/// The frame the window manager draws around the top-level `window`, in logical pixels; none
/// where no manager draws one. Before the window is first shown the manager is asked for it, so
/// ask once the size limits are set: a resizable window may get a wider frame.
QMargins WindowFrame(QWidget *window);

/// Shows `window` in front with the keyboard, for a user's action in another of the program's
/// processes. A window manager that guards against focus stealing (mutter, KWin) compares the
/// times of user actions, and this process may have seen none as recent as that one: after
/// Qt's own request (which openbox takes) comes one with the X server's time now.
void BringForward(QWidget *window);

/// Moves `window` so that its outer frame is centred on `screen`; call before it is mapped, in
/// its showEvent at the latest, so that it never appears anywhere else.
void CentreOnScreen(QWidget *window, QScreen *screen);
/// The same with a frame already known.
void CentreOnScreen(QWidget *window, QScreen *screen, const QMargins &frame);
