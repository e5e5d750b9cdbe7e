// Drawn-pixel regions through an offscreen render, and the system move.
#include "platform/WindowShape.h"

#include <QBitmap>
#include <QImage>
#include <QWidget>
#include <QWindow>

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
