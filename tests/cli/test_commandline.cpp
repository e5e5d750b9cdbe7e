// The command line read, the settings file found without writing, and the status-bar line made
// from the ticker's own text.
#include "cli/CommandLine.h"
#include "cli/ReportRun.h"
#include "cli/StatusText.h"
#include "report/ReportText.h"
#include "store/Settings.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

using Mode = CommandLineRequest::Mode;
Q_DECLARE_METATYPE(CommandLineRequest::Mode)

namespace {

const QDateTime reportTime(QDate(2024, 1, 15), QTime(12, 30), Qt::UTC);

/// The ticker's text of a METAR of RJTT made at reportTime and read `minutesLater`; no groups:
/// no source answered.
QString tickerText(const QString &groups, int minutesLater, bool markOld, bool showCategory)
{
    FetchedReport metar;
    if (!groups.isEmpty())
        metar = {QStringLiteral("2024/01/15 12:30\nRJTT 151230Z %1\n").arg(groups),
                 ReportOrigin::FirstSource, false};
    ReportTextOptions options;
    options.timediff = QStringLiteral(" 0");
    options.display.markOld = markOld;
    options.display.showCategory = showCategory;
    return ComposeReportText(QStringLiteral("RJTT"), metar, {}, options,
                             reportTime.addSecs(60 * minutesLater))
        .text;
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void wantsCommandLine_data();
    void wantsCommandLine();
    void read_data();
    void read();
    void helpNamesEveryOption();
    void databaseFile_data();
    void databaseFile();
    void ageMark_data();
    void ageMark();
    void statusLine_data();
    void statusLine();
    void printedText_data();
    void printedText();
    void fixedText();
    void watchInterval();
};

void TestCommandLine::wantsCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("wanted");
    QTest::newRow("none: the ticker") << QStringList{} << false;
    QTest::newRow("a session manager's restart") << QStringList{"-session", "1a2b"} << false;
    QTest::newRow("Qt's display option") << QStringList{"-display", ":1"} << false;
    QTest::newRow("--version") << QStringList{"--version"} << true;
    QTest::newRow("-v") << QStringList{"-v"} << true;
    QTest::newRow("-help") << QStringList{"-help"} << true;
    QTest::newRow("a code alone, to be refused") << QStringList{"RJTT"} << true;
    QTest::newRow("an unknown option, to be refused") << QStringList{"--frobnicate"} << true;
    // Only the options Qt itself reads start the ticker; other single-dash words are refused.
    QTest::newRow("Qt's platform option") << QStringList{"-platform", "xcb"} << false;
    QTest::newRow("Qt's style, with its value") << QStringList{"-style=fusion"} << false;
    QTest::newRow("Qt's reverse") << QStringList{"-reverse"} << false;
    QTest::newRow("-print") << QStringList{"-print", "RJTT"} << true;
    QTest::newRow("-json") << QStringList{"-json", "RJTT"} << true;
    QTest::newRow("-decode") << QStringList{"-decode", "RJTT"} << true;
    QTest::newRow("a flag of Qt given a value") << QStringList{"-reverse=1"} << true;
}

void TestCommandLine::wantsCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, wanted);
    QCOMPARE(WantsCommandLine(QStringList{QStringLiteral("tarnbeck")} + arguments), wanted);
}

