// Drawn-pixel regions through an offscreen render, window shapes through the X Shape
// extension, and the system move.
#include "platform/WindowShape.h"

#include "platform/X11Connection.h"

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
            window->setMask(region);
        return true;
    }
    const auto id = xcb_window_t(window->internalWinId());
    if (!id)
        return false;
    if (region.isEmpty())
        xcb_shape_mask(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, id, 0, 0, XCB_NONE);
    else
        SetShape(connection, XCB_SHAPE_SK_BOUNDING, id, DeviceRegion(window, region));
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
    SetShape(connection, XCB_SHAPE_SK_INPUT, id, DeviceRegion(window, region));
    xcb_flush(connection);
    return true;
}

MovingShape::MovingShape(QWidget *window) : m_window(window) {}

MovingShape::~MovingShape()
{
    if (!m_movingStore)
        return;
    if (xcb_connection_t *connection = X11Connection()) {
        xcb_destroy_window(connection, m_movingStore);
        xcb_destroy_window(connection, m_stepStore);
        xcb_flush(connection);
    }
}

void MovingShape::set(const QRegion &still, const QRegion &moving)
{
    m_set = true;
    xcb_connection_t *connection = X11Connection();
    const auto id = xcb_window_t(m_window->internalWinId());
    if (!connection || !id) {
        m_still = still;
        m_moving = moving;
        return;
    }
    m_still = DeviceRegion(m_window, still);
    if (!m_movingStore) {
        // Never mapped: they only hold regions the server can copy and move.
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        const uint32_t overrideRedirect = 1;
        for (quint32 *store : {&m_movingStore, &m_stepStore}) {
            *store = xcb_generate_id(connection);
            xcb_create_window(connection, XCB_COPY_FROM_PARENT, *store, screen->root, -1, -1, 1, 1,
                              0, XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT,
                              XCB_CW_OVERRIDE_REDIRECT, &overrideRedirect);
        }
    }
    SetShape(connection, XCB_SHAPE_SK_BOUNDING, m_movingStore, DeviceRegion(m_window, moving));

    // The frame, asked once a slide: a window manager may reparent at any time.
    m_frame = 0;
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

void MovingShape::moveTo(const QPoint &offset)
{
    xcb_connection_t *connection = X11Connection();
    const auto id = xcb_window_t(m_window->internalWinId());
    if (!connection || !id || !m_movingStore) {
        m_window->setMask(m_still + m_moving.translated(offset));
        return;
    }
    const QPoint device = DevicePoint(m_window, offset);
    // The step's whole shape is made on an unmapped window, so the window changes only once.
    xcb_shape_combine(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, XCB_SHAPE_SK_BOUNDING,
                      m_stepStore, 0, 0, m_movingStore);
    SetShape(connection, XCB_SHAPE_SK_BOUNDING, m_stepStore, m_still.translated(-device),
             XCB_SHAPE_SO_UNION);
    if (m_frame)
        xcb_shape_rectangles(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING,
                             XCB_CLIP_ORDERING_YX_BANDED, m_frame, 0, 0, 0, nullptr);
    xcb_shape_combine(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, XCB_SHAPE_SK_BOUNDING,
                      id, int16_t(device.x()), int16_t(device.y()), m_stepStore);
    if (m_frame)
        xcb_shape_combine(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING,
                          XCB_SHAPE_SK_BOUNDING, m_frame, int16_t(m_inFrame.x()),
                          int16_t(m_inFrame.y()), id);
    xcb_flush(connection);
}
