// The ReportText laid out from real station files at a given moment, without a network.
#include "report/ReportText.h"
#include "sun/SunTimes.h"

#include <QFile>
#include <QtTest>

namespace {

const QChar CR(u'\r');
const AirportCoordinates tokyo{QStringLiteral("353312"), QStringLiteral("1394652")};

/// A fixture of tests/data/stations as the report server sent it; none for an empty name.
FetchedReport served(const QString &name)
{
    if (name.isEmpty())
        return {};
    QFile file(QStringLiteral(TARNBECK_STATIONS "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return {QString::fromLatin1(file.readAll()), ReportOrigin::FirstSource, false};
}

QDateTime utc(const char *iso)
{
    QDateTime time = QDateTime::fromString(QLatin1String(iso), Qt::ISODate);
    time.setTimeSpec(Qt::UTC);
    return time;
}

} // namespace

class TestReportText : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("TZ", "Asia/Tokyo"); }
    void header_data();
    void header();
    void ageMarks_data();
    void ageMarks();
    void parts_data();
    void parts();
    void sunLine_data();
    void sunLine();
};

void TestReportText::header_data()
{
    QTest::addColumn<QString>("metar"); // fixture; empty: no source answered
    QTest::addColumn<bool>("local");
    QTest::addColumn<bool>("category");
    QTest::addColumn<int>("oldMinutes"); // 0: not marked
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("header");
    QTest::addColumn<FlightCategory>("handle");
    const auto unknown = FlightCategory::Unknown;
    QTest::newRow("category and age")
        << "metar/RJBB_1.TXT" << false << true << 75 << utc("2018-09-04T06:05:00")
        << "RJBB METAR 0430Z  LIFR  95 MIN OLD" << FlightCategory::LIFR;
    QTest::newRow("not older than the limit")
        << "metar/RJTT_2.TXT" << false << false << 105 << utc("2018-09-04T08:37:00")
        << "RJTT METAR 0702Z" << unknown;
    QTest::newRow("age across the month's end")
        << "metar/RJTT_1.TXT" << false << false << 45 << utc("2018-09-01T01:00:00")
        << "RJTT METAR 0900Z  16 HR OLD" << unknown;
    QTest::newRow("local time") << "metar/RJAA_2.TXT" << true << true << 0
                                << utc("2016-11-28T06:40:00") << "RJAA METAR 1530I  VFR"
                                << FlightCategory::VFR;
    QTest::newRow("empty file: no marks")
        << "metar/RJOO_1.TXT" << false << true << 45 << utc("2018-09-04T06:05:00")
        << "RJOO METAR 00Z" << unknown;
    QTest::newRow("a page, not a station file")
        << "metar/ZZZZ_1.TXT" << false << true << 45 << utc("2018-09-04T06:05:00") << "ZZZZ METAR "
        << unknown;
    QTest::newRow("no source answered") << QString() << false << true << 45
                                        << utc("2018-09-04T06:05:00") << "RJTT METAR " << unknown;
}

void TestReportText::header()
{
    QFETCH(QString, metar);
    QFETCH(bool, local);
    QFETCH(bool, category);
    QFETCH(int, oldMinutes);
    QFETCH(QDateTime, now);
    QFETCH(QString, header);
    QFETCH(FlightCategory, handle);
    ReportTextOptions options;
    options.uselocal = local;
    options.timediff = QStringLiteral("+9");
    options.display.showCategory = category;
    options.display.markOld = oldMinutes > 0;
    options.display.oldMinutes = oldMinutes;
    const QString airport = metar.isEmpty() ? QStringLiteral("RJTT") : metar.mid(6, 4);
    const ComposedReport composed = ComposeReportText(airport, served(metar), {}, options, now);
    QCOMPARE(composed.text.section(CR, 0, 0), header);
    QCOMPARE(composed.category, handle);
}

void TestReportText::ageMarks_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("mark"); // after the METAR's time; empty: none
    const QString metar = QStringLiteral("2026/12/07 12:30\nRJTT 071230Z 34008KT 9999\n");
    const QDateTime at = utc("2026-12-07T12:30:00");
    QTest::newRow("not older than the limit") << metar << at.addSecs(75 * 60) << "";
    QTest::newRow("95 minutes") << metar << at.addSecs(95 * 60) << "  95 MIN OLD";
    QTest::newRow("179 minutes") << metar << at.addSecs(179 * 60) << "  179 MIN OLD";
    QTest::newRow("180 minutes: hours") << metar << at.addSecs(180 * 60) << "  3 HR OLD";
    QTest::newRow("47 h 59 min") << metar << at.addSecs((47 * 60 + 59) * 60) << "  47 HR OLD";
    QTest::newRow("48 hours: days") << metar << at.addSecs(48 * 3600) << "  2 DAYS OLD";
    // The group says the 5th; the time line says which month.
    QTest::newRow("a file three months old")
        << QStringLiteral("2026/09/05 12:30\nRJTT 051230Z 34008KT 9999\n")
        << utc("2026-12-07T14:05:00") << "  93 DAYS OLD";
}

