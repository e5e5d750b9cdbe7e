// Drawn-pixel regions through an offscreen render, window shapes through the X Shape
// extension, and the system move.
#include "desktop/WindowShape.h"

#include "desktop/X11Connection.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QImage>
#include <QWidget>
#include <QWindow>
#include <vector>
#include <xcb/shape.h>
#include <xcb/xcb.h>

namespace {

void SetShape(xcb_connection_t *connection, xcb_shape_kind_t kind, xcb_window_t window,
              const QRegion &region, xcb_shape_op_t op = XCB_SHAPE_SO_SET)
{
    const std::vector<xcb_rectangle_t> rects = XcbRectangles(region);
    xcb_shape_rectangles(connection, op, kind, XCB_CLIP_ORDERING_YX_BANDED, window, 0, 0,
                         uint32_t(rects.size()), rects.data());
}

/// A region in device pixels in the window's logical pixels, for the toolkit's mask off X11.
QRegion LogicalRegion(const QWidget *window, const QRegion &region)
{
    const qreal ratio = window->devicePixelRatioF();
    if (qFuzzyCompare(ratio, 1.0))
        return region;
    QRegion logical;
    for (const QRect &r : region)
        logical += QRectF(QPointF(r.topLeft()) / ratio, QSizeF(r.size()) / ratio).toAlignedRect();
    return logical;
}

} // namespace

QRegion DrawnRegion(QWidget *widget)
{
    const QSize size = widget->size();
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return DrawnRegion(image);
}

QRegion DrawnRegion(const QImage &image)
{
    return QRegion(QBitmap::fromImage(image.createAlphaMask()));
}

bool StartSystemMove(QWidget *window)
{
    // A window that bypasses the manager is moved by nobody but us.
    if (window->windowFlags() & Qt::X11BypassWindowManagerHint)
        return false;
    QWindow *handle = window->windowHandle();
    return handle && handle->startSystemMove();
}

bool PrimaryButtonHeld()
{
    // During the window manager's move the button events go to it, not to us: ask the server.
    if (xcb_connection_t *connection = X11Connection()) {
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        if (xcb_query_pointer_reply_t *reply = xcb_query_pointer_reply(
                connection, xcb_query_pointer(connection, screen->root), nullptr)) {
            const bool held = reply->mask & XCB_BUTTON_MASK_1;
            free(reply);
            return held;
        }
    }
    return QGuiApplication::mouseButtons() & Qt::LeftButton;
}

bool SetBoundingShape(QWidget *window, const QRegion &region)
{
    // Straight to the server, not through the toolkit's mask: that would also clip painting to
    // a shape the slide moves behind its back.
    xcb_connection_t *connection = X11Connection();
    if (!connection) {
        if (region.isEmpty())
            window->clearMask();
        else
            window->setMask(LogicalRegion(window, region));
        return true;
    }
    const auto id = xcb_window_t(window->internalWinId());
    if (!id)
        return false;
    if (region.isEmpty())
        xcb_shape_mask(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, id, 0, 0, XCB_NONE);
    else
        SetShape(connection, XCB_SHAPE_SK_BOUNDING, id, region);
    xcb_flush(connection);
    return true;
}

bool SetInputShape(QWidget *window, const QRegion &region)
{
    xcb_connection_t *connection = X11Connection();
    if (!connection)
        return true; // nothing else knows an input shape apart from the drawn one
    const auto id = xcb_window_t(window->internalWinId());
    if (!id)
        return false;
    SetShape(connection, XCB_SHAPE_SK_INPUT, id, region);
    xcb_flush(connection);
    return true;
}

MovingShape::MovingShape(QWidget *window, Kind kind) : m_window(window), m_kind(kind) {}

MovingShape::~MovingShape()
{
    if (!m_stepStore)
        return;
    if (xcb_connection_t *connection = X11Connection()) {
        for (quint32 store : std::as_const(m_movingStores))
            xcb_destroy_window(connection, store);
        xcb_destroy_window(connection, m_stepStore);
        xcb_flush(connection);
    }
}

