// Treatment of station files: cut positions, time shift, zone letters and spacing.
#include "support/TestDatabase.h"
#include "ticker/DataApiReport.h"
#include "ticker/LineWrap.h"
#include "ticker/StationReport.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

QString readFixture(const QString &relative)
{
    QFile f(stationFile(relative));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
}

QString blanks(int n)
{
    return QString(n, QLatin1Char(' '));
}

} // namespace

class TestStationReport : public QObject
{
    Q_OBJECT

private slots:
    void zoneLetters_data();
    void zoneLetters();
    void reportTime_data();
    void reportTime();
    void metarBody();
    void tafBody_data();
    void tafBody();
    void blankRuns_data();
    void blankRuns();
    void notAStationFile_data();
    void notAStationFile();
    void shortResponses_data();
    void shortResponses();
    void everyFixtureKeepsItsShape();
    void dataApiAnswers_data();
    void dataApiAnswers();
    void wrapLongLines_data();
    void wrapLongLines();
};

void TestStationReport::zoneLetters_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("letter");
    QTest::newRow("UTC") << 0 << "Z";
    QTest::newRow("+1") << 1 << "A";
    QTest::newRow("+9 skips nothing yet") << 9 << "I";
    QTest::newRow("+10 skips J") << 10 << "K";
    QTest::newRow("+12") << 12 << "M";
    QTest::newRow("-1") << -1 << "N";
    QTest::newRow("-5") << -5 << "R";
    QTest::newRow("-9") << -9 << "V";
    QTest::newRow("-10") << -10 << "W";
    QTest::newRow("-12") << -12 << "Y";
    QTest::newRow("+13") << 13 << "";
    QTest::newRow("-14") << -14 << "";
    QTest::newRow("extreme") << -32768 << "";
}

void TestStationReport::zoneLetters()
{
    QFETCH(int, offset);
    QFETCH(QString, letter);
    QCOMPARE(ZoneLetterFor(qint16(offset)), letter);
}

void TestStationReport::reportTime_data()
{
    QTest::addColumn<QString>("header");
    QTest::addColumn<bool>("useLocal");
    QTest::addColumn<QString>("timediff");
    QTest::addColumn<QString>("reportTime");
    QTest::addColumn<QString>("zoneLetter");
    QTest::newRow("UTC") << "2024/01/15 12:30" << false << "+9"
                         << "1230Z"
                         << "Z";
    QTest::newRow("UTC ignores timediff") << "2024/01/15 12:30" << false << "-5"
                                          << "1230Z"
                                          << "Z";
    QTest::newRow("+9 wraps, date kept") << "2024/01/15 18:45" << true << "+9"
                                         << "0345I"
                                         << "I";
    QTest::newRow("-5 wraps back") << "2024/01/15 03:10" << true << "-5"
                                   << "2210R"
                                   << "R";
    QTest::newRow("blank zero") << "2024/01/15 07:05" << true << " 0"
                                << "0705Z"
                                << "Z";
    QTest::newRow("+13 has no letter") << "2024/01/15 12:00" << true << "+13"
                                       << "0100"
                                       << "";
    QTest::newRow("-14 has no letter") << "2024/01/15 12:00" << true << "-14"
                                       << "2200"
                                       << "";
    QTest::newRow("+23") << "2024/01/15 23:59" << true << "+23"
                         << "2259"
                         << "";
    QTest::newRow("-23") << "2024/01/15 00:00" << true << "-23"
                         << "0100"
                         << "";
}

void TestStationReport::reportTime()
{
    QFETCH(QString, header);
    QFETCH(bool, useLocal);
    QFETCH(QString, timediff);
    QFETCH(QString, reportTime);
    QFETCH(QString, zoneLetter);
    const QString file =
        header + QStringLiteral("\nRJTT 151230Z 34008KT 9999 FEW030 08/M02 Q1021\n");
    const StationReport report = TreatStationFile(file, false, useLocal, timediff);
    QCOMPARE(report.reportTime, reportTime);
    QCOMPARE(report.zoneLetter, zoneLetter);
}

void TestStationReport::metarBody()
{
    const StationReport report = TreatStationFile(
        QStringLiteral("2024/01/15 12:30\nRJTT 151230Z 34008KT 9999 FEW030 08/M02 Q1021\n"), false,
        false, QStringLiteral("+9"));
    QCOMPARE(report.reportTime, QStringLiteral("1230Z"));
    // The blank before the report stays; the five appended blanks end as six.
    QCOMPARE(report.reportBody,
             QStringLiteral(" 151230Z 34008KT 9999 FEW030 08/M02 Q1021") + blanks(6));
}

