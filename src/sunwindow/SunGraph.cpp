// Twip geometry of the graph; labels are child widgets so the extremes can carry tool tips.
#include "sunwindow/SunGraph.h"

#include "desktop/Fonts.h"
#include "platform/Twips.h"

#include <QLabel>
#include <QPainter>

namespace {

constexpr int kHourLineYs[6] = {6645, 5445, 4245, 3045, 1845, 645};
constexpr int kHourLabelTops[6] = {6540, 5340, 4140, 2940, 1740, 540};
constexpr int kMonthLabelLefts[12] = {990,  2100, 3150, 4230,  5325,  6420,
                                      7500, 8565, 9660, 10725, 11805, 12885};
constexpr const char *kMonthLabels[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

const QColor kLineColour(0x40, 0x40, 0x40);
const QColor kSunriseText(0xC0, 0, 0);
const QColor kSunsetText(0, 0, 0xC0);

} // namespace

SunGraph::SunGraph(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Picture1"));
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setFixedSize(twipsToPixels(areaWidth), twipsToPixels(areaHeight));

    for (int i = 0; i < 6; ++i) {
        addLabel(3 + i, QStringLiteral("%1").arg(3 + i, 2, 10, QLatin1Char('0')), 225,
                 kHourLabelTops[i], kSunriseText);
        addLabel(9 + i, QString::number(15 + i), 13830, kHourLabelTops[i], kSunsetText);
    }
    for (int i = 0; i < 12; ++i)
        addLabel(15 + i, QString::fromLatin1(kMonthLabels[i]), kMonthLabelLefts[i], 6840,
                 kLineColour);
    for (int i = 0; i < 4; ++i) {
        QLabel *mark = addLabel(27 + i, QString(), 0, 0, i < 2 ? kSunriseText : kSunsetText);
        mark->setAlignment(Qt::AlignCenter);
        mark->setAutoFillBackground(true);
        mark->resize(twipsToPixels(600), twipsToPixels(195));
        mark->hide();
        m_marks[i] = mark;
    }
}

QLabel *SunGraph::addLabel(int index, const QString &text, int left, int top, const QColor &colour)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(QStringLiteral("lbl%1").arg(index));
    label->setTextFormat(Qt::PlainText);
    QFont font(QString::fromUtf8(proportionalGothicFamily));
    font.setPointSizeF(9);
    label->setFont(font);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::Window, Qt::white);
    label->setPalette(p);
    label->move(twipsToPixels(left), twipsToPixels(top));
    label->adjustSize();
    return label;
}

void SunGraph::placeMark(QLabel *label, const GraphMark &mark)
{
    label->setVisible(mark.shown);
    if (!mark.shown)
        return;
    label->setText(mark.text);
    label->setToolTip(mark.tip);
    label->setGeometry(twipsRect(mark.left, mark.top, 600, 195));
}

void SunGraph::clearCurves()
{
    m_sunrise = {};
    m_sunset = {};
    for (QLabel *mark : m_marks)
        mark->hide();
    update();
}

void SunGraph::setCurves(const GraphCurve &sunrise, const GraphCurve &sunset)
{
    m_sunrise = sunrise;
    m_sunset = sunset;
    placeMark(m_marks[0], sunrise.greatest);
    placeMark(m_marks[1], sunrise.least);
    placeMark(m_marks[2], sunset.greatest);
    placeMark(m_marks[3], sunset.least);
    update();
}

void SunGraph::setTodayLineX(int x)
{
    m_todayX = x;
    update();
}

void SunGraph::setTodayLineVisible(bool visible)
{
    m_todayVisible = visible;
    update();
}

void SunGraph::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.scale(double(width()) / areaWidth, double(height()) / areaHeight);

    QPen hourPen(kLineColour, 0, Qt::DotLine);
    painter.setPen(hourPen);
    for (int y : kHourLineYs)
        painter.drawLine(540, y, 13740, y);
    painter.setPen(QPen(kLineColour, 0));
    for (int k = 0; k <= 12; ++k)
        painter.drawLine(660 + 1080 * k, 645, 660 + 1080 * k, 6645);

    if (m_todayVisible) {
        painter.setPen(QPen(QColor(0, 0xFF, 0), 0));
        painter.drawLine(m_todayX, 675, m_todayX, 6630);
    }

    // One screen pixel a point.
    const auto drawPoints = [&painter](const QList<QPoint> &points, const QColor &colour) {
        painter.setPen(QPen(colour, twipsPerPixel, Qt::SolidLine, Qt::SquareCap));
        painter.drawPoints(points.constData(), int(points.size()));
    };
    drawPoints(m_sunrise.points, QColor(190, 0, 0));
    drawPoints(m_sunset.points, QColor(0, 0, 190));
}
