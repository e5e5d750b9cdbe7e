// Draws the pictures the end-to-end run serves to the chart and camera windows, so that the
// README's screenshots show what those windows are for: a surface weather chart and a runway
// seen from an airport camera, and the chart again as a PDF, standing in for the Japan
// Meteorological Agency's surface analysis. Usage: draw_pictures <output directory>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRandomGenerator>
#include <QTextStream>
#include <QTransform>
#include <cmath>

namespace {

// The sizes of the two windows' browsers, so that no dark margin shows around a picture and
// nothing is shrunk to fit.
constexpr QSize chartSize(640, 487);
constexpr QSize cameraSize(681, 394);
constexpr int cameraShown = 394;

QFont font(int pixels, bool bold = false)
{
    QFont f(QStringLiteral("Noto Sans CJK JP"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

/// Sea-level pressure of the chart, in hPa: a high in the west, a deep low in the north-east.
double pressure(double x, double y)
{
    const auto bump = [&](double cx, double cy, double sx, double sy) {
        const double dx = (x - cx) / sx, dy = (y - cy) / sy;
        return std::exp(-(dx * dx + dy * dy));
    };
    return 1012.0 + 20.0 * bump(150, 330, 230, 170) - 30.0 * bump(470, 150, 160, 140) +
           6.0 * bump(560, 420, 120, 120) - 0.01 * y;
}

/// The isobars every 4 hPa by marching squares, each labelled once where it is lowest on the
/// chart's right half.
void drawIsobars(QPainter &p, const QRect &area)
{
    constexpr int step = 4;
    QMap<int, QPointF> labelAt;
    p.setPen(QPen(QColor(60, 60, 60), 1.1));
    for (int y = area.top(); y < area.bottom(); y += step) {
        for (int x = area.left(); x < area.right(); x += step) {
            const double c[4] = {pressure(x, y), pressure(x + step, y),
                                 pressure(x + step, y + step), pressure(x, y + step)};
            const QPointF corner[4] = {QPointF(x, y), QPointF(x + step, y),
                                       QPointF(x + step, y + step), QPointF(x, y + step)};
            const double low = std::min({c[0], c[1], c[2], c[3]});
            const double high = std::max({c[0], c[1], c[2], c[3]});
            for (int level = int(std::ceil(low / 4.0)) * 4; level <= high; level += 4) {
                QList<QPointF> crossings;
                for (int e = 0; e < 4; ++e) {
                    const double a = c[e], b = c[(e + 1) % 4];
                    if ((a < level) != (b < level)) {
                        const double t = (level - a) / (b - a);
                        crossings.append(corner[e] + t * (corner[(e + 1) % 4] - corner[e]));
                    }
                }
                if (crossings.size() >= 2)
                    p.drawLine(crossings[0], crossings[1]);
                if (crossings.size() == 4)
                    p.drawLine(crossings[2], crossings[3]);
                if (!crossings.isEmpty() && x > area.center().x() &&
                    (!labelAt.contains(level) || crossings[0].y() > labelAt[level].y()))
                    labelAt[level] = crossings[0];
            }
        }
    }
    p.setFont(font(10));
    for (auto it = labelAt.cbegin(); it != labelAt.cend(); ++it) {
        if (it.key() % 8 != 0 || !area.adjusted(20, 20, -20, -20).contains(it.value().toPoint()))
            continue;
        const QString text = QString::number(it.key());
        const QRectF box(it.value() - QPointF(13, 7), QSizeF(26, 14));
        p.fillRect(box, QColor(236, 242, 247));
        p.drawText(box, Qt::AlignCenter, text);
    }
}

/// A front along `path`: triangles (cold) on its right, semicircles (warm) on its left, the side
/// each moves towards as these two are drawn.
void drawFront(QPainter &p, const QPainterPath &path, const QColor &colour, bool cold)
{
    p.setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    const int marks = int(path.length() / 34);
    for (int i = 0; i < marks; ++i) {
        const qreal t = path.percentAtLength((i + 0.5) * path.length() / marks);
        const QPointF at = path.pointAtPercent(t);
        QTransform along;
        along.translate(at.x(), at.y());
        along.rotate(-path.angleAtPercent(t));
        p.save();
        p.setTransform(along, true);
        if (cold) {
            p.drawPolygon(QPolygonF({QPointF(-8, 0), QPointF(8, 0), QPointF(0, 11)}));
        } else {
            QPainterPath half;
            half.moveTo(-8, 0);
            half.arcTo(QRectF(-8, -8, 16, 16), 0, 180);
            p.drawPath(half);
        }
        p.restore();
    }
}

QImage drawChart()
{
    QImage image(chartSize, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect map(0, 34, chartSize.width(), chartSize.height() - 34);
    p.fillRect(image.rect(), QColor(236, 242, 247));

    // Land: a continent in the west and an island arc, in the chart's pale tan.
    p.setPen(QPen(QColor(150, 140, 120), 1));
    p.setBrush(QColor(245, 238, 220));
    QPainterPath continent;
    continent.moveTo(0, 60);
    continent.cubicTo(120, 40, 200, 70, 260, 130);
    continent.cubicTo(230, 180, 270, 230, 220, 280);
    continent.cubicTo(180, 330, 150, 420, 90, 487);
    continent.lineTo(0, 487);
    continent.closeSubpath();
    p.drawPath(continent);
    const QList<QPolygonF> islands = {
        QPolygonF({{465, 205}, {500, 190}, {515, 215}, {492, 238}, {468, 230}}),
        QPolygonF({{470, 260},
                   {485, 250},
                   {470, 300},
                   {430, 345},
                   {380, 365},
                   {372, 352},
                   {420, 320},
                   {455, 290}}),
        QPolygonF({{365, 370}, {390, 372}, {380, 395}, {352, 405}, {345, 388}}),
        QPolygonF({{320, 395}, {340, 390}, {335, 425}, {312, 430}})};
    for (const QPolygonF &island : islands)
        p.drawPolygon(island);

    // Meridians and parallels every ten degrees.
    p.setPen(QPen(QColor(150, 170, 190), 1, Qt::DashLine));
    p.setFont(font(10));
    for (int i = 0; i < 4; ++i) {
        const int x = 80 + i * 160;
        p.drawLine(x, map.top(), x, map.bottom());
        p.drawText(x + 3, map.bottom() - 4, QStringLiteral("%1°E").arg(120 + i * 10));
    }
    for (int i = 0; i < 3; ++i) {
        const int y = 120 + i * 140;
        p.drawLine(0, y, map.right(), y);
        p.drawText(4, y - 3, QStringLiteral("%1°N").arg(50 - i * 10));
    }

    drawIsobars(p, map);

    // The low's fronts: cold to the south-west, warm to the south-east.
    QPainterPath cold(QPointF(470, 150));
    cold.cubicTo(440, 230, 380, 280, 300, 330);
    drawFront(p, cold, QColor(30, 80, 200), true);
    QPainterPath warm(QPointF(470, 150));
    warm.cubicTo(520, 170, 560, 210, 610, 230);
    drawFront(p, warm, QColor(210, 40, 40), false);

    // Each centre: a cross, the letter, the kanji and the central pressure beside it.
    const auto centre = [&](const QPointF &at, const QString &letter, const QString &kanji,
                            const QString &value, const QColor &colour) {
        p.setPen(QPen(colour, 2));
        p.drawLine(at + QPointF(-5, -5), at + QPointF(5, 5));
        p.drawLine(at + QPointF(-5, 5), at + QPointF(5, -5));
        p.setFont(font(34, true));
        p.drawText(QRectF(at + QPointF(-62, -48), QSizeF(40, 44)), Qt::AlignCenter, letter);
        p.setFont(font(13, true));
        p.drawText(QRectF(at + QPointF(-26, -40), QSizeF(20, 18)), Qt::AlignCenter, kanji);
        p.drawText(QRectF(at + QPointF(-64, -6), QSizeF(44, 18)), Qt::AlignCenter, value);
    };
    centre({150, 330}, QStringLiteral("H"), QStringLiteral("高"), QStringLiteral("1032"),
           QColor(20, 60, 200));
    centre({470, 150}, QStringLiteral("L"), QStringLiteral("低"), QStringLiteral("982"),
           QColor(200, 20, 20));

    // Title bar, as printed charts carry one.
    p.fillRect(QRect(0, 0, chartSize.width(), 34), QColor(40, 70, 110));
    p.setPen(Qt::white);
    p.setFont(font(17, true));
    p.drawText(QRect(12, 0, chartSize.width() - 24, 34), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("地上天気図  12月8日 09時 (JST)"));
    p.setFont(font(11));
    p.drawText(QRect(12, 0, chartSize.width() - 24, 34), Qt::AlignVCenter | Qt::AlignRight,
               QStringLiteral("Tarnbeck test picture"));
    return image;
}

QImage drawRunway()
{
    QImage image(cameraSize, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const int w = cameraSize.width(), h = cameraShown, full = cameraSize.height();
    const int horizon = 170;

    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor(70, 120, 190));
    sky.setColorAt(1, QColor(200, 220, 235));
    p.fillRect(QRect(0, 0, w, horizon), sky);
    // A few flat clouds.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 170));
    for (const QRectF &cloud : {QRectF(60, 40, 150, 22), QRectF(110, 30, 90, 24),
                                QRectF(420, 70, 180, 18), QRectF(480, 60, 80, 20)})
        p.drawEllipse(cloud);

    // Distant mountains, paler with distance.
    const auto ridge = [&](int base, int amplitude, double phase, const QColor &colour) {
        QPainterPath path(QPointF(0, horizon));
        for (int x = 0; x <= w; x += 10)
            path.lineTo(x, base - amplitude * (0.6 + 0.4 * std::sin(x / 53.0 + phase)) *
                                      (0.5 + 0.5 * std::sin(x / 131.0 + 2 * phase)));
        path.lineTo(w, horizon);
        path.closeSubpath();
        p.fillPath(path, colour);
    };
    ridge(horizon, 70, 0.4, QColor(150, 165, 185));
    ridge(horizon, 40, 2.1, QColor(110, 130, 140));

    QLinearGradient grass(0, horizon, 0, h);
    grass.setColorAt(0, QColor(120, 140, 90));
    grass.setColorAt(1, QColor(70, 110, 50));
    p.fillRect(QRect(0, horizon, w, full - horizon), grass);

    // The runway in its own plane, 60 m by 3000 m, seen in perspective from the threshold.
    const QPolygonF plane({{0, 0}, {60, 0}, {60, 3000}, {0, 3000}});
    const QPolygonF seen(
        {{80, h + 60.0}, {700, h + 60.0}, {352, horizon + 3.0}, {338, horizon + 3.0}});
    QTransform view;
    QTransform::quadToQuad(plane, seen, view);
    // The runway before the threshold, below what the window shows: its edges run on straight.
    const auto edgeAt = [&](const QPointF &near, const QPointF &far, qreal y) {
        return QPointF(near.x() + (near.x() - far.x()) * (y - near.y()) / (near.y() - far.y()), y);
    };
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 72, 75));
    p.drawPolygon(QPolygonF({seen[0], seen[1], edgeAt(seen[1], seen[2], full + 1),
                             edgeAt(seen[0], seen[3], full + 1)}));
    p.save();
    p.setTransform(view);
    p.fillRect(QRectF(0, 0, 60, 3000), QColor(70, 72, 75));
    p.setBrush(QColor(235, 235, 230));
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 8; ++i) // threshold bars
        p.drawRect(QRectF(3 + i * 3.3 + (i >= 4 ? 14 : 0), 10, 2.2, 60));
    for (int y = 160; y < 3000; y += 60) // centre line
        p.drawRect(QRectF(29.6, y, 0.8, 30));
    p.drawRect(QRectF(0.5, 0, 0.6, 3000)); // edges
    p.drawRect(QRectF(58.9, 0, 0.6, 3000));
    for (int y = 300; y < 3000; y += 450) { // touchdown zone
        p.drawRect(QRectF(20, y, 3, 22 - y / 200.0));
        p.drawRect(QRectF(37, y, 3, 22 - y / 200.0));
    }
    // The designator, upright for a pilot on approach.
    p.setPen(QColor(235, 235, 230));
    p.setFont(font(22, true));
    p.translate(30, 115);
    p.scale(1, -2.5); // drawn long, to read right from a low angle
    p.drawText(QRectF(-16, -12, 32, 24), Qt::AlignCenter, QStringLiteral("34"));
    p.restore();

    // Edge lights.
    p.setBrush(QColor(255, 240, 180));
    for (int y = 0; y < 3000; y += 100) {
        for (const qreal x : {-2.0, 62.0}) {
            const QPointF at = view.map(QPointF(x, y));
            const qreal r = std::max(0.8, 3.5 * (at.y() - horizon) / (h - horizon));
            p.drawEllipse(at, r, r);
        }
    }

    // Grass texture, the same on every run.
    QRandomGenerator dots(17);
    for (int i = 0; i < 1500; ++i) {
        const QPointF at(dots.bounded(w), horizon + 4 + dots.bounded(full - horizon - 4));
        const QPointF onRunway = view.inverted().map(at);
        if (onRunway.x() > -4 && onRunway.x() < 64)
            continue;
        p.fillRect(QRectF(at, QSizeF(1.5, 1.5)), QColor(60, 95, 40));
    }

    // The tower and a terminal on the right, a windsock on the left.
    p.setBrush(QColor(200, 200, 195));
    p.drawRect(QRectF(560, 150, 120, 40));
    p.setBrush(QColor(225, 225, 220));
    p.drawRect(QRectF(610, 70, 16, 90));
    p.setBrush(QColor(60, 90, 110));
    p.drawPolygon(QPolygonF({{596, 52}, {640, 52}, {634, 74}, {602, 74}}));
    p.setBrush(QColor(230, 230, 225));
    p.drawRect(QRectF(594, 46, 48, 6));
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.drawLine(QPointF(60, 250), QPointF(60, 200));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 110, 30));
    p.drawPolygon(QPolygonF({{60, 200}, {100, 204}, {100, 212}, {60, 216}}));

