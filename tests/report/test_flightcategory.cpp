// The flight category of METARs: hand-made boundaries and every station-file fixture.
#include "report/FlightCategory.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class TestFlightCategory : public QObject
{
    Q_OBJECT

private slots:
    void boundaries_data();
    void boundaries();
    void everyFixture();
};

void TestFlightCategory::boundaries_data()
{
    QTest::addColumn<QString>("report");
    QTest::addColumn<QString>("category"); // "" for Unknown
    const auto row = [](const char *name, const char *groups, const char *category) {
        QTest::newRow(name) << QStringLiteral("RJTT 071230Z 34008KT ") + QLatin1String(groups)
                            << QString::fromLatin1(category);
    };
    row("clear, 10 km or more", "9999 FEW030 08/M02 Q1021", "VFR");
    row("CAVOK", "CAVOK 08/M02 Q1021", "VFR");
    row("ceiling 3100 ft", "9999 BKN031", "VFR");
    row("ceiling 3000 ft", "9999 BKN030", "MVFR");
    row("ceiling 1000 ft", "9999 OVC010", "MVFR");
    row("ceiling 900 ft", "9999 OVC009", "IFR");
    row("ceiling 500 ft", "9999 BKN005", "IFR");
    row("ceiling 400 ft", "9999 BKN004", "LIFR");
    row("vertical visibility", "0400 FG VV001", "LIFR");
    row("the lowest ceiling counts", "9999 BKN040 OVC008", "IFR");
    row("CB layer", "9999 FEW020CB BKN025CB", "MVFR");
    row("8 km is 4.97 SM", "8000 FEW030", "MVFR");
    row("9 km is 5.59 SM", "9000 FEW030", "VFR");
    row("4800 m is 2.98 SM", "4800 FEW030", "IFR");
    row("1600 m is 0.99 SM", "1600 FEW030", "LIFR");
    row("1700 m is 1.06 SM", "1700 FEW030", "IFR");
    row("5 SM", "5SM FEW030", "MVFR");
    row("3 SM", "3SM FEW030", "MVFR");
    row("2 SM", "2SM FEW030", "IFR");
    row("1 1/2 SM", "1 1/2SM BR OVC015", "IFR");
    row("1 SM", "1SM BR FEW015", "IFR");
    row("3/4 SM", "3/4SM BR FEW015", "LIFR");
    row("less than 1/4 SM", "M1/4SM FG VV002", "LIFR");
    row("more than 6 SM", "P6SM SKC", "VFR");
    row("the worse of the two", "2000 BKN040", "IFR");
    row("a sector's minimum does not count", "6000 1200SW FEW030", "MVFR");
    row("trend ignored", "9999 FEW030 Q1021 TEMPO 0800 FG", "VFR");
    row("BECMG ignored", "9999 SCT030 BECMG OVC003", "VFR");
    row("remarks ignored", "9999 FEW030 Q1021 RMK 1CU030 OVC002", "VFR");
    // A part not reported is unknown: never VFR; LIFR only when the other part alone says so.
    row("visibility missing, ceiling IFR", "//// BKN008", "");
    row("visibility missing, ceiling MVFR", "//// BKN020", "");
    row("visibility missing, ceiling LIFR", "//// OVC003", "LIFR");
    row("no visibility group, ceiling VFR", "BKN040 08/M02", "");
    row("sky group missing", "5000 BR 08/M02 Q1021", "");
    row("sky group missing, 10 km", "9999 08/M02 Q1021", "");
    row("sky group missing, visibility LIFR", "0800 FG 08/07 Q1021", "LIFR");
    row("sky not observed", "9999 ////// 08/M02 Q1021", "");
    row("CB of amount and height not observed", "9999 ///CB 08/M02", "");
    row("TCU of unreported amount at 1500 ft", "9999 ///015TCU", "");
    row("sky not observed, visibility LIFR", "0600 FG //////", "LIFR");
    row("a layer not observed above a known ceiling", "9999 BKN040 //////", "VFR");
    row("a layer not observed above a thin one", "9999 FEW020 //////", "");
    row("a known ceiling below one of unknown height", "9999 BKN040 BKN///", "VFR");
    // A ceiling of unknown height: never VFR; LIFR only when the visibility alone says so.
    row("layer height missing: unknown", "3000 BKN///", "");
    row("BKN of unknown height, 10 km", "9999 BKN///", "");
    row("TCU below a CB layer of unknown height", "9999 FEW020TCU BKN///CB", "");
    row("OVC of unknown height", "9999 OVC///", "");
    row("OVC CB of unknown height", "9999 OVC///CB", "");
    row("vertical visibility of unknown height", "9999 VV///", "");
    row("unknown height, visibility LIFR", "0800 FG VV///", "LIFR");
    row("unknown height, visibility LIFR in miles", "1/2SM FG OVC///", "LIFR");
    row("unknown height, visibility IFR", "2000 BR BKN///", "");
    row("unknown height, visibility missing", "//// BKN///", "");
    row("unknown height below a known layer", "9999 BKN/// OVC040", "");
    row("a known ceiling below it decides", "9999 BKN008 BKN///", "IFR");
    row("a known VFR ceiling below it decides", "9999 BKN040 OVC///", "VFR");
    row("thin layers below do not count", "9999 FEW005 SCT010 BKN///", "");
    row("a thin layer of unknown height is no ceiling", "9999 FEW///", "VFR");
    row("CAVOK then a stray unknown layer", "CAVOK BKN///", "");
    row("NSC, visibility missing", "//// NSC", "");
    row("nothing known", "//// ///////", "");
    QTest::newRow("over two lines")
        << QStringLiteral("RJTT 071230Z 34008KT 9999\nBKN008\r\n") << QStringLiteral("IFR");
    QTest::newRow("the fixed text") << QStringLiteral("      NO OBSERVATION") << QString();
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("garbage") << QStringLiteral("<html>\x01\xff 1/0SM 99") << QString();
}

void TestFlightCategory::boundaries()
{
    QFETCH(QString, report);
    QFETCH(QString, category);
    QCOMPARE(FlightCategoryText(ClassifyMetar(report)), category);
}

void TestFlightCategory::everyFixture()
{
    // Real reports: each has a visibility or sky group, so each has a category, unless its
    // ceiling is of unknown height (and its visibility not LIFR); a NIL report (no report at
    // all) has none.
    const QDir dir(QStringLiteral(TARNBECK_STATIONS "/metar"));
    int classified = 0;
    for (const QString &name : dir.entryList({QStringLiteral("*.TXT")})) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromLatin1(file.readAll());
        // An error page stands in the corpus as a file; it is no report.
        const QString report =
            text.startsWith(QLatin1Char('<')) ? text : text.section(QLatin1Char('\n'), 1);
        if (report.trimmed().isEmpty())
            continue;
        // "9999 FEW008 BKN///", "9999 FEW030 BKN///": the ceiling's height is not known.
        const bool unknownCeiling =
            name == QLatin1String("RJTT_2.TXT") || name == QLatin1String("RJTT_3.TXT");
        const bool none = report.contains(QLatin1String(" NIL")) ||
                          text.startsWith(QLatin1Char('<')) || unknownCeiling;
        QVERIFY2((ClassifyMetar(report) == FlightCategory::Unknown) == none, qPrintable(name));
        ++classified;
    }
    QVERIFY(classified >= 30);
}

QTEST_GUILESS_MAIN(TestFlightCategory)
#include "test_flightcategory.moc"
