// Ticker labels: plain text only, a report is data and never markup.
#include "ticker/TickerLabel.h"

#include "platform/WindowShape.h"

#include <QEvent>
#include <QPainter>

TickerLabel::TickerLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setMouseTracking(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TickerLabel::setCaption(const QString &caption)
{
    if (caption == m_caption && !text().isNull())
        return;
    m_caption = caption;
    QString shown = caption;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setText(shown);
    refit();
}

void TickerLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        refit();
}

void TickerLabel::refit()
{
    // Not adjustSize(): that caps the width at part of the screen, and a report line is long.
    resize(sizeHint());
    m_image = QImage();
    m_region = QRegion();
    m_box = QRect();
    if (m_caption.isEmpty())
        return;
    // Laid out once per caption, font or colour: every slide step then only copies pixels. The
    // shapes come from these very pixels, at the scale they are shown at.
    m_image = renderText(devicePixelRatioF());
    m_region = DrawnRegion(m_image);
    int left = m_image.width(), right = -1, top = -1, bottom = -1;
    for (int y = 0; y < m_image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(m_image.constScanLine(y));
        for (int x = 0; x < m_image.width(); ++x) {
            if (qAlpha(line[x])) {
                left = qMin(left, x);
                right = qMax(right, x);
                top = top < 0 ? y : top;
                bottom = y;
            }
        }
    }
    if (top >= 0)
        m_box = QRect(QPoint(left, top), QPoint(right, bottom));
}

QImage TickerLabel::renderText(qreal ratio)
{
    // Whole device pixels only: wherever a fractional scale puts the label, its painting is cut
    // to at least this many rows and columns.
    QImage image(qFloor(width() * ratio), qFloor(height() * ratio),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    m_rendering = true;
    render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    m_rendering = false;
    return image;
}

void TickerLabel::paintEvent(QPaintEvent *event)
{
    if (m_rendering || m_image.isNull() || m_image.devicePixelRatio() != devicePixelRatioF()) {
        QLabel::paintEvent(event);
        return;
    }
    // At a whole device pixel, rounded as the shapes are, whatever path the engine takes.
    QPainter painter(this);
    const QTransform device = painter.deviceTransform();
    const QPointF origin = device.map(QPointF());
    painter.setWorldTransform(
        QTransform::fromTranslate(DevicePixel(origin.x()), DevicePixel(origin.y())) *
        device.inverted());
    painter.drawImage(QRectF(m_image.rect()), m_image, QRectF(m_image.rect()));
}
