// Check mark and button pictures painted with QPainter.
#include "settings/Pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int pictureSize = 16;

QPixmap canvas(qreal ratio)
{
    QPixmap pixmap(QSize(pictureSize, pictureSize) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPixmap buttonPicture(ListButton kind, qreal ratio)
{
    QPixmap pixmap = canvas(ratio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x20, 0x40, 0x90));
    QPainterPath path;
    switch (kind) {
    case ListButton::Add: // an arrow into the target list
        path.addPolygon(QPolygonF({{2, 6}, {8, 6}, {8, 2}, {14, 8}, {8, 14}, {8, 10}, {2, 10}}));
        break;
    case ListButton::Delete: // a cross
        p.setPen(QPen(QColor(0xA0, 0x20, 0x20), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
        return pixmap;
    case ListButton::MoveUp:
        path.addPolygon(QPolygonF({{8, 2}, {14, 9}, {10, 9}, {10, 14}, {6, 14}, {6, 9}, {2, 9}}));
        break;
    case ListButton::MoveDown:
        path.addPolygon(QPolygonF({{8, 14}, {14, 7}, {10, 7}, {10, 2}, {6, 2}, {6, 7}, {2, 7}}));
        break;
    }
    p.drawPath(path);
    return pixmap;
}

} // namespace

QPixmap CheckMarkPicture(qreal ratio)
{
    QPixmap pixmap = canvas(ratio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x00, 0x80, 0x00), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({{3, 8.5}, {6.5, 12}, {13, 4}}));
    return pixmap;
}

QIcon ListButtonIcon(ListButton kind)
{
    QIcon icon;
    icon.addPixmap(buttonPicture(kind, 1.0));
    icon.addPixmap(buttonPicture(kind, 2.0));
    return icon;
}
