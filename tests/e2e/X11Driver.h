// Drives an X display from outside, as a user would: xdotool, screenshots, the window manager.
#pragma once

#include <QImage>
#include <QList>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

struct X11Window
{
    QString id;
    QRect rect;
};

namespace X11Driver {

/// True when a display and the tools are there; `why` says what is missing.
bool available(QString *why);
/// Runs a program to its end; its standard output, or empty on failure.
QString run(const QString &program, const QStringList &arguments);
/// Visible windows whose name matches the regular expression `name`.
QList<X11Window> windowsNamed(const QString &name);
/// The visible windows named `name` once there is one; empty when none comes within `timeoutMs`.
QList<X11Window> waitForWindowsNamed(const QString &name, int timeoutMs);
/// Whether every window named `name` is gone within `timeoutMs`.
bool windowsGone(const QString &name, int timeoutMs);
/// The visible window named `name` that `accept` takes, once it holds still between two looks
/// (a window being laid out moves); a null rectangle when none does within `timeoutMs`.
QRect waitForStillWindow(const QString &name, const std::function<bool(const QRect &)> &accept,
                         int timeoutMs);
/// Visible windows of the class `windowClass` (menus included).
QList<X11Window> windowsOfClass(const QString &windowClass);
/// The first visible window of the class `windowClass`, taller than `minHeight`, that is not in
/// `known`, once it appears within `timeoutMs`; an empty id when none does.
X11Window newWindowOfClass(const QString &windowClass, const QStringList &known, int minHeight,
                           int timeoutMs);
/// Whether a window manager has taken the display (its check window is there).
bool windowManagerRunning();
/// The running window manager's name for itself (its check window's _NET_WM_NAME); empty when
/// none runs.
QString windowManagerName();
/// Whether xcompmgr has taken the display as its compositing manager.
bool compositorRunning();
QSize screenSize();
QImage screenshot(const QString &path);
/// A screenshot once `area` shows the same picture in two looks one after the other and `window`
/// inside it holds more than one colour (mapped but not drawn yet, it shows one); a null image
/// after `timeoutMs`. `ready` may ask more of the picture before it counts.
QImage drawnScreenshot(const QString &path, const QRect &area, const QRect &window, int timeoutMs,
                       const std::function<bool(const QImage &)> &ready = {});
void mouseMove(const QPoint &at);
void click(const QPoint &at, int button = 1);
/// Clicks at `at` in the window's own coordinates (a decorated window's frame is not counted).
void clickInWindow(const QString &windowId, const QPoint &at, int button = 1);
void drag(const QPoint &from, const QPoint &to);
/// Types keys as the keyboard does (to the focused window, or to a menu holding the keyboard).
void key(const QString &keys);
/// Activates a managed window, then types keys to it (so the window manager sees them too).
void keyToWindow(const QString &windowId, const QString &keys);
/// Paints the desktop a plain colour (the X server must have a client connected to keep it).
void setDesktopColor(const QString &color);
/// The top-level window (a managed window's frame) that takes the pointer at `at`, after moving
/// the pointer there; the root window where the pointer passes through to the desktop.
QString windowUnderPointer(const QPoint &at);
QString rootWindow();
/// Whether the window `id`, or a window inside it, is named `name`.
bool holdsWindowNamed(const QString &id, const QString &name);
/// Pixels of `area` in `image` counted by colour: exactly `a`, exactly `b`, anything else.
struct ColorCount
{
    int a = 0;
    int b = 0;
    int other = 0;
};
ColorCount countColors(const QImage &image, const QRect &area, const QColor &a, const QColor &b);

} // namespace X11Driver
