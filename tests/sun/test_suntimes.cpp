// Sun times: day numbers, coordinate texts, both entry forms and the quadrant near Λ = 90/270.
#include "sun/SunTimes.h"
#include "support/Degrees.h"

#include <QTest>

class TestSunTimes : public QObject
{
    Q_OBJECT

private slots:
    void dayNumber_data();
    void dayNumber();
    void latitudeText_data();
    void latitudeText();
    void longitudeText_data();
    void longitudeText();
    void tableForm_data();
    void tableForm();
    void tickerForm_data();
    void tickerForm();
    void clockOverrideNestsAndRestores();
};

void TestSunTimes::dayNumber_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("expected");

    QTest::newRow("epoch") << 1975 << 1 << 1 << 1;
    QTest::newRow("day before epoch") << 1974 << 12 << 31 << 0;
    QTest::newRow("end of 1975") << 1975 << 12 << 31 << 365;
    QTest::newRow("1976-01-01") << 1976 << 1 << 1 << 366;
    QTest::newRow("leap day 1976") << 1976 << 2 << 29 << 425;
    QTest::newRow("1976-03-01") << 1976 << 3 << 1 << 426;
    QTest::newRow("leap day 2000") << 2000 << 2 << 29 << 9191;
    QTest::newRow("2000-03-01") << 2000 << 3 << 1 << 9192;
    QTest::newRow("2026-12-06") << 2026 << 12 << 6 << 18968;
    // Before 1900 q is negative: the floors must round down, not towards zero.
    QTest::newRow("1899-01-01") << 1899 << 1 << 1 << -27758;
    QTest::newRow("1900-01-01") << 1900 << 1 << 1 << -27393;
    // The four-year rule also makes 2100 a leap year.
    QTest::newRow("2100-02-29") << 2100 << 2 << 29 << 45716;
    QTest::newRow("2100-03-01") << 2100 << 3 << 1 << 45717;
}

void TestSunTimes::dayNumber()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(int, expected);
    QCOMPARE(sunDayNumber(qint16(year), qint16(month), qint16(day)), expected);
}

void TestSunTimes::latitudeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("expected");

    QTest::newRow("catalogue form") << "424631" << degrees(42, 46, 31);
    QTest::newRow("southernmost entry") << "240330" << degrees(24, 3, 30);
    QTest::newRow("empty") << "" << 0.0f;
    QTest::newRow("letters for degrees") << "xx4631" << degrees(0, 46, 31);
    QTest::newRow("partial number counts 0") << "4a4631" << degrees(0, 46, 31);
    QTest::newRow("letters for seconds") << "4246zz" << degrees(42, 46, 0);
    QTest::newRow("short text") << "42" << degrees(42, 0, 0);
    QTest::newRow("extra characters ignored") << "4246319" << degrees(42, 46, 31);
}

void TestSunTimes::latitudeText()
{
    QFETCH(QString, text);
    QFETCH(float, expected);
    QCOMPARE(latitudeFromText(text), expected);
}

void TestSunTimes::longitudeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("expected");

    QTest::newRow("catalogue form") << "1414133" << degrees(141, 41, 33);
    QTest::newRow("easternmost entry") << "1535758" << degrees(153, 57, 58);
    QTest::newRow("leading zero") << "0150000" << degrees(15, 0, 0);
    QTest::newRow("empty") << "" << 0.0f;
    QTest::newRow("letters for degrees") << "abc4133" << degrees(0, 41, 33);
    QTest::newRow("letters for minutes") << "141--33" << degrees(141, 0, 33);
    QTest::newRow("short text") << "1414" << degrees(141, 4, 0);
}

void TestSunTimes::longitudeText()
{
    QFETCH(QString, text);
    QFETCH(float, expected);
    QCOMPARE(longitudeFromText(text), expected);
}

