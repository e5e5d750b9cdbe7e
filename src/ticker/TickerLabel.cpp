// Ticker labels: plain text only, a report is data and never markup.
#include "ticker/TickerLabel.h"

#include "desktop/WindowShape.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

qreal relativeLuminance(const QColor &color)
{
    const auto linear = [](qreal c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) +
           0.0722 * linear(color.blueF());
}

/// Black or white, whichever has the higher contrast ratio with `text`.
QColor contrastingEdge(const QColor &text)
{
    const qreal l = relativeLuminance(text);
    return (l + 0.05) / 0.05 >= 1.05 / (l + 0.05) ? QColor(Qt::black) : QColor(Qt::white);
}

/// Each pixel's alpha becomes the highest within `reach` pixels along one axis.
void spreadAlpha(std::vector<uchar> &alpha, int width, int height, int reach, bool across)
{
    const std::vector<uchar> source = alpha;
    const int length = across ? width : height;
    const int lines = across ? height : width;
    for (int line = 0; line < lines; ++line) {
        for (int i = 0; i < length; ++i) {
            uchar highest = 0;
            for (int j = qMax(0, i - reach); j <= qMin(length - 1, i + reach); ++j) {
                const int at = across ? line * width + j : j * width + line;
                highest = std::max(highest, source[size_t(at)]);
            }
            alpha[size_t(across ? line * width + i : i * width + line)] = highest;
        }
    }
}

/// Draws an edge of `color`, `reach` device pixels wide, under the glyphs of `image`. Glyphs
/// drawn whole keep a whole edge; smoothed ones get an edge smoothed alike.
void DrawEdge(QImage &image, const QColor &color, int reach)
{
    const int width = image.width();
    const int height = image.height();
    std::vector<uchar> edge(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < width; ++x)
            edge[size_t(y * width + x)] = uchar(qAlpha(line[x]));
    }
    spreadAlpha(edge, width, height, reach, true);
    spreadAlpha(edge, width, height, reach, false);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            // The glyph over its edge, premultiplied.
            const QRgb glyph = line[x];
            const int under = edge[size_t(y * width + x)] * (255 - qAlpha(glyph)) / 255;
            line[x] = qRgba(qRed(glyph) + color.red() * under / 255,
                            qGreen(glyph) + color.green() * under / 255,
                            qBlue(glyph) + color.blue() * under / 255, qAlpha(glyph) + under);
        }
    }
}

} // namespace

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

void TickerLabel::setOutlined(bool outlined)
{
    if (outlined == m_outlined)
        return;
    m_outlined = outlined;
    // Room for the edge of a glyph at the label's border.
    const int margin = outlined ? 1 : 0;
    setContentsMargins(margin, margin, margin, margin);
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
    if (m_outlined)
        DrawEdge(m_image, contrastingEdge(palette().color(QPalette::WindowText)),
                 qMax(1, qRound(devicePixelRatioF())));
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
