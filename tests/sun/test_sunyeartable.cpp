// The annual table's fill, the graph's points and marks, and the panel and title texts.
#include "sun/AirportCatalogue.h"
#include "sun/SunTimes.h"
#include "sun/SunYearTable.h"

#include <QtTest>

class TestSunYearTable : public QObject
{
    Q_OBJECT

private slots:
    void everyCellIsThatDaysComputation_data();
    void everyCellIsThatDaysComputation();
    void nonexistentDatesStayEmpty_data();
    void nonexistentDatesStayEmpty();
    void lastDecemberPoint_data();
    void lastDecemberPoint();
    void emptyCellsDoNotAdvanceTheDay();
    void extremesAndTiesKeepTheFirstCell();
    void todayLine_data();
    void todayLine();
    void panelTexts_data();
    void panelTexts();
    void titleLine_data();
    void titleLine();
};

void TestSunYearTable::everyCellIsThatDaysComputation_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("year");
    QTest::newRow("旭川 2026") << QStringLiteral("旭川") << 2026;
    QTest::newRow("与那国 2028 leap") << QStringLiteral("与那国") << 2028;
    QTest::newRow("南鳥島 2025") << QStringLiteral("南鳥島") << 2025;
    QTest::newRow("館山(H) 2024 leap") << QStringLiteral("館山(H)") << 2024;
    // Every entry, each with one of the twelve years the window lists (2025 to 2036 here).
    const QStringList names = catalogueNames();
    for (int i = 0; i < names.size(); ++i) {
        const int year = 2025 + i % 12;
        QTest::addRow("%d %s %d", i + 1, qPrintable(names[i]), year) << names[i] << year;
    }
}

void TestSunYearTable::everyCellIsThatDaysComputation()
{
    QFETCH(QString, name);
    QFETCH(int, year);
    const auto entry = findCatalogueEntry(name);
    QVERIFY(entry);
    const SunGrid grid = SunGrid::forYear(qint16(year), entry->latitude, entry->longitude);
    int filled = 0;
    for (qint16 month = 1; month <= 12; ++month) {
        for (qint16 day = 1; day <= 31; ++day) {
            const QDate date(year, month, day);
            const QString &rise = grid.cell(day, 3 * month - 2);
            const QString &set = grid.cell(day, 3 * month - 1);
            if (!date.isValid()) {
                QVERIFY2(rise.isEmpty() && set.isEmpty(), qPrintable(date.toString()));
                continue;
            }
            QCOMPARE(rise, Calsunrise(qint16(year), month, day, entry->latitude, entry->longitude));
            QCOMPARE(set, Calsunset(qint16(year), month, day, entry->latitude, entry->longitude));
            ++filled;
        }
        if (month < 12) {
            for (int row = 0; row < sunGridRows; ++row)
                QVERIFY(grid.cell(row, 3 * month).isEmpty());
        }
    }
    QCOMPARE(filled, QDate::isLeapYear(year) ? 366 : 365);
    QCOMPARE(grid.cell(0, 1), QStringLiteral("*"));
    QCOMPARE(grid.cell(0, 34), QStringLiteral("*"));
    QVERIFY(grid.cell(0, 2).isEmpty());
    QCOMPARE(grid.cell(31, 0), QStringLiteral("31"));
}

void TestSunYearTable::nonexistentDatesStayEmpty_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<bool>("leap");
    QTest::newRow("common 2026") << 2026 << false;
    QTest::newRow("leap 2028") << 2028 << true;
    QTest::newRow("2100 counts as leap") << 2100 << true;
}

void TestSunYearTable::nonexistentDatesStayEmpty()
{
    QFETCH(int, year);
    QFETCH(bool, leap);
    QCOMPARE(sunLeapYear(year), leap);
    const SunGrid grid = SunGrid::forYear(qint16(year), 35.5f, 139.8f);
    QCOMPARE(grid.cell(29, sunriseColumn(2)).isEmpty(), !leap);
    QCOMPARE(grid.cell(29, sunriseColumn(2) + 1).isEmpty(), !leap);
    QVERIFY(grid.cell(30, sunriseColumn(2)).isEmpty());
    for (int month : {2, 4, 6, 9, 11})
        QVERIFY(grid.cell(31, sunriseColumn(month)).isEmpty());
    for (int month : {1, 3, 5, 7, 8, 10, 12})
        QVERIFY(!grid.cell(31, sunriseColumn(month)).isEmpty());
}

void TestSunYearTable::lastDecemberPoint_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("points");
    QTest::newRow("common") << 2026 << 13584 << 365;
    QTest::newRow("leap") << 2028 << 13585 << 366;
}

void TestSunYearTable::lastDecemberPoint()
{
    QFETCH(int, year);
    QFETCH(int, x);
    QFETCH(int, points);
    const SunGrid grid = SunGrid::forYear(qint16(year), 43.67f, 142.44f);
    for (SunEvent event : {SunEvent::Sunrise, SunEvent::Sunset}) {
        const GraphCurve curve = graphCurve(grid, event, sunLeapYear(year));
        QCOMPARE(curve.points.size(), points);
        QCOMPARE(curve.points.first().x(), 660);
        QCOMPARE(curve.points.last().x(), x);
    }
}