void TestReportText::ageMarks()
{
    QFETCH(QString, file);
    QFETCH(QDateTime, now);
    QFETCH(QString, mark);
    ReportTextOptions options;
    options.display.markOld = true;
    options.display.oldMinutes = 75; // still compared in minutes
    const FetchedReport metar{file, ReportOrigin::FirstSource, false};
    const ComposedReport composed =
        ComposeReportText(QStringLiteral("RJTT"), metar, {}, options, now);
    QCOMPARE(composed.text.section(CR, 0, 0), QStringLiteral("RJTT METAR 1230Z") + mark);
}

void TestReportText::parts_data()
{
    QTest::addColumn<QString>("metar"); // fixture; empty: no source answered
    QTest::addColumn<bool>("getTaf");   // no TAF ever came
    QTest::addColumn<QStringList>("lines");
    const QString body = QStringLiteral(" 040430Z 19080G99KT 0500 R24L/0175V0550D R24R/1400VP2000D "
                                        "+SHRA FG FEW003 SCT008 BKN020CB 25/25 Q0956 NOSIG      ");
    const QString sun = QStringLiteral("      SUNRISE 05:33  SUNSET 18:22");
    QTest::newRow("METAR and sun line")
        << "metar/RJBB_1.TXT" << false << QStringList{"RJBB METAR 0430Z", body, "", sun};
    QTest::newRow("no TAF came") << "metar/RJBB_1.TXT" << true
                                 << QStringList{"RJBB METAR 0430Z",  body, "", "RJBB TAF   ",
                                                "      NO FORECAST", "",   sun};
    QTest::newRow("no METAR came")
        << QString() << false << QStringList{"RJBB METAR ", "      NO OBSERVATION", "", sun};
}

void TestReportText::parts()
{
    QFETCH(QString, metar);
    QFETCH(bool, getTaf);
    QFETCH(QStringList, lines);
    ReportTextOptions options;
    options.getTAF = getTaf;
    options.getSUNSET = true;
    options.place = AirportCoordinates{QStringLiteral("344338"), QStringLiteral("1351438")};
    const ComposedReport composed = ComposeReportText(QStringLiteral("RJBB"), served(metar), {},
                                                      options, utc("2018-09-04T06:05:00"));
    QCOMPARE(composed.text.split(CR), lines);
}

void TestReportText::sunLine_data()
{
    QTest::addColumn<AirportCoordinates>("place");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QDate>("day"); // the local date of `now`
    QTest::newRow("Tokyo, the UTC evening before")
        << tokyo << utc("2026-01-01T20:00:00") << QDate(2026, 1, 2);
    QTest::newRow("Tokyo, the same day")
        << tokyo << utc("2026-06-21T03:00:00") << QDate(2026, 6, 21);
    QTest::newRow("polar night") << AirportCoordinates{"780000", "0150000"}
                                 << utc("2025-12-21T03:00:00") << QDate(2025, 12, 21);
    QTest::newRow("hours out of range") << AirportCoordinates{"000000", "9990000"}
                                        << utc("2026-03-01T03:00:00") << QDate(2026, 3, 1);
}

void TestReportText::sunLine()
{
    QFETCH(AirportCoordinates, place);
    QFETCH(QDateTime, now);
    QFETCH(QDate, day);
    ReportTextOptions options;
    options.getSUNSET = true;
    options.place = place;
    const QString text = ComposeReportText(QStringLiteral("RJTT"), {}, {}, options, now).text;
    // Exactly the ticker form's text for that day.
    const SunClock::Override today(day);
    QCOMPARE(text.section(CR, -1),
             QStringLiteral("      SUNRISE ") + Calsunrise(place.lat, place.lon) +
                 QStringLiteral("  SUNSET ") + Calsunset(place.lat, place.lon));
}

QTEST_GUILESS_MAIN(TestReportText)
#include "test_reporttext.moc"