void TestStationReport::tafBody_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("body");
    QTest::newRow("multi-line, six-blank indent, words spaced")
        << "2024/01/15 05:00\nTAF RJTT 150500Z 1506/1612 34010KT 9999 FEW030\n"
           "      BECMG 1512/1514 18010KT\n      TEMPO 1600/1603 SHRA\n"
        << " 150500Z 1506/1612 34010KT 9999 FEW030\n" + blanks(6) + "BECMG   1512/1514 18010KT\n" +
               blanks(6) + "TEMPO   1600/1603 SHRA" + blanks(6);
    // "TAF AMD RJTT ..." is cut at the same place, so the body starts with the indicator.
    QTest::newRow("amended, cut at the same position")
        << "2024/01/15 05:00\nTAF AMD RJTT 150500Z 1506/1612 34010KT\n"
        << "RJTT 150500Z 1506/1612 34010KT" + blanks(6);
    QTest::newRow("AMD and COR get two blanks")
        << "2024/01/15 05:00\nTAF RJTT 150500Z AMD COR TRD 9999\n"
        << " 150500Z AMD   COR   TRD   9999" + blanks(6);
}

void TestStationReport::tafBody()
{
    QFETCH(QString, file);
    QFETCH(QString, body);
    QCOMPARE(TreatStationFile(file, true, false, QStringLiteral("+9")).reportBody, body);
}

void TestStationReport::blankRuns_data()
{
    QTest::addColumn<int>("run");
    QTest::addColumn<int>("result");
    QTest::newRow("nine") << 9 << 7;
    QTest::newRow("eight") << 8 << 6;
    QTest::newRow("seven") << 7 << 6;
    QTest::newRow("six") << 6 << 6;
    QTest::newRow("five") << 5 << 6;
    QTest::newRow("four") << 4 << 5;
    QTest::newRow("three") << 3 << 3;
    QTest::newRow("one") << 1 << 1;
}

void TestStationReport::blankRuns()
{
    QFETCH(int, run);
    QFETCH(int, result);
    const QString file =
        QStringLiteral("2024/01/15 12:30\nRJTT A") + blanks(run) + QStringLiteral("B\n");
    QCOMPARE(TreatStationFile(file, false, false, QString()).reportBody,
             QStringLiteral(" A") + blanks(result) + QStringLiteral("B") + blanks(6));
}

void TestStationReport::notAStationFile_data()
{
    QTest::addColumn<bool>("isTaf");
    QTest::addColumn<QString>("body");
    QTest::newRow("METAR") << false << "      NO OBSERVATION";
    QTest::newRow("TAF") << true << "      NO FORECAST";
}

void TestStationReport::notAStationFile()
{
    QFETCH(bool, isTaf);
    QFETCH(QString, body);
    const StationReport report = TreatStationFile(readFixture(QStringLiteral("metar/ZZZZ_1.TXT")),
                                                  isTaf, true, QStringLiteral("+9"));
    // Nothing else runs: no time, no zone letter, no spacing.
    QCOMPARE(report.reportBody, body);
    QCOMPARE(report.reportTime, QString());
    QCOMPARE(report.zoneLetter, QString());
    QCOMPARE(MissingStationReport(isTaf).reportBody, body);
}

void TestStationReport::shortResponses_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("isTaf");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("body");
    QTest::newRow("empty") << "" << false << "00Z"
                           << "";
    QTest::newRow("METAR of 21 characters is not cut")
        << "2024/01/15 12:30\nRJTT" << false << "1230Z"
        << "2024/01/15 12:30\nRJTT";
    QTest::newRow("METAR of 22 characters is cut") << "2024/01/15 12:30\nRJTT\n"
                                                   << false << "1230Z" << blanks(6);
    QTest::newRow("TAF of 25 characters keeps its spacing rules")
        << "2024/01/15 12:30\nTAF    R" << true << "1230Z"
        << "2024/01/15 12:30\nTAF     R";
    QTest::newRow("garbage hour counts 0") << "2024/01/15 xx:30\n"
                                           << false << "0030Z"
                                           << "2024/01/15 xx:30\n";
}

