// Moving the ticker by its handle, and the place that is saved.
#pragma once

#include <QPoint>

class QMouseEvent;
class QWidget;

/// A drag of a borderless window by its handle: the window manager's own move where one takes
/// it, else the window follows the pointer until the button is released. Only a place the user
/// dragged to or the program chose is the window's place; a move forced on it is not. Places are
/// the window's own, never those of a frame a window manager may draw around it.
class DragHandle final
{
public:
    explicit DragHandle(QWidget *window) : m_window(window) {}

    /// Where a first run puts a window, and where an unreachable stored place falls back to.
    static QPoint defaultPosition();
    /// The stored place in pixels; the default where it is 0.
    static QPoint storedPosition(float posX, float posY);
    /// The stored place in pixels, or the default when it is 0 or lies on no present screen.
    static QPoint startPosition(float posX, float posY);

    /// Where the user or the program put the window: the place that is saved.
    QPoint place() const { return m_place; }
    /// Moves the window to a place the program chose.
    void placeAt(const QPoint &place) { showAt(place, place); }
    /// Shows the window at `shown` while its place stays `place` (a stored place that lies on no
    /// present screen: it is kept for when that screen comes back).
    void showAt(const QPoint &shown, const QPoint &place);
    /// The window's size changed: back to its place when a window manager had pushed it away
    /// and it fits there again, unless it stands aside.
    void windowResized();
    /// The window stands aside for now (StandAside) or is back: moves meanwhile are not the
    /// user's, and the place stays.
    void setAside(bool aside) { m_aside = aside; }

    /// The left button went down on the handle.
    void pressed(const QMouseEvent *event);
    /// The pointer moved over the window with `event`'s buttons held.
    void moved(const QMouseEvent *event);
    void released();
    /// The window moved, by whatever cause.
    void windowMoved();
    /// The window is about to change size: later moves may be the window manager's own.
    void windowResizing();

private:
    enum class State { None, System, Following };

    QWidget *m_window;
    State m_state = State::None;
    QPoint m_offset;        ///< the pointer's offset in the window when the handle was pressed
    bool m_pressed = false; ///< the left button went down on the handle; a move drags
    bool m_aside = false;   ///< out of other windows' way for now, not at its place
    QPoint m_place;
};
