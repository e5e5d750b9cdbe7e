// Window shapes and moves: the pieces of a borderless, see-through window.
#pragma once

#include <QList>
#include <QRegion>
#include <QtMath>

class QImage;
class QWidget;

/// A coordinate in device pixels rounded to a whole pixel as Qt's raster engine rounds where an
/// image drawn there lands and where a child widget's painting is clipped: halves go up.
inline int DevicePixel(qreal device)
{
    return qFloor(device + 0.5);
}
/// A point of a window drawn at `ratio`, in the device pixels the X server counts.
inline QPoint DevicePoint(const QPoint &point, qreal ratio)
{
    return {DevicePixel(point.x() * ratio), DevicePixel(point.y() * ratio)};
}
/// The device pixels a child widget at `rect` paints into: its corners rounded.
inline QRect DeviceRect(const QRect &rect, qreal ratio)
{
    const QPoint start = DevicePoint(rect.topLeft(), ratio);
    const QPoint end = DevicePoint(rect.topLeft() + QPoint(rect.width(), rect.height()), ratio);
    return {start, QSize(end.x() - start.x(), end.y() - start.y())};
}

/// The pixels `widget` draws (without background), in the widget's own coordinates.
QRegion DrawnRegion(QWidget *widget);
/// The pixels of `image` that are not transparent, in the image's own pixels.
QRegion DrawnRegion(const QImage &image);
/// Hands a window drag to the window manager; false where none can take it.
bool StartSystemMove(QWidget *window);
/// Whether the primary mouse button is down now, wherever the pointer is.
bool PrimaryButtonHeld();

/// Where the window is drawn, in its device pixels; an empty region draws all of it. False while
/// the window has no native window yet: set it again once shown (creating it here would lose its
/// place).
bool SetBoundingShape(QWidget *window, const QRegion &region);
/// Where the window takes the pointer, in its device pixels; everywhere else it reaches what
/// lies below. The X server takes input only where the bounding shape draws too. False as above.
bool SetInputShape(QWidget *window, const QRegion &region);

/// A shape of a part that stays and parts that move, such as two texts sliding under a fixed
/// handle. The moving parts go to the X server once; each move then costs a few bytes however
/// many rectangles they have. Each part moves by its own offset: at a fractional scale two texts
/// a fixed number of logical pixels apart land a varying number of device pixels apart.
///
/// Where the text leaves, the X server repaints the desktop clipped by the window's shape, at a
/// cost of every exposed rectangle times every rectangle of that shape. A move therefore first
/// empties the shape of the window manager's frame, so the desktop is repainted under a plain
/// clip, then gives the frame the window's new shape at once (the manager would copy the same).
class MovingShape final
{
public:
    /// What moves: the bounding shape, which the pointer then follows (a window shaped to its
    /// pixels), or the input shape alone (a compositor blends the window unshaped).
    enum class Kind { Bounding, Input };

    MovingShape(QWidget *window, Kind kind);
    ~MovingShape();
    MovingShape(const MovingShape &) = delete;
    MovingShape &operator=(const MovingShape &) = delete;

    /// The parts in the window's device pixels: `still` in window coordinates, each moving part
    /// in its own, its origin at (0, 0).
    void set(const QRegion &still, const QList<QRegion> &moving);
    bool isSet() const { return m_set; }
    void clear() { m_set = false; }
    /// The shape becomes the still part and each moving part with its origin at its offset, in
    /// the window's device pixels.
    void moveTo(const QList<QPoint> &offsets);

private:
    QWidget *m_window;
    Kind m_kind;
    QRegion m_still;
    QList<QRegion> m_moving;       ///< kept only where the server cannot hold them
    QList<quint32> m_movingStores; ///< unmapped windows whose shapes hold the moving parts,
    quint32 m_stepStore = 0;       ///< and the shape of one step
    quint32 m_frame = 0;           ///< the window manager's frame around the window, if any
    QPoint m_inFrame;              ///< the window's place in its frame
    bool m_set = false;
};