void TestStationReport::shortResponses()
{
    QFETCH(QString, file);
    QFETCH(bool, isTaf);
    QFETCH(QString, time);
    QFETCH(QString, body);
    const StationReport report = TreatStationFile(file, isTaf, false, QString());
    QCOMPARE(report.reportTime, time);
    QCOMPARE(report.reportBody, body);
}

void TestStationReport::everyFixtureKeepsItsShape()
{
    // Real station files: the body never holds the header, and no run of blanks longer than
    // seven survives (nine is the longest run that gives seven).
    for (const QString &kind : {QStringLiteral("metar"), QStringLiteral("taf")}) {
        const QDir dir(stationFile(kind));
        const QStringList files = dir.entryList({QStringLiteral("*.TXT")});
        QVERIFY(files.size() > 20);
        for (const QString &name : files) {
            const QString text = readFixture(kind + QLatin1Char('/') + name);
            const StationReport report =
                TreatStationFile(text, kind == QLatin1String("taf"), false, QString());
            if (text.startsWith(QLatin1Char('<')) || text.size() < 26)
                continue;
            QVERIFY2(!report.reportBody.contains(text.left(16)), qPrintable(name));
            QVERIFY2(!report.reportBody.contains(blanks(8)), qPrintable(name));
            QVERIFY2(report.reportTime.endsWith(QLatin1Char('Z')), qPrintable(name));
            QCOMPARE(report.reportTime.size(), 5);
        }
    }
}

void TestStationReport::dataApiAnswers_data()
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
        << "TAF AMD RJAA 071210Z 0712/0818 34010KT 9999 FM071500 36005KT CAVOK" << true
        << "2026-12-07T13:00"
        << "2026/12/07 12:10\nTAF\n      AMD RJAA 071210Z 0712/0818 34010KT 9999 \n"
           "      FM071500 36005KT CAVOK\n";
    QTest::newRow("two TAFs: the newest")
        << "TAF RJTT 070500Z 0706/0812 X\nTAF RJTT 071100Z 0712/0818 Y" << true
        << "2026-12-07T13:00"
        << "2026/12/07 11:00\nTAF RJTT 071100Z 0712/0818 Y\n";
}

void TestStationReport::dataApiAnswers()
{
    QFETCH(QString, answer);
    QFETCH(bool, isTaf);
    QFETCH(QString, now);
    QFETCH(QString, stationFile);
    QDateTime nowUtc = QDateTime::fromString(now, Qt::ISODate);
    nowUtc.setTimeSpec(Qt::UTC);
    QCOMPARE(StationFileFromDataApi(answer, isTaf, nowUtc), stationFile);
}

void TestStationReport::wrapLongLines_data()
{
    // Lines end in CR, or in LF within a TAF; `width` is the room in characters.
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("wrapped");
    QTest::newRow("fits: unchanged") << "RJTT 151230Z  9999\r" << 18 << "RJTT 151230Z  9999\r";
    QTest::newRow("at the last blank that fits")
        << "AAAA BBBB CCCC DDDD" << 10 << "AAAA BBBB\r      CCCC\r      DDDD";
    QTest::newRow("a run of blanks is the break")
        << "AAAA   BBBB CCCC" << 9 << "AAAA\r      BBBB\r      CCCC";
    QTest::newRow("indentation is never a break")
        << "      TEMPO 1512/1515 -SHRA" << 18 << "      TEMPO\r      1512/1515\r      -SHRA";
    QTest::newRow("only the long line changes")
        << "RJTT TAF\rAAAA BBBB CCCC\r" << 10 << "RJTT TAF\rAAAA BBBB\r      CCCC\r";
    QTest::newRow("a word too long stays whole")
        << "AAAAAAAAAAAA BB" << 8 << "AAAAAAAAAAAA\r      BB";
    QTest::newRow("no blank: unchanged") << "AAAAAAAAAAAA" << 8 << "AAAAAAAAAAAA";
    QTest::newRow("a TAF's own lines are measured one by one")
        << "TAF\n      TEMPO AAAA BBBB\n      BECMG CCCC\r" << 18
        << "TAF\n      TEMPO AAAA\r      BBBB\n      BECMG CCCC\r";
    QTest::newRow("trailing blanks: unchanged") << "AAAA BBBB    " << 9 << "AAAA BBBB    ";
}

void TestStationReport::wrapLongLines()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QString, wrapped);
    QCOMPARE(WrapLongLines(text, [width](QStringView line) { return line.size() <= width; }),
             wrapped);
}

QTEST_GUILESS_MAIN(TestStationReport)
#include "test_stationreport.moc"
