// Pure parts of the annual sun-times window, so that tests need no widgets.
#include "sun/SunYearTable.h"

#include "sun/SunTimes.h"

#include <QDate>
#include <charconv>
#include <cmath>

namespace {

// Graph geometry in twips: a year over 12960 from x 660, 20 twips a minute up from y 6645.
constexpr int kYearLeft = 660;
constexpr double kYearWidth = 12960;
constexpr int kMonthWidth = 1080;
constexpr int kBaseline = 6645;
constexpr int kTwipsPerMinute = 20;

// Minutes of a four-digit "HHMM" cell, or -1 for an empty or "----" cell.
int cellMinutes(const QString &text)
{
    if (text.size() != 4)
        return -1;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
    }
    return 60 * text.left(2).toInt() + text.mid(2, 2).toInt();
}

} // namespace

bool sunLeapYear(int year)
{
    return year == 4 * int(std::floor(year / 4.0));
}

int sunMonthLength(int year, int month)
{
    static constexpr int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2)
        return sunLeapYear(year) ? 29 : 28;
    return lengths[month - 1];
}

SunGrid SunGrid::laidOut()
{
    SunGrid grid;
    for (int day = 1; day < sunGridRows; ++day)
        grid.setCell(day, 0, QString::number(day));
    for (int month = 1; month <= 12; ++month)
        grid.setCell(0, sunriseColumn(month), QStringLiteral("*"));
    return grid;
}

SunGrid SunGrid::forYear(qint16 year, float latitude, float longitude)
{
    SunGrid grid = laidOut();
    for (qint16 month = 1; month <= 12; ++month) {
        const int column = sunriseColumn(month);
        for (qint16 day = 1; day <= sunMonthLength(year, month); ++day) {
            grid.setCell(day, column, Calsunrise(year, month, day, latitude, longitude));
            grid.setCell(day, column + 1, Calsunset(year, month, day, latitude, longitude));
        }
    }
    return grid;
}

QString graphDateText(const SunGrid &grid, int row, int column)
{
    return QStringLiteral(" %1月%2日 ").arg(column / 3 + 1).arg(grid.cell(row, 0));
}

GraphCurve graphCurve(const SunGrid &grid, SunEvent event, bool leapYear)
{
    GraphCurve curve;
    const double dayWidth = kYearWidth / (leapYear ? 366 : 365);
    const int origin = event == SunEvent::Sunrise ? 180 : 900;
    const int firstColumn = event == SunEvent::Sunrise ? 1 : 2;
    int n = 0;
    int greatest = 0;
    int least = 0;
    for (int column = firstColumn; column < sunGridColumns; column += 3) {
        for (int row = 1; row < sunGridRows; ++row) {
            const QString &text = grid.cell(row, column);
            const int minutes = cellMinutes(text);
            if (minutes < 0)
                continue;
            const int h = minutes - origin;
            const int x = int(std::lround(kYearLeft + n * dayWidth));
            const int y = kBaseline - kTwipsPerMinute * h;
            // Strict comparisons: on a tie the first day of the year keeps the mark.
            if (curve.points.isEmpty() || h > greatest) {
                greatest = h;
                curve.greatest = {true, text, x - 200, y - 300, graphDateText(grid, row, column)};
            }
            if (curve.points.isEmpty() || h < least) {
                least = h;
                curve.least = {true, text, x - 200, y + 200, graphDateText(grid, row, column)};
            }
            curve.points.append(QPoint(x, y));
            ++n;
        }
    }
    return curve;
}

int todayLineX(const QDate &today)
{
    const double length = sunMonthLength(today.year(), today.month());
    return int(std::lround(kYearLeft + kMonthWidth * (today.month() - 1) +
                           today.day() * kMonthWidth / length));
}

QString elevationText(float elevation)
{
    // Shortest text that reads back as the same single-precision number.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, elevation, std::chars_format::fixed);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

int heightDifference(float elevation)
{
    return 15 - int(std::floor(double(elevation) + 0.5));
}

QString heightDifferenceText(int difference)
{
    return difference > 0 ? QStringLiteral("+%1").arg(difference) : QString::number(difference);
}

QString printTitleLine(const TitleParts &parts)
{
    QString line = parts.yearText + QStringLiteral("年  空港別 常用日出没時刻    【");
    if (!parts.indicator.isEmpty())
        line += parts.indicator + QStringLiteral("  ");
    line += parts.airportName + QStringLiteral("】     ") + parts.latitudeText +
            QStringLiteral("   ") + parts.longitudeText + QStringLiteral("    ELV=") +
            elevationText(parts.elevation) + QStringLiteral("    EH=MSL+15    ⊿H=") +
            parts.heightDifferenceText;
    return line;
}