    // The camera's own caption, as airport cameras stamp it.
    p.setFont(font(14, true));
    const QString stamp = QStringLiteral("RJCC  2026/12/08 09:00 JST  RWY 34");
    p.setPen(QColor(0, 0, 0, 160));
    p.drawText(QPointF(13, 23), stamp);
    p.setPen(Qt::white);
    p.drawText(QPointF(12, 22), stamp);
    p.setFont(font(11));
    p.drawText(QRect(0, h - 22, w - 10, 20), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Tarnbeck test picture"));
    return image;
}

} // namespace

/// The chart on a landscape A4 page, as the agency publishes its facsimile charts.
bool writeChartPdf(const QImage &chart, const QString &path)
{
    QPdfWriter pdf(path);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setTitle(QStringLiteral("ASAS"));
    QPainter p;
    if (!p.begin(&pdf))
        return false;
    const QRect page(QPoint(), QSize(pdf.width(), pdf.height()));
    p.drawImage(QRect(QPoint(), chart.size().scaled(page.size(), Qt::KeepAspectRatio)), chart);
    return p.end();
}

int main(int argc, char *argv[])
{
    // Pictures only: no display is needed.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: draw_pictures <output directory>\n";
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QImage chart = drawChart();
    if (!QDir().mkpath(out.path()) ||
        !chart.save(out.filePath(QStringLiteral("weather-chart.png"))) ||
        !writeChartPdf(chart, out.filePath(QStringLiteral("asas.pdf"))) ||
        !drawRunway().save(out.filePath(QStringLiteral("runway.png")))) {
        QTextStream(stderr) << "draw_pictures: cannot write to " << out.path() << "\n";
        return 1;
    }
    return 0;
}
