// The annual table's cells, the graph's points and the panel texts, computed without widgets.
#pragma once

#include <QDate>
#include <QList>
#include <QPoint>
#include <QString>
#include <QtGlobal>
#include <array>

/// Rows and columns of the annual table: day numbers, then sunrise, sunset and a spacer a month.
inline constexpr int sunGridColumns = 36;
inline constexpr int sunGridRows = 32;

/// The sunrise column of month 1..12; its sunset column follows it.
constexpr int sunriseColumn(int month)
{
    return 3 * month - 2;
}

/// Every fourth year has a 29 February, as the sun computation counts them.
bool sunLeapYear(int year);
/// Days of `month` in `year` under the same rule.
int sunMonthLength(int year, int month);

/// The texts of the table, row 0 and column 0 included.
class SunGrid final
{
public:
    const QString &cell(int row, int column) const { return m_cells[row][column]; }
    void setCell(int row, int column, const QString &text) { m_cells[row][column] = text; }

    /// Day numbers in column 0 and "*" above every sunrise column; no times.
    static SunGrid laidOut();
    /// The laid-out grid with every existing date of `year` filled by Calsunrise / Calsunset.
    static SunGrid forYear(qint16 year, float latitude, float longitude);

private:
    std::array<std::array<QString, sunGridColumns>, sunGridRows> m_cells;
};

/// One of the four extreme labels of the graph, in twips of the graph area.
struct GraphMark
{
    bool shown = false;
    QString text;
    int left = 0;
    int top = 0;
    QString tip;
};

/// One curve of the graph and its latest / earliest marks.
struct GraphCurve
{
    QList<QPoint> points;
    GraphMark greatest; ///< the latest time, 300 twips above its point
    GraphMark least;    ///< the earliest time, 200 twips below its point
};

enum class SunEvent { Sunrise, Sunset };

/// The points of one event read from the grid; empty and malformed cells are skipped.
GraphCurve graphCurve(const SunGrid &grid, SunEvent event, bool leapYear);
/// " 6月21日 " for the cell in `row` of `column`'s month.
QString graphDateText(const SunGrid &grid, int row, int column);
/// x of the graph's today line for `today`.
int todayLineX(const QDate &today);

/// Elevation in its shortest decimal form: 690, 111.9, 0.
QString elevationText(float elevation);
/// The eye height 15 m above sea level minus the rounded elevation.
int heightDifference(float elevation);
/// ⊿H with "+" when positive: "+15", "0", "-675".
QString heightDifferenceText(int difference);

/// What the printed title line is made of.
struct TitleParts
{
    QString yearText;
    QString indicator;
    QString airportName;
    QString latitudeText;
    QString longitudeText;
    float elevation = 0;
    QString heightDifferenceText;
};

/// "2026年  空港別 常用日出没時刻    【RJEC  旭川】     43 40 15 N ..."
QString printTitleLine(const TitleParts &parts);
