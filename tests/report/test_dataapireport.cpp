// The second source's raw reports turned into the report server's station files.
#include "report/DataApiReport.h"
#include "report/StationReport.h"

#include <QtTest>

class TestDataApiReport : public QObject
{
    Q_OBJECT

private slots:
    void dataApiAnswers_data();
    void dataApiAnswers();
};

void TestDataApiReport::dataApiAnswers_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("isTaf");
    QTest::addColumn<QString>("now"); // UTC
    QTest::addColumn<QString>("stationFile");
    const QString metar = QStringLiteral("RJTT 071230Z 34008KT 9999 FEW030 08/M02 Q1021 NOSIG");
    QTest::newRow("METAR prefix") << "METAR " + metar + "\n"
                                  << false << "2026-12-07T13:00"
                                  << "2026/12/07 12:30\n" + metar + "\n";
    QTest::newRow("SPECI prefix, trailing =")
        << "SPECI " + metar + "=" << false << "2026-12-07T13:00"
        << "2026/12/07 12:30\n" + metar + "\n";
    QTest::newRow("no prefix") << metar << false << "2026-12-07T13:00"
                               << "2026/12/07 12:30\n" + metar + "\n";
    QTest::newRow("two reports: the newest") << "METAR RJTT 071200Z 1\nMETAR RJTT 071230Z 2\n"
                                             << false << "2026-12-07T13:00"
                                             << "2026/12/07 12:30\nRJTT 071230Z 2\n";
    QTest::newRow("the 31st read on the 1st") << "RJTT 312330Z 3" << false << "2027-01-01T00:10"
                                              << "2026/12/31 23:30\nRJTT 312330Z 3\n";
    QTest::newRow("the 31st read in a 30-day month")
        << "RJTT 312330Z 3" << false << "2026-12-01T00:10"
        << "2026/10/31 23:30\nRJTT 312330Z 3\n";
    QTest::newRow("empty answer") << "" << false << "2026-12-07T13:00"
                                  << "";
    QTest::newRow("HTML error page")
        << "<html><body>502 Bad Gateway</body></html>" << false << "2026-12-07T13:00"
        << "";
    QTest::newRow("TAF laid out as the server does")
        << "TAF RJTT 301105Z 3012/0118 17026G36KT 6000 -SHRA FEW008 BKN015\n"
           "  BECMG 3012/3014 19042G58KT PROB30\n  TEMPO 3012/3014 4000 -SHRA"
        << true << "2018-09-30T12:00"
        << "2018/09/30 11:05\nTAF RJTT 301105Z 3012/0118 17026G36KT 6000 -SHRA FEW008 "
           "BKN015 \n      BECMG 3012/3014 19042G58KT PROB30 \n      TEMPO 3012/3014 4000 "
           "-SHRA\n";
    QTest::newRow("TAF AMD: TAF on a line of its own")
        << "TAF AMD RJTT 071210Z 0712/0818 34010KT 9999 FM071500 36005KT CAVOK" << true
        << "2026-12-07T13:00"
        << "2026/12/07 12:10\nTAF\n      AMD RJTT 071210Z 0712/0818 34010KT 9999 \n"
           "      FM071500 36005KT CAVOK\n";
    QTest::newRow("two TAFs: the newest")
        << "TAF RJTT 070500Z 0706/0812 X\nTAF RJTT 071100Z 0712/0818 Y" << true
        << "2026-12-07T13:00"
        << "2026/12/07 11:00\nTAF RJTT 071100Z 0712/0818 Y\n";
    // The report after midnight is the newer, read by a clock a few minutes behind.
    QTest::newRow("two reports across the month's end: the newest")
        << "METAR RJTT 302350Z 1\nMETAR RJTT 010003Z 2\n"
        << false << "2026-11-30T23:58"
        << "2026/12/01 00:03\nRJTT 010003Z 2\n";
    QTest::newRow("METAR COR: COR after the time, as the server's files have it")
        << "METAR COR " + metar << false << "2026-12-07T13:00"
        << "2026/12/07 12:30\nRJTT 071230Z COR 34008KT 9999 FEW030 08/M02 Q1021 NOSIG\n";
    QTest::newRow("SPECI COR")
        << "SPECI COR " + metar << false << "2026-12-07T13:00"
        << "2026/12/07 12:30\nRJTT 071230Z COR 34008KT 9999 FEW030 08/M02 Q1021 NOSIG\n";
    QTest::newRow("TAF COR: laid out as TAF AMD")
        << "TAF COR RJTT 071210Z 0712/0818 34010KT 9999 TEMPO 0715/0718 SHRA" << true
        << "2026-12-07T13:00"
        << "2026/12/07 12:10\nTAF\n      COR RJTT 071210Z 0712/0818 34010KT 9999 \n"
           "      TEMPO 0715/0718 SHRA\n";
    QTest::newRow("another station's METAR")
        << "METAR RJAA 071230Z 34008KT 9999" << false << "2026-12-07T13:00"
        << "";
    QTest::newRow("another station's TAF")
        << "TAF RJAA 071100Z 0712/0818 34010KT 9999" << true << "2026-12-07T13:00"
        << "";
    QTest::newRow("another station's newer report is passed over")
        << "METAR RJTT 071200Z 1\nMETAR RJAA 071230Z 2\n"
        << false << "2026-12-07T13:00"
        << "2026/12/07 12:00\nRJTT 071200Z 1\n";
}

void TestDataApiReport::dataApiAnswers()
{
    QFETCH(QString, answer);
    QFETCH(bool, isTaf);
    QFETCH(QString, now);
    QFETCH(QString, stationFile);
    QDateTime nowUtc = QDateTime::fromString(now, Qt::ISODate);
    nowUtc.setTimeSpec(Qt::UTC);
    QCOMPARE(StationFileFromDataApi(answer, QStringLiteral("RJTT"), isTaf, nowUtc), stationFile);
    // What the second source gives passes the same test as the report server's files.
    if (!stationFile.isEmpty())
        QVERIFY(IsStationFileOf(stationFile, QStringLiteral("RJTT"), isTaf));
}

QTEST_GUILESS_MAIN(TestDataApiReport)
#include "test_dataapireport.moc"