void TestSunTimes::tableForm_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<float>("latitude");
    QTest::addColumn<float>("longitude");
    QTest::addColumn<QString>("sunrise");
    QTest::addColumn<QString>("sunset");

    const float chitoseLat = degrees(42, 46, 31), chitoseLon = degrees(141, 41, 33);
    QTest::newRow("new year") << QDate(2026, 1, 1) << chitoseLat << chitoseLon << "0703"
                              << "1610";
    QTest::newRow("minutes carry into the hour")
        << QDate(2026, 12, 6) << chitoseLat << chitoseLon << "0648"
        << "1600";

    // Λ just past 90 or 270, where tan(Λ·rad) has not yet changed sign: these sunsets and
    // the sunrise came out twelve hours off ("3110", "2917", "1632") before the quadrant
    // was taken from the angle in radians. The neighbouring days were always right.
    const float ashoroLat = degrees(43, 14, 25), ashoroLon = degrees(143, 30, 13);
    QTest::newRow("ashoro day before") << QDate(2026, 6, 20) << ashoroLat << ashoroLon << "0345"
                                       << "1910";
    QTest::newRow("ashoro sunset at Λ 90") << QDate(2026, 6, 21) << ashoroLat << ashoroLon << "0345"
                                           << "1910";
    QTest::newRow("ashoro day after") << QDate(2026, 6, 22) << ashoroLat << ashoroLon << "0346"
                                      << "1910";
    const float toyamaLat = degrees(36, 40, 23), toyamaLon = degrees(137, 12, 45);
    QTest::newRow("toyama day before") << QDate(2024, 6, 20) << toyamaLat << toyamaLon << "0432"
                                       << "1913";
    QTest::newRow("toyama sunrise at Λ 90")
        << QDate(2024, 6, 21) << toyamaLat << toyamaLon << "0432"
        << "1914";
    QTest::newRow("toyama day after") << QDate(2024, 6, 22) << toyamaLat << toyamaLon << "0433"
                                      << "1914";
    const float ikiLat = degrees(33, 44, 57), ikiLon = degrees(129, 47, 9);
    QTest::newRow("iki day before") << QDate(2024, 12, 20) << ikiLat << ikiLon << "0721"
                                    << "1716";
    QTest::newRow("iki sunset at Λ 270") << QDate(2024, 12, 21) << ikiLat << ikiLon << "0721"
                                         << "1717";
    QTest::newRow("iki day after") << QDate(2024, 12, 22) << ikiLat << ikiLon << "0722"
                                   << "1717";

    // No event: t of 24 or more is left uncorrected, but these must not look like times.
    QTest::newRow("polar day") << QDate(2026, 6, 21) << 80.0f << 15.0f << "----"
                               << "----";
    QTest::newRow("polar night") << QDate(2026, 12, 21) << 80.0f << 15.0f << "----"
                                 << "----";
    QTest::newRow("absurd longitude") << QDate(2026, 6, 21) << 35.0f << 1.0e30f << "----"
                                      << "----";
    QTest::newRow("southern polar night") << QDate(2026, 6, 21) << -80.0f << 15.0f << "----"
                                          << "----";
}

void TestSunTimes::tableForm()
{
    QFETCH(QDate, date);
    QFETCH(float, latitude);
    QFETCH(float, longitude);
    QFETCH(QString, sunrise);
    QFETCH(QString, sunset);

    const auto y = qint16(date.year()), m = qint16(date.month()), d = qint16(date.day());
    QCOMPARE(Calsunrise(y, m, d, latitude, longitude), sunrise);
    QCOMPARE(Calsunset(y, m, d, latitude, longitude), sunset);
}

void TestSunTimes::tickerForm_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("lat");
    QTest::addColumn<QString>("lon");
    QTest::addColumn<QString>("sunrise");
    QTest::addColumn<QString>("sunset");

    QTest::newRow("new year") << QDate(2026, 1, 1) << "424631"
                              << "1414133"
                              << "07:03"
                              << "16:10";
    QTest::newRow("minutes carry into the hour") << QDate(2026, 12, 6) << "424631"
                                                 << "1414133"
                                                 << "06:48"
                                                 << "16:00";
    QTest::newRow("empty latitude is the equator") << QDate(2026, 1, 1) << ""
                                                   << "1414133"
                                                   << "05:33"
                                                   << "17:41";
    QTest::newRow("unreadable degrees count 0") << QDate(2026, 1, 1) << "xx4631"
                                                << "1414133"
                                                << "05:34"
                                                << "17:39";
    QTest::newRow("polar day") << QDate(2026, 6, 21) << "800000"
                               << "0150000"
                               << "--:--"
                               << "--:--";
}

void TestSunTimes::tickerForm()
{
    QFETCH(QDate, today);
    QFETCH(QString, lat);
    QFETCH(QString, lon);
    QFETCH(QString, sunrise);
    QFETCH(QString, sunset);

    const SunClock::Override clock(today);
    QCOMPARE(Calsunrise(lat, lon), sunrise);
    QCOMPARE(Calsunset(lat, lon), sunset);
}

void TestSunTimes::clockOverrideNestsAndRestores()
{
    {
        const SunClock::Override outer(QDate(2026, 1, 1));
        {
            const SunClock::Override inner(QDate(2026, 12, 6));
            QCOMPARE(SunClock::today(), QDate(2026, 12, 6));
        }
        QCOMPARE(SunClock::today(), QDate(2026, 1, 1));
    }
    const QDate before = QDate::currentDate();
    const QDate today = SunClock::today();
    const QDate after = QDate::currentDate();
    QVERIFY(today == before || today == after); // a call may straddle midnight
}

QTEST_GUILESS_MAIN(TestSunTimes)
#include "test_suntimes.moc"
