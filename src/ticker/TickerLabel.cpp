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
    if (m_caption.isEmpty())
        return;
    // Laid out once per caption, font or colour: every slide step then only copies pixels.
    const qreal ratio = devicePixelRatioF();
    m_image = renderText(ratio);
    m_region = DrawnRegion(qFuzzyCompare(ratio, 1.0) ? m_image : renderText(1.0));
}

QImage TickerLabel::renderText(qreal ratio)
{
    QImage image(size() * ratio, QImage::Format_ARGB32_Premultiplied);
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
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
}