void MovingShape::set(const QRegion &still, const QList<QRegion> &moving)
{
    m_set = true;
    m_still = still;
    xcb_connection_t *connection = X11Connection();
    const auto id = xcb_window_t(m_window->internalWinId());
    if (!connection || !id) {
        m_moving = moving;
        return;
    }
    m_moving.clear();
    // Never mapped: they only hold regions the server can copy and move.
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t overrideRedirect = 1;
    const auto store = [&] {
        const xcb_window_t made = xcb_generate_id(connection);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, made, screen->root, -1, -1, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT,
                          XCB_CW_OVERRIDE_REDIRECT, &overrideRedirect);
        return made;
    };
    if (!m_stepStore)
        m_stepStore = store();
    while (m_movingStores.size() < moving.size())
        m_movingStores.append(store());
    for (qsizetype i = 0; i < moving.size(); ++i)
        SetShape(connection, XCB_SHAPE_SK_BOUNDING, m_movingStores[i], moving[i]);

    // The frame, asked once a slide: a window manager may reparent at any time.
    m_frame = 0;
    if (m_kind != Kind::Bounding)
        return;
    // The X server takes input only where the window is drawn: for the slide the pointer follows
    // the bounding shape, with no input shape of its own to change at every step (a window
    // manager copies each change onto its frame).
    xcb_shape_mask(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, id, 0, 0, XCB_NONE);
    if (auto *tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, id), nullptr)) {
        if (tree->parent != tree->root) {
            if (auto *at =
                    xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr)) {
                m_frame = tree->parent;
                m_inFrame = QPoint(at->x, at->y);
                free(at);
            }
        }
        free(tree);
    }
}

void MovingShape::moveTo(const QList<QPoint> &offsets)
{
    xcb_connection_t *connection = X11Connection();
    const auto id = xcb_window_t(m_window->internalWinId());
    if (!connection || !id || !m_stepStore) {
        if (m_kind != Kind::Bounding)
            return; // nothing else knows an input shape apart from the drawn one
        QRegion shape = m_still;
        for (qsizetype i = 0; i < qMin(offsets.size(), m_moving.size()); ++i)
            shape += m_moving[i].translated(offsets[i]);
        m_window->setMask(LogicalRegion(m_window, shape));
        return;
    }
    // The step's whole shape is made on an unmapped window, so the window changes only once.
    const qsizetype parts = qMin(offsets.size(), m_movingStores.size());
    for (qsizetype i = 0; i < parts; ++i)
        xcb_shape_combine(connection, i == 0 ? XCB_SHAPE_SO_SET : XCB_SHAPE_SO_UNION,
                          XCB_SHAPE_SK_BOUNDING, XCB_SHAPE_SK_BOUNDING, m_stepStore,
                          int16_t(offsets[i].x()), int16_t(offsets[i].y()), m_movingStores[i]);
    SetShape(connection, XCB_SHAPE_SK_BOUNDING, m_stepStore, m_still,
             parts ? XCB_SHAPE_SO_UNION : XCB_SHAPE_SO_SET);
    if (m_kind == Kind::Input) {
        // A click on a moving glyph is the ticker's, one between glyphs the desktop's.
        xcb_shape_combine(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_SHAPE_SK_BOUNDING,
                          id, 0, 0, m_stepStore);
    } else {
        if (m_frame)
            xcb_shape_rectangles(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING,
                                 XCB_CLIP_ORDERING_YX_BANDED, m_frame, 0, 0, 0, nullptr);
        xcb_shape_combine(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING,
                          XCB_SHAPE_SK_BOUNDING, id, 0, 0, m_stepStore);
        if (m_frame)
            xcb_shape_combine(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING,
                              XCB_SHAPE_SK_BOUNDING, m_frame, int16_t(m_inFrame.x()),
                              int16_t(m_inFrame.y()), id);
    }
    xcb_flush(connection);
}
