// Centring windows on a screen, counting the frame the window manager draws around them; a
// window above all others kept off the program's other windows.
#pragma once

#include <QList>
#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

class QScreen;

/// Top-left corner that centres a window of outer size `outer` on `screen`.
QPoint CentredOn(const QRect &screen, const QSize &outer);

/// The window the program stands on the desktop with (the ticker): windows opened with no shown
/// owner go on its screen. Held weakly; none by default.
void SetAnchorWindow(QWidget *window);

/// The screen a window opened for `owner` belongs on: that of the owner or of its nearest shown
/// ancestor, else the anchor window's once it has been shown, else the primary screen.
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

/// The frames of the program's shown windows other than `except`, its menus and tips left out,
/// in the desktop's logical pixels.
QList<QRect> ShownWindowFrames(const QWidget *except = nullptr);

/// Calls `changed` once one of the program's windows has been shown, hidden, moved or resized:
/// once per turn of the event loop at most, never within the event itself.
class WindowsWatch final : public QObject
{
public:
    explicit WindowsWatch(std::function<void()> changed, QObject *parent = nullptr);
    ~WindowsWatch() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> m_changed;
    QTimer m_soon;
};

/// The place nearest `home` where a window of `size` lies wholly within `area` and covers none
/// of `windows`: `home` itself when the window covers none there, none when no place does.
std::optional<QPoint> ClearPlace(const QRect &area, const QPoint &home, const QSize &size,
                                 const QList<QRect> &windows);

/// Keeps a window that bypasses the window manager off the program's other windows.
///
/// A window that bypasses the manager (the ticker in a Wayland session, through XWayland) is
/// drawn above every managed window: sway and its kind would show it over the program's own
/// dialogs and over the chart and camera windows, its text hiding theirs. Those windows cannot
/// be moved out of its way there, since sway centres a managed X window at each request to
/// move it; the window that bypasses the manager is the one that can stand where it likes. So
/// while a window of the program that it would cover is shown, it stands at the nearest place
/// on its screen clear of them all, or is hidden where the screen has no such place; when they
/// have gone it comes back exactly where it stood. Its own place (the one that is saved) is
/// never touched: the owner is told by asideChanged() and keeps it. Where the manager stacks
/// the window (every X11 desktop), the manager keeps the program's windows above it, and
/// nothing is done.
class StandAside final : public QObject
{
    Q_OBJECT
public:
    explicit StandAside(QWidget *window, QObject *parent = nullptr);
    ~StandAside() override;

    /// Whether `window` bypasses the window manager, and so stands above every other window.
    static bool bypassesManager(const QWidget *window);
    /// The frames of the program's windows in its other processes (tarnbeck-web's).
    void setOtherWindows(const QList<QRect> &frames);
    /// The user moves the window (`true`) or has done so: it is not moved meanwhile, and where
    /// the user left it is where it comes back to.
    void setHeld(bool held);
    /// Not at its own place: elsewhere or hidden.
    bool isAside() const { return m_aside; }
    /// Where it comes back to once nothing is in its way; meaningful while aside.
    QPoint home() const { return m_home; }
    /// Looks again now: the windows in its way, its size.
    void update();
    /// The window is closing: it is neither moved nor shown again.
    void stop() { m_window = nullptr; }

signals:
    /// The window leaves its own place (`true`) or is back there.
    void asideChanged(bool aside);

private:
    /// The windows in its way, each with room for a frame its manager does not tell of.
    QList<QRect> windowsInTheWay() const;
    void goAside(const std::optional<QPoint> &at);
    void comeBack();

    QPointer<QWidget> m_window;
    WindowsWatch m_watch;
    QList<QRect> m_others;
    QPoint m_home;
    QPoint m_heldAt;
    bool m_aside = false;
    bool m_hidden = false; ///< hidden here, not by the program
    bool m_held = false;
};