void TestCommandLine::read_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<QStringList>("airports");
    QTest::addColumn<QString>("error"); // a part of the message; empty: none
    const QStringList none;
    QTest::newRow("help") << QStringList{"--help"} << Mode::Help << none << QString();
    QTest::newRow("-h") << QStringList{"-h"} << Mode::Help << none << QString();
    QTest::newRow("version") << QStringList{"--version"} << Mode::Version << none << QString();
    QTest::newRow("print, upper-cased") << QStringList{"--print", "rjtt", "RjAa"} << Mode::Print
                                        << QStringList{"RJTT", "RJAA"} << QString();
    QTest::newRow("print the targets")
        << QStringList{"--print"} << Mode::Print << none << QString();
    QTest::newRow("json") << QStringList{"--json", "RJTT", "--watch"} << Mode::Json
                          << QStringList{"RJTT"} << QString();
    QTest::newRow("decode") << QStringList{"--decode", "rjtt"} << Mode::Decode
                            << QStringList{"RJTT"} << QString();
    QTest::newRow("decode as JSON") << QStringList{"--json", "--decode", "RJTT"} << Mode::Decode
                                    << QStringList{"RJTT"} << QString();
    QTest::newRow("decode of two") << QStringList{"--decode", "RJTT", "RJAA"} << Mode::Ticker
                                   << none << "--decode takes exactly one ICAO";
    QTest::newRow("decode and print") << QStringList{"--print", "--decode", "RJTT"} << Mode::Ticker
                                      << none << "--print and --decode";
    QTest::newRow("decode watched") << QStringList{"--decode", "RJTT", "--json", "--watch"}
                                    << Mode::Ticker << none << "--watch goes with --json alone";
    QTest::newRow("three letters") << QStringList{"--print", "RJTT", "RJT"} << Mode::Ticker << none
                                   << "'RJT' is not an ICAO code: it must be four letters";
    QTest::newRow("a digit") << QStringList{"--json", "RJ0T"} << Mode::Ticker << none
                             << "'RJ0T' is not an ICAO code";
    QTest::newRow("both modes") << QStringList{"--print", "--json", "RJTT"} << Mode::Ticker << none
                                << "--print and --json";
    QTest::newRow("json of two") << QStringList{"--json", "RJTT", "RJAA"} << Mode::Ticker << none
                                 << "exactly one ICAO";
    QTest::newRow("json of none") << QStringList{"--json"} << Mode::Ticker << none
                                  << "exactly one ICAO";
    QTest::newRow("watch without json")
        << QStringList{"--print", "--watch"} << Mode::Ticker << none << "--watch goes with --json";
    QTest::newRow("a code without a mode")
        << QStringList{"RJTT"} << Mode::Ticker << none << "'RJTT': name airports after";
    QTest::newRow("db without a mode")
        << QStringList{"--db", "x.dat"} << Mode::Ticker << none << "--db goes with";
    QTest::newRow("unknown option")
        << QStringList{"--frobnicate"} << Mode::Ticker << none << "frobnicate";
    QTest::newRow("-print") << QStringList{"-print", "RJTT"} << Mode::Ticker << none
                            << "unknown option '-print' (did you mean '--print'?)";
    QTest::newRow("-json after --print")
        << QStringList{"--print", "-json"} << Mode::Ticker << none << "unknown option '-json'";
    QTest::newRow("-decode") << QStringList{"-decode", "RJTT"} << Mode::Ticker << none
                             << "unknown option '-decode'";
    QTest::newRow("Qt's option among ours") << QStringList{"--print", "RJTT", "-display", ":1"}
                                            << Mode::Ticker << none << "unknown option '-display'";
    QTest::newRow("a file after --db may start with a dash")
        << QStringList{"--print", "--db", "-x.dat"} << Mode::Print << none << QString();
    QTest::newRow("db without its value")
        << QStringList{"--print", "--db"} << Mode::Ticker << none << "db";
}

void TestCommandLine::read()
{
    QFETCH(QStringList, arguments);
    QFETCH(Mode, mode);
    QFETCH(QStringList, airports);
    QFETCH(QString, error);
    const CommandLineRequest request =
        ReadCommandLine(QStringList{QStringLiteral("tarnbeck")} + arguments);
    QCOMPARE(request.mode, mode);
    QCOMPARE(request.airports, airports);
    if (error.isEmpty())
        QVERIFY2(request.error.isEmpty(), qPrintable(request.error));
    else
        QVERIFY2(request.error.contains(error), qPrintable(request.error));
}

void TestCommandLine::helpNamesEveryOption()
{
    const QString help = CommandLineHelp();
    for (const char *option :
         {"--help", "--version", "--print", "--json", "--decode", "--watch", "--db"})
        QVERIFY2(help.contains(QLatin1String(option)), option);
    QVERIFY(!help.contains(QLatin1String("--help-all")));
    QVERIFY(help.contains(QLatin1String("Exit status")));
}

