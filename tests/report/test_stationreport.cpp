// Treatment of station files: cut positions, time shift, zone letters and spacing.
#include "report/LineWrap.h"
#include "report/StationReport.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
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
    void stationFileOf_data();
    void stationFileOf();
    void everyFixtureIsAStationFile();
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

void TestStationReport::stationFileOf_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("isTaf");
    QTest::addColumn<bool>("accepted"); // as a station file of RJTT
    const QByteArray line = "2024/01/15 12:30\n";
    const QByteArray metar = "RJTT 151230Z 34008KT 9999 FEW030 08/M02 Q1021\n";
    QTest::newRow("METAR") << line + metar << false << true;
    QTest::newRow("METAR with a trailing blank") << line + metar.chopped(1) + " \n"
                                                 << false << true;
    QTest::newRow("METAR prefix") << line + "METAR " + metar << false << true;
    QTest::newRow("METAR COR prefix") << line + "METAR COR " + metar << false << true;
    QTest::newRow("SPECI prefix") << line + "SPECI " + metar << false << true;
    QTest::newRow("NIL report") << line + "RJTT NIL\n" << false << true;
    QTest::newRow("TAF") << line + "TAF RJTT 150500Z 1506/1612 34010KT\n      TEMPO 1600/1603\n"
                         << true << true;
    QTest::newRow("TAF AMD, TAF alone on its line")
        << line + "TAF\n      AMD RJTT 150500Z 1506/1612 34010KT\n"
        << true << true;
    QTest::newRow("TAF, AMD TAF, AMD station")
        << line + "TAF\n      AMD TAF\n      AMD RJTT 150500Z 1506/1612\n"
        << true << true;
    QTest::newRow("TAF COR") << line + "TAF COR RJTT 150500Z 1506/1612\n" << true << true;
    QTest::newRow("TAF without its word") << line + "RJTT 150500Z 1506/1612\n" << true << true;
    QTest::newRow("lower-case code asked") << line + metar << false << true;
    QTest::newRow("another station") << line + "RJAA 151230Z 34008KT 9999\n" << false << false;
    QTest::newRow("another station's TAF") << line + "TAF RJAA 150500Z 1506/1612\n"
                                           << true << false;
    QTest::newRow("a METAR word before a TAF") << line + "METAR RJTT 150500Z\n" << true << false;
    QTest::newRow("the station as part of a group") << line + "RJTTX 151230Z\n" << false << false;
    QTest::newRow("time line only") << line << false << false;
    QTest::newRow("empty") << QByteArray() << false << false;
    QTest::newRow("no time line") << metar << false << false;
    QTest::newRow("time line without its line feed")
        << line.chopped(1) + " " + metar << false << false;
    QTest::newRow("time line of no real date") << "2024/13/15 12:30\n" + metar << false << false;
    QTest::newRow("time line of no real time") << "2024/01/15 25:30\n" + metar << false << false;
    QTest::newRow("a page") << QByteArray("<html><body>RJTT</body></html>") << false << false;
    QTest::newRow("a page after a time line") << line + "<html>RJTT</html>\n" << false << false;
    QTest::newRow("bytes above ASCII in the report") << line + "RJTT 151230Z \xff\xfe 9999\n"
                                                     << false << false;
    QTest::newRow("a NUL in the report") << line + "RJTT 151230Z " + QByteArray(1, '\0') + "\n"
                                         << false << false;
    QByteArray noise(3000, Qt::Uninitialized);
    QRandomGenerator rng(3000);
    for (char &c : noise)
        c = char(rng.bounded(256));
    QTest::newRow("random bytes") << noise << false << false;
    QTest::newRow("random bytes after a good start") << line + "RJTT " + noise << false << false;
}

void TestStationReport::stationFileOf()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, isTaf);
    QFETCH(bool, accepted);
    const QString airport = QString::fromLatin1(QTest::currentDataTag()).startsWith(u"lower")
                                ? QStringLiteral("rjtt")
                                : QStringLiteral("RJTT");
    QCOMPARE(IsStationFileOf(QString::fromLatin1(file), airport, isTaf), accepted);
}

void TestStationReport::everyFixtureIsAStationFile()
{
    // Every real file is one of the station its name gives; the error page and the empty file
    // are none.
    for (const bool isTaf : {false, true}) {
        const QString kind = isTaf ? QStringLiteral("taf") : QStringLiteral("metar");
        const QDir dir(stationFile(kind));
        for (const QString &name : dir.entryList({QStringLiteral("*.TXT")})) {
            const QString text = readFixture(kind + QLatin1Char('/') + name);
            const bool none = text.isEmpty() || text.startsWith(QLatin1Char('<'));
            QVERIFY2(IsStationFileOf(text, name.left(4), isTaf) != none, qPrintable(name));
            QVERIFY2(!IsStationFileOf(text, QStringLiteral("RJXX"), isTaf), qPrintable(name));
        }
    }
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
