// Pixmap, copies and image uploads through the toolkit's X connection.
#include "desktop/ServerSlide.h"

#include "desktop/X11Connection.h"

#include <QWidget>
#include <climits>
#include <vector>
#include <xcb/xcb.h>

namespace {

/// Sends `image` to `drawable` at `at`, split so that no request exceeds the server's limit.
void PutImage(xcb_connection_t *c, xcb_drawable_t drawable, xcb_gcontext_t gc, const QImage &image,
              const QPoint &at)
{
    const uint32_t maxBytes = xcb_get_maximum_request_length(c) * 4 - 64;
    const int line = int(image.bytesPerLine());
    const int rowsPerRequest = qMax(1, int(maxBytes) / line);
    for (int y = 0; y < image.height(); y += rowsPerRequest) {
        const int rows = qMin(rowsPerRequest, image.height() - y);
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, gc, uint16_t(image.width()),
                      uint16_t(rows), int16_t(at.x()), int16_t(at.y() + y), 0, 32,
                      uint32_t(line * rows), image.constScanLine(y));
    }
}

} // namespace

ServerSlide::ServerSlide(QWidget *window) : m_window(window) {}

ServerSlide::~ServerSlide()
{
    stop();
}

bool ServerSlide::start(const QImage &content, const QRegion &keep)
{
    stop();
    xcb_connection_t *c = X11Connection();
    if (!c || !m_window->testAttribute(Qt::WA_WState_Created) || content.isNull())
        return false;
    const xcb_window_t window = xcb_window_t(m_window->winId());
    // Pixels go as they are: the window must be 32-bit and the server's byte order ours.
    const xcb_setup_t *setup = xcb_get_setup(c);
    const bool littleEndian = QSysInfo::ByteOrder == QSysInfo::LittleEndian;
    if ((setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST) != littleEndian)
        return false;
    xcb_get_geometry_reply_t *geometry =
        xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    const bool deep = geometry && geometry->depth == 32;
    free(geometry);
    if (!deep)
        return false;

    const QImage pixels = content.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    m_size = pixels.size();
    m_pixmap = xcb_generate_id(c);
    xcb_create_pixmap(c, 32, m_pixmap, window, uint16_t(m_size.width()), uint16_t(m_size.height()));
    m_gc = xcb_generate_id(c);
    const uint32_t noExposures = 0;
    xcb_create_gc(c, m_gc, m_pixmap, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    PutImage(c, m_pixmap, m_gc, pixels, QPoint());

    m_copyGc = xcb_generate_id(c);
    xcb_create_gc(c, m_copyGc, m_pixmap, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    const std::vector<xcb_rectangle_t> clip =
        XcbRectangles(QRegion(0, 0, SHRT_MAX, SHRT_MAX) - keep);
    xcb_set_clip_rectangles(c, XCB_CLIP_ORDERING_YX_BANDED, m_copyGc, 0, 0, uint32_t(clip.size()),
                            clip.data());
    return true;
}

void ServerSlide::showAt(const QPoint &origin, const QRect &part)
{
    xcb_connection_t *c = X11Connection();
    if (!c || !m_pixmap)
        return;
    const QRect from = part & QRect(QPoint(), m_size);
    if (from.isEmpty())
        return;
    // The server cuts the copy to the window.
    xcb_copy_area(c, m_pixmap, xcb_window_t(m_window->winId()), m_copyGc, int16_t(from.x()),
                  int16_t(from.y()), int16_t(origin.x()), int16_t(origin.y()),
                  uint16_t(from.width()), uint16_t(from.height()));
    xcb_flush(c);
}

void ServerSlide::patch(const QImage &image, const QPoint &at)
{
    xcb_connection_t *c = X11Connection();
    if (!c || !m_pixmap || image.isNull())
        return;
    PutImage(c, xcb_window_t(m_window->winId()), m_gc,
             image.convertToFormat(QImage::Format_ARGB32_Premultiplied), at);
    xcb_flush(c);
}

void ServerSlide::stop()
{
    xcb_connection_t *c = X11Connection();
    if (c && m_pixmap) {
        xcb_free_gc(c, m_gc);
        xcb_free_gc(c, m_copyGc);
        xcb_free_pixmap(c, m_pixmap);
        xcb_flush(c);
    }
    m_pixmap = 0;
    m_gc = 0;
    m_copyGc = 0;
}