void TestCommandLine::databaseFile_data()
{
    QTest::addColumn<QStringList>("present"); // of "program", "user", "delivered"
    QTest::addColumn<bool>("programWritable");
    QTest::addColumn<QString>("chosen"); // empty: none
    QTest::newRow("beside a writable program")
        << QStringList{"program", "user", "delivered"} << true << "program";
    QTest::newRow("an installed program: the user's copy")
        << QStringList{"program", "user", "delivered"} << false << "user";
    QTest::newRow("before the first start: the delivered file")
        << QStringList{"delivered"} << false << "delivered";
    QTest::newRow("nothing anywhere") << QStringList{} << true << QString();
}

void TestCommandLine::databaseFile()
{
    QFETCH(QStringList, present);
    QFETCH(bool, programWritable);
    QFETCH(QString, chosen);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    for (const char *dir : {"program", "user", "delivered"})
        QVERIFY(QDir(root.path()).mkpath(QLatin1String(dir)));
    for (const QString &dir : present) {
        QFile file(root.filePath(dir + QStringLiteral("/tarnbeck.dat")));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString found = ReadableDatabaseFile(
        root.filePath(QStringLiteral("program")),
        {root.filePath(QStringLiteral("program")), root.filePath(QStringLiteral("delivered"))},
        root.filePath(QStringLiteral("user")), programWritable);
    QCOMPARE(found, chosen.isEmpty() ? QString()
                                     : root.filePath(chosen + QStringLiteral("/tarnbeck.dat")));
    // Found, never made: no user directory file appears where there was none.
    QCOMPARE(QFile::exists(root.filePath(QStringLiteral("user/tarnbeck.dat"))),
             present.contains(QStringLiteral("user")));
}

void TestCommandLine::ageMark_data()
{
    QTest::addColumn<int>("minutes");
    QTest::addColumn<bool>("markOld");
    QTest::addColumn<bool>("showCategory");
    QTest::addColumn<QString>("mark");
    QTest::newRow("fresh") << 20 << true << true << QString();
    QTest::newRow("old, with the category") << 95 << true << true << "95 MIN OLD";
    QTest::newRow("old, alone") << 95 << true << false << "95 MIN OLD";
    QTest::newRow("hours") << 200 << true << true << "3 HR OLD";
    QTest::newRow("days") << 3 * 24 * 60 << true << false << "3 DAYS OLD";
    QTest::newRow("old, the option off") << 95 << false << true << QString();
}

void TestCommandLine::ageMark()
{
    QFETCH(int, minutes);
    QFETCH(bool, markOld);
    QFETCH(bool, showCategory);
    QFETCH(QString, mark);
    QCOMPARE(AgeMark(tickerText(QStringLiteral("34008KT 9999 FEW030 08/M02 Q1021"), minutes,
                                markOld, showCategory)),
             mark);
}

void TestCommandLine::statusLine_data()
{
    QTest::addColumn<QString>("groups"); // empty: no METAR came
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("kind");
    QTest::newRow("VFR") << "34008KT 9999 FEW030 08/M02 Q1021" << 10 << "RJTT VFR"
                         << "vfr";
    QTest::newRow("MVFR") << "34008KT 9999 BKN020 08/M02 Q1021" << 10 << "RJTT MVFR"
                          << "mvfr";
    QTest::newRow("IFR") << "34008KT 3000 BR OVC005 08/07 Q1021" << 10 << "RJTT IFR"
                         << "ifr";
    QTest::newRow("LIFR") << "00000KT 0400 FG VV001 08/08 Q1021" << 10 << "RJTT LIFR"
                          << "lifr";
    QTest::newRow("old") << "34008KT 3000 BR OVC005 08/07 Q1021" << 95 << "RJTT IFR 95 MIN OLD"
                         << "ifr";
    QTest::newRow("no category") << "34008KT //// 08/07 Q1021" << 10 << "RJTT"
                                 << "unknown";
    QTest::newRow("no METAR") << QString() << 10 << "RJTT NO OBSERVATION"
                              << "unknown";
    // A report is data: whatever a station sends must reach the bar as text, never break the line.
    QTest::newRow("quote, backslash, control")
        << "34008KT 9999 FEW030 08/M02 Q1021 RMK \"A\\B\t\x01" << 10 << "RJTT VFR"
        << "vfr";
}

void TestCommandLine::statusLine()
{
    QFETCH(QString, groups);
    QFETCH(int, minutes);
    QFETCH(QString, text);
    QFETCH(QString, kind);
    // The category is given with the display option off too.
    const QString ticker = tickerText(groups, minutes, true, false);
    const QString metar =
        groups.isEmpty() ? QString() : QStringLiteral("RJTT 151230Z %1\n").arg(groups);
    const QByteArray line = StatusLine(QStringLiteral("RJTT"), ticker, metar);
    QVERIFY(std::none_of(line.begin(), line.end(), [](char c) { return uchar(c) < 0x20; }));
    QJsonParseError error;
    const QJsonObject object = QJsonDocument::fromJson(line, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(object.value(QStringLiteral("text")).toString(), text);
    QCOMPARE(object.value(QStringLiteral("class")).toString(), kind);
    QCOMPARE(object.value(QStringLiteral("alt")).toString(), kind);
    QCOMPARE(object.value(QStringLiteral("tooltip")).toString(), PrintedText(ticker));
    QVERIFY(!PrintedText(ticker).contains(QLatin1Char('\r')));
}

void TestCommandLine::printedText_data()
{
    QTest::addColumn<bool>("taf");
    QTest::addColumn<QString>("printed");
    const QString metar = QStringLiteral("RJTT METAR 1230Z\n 151230Z 34008KT 9999 FEW030");
    QTest::newRow("METAR") << false << metar;
    // The report server's TAF lines end in a blank, the ticker's last line in six.
    QTest::newRow("METAR and TAF")
        << true
        << metar + QStringLiteral("\n\nRJTT TAF   0500Z\n 150500Z 1506/1612 34010KT 9999\n"
                                  "      TEMPO   1600/1603 SHRA");
}

void TestCommandLine::printedText()
{
    QFETCH(bool, taf);
    QFETCH(QString, printed);
    ReportTextOptions options;
    options.timediff = QStringLiteral(" 0");
    options.getTAF = taf;
    const FetchedReport metar{
        QStringLiteral("2024/01/15 12:30\nRJTT 151230Z 34008KT 9999 FEW030\n"),
        ReportOrigin::FirstSource, false};
    const FetchedReport forecast{QStringLiteral("2024/01/15 05:00\nTAF RJTT 150500Z 1506/1612 "
                                                "34010KT 9999 \n      TEMPO 1600/1603 SHRA\n"),
                                 ReportOrigin::FirstSource, false};
    const QString text =
        ComposeReportText(QStringLiteral("RJTT"), metar, forecast, options, reportTime).text;
    QCOMPARE(PrintedText(text), printed);
    const QJsonObject line =
        QJsonDocument::fromJson(StatusLine(QStringLiteral("RJTT"), text, metar.stationFile.mid(17)))
            .object();
    QCOMPARE(line.value(QStringLiteral("tooltip")).toString(), printed);
}

void TestCommandLine::fixedText()
{
    const FetchedReport metar{QStringLiteral("2024/01/15 12:30\nRJTT 151230Z 34008KT 9999\n"),
                              ReportOrigin::FirstSource, false};
    ReportTextOptions options;
    options.timediff = QStringLiteral(" 0");
    options.getTAF = true;
    const auto text = [&](const FetchedReport &m, const FetchedReport &t) {
        return ComposeReportText(QStringLiteral("RJTT"), m, t, options, reportTime).text;
    };
    QVERIFY(!HasFixedText(text(metar, {QStringLiteral("2024/01/15 05:00\nTAF RJTT 150500Z "
                                                      "1506/1612 34010KT 9999 FEW030\n"),
                                       ReportOrigin::FirstSource, false})));
    QVERIFY(HasFixedText(text(metar, {})));
    QVERIFY(HasFixedText(text({}, {})));
}

void TestCommandLine::watchInterval()
{
    Settings settings = Settings::defaults();
    settings.autochange = true;
    settings.autochangerate = 15;
    QCOMPARE(WatchIntervalSeconds(settings), 15);
    settings.autochange = false; // the ticker then refreshes the one airport every minute
    QCOMPARE(WatchIntervalSeconds(settings), 60);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_commandline.moc"