void TestSunYearTable::emptyCellsDoNotAdvanceTheDay()
{
    SunGrid grid = SunGrid::laidOut();
    grid.setCell(31, sunriseColumn(1), QStringLiteral("0700")); // 31 January, day index 0
    grid.setCell(1, sunriseColumn(2), QStringLiteral("0630"));  // 1 February, day index 1
    grid.setCell(2, sunriseColumn(2), QStringLiteral("----"));  // no event: no point
    grid.setCell(3, sunriseColumn(2), QStringLiteral("0300"));  // day index 2, on the 03 line
    const GraphCurve curve = graphCurve(grid, SunEvent::Sunrise, false);
    QCOMPARE(curve.points.size(), 3);
    QCOMPARE(curve.points[0], QPoint(660, 6645 - 20 * 240));
    QCOMPARE(curve.points[1], QPoint(660 + 36, 6645 - 20 * 210)); // 12960 / 365 = 35.5
    QCOMPARE(curve.points[2], QPoint(660 + 71, 6645));
}

void TestSunYearTable::extremesAndTiesKeepTheFirstCell()
{
    SunGrid grid = SunGrid::laidOut();
    grid.setCell(1, 2, QStringLiteral("1700"));
    grid.setCell(5, 2, QStringLiteral("1900")); // latest, first of two
    grid.setCell(9, 2, QStringLiteral("1600")); // earliest, first of two
    grid.setCell(21, sunriseColumn(6) + 1, QStringLiteral("1900"));
    grid.setCell(22, sunriseColumn(6) + 1, QStringLiteral("1600"));
    const GraphCurve curve = graphCurve(grid, SunEvent::Sunset, true);
    const int x1 = 660 + qRound(12960.0 / 366);
    const int y19 = 6645 - 20 * 240;
    const int y16 = 6645 - 20 * 60;
    QVERIFY(curve.greatest.shown);
    QCOMPARE(curve.greatest.text, QStringLiteral("1900"));
    QCOMPARE(curve.greatest.tip, QStringLiteral(" 1月5日 "));
    QCOMPARE(QPoint(curve.greatest.left, curve.greatest.top), QPoint(x1 - 200, y19 - 300));
    QCOMPARE(curve.least.text, QStringLiteral("1600"));
    QCOMPARE(curve.least.tip, QStringLiteral(" 1月9日 "));
    QCOMPARE(curve.least.top, y16 + 200);
    QCOMPARE(graphDateText(grid, 21, sunriseColumn(6) + 1), QStringLiteral(" 6月21日 "));

    const GraphCurve none = graphCurve(SunGrid::laidOut(), SunEvent::Sunrise, false);
    QVERIFY(none.points.isEmpty());
    QVERIFY(!none.greatest.shown && !none.least.shown);
}

void TestSunYearTable::todayLine_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<int>("x");
    QTest::newRow("1 January") << QDate(2026, 1, 1) << 660 + 35;       // 1080 / 31 = 34.8
    QTest::newRow("28 February common") << QDate(2026, 2, 28) << 2820; // full month
    QTest::newRow("28 February leap") << QDate(2028, 2, 28) << 2783;   // 1740 + 1042.8
    QTest::newRow("31 December") << QDate(2026, 12, 31) << 13620;
}

void TestSunYearTable::todayLine()
{
    QFETCH(QDate, today);
    QFETCH(int, x);
    QCOMPARE(todayLineX(today), x);
}

void TestSunYearTable::panelTexts_data()
{
    QTest::addColumn<float>("elevation");
    QTest::addColumn<QString>("elv");
    QTest::addColumn<QString>("difference");
    QTest::newRow("sea level") << 0.0f << "0"
                               << "+15";
    QTest::newRow("14.8 rounds to 15") << 14.8f << "14.8"
                                       << "0";
    QTest::newRow("14.5 rounds up") << 14.5f << "14.5"
                                    << "0";
    QTest::newRow("one decimal") << 111.9f << "111.9"
                                 << "-97";
    QTest::newRow("whole") << 690.0f << "690"
                           << "-675";
    QTest::newRow("two decimals") << 5.65f << "5.65"
                                  << "+9";
}

void TestSunYearTable::panelTexts()
{
    QFETCH(float, elevation);
    QFETCH(QString, elv);
    QFETCH(QString, difference);
    QCOMPARE(elevationText(elevation), elv);
    QCOMPARE(heightDifferenceText(heightDifference(elevation)), difference);
}

void TestSunYearTable::titleLine_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("line");
    QTest::newRow("with indicator")
        << QStringLiteral("旭川")
        << QStringLiteral("2026年  空港別 常用日出没時刻    【RJEC  旭川】     43 40 15 N   "
                          "142 26 51 E    ELV=690    EH=MSL+15    ⊿H=-675");
    const auto heliport = findCatalogueEntry(QStringLiteral("館山(H)"));
    QVERIFY(heliport);
    QTest::newRow("without indicator")
        << heliport->name
        << QStringLiteral("2026年  空港別 常用日出没時刻    【館山(H)】     %1   %2    ELV=%3    "
                          "EH=MSL+15    ⊿H=%4")
               .arg(heliport->latitudeText, heliport->longitudeText,
                    elevationText(heliport->elevation),
                    heightDifferenceText(heightDifference(heliport->elevation)));
}

void TestSunYearTable::titleLine()
{
    QFETCH(QString, name);
    QFETCH(QString, line);
    const auto entry = findCatalogueEntry(name);
    QVERIFY(entry);
    const TitleParts parts{QStringLiteral("2026"),
                           entry->indicator,
                           entry->name,
                           entry->latitudeText,
                           entry->longitudeText,
                           entry->elevation,
                           heightDifferenceText(heightDifference(entry->elevation))};
    QCOMPARE(printTitleLine(parts), line);
}

QTEST_GUILESS_MAIN(TestSunYearTable)
#include "test_sunyeartable.moc"
