// Drawn-pixel regions through an offscreen render, and the system move.
#include "platform/WindowShape.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QImage>
#include <QWidget>
#include <QWindow>
#include <qguiapplication_platform.h>
#include <xcb/xcb.h>

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
    QWindow *handle = window->windowHandle();
    return handle && handle->startSystemMove();
}

bool PrimaryButtonHeld()
{
    // During the window manager's move the button events go to it, not to us: ask the server.
    if (const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        xcb_connection_t *connection = x11->connection();
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
