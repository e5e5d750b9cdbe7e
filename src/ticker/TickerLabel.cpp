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

/// The pixels reached from the image's border through pixels that are not `ink`.
std::vector<uchar> ReachedFromBorder(const std::vector<uchar> &ink, int width, int height)
{
    std::vector<uchar> reached(ink.size());
    std::vector<int> pending;
    const auto visit = [&](int x, int y) {
        const int at = y * width + x;
        if (x >= 0 && y >= 0 && x < width && y < height && !ink[size_t(at)] &&
            !reached[size_t(at)]) {
            reached[size_t(at)] = 1;
            pending.push_back(at);
        }
    };
    for (int x = 0; x < width; ++x) {
        visit(x, 0);
        visit(x, height - 1);
    }
    for (int y = 0; y < height; ++y) {
        visit(0, y);
        visit(width - 1, y);
    }
    while (!pending.empty()) {
        const int at = pending.back();
        pending.pop_back();
        const int x = at % width, y = at / width;
        visit(x - 1, y);
        visit(x + 1, y);
        visit(x, y - 1);
        visit(x, y + 1);
    }
    return reached;
}

/// Takes `edge` back wherever it would change which background the glyphs enclose: a counter
/// it fills (of 0, 6, 8 or 9) loses its edge, and a bay it closes (of 2, 3 or 5, or between two
/// glyphs) loses the edge across its mouth. Else "8" reads "3", "3" reads "8".
void KeepCountersOpen(std::vector<uchar> &edge, const std::vector<uchar> &glyph, int width,
                      int height)
{
    constexpr uchar solid = 128;
    std::vector<uchar> plainInk(glyph.size());
    for (size_t i = 0; i < glyph.size(); ++i)
        plainInk[i] = glyph[i] >= solid;
    const std::vector<uchar> plainOutside = ReachedFromBorder(plainInk, width, height);
    // A counter is background the glyph alone encloses: the edge stays out of it.
    for (size_t i = 0; i < edge.size(); ++i) {
        if (!plainInk[i] && !plainOutside[i])
            edge[i] = 0;
    }
    // A bay the edge closes opens one ring of edge at a time, until it meets the outside.
    const auto neighbours = [width, height](int at, auto &&each) {
        const int x = at % width, y = at / width;
        if (x > 0)
            each(at - 1);
        if (x < width - 1)
            each(at + 1);
        if (y > 0)
            each(at - width);
        if (y < height - 1)
            each(at + width);
    };
    for (bool closed = true; closed;) {
        std::vector<uchar> ink(edge.size());
        for (size_t i = 0; i < edge.size(); ++i)
            ink[i] = plainInk[i] || edge[i] >= solid;
        const std::vector<uchar> outside = ReachedFromBorder(ink, width, height);
        closed = false;
        std::vector<int> mouth;
        for (int at = 0; at < int(edge.size()); ++at) {
            if (ink[size_t(at)] || outside[size_t(at)] || !plainOutside[size_t(at)])
                continue;
            closed = true;
            neighbours(at, [&](int next) {
                if (!plainInk[size_t(next)] && edge[size_t(next)] >= solid)
                    mouth.push_back(next);
            });
        }
        for (int at : mouth)
            edge[size_t(at)] = 0;
        closed = closed && !mouth.empty();
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
    const std::vector<uchar> glyph = edge;
    spreadAlpha(edge, width, height, reach, true);
    spreadAlpha(edge, width, height, reach, false);
    KeepCountersOpen(edge, glyph, width, height);
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
