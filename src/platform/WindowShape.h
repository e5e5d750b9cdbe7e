// Window shapes and moves: the pieces of a borderless, see-through window.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QRegion>

class QImage;
class QWidget;

/// The pixels `widget` draws (without background), in the widget's own coordinates.
QRegion DrawnRegion(QWidget *widget);
/// The pixels of `image` that are not transparent, in the image's own pixels.
QRegion DrawnRegion(const QImage &image);
/// Hands a window drag to the window manager; false where none can take it.
bool StartSystemMove(QWidget *window);
/// Whether the primary mouse button is down now, wherever the pointer is.
bool PrimaryButtonHeld();

/// Where the window is drawn; an empty region draws all of it. False while the window has no
/// native window yet: set it again once shown (creating it here would lose its place).
bool SetBoundingShape(QWidget *window, const QRegion &region);
/// Where the window takes the pointer; everywhere else it reaches what lies below. The X
/// server takes input only where the bounding shape draws too. False as above.
bool SetInputShape(QWidget *window, const QRegion &region);

/// A bounding shape of a part that stays and a part that moves, such as text sliding under a
/// fixed handle. The moving part goes to the X server once; each move then costs a few bytes
/// however many rectangles it has.
///
/// Where the text leaves, the X server repaints the desktop clipped by the window's shape, at a
/// cost of every exposed rectangle times every rectangle of that shape. A move therefore first
/// empties the shape of the window manager's frame, so the desktop is repainted under a plain
/// clip, then gives the frame the window's new shape at once (the manager would copy the same).
class MovingShape final
{
public:
    explicit MovingShape(QWidget *window);
    ~MovingShape();
    MovingShape(const MovingShape &) = delete;
    MovingShape &operator=(const MovingShape &) = delete;

    /// The two parts, in window coordinates with the moving part at offset (0, 0).
    void set(const QRegion &still, const QRegion &moving);
    bool isSet() const { return m_set; }
    void clear() { m_set = false; }
    /// The window's bounding shape becomes the still part and the moving part at `offset`.
    void moveTo(const QPoint &offset);

private:
    QWidget *m_window;
    QRegion m_still;
    QRegion m_moving;          ///< kept only where the server cannot hold it
    quint32 m_movingStore = 0; ///< unmapped windows whose shapes hold the moving part,
    quint32 m_stepStore = 0;   ///< and the shape of one step
    quint32 m_frame = 0;       ///< the window manager's frame around the window, if any
    QPoint m_inFrame;          ///< the window's place in its frame
    bool m_set = false;
};
