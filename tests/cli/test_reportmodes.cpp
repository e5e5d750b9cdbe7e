// The real program's command line, with no display, against a report server on loopback.
#include "report/ReportBuilder.h"
#include "store/SettingsStore.h"
#include "support/LocalSettings.h"
#include "support/TickerFixture.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>
#include <csignal>

namespace {

const QString metarRJTT = QStringLiteral("/data/observations/metar/stations/RJTT.TXT");
const QString tafRJTT = QStringLiteral("/data/forecasts/taf/stations/RJTT.TXT");
const QByteArray vfrMetar = "2024/01/15 12:30\nRJTT 151230Z 34008KT 9999 FEW030 08/M02 Q1021\n";
const QByteArray ifrMetar = "2024/01/15 12:30\nRJTT 151230Z 34008KT 3000 BR OVC005 08/07 Q1021\n";
const QByteArray taf = "2024/01/15 05:00\nTAF RJTT 150500Z 1506/1612 34010KT 9999 FEW030\n"
                       "      TEMPO 1600/1603 SHRA\n";

struct Outcome
{
    bool ended = false;
    int status = -1;
    QString out;
    QString err;
};

/// The program with no display at all, as on a console or over ssh.
void withoutDisplay(QProcess &process)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    process.setProcessEnvironment(env);
}

/// Runs the program to its end; the loopback server answers from this event loop meanwhile.
Outcome run(const QStringList &arguments)
{
    QProcess process;
    withoutDisplay(process);
    process.start(QStringLiteral(TARNBECK_BINARY), arguments);
    Outcome outcome;
    outcome.ended = QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 60000);
    if (!outcome.ended)
        process.kill();
    process.waitForFinished();
    outcome.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    outcome.out = QString::fromUtf8(process.readAllStandardOutput());
    outcome.err = QString::fromUtf8(process.readAllStandardError());
    return outcome;
}

/// One airport's --print over `settings` and the rows of `options`, the METAR and TAF from
/// station fixtures ("": those served at init), the METAR from the second source when `speci`.
/// `printed` is what a terminal shows, worked out by hand ("%1" the days since the METAR served
/// at init was made), or empty where only the ticker's own text can tell.
struct PrintCase
{
    const char *name, *airport, *settings, *options, *metar;
    bool speci;
    const char *taf, *printed;
};

const PrintCase printCases[] = {
    {"METAR only", "RJTT", "getTAF = 0, getSUNSET = 0", "", "", false, "",
     "RJTT METAR 1230Z\n"
     " 151230Z 34008KT 9999 FEW030 08/M02 Q1021\n"},
    // The sun line is today's.
    {"everything, local time", "RJTT",
     "getTAF = -1, getSUNSET = -1, uselocal = -1, timediff = '+9'",
     "('showcategory', '1'), ('markold', '1')", "", false, "", ""},
    {"category and age, UTC", "RJTT", "getTAF = -1, getSUNSET = 0, uselocal = 0",
     "('showcategory', '1'), ('markold', '1')", "", false, "",
     "RJTT METAR 1230Z  VFR  %1 DAYS OLD\n"
     " 151230Z 34008KT 9999 FEW030 08/M02 Q1021\n"
     "\n"
     "RJTT TAF   0500Z\n"
     " 150500Z 1506/1612 34010KT 9999 FEW030\n"
     "      TEMPO   1600/1603 SHRA\n"},
    {"METAR with remarks, local time", "RJTT",
     "getTAF = 0, getSUNSET = 0, uselocal = -1, timediff = '+9'", "('showcategory', '1')",
     "metar/RJTT_1.TXT", false, "",
     "RJTT METAR 1800I  VFR\n"
     " 310900Z 03018KT 9999 FEW030 FEW035CB BKN040 BKN/// 28/22 Q1007 NOSIG RMK 1CU030 1CB035 "
     "6CU040 A2974 LIGHTNING 40KM N MOV E CB W-NW\n"},
    {"SPECI", "RJAA", "getTAF = 0, getSUNSET = 0, uselocal = 0", "('showcategory', '1')",
     "metar/RJAA_3.TXT", true, "",
     "RJAA SPECI 1945Z  IFR\n"
     " 261945Z 36020KT 4000 -SHRA BR FEW003 SCT004 BKN006 FEW020TCU 15/15 Q1014 RMK 1ST003 "
     "3ST004 5ST006 1TCU020 A2995 TCU 10KM N-NE MOV NE\n"},
    {"TAF with BECMG lines", "RJAH", "getTAF = -1, getSUNSET = 0, uselocal = 0", "",
     "metar/RJAH_1.TXT", false, "taf/RJAH_1.TXT",
     "RJAH METAR 2100Z\n"
     " 162100Z 04002KT 2400 BR MIFG FEW005 SCT250 20/20 Q1010\n"
     "\n"
     "RJAH TAF   1708Z\n"
     " 161708Z 1618/1800 20005KT 8000 FEW010 BKN020\n"
     "      TEMPO   1618/1623 4000 BR FEW005 BKN008\n"
     "      BECMG   1619/1621 01006KT\n"
     "      BECMG   1703/1705 07010KT\n"
     "      BECMG   1709/1712 13004KT\n"},
};

/// Whole days since the METAR served at init was made.
qint64 daysOld()
{
    return QDateTime(QDate(2024, 1, 15), QTime(12, 30), Qt::UTC)
               .secsTo(QDateTime::currentDateTimeUtc()) /
           (24 * 3600);
}

QByteArray digest(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

} // namespace

class TestReportModes : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void helpAndVersionWithoutDisplay_data();
    void helpAndVersionWithoutDisplay();
    void printIsTheTickerText_data();
    void printIsTheTickerText();
    void printsEveryCheckedTarget();
    void deadServerGivesTheFixedTexts();
    void badCodeIsRefused_data();
    void badCodeIsRefused();
    void unreadableSettingsAreNamed();
    void jsonOfAReport_data();
    void jsonOfAReport();
    void watchWritesAChangedReport();
    void watchEndsWithItsReader_data();
    void watchEndsWithItsReader();
    void printBesideARunningTicker();

private:
    /// The text the ticker builds for `airport` over the same file, as --print writes it.
    QString tickerText(const QString &airport);
    QStringList withDb(QStringList arguments) const
    {
        return arguments << QStringLiteral("--db") << m_db->path();
    }

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<LoopbackHttpServer> m_server;
};

void TestReportModes::init()
{
    QVERIFY(ServeSettingsLocally(m_db, m_server));
    m_server->setRoute(metarRJTT, {200, vfrMetar, {}, {}});
    m_server->setRoute(tafRJTT, {200, taf, {}, {}});
}

void TestReportModes::cleanup()
{
    m_server.reset();
    m_db.reset();
}

QString TestReportModes::tickerText(const QString &airport)
{
    SettingsStore store(m_db->directory());
    if (!store.OpenSettings())
        return store.errorString();
    ReportBuilder builder(store);
    QSignalSpy built(&builder, &ReportBuilder::finished);
    builder.BuildReportText(airport);
    if (!built.wait(20000))
        return QStringLiteral("<no text>");
    // A terminal gets no blanks at a line's end.
    return built.first()
               .at(1)
               .toString()
               .replace(QLatin1Char('\r'), QLatin1Char('\n'))
               .remove(QRegularExpression(QStringLiteral(" +(?=\n|$)"))) +
           QLatin1Char('\n');
}

void TestReportModes::helpAndVersionWithoutDisplay_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("expected"); // the start of what it prints
    const QString version = QStringLiteral("tarnbeck " TARNBECK_VERSION "\n");
    QTest::newRow("--version") << "--version" << version;
    QTest::newRow("-v") << "-v" << version;
    QTest::newRow("--help") << "--help"
                            << "Usage: ";
    QTest::newRow("-h") << "-h"
                        << "Usage: ";
}

void TestReportModes::helpAndVersionWithoutDisplay()
{
    QFETCH(QString, option);
    QFETCH(QString, expected);
    const Outcome outcome = run({option});
    QVERIFY(outcome.ended);
    QCOMPARE(outcome.status, 0);
    QVERIFY2(outcome.out.startsWith(expected), qPrintable(outcome.out));
    if (expected.startsWith(QLatin1String("tarnbeck")))
        QCOMPARE(outcome.out, expected);
    QCOMPARE(outcome.err, QString());
}

void TestReportModes::printIsTheTickerText_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(printCases)); ++i)
        QTest::newRow(printCases[i].name) << i;
}

void TestReportModes::printIsTheTickerText()
{
    QFETCH(int, index);
    const PrintCase &c = printCases[index];
    const QString airport = QLatin1String(c.airport);
    QVERIFY(m_db->execute(QStringLiteral("UPDATE setting SET ") + QLatin1String(c.settings)));
    if (*c.options)
        QVERIFY(m_db->execute(QStringLiteral("INSERT OR REPLACE INTO option VALUES ") +
                              QLatin1String(c.options)));
    if (c.speci) {
        // The report server's files never say SPECI; the second source's raw reports do.
        QFile file(stationFile(QLatin1String(c.metar)));
        QVERIFY(file.open(QIODevice::ReadOnly));
        m_server->setRoute(QStringLiteral("/api/data/metar?ids=%1&format=raw").arg(airport),
                           {200, "SPECI " + file.readAll().split('\n').value(1) + '\n', {}, {}});
    } else if (*c.metar) {
        m_server->serveFile(QString(metarRJTT).replace(QLatin1String("RJTT"), airport),
                            stationFile(QLatin1String(c.metar)));
    }
    if (*c.taf)
        m_server->serveFile(QString(tafRJTT).replace(QLatin1String("RJTT"), airport),
                            stationFile(QLatin1String(c.taf)));
    const Outcome outcome = run(withDb({QStringLiteral("--print"), airport.toLower()}));
    QVERIFY(outcome.ended);
    QCOMPARE(outcome.err, QString());
    QCOMPARE(outcome.status, 0);
    if (*c.printed) {
        const QString printed = QLatin1String(c.printed);
        const QString expected =
            printed.contains(QLatin1String("%1")) ? printed.arg(daysOld()) : printed;
        QCOMPARE(outcome.out, expected);
    }
    QCOMPARE(outcome.out, tickerText(airport));
}

void TestReportModes::printsEveryCheckedTarget()
{
    QVERIFY(m_db->execute(QStringLiteral("DELETE FROM airport")));
    QVERIFY(m_db->execute(QStringLiteral("INSERT INTO airport (number, airport, \"check\") VALUES "
                                         "(1, 'RJBB', -1), (2, 'RJAA', 0), (3, 'RJTT', -1)")));
    for (const char *code : {"RJAA", "RJBB"}) {
        m_server->setRoute(QString(metarRJTT).replace(QLatin1String("RJTT"), QLatin1String(code)),
                           {200, QByteArray(vfrMetar).replace("RJTT", code), {}, {}});
        m_server->setRoute(QString(tafRJTT).replace(QLatin1String("RJTT"), QLatin1String(code)),
                           {200, QByteArray(taf).replace("RJTT", code), {}, {}});
    }
    const Outcome outcome = run(withDb({QStringLiteral("--print")}));
    QCOMPARE(outcome.status, 0);
    QCOMPARE(outcome.out,
             tickerText(QStringLiteral("RJBB")) + u'\n' + tickerText(QStringLiteral("RJTT")));
}

void TestReportModes::deadServerGivesTheFixedTexts()
{
    QVERIFY(m_db->setAllHosts(QStringLiteral("http://127.0.0.1:9")));
    QVERIFY(m_db->execute(QStringLiteral("UPDATE setting SET getTAF = -1")));
    const Outcome outcome = run(withDb({QStringLiteral("--print"), QStringLiteral("RJTT")}));
    QVERIFY(outcome.ended);
    QCOMPARE(outcome.status, 1);
    const QStringList lines = outcome.out.split(u'\n');
    QVERIFY2(lines.contains(QStringLiteral("      NO OBSERVATION")), qPrintable(outcome.out));
    QVERIFY2(lines.contains(QStringLiteral("      NO FORECAST")), qPrintable(outcome.out));
    const Outcome json = run(withDb({QStringLiteral("--json"), QStringLiteral("RJTT")}));
    QCOMPARE(json.status, 1);
    QVERIFY2(json.out.contains(QLatin1String("\"RJTT NO OBSERVATION\"")), qPrintable(json.out));
}

void TestReportModes::badCodeIsRefused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("said");
    QTest::newRow("a code with a digit")
        << QStringList{"--print", "RJTT", "RJ7T"} << QStringList{"'RJ7T'", "four letters"};
    // Not taken for one of Qt's options, which would start the ticker.
    QTest::newRow("-print") << QStringList{"-print", "RJTT"}
                            << QStringList{"unknown option '-print'", "'--print'"};
    QTest::newRow("-json") << QStringList{"-json", "RJTT"} << QStringList{"'-json'"};
}

void TestReportModes::badCodeIsRefused()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, said);
    const Outcome outcome = run(withDb(arguments));
    QCOMPARE(outcome.status, 2);
    QCOMPARE(outcome.out, QString());
    for (const QString &words : said)
        QVERIFY2(outcome.err.contains(words), qPrintable(outcome.err));
    QVERIFY(m_server->requests().isEmpty()); // refused before anything is fetched
}

void TestReportModes::unreadableSettingsAreNamed()
{
    const QString missing = m_db->directory() + QStringLiteral("/gone.dat");
    const Outcome outcome =
        run({QStringLiteral("--print"), QStringLiteral("RJTT"), QStringLiteral("--db"), missing});
    QCOMPARE(outcome.status, 3);
    QVERIFY2(outcome.err.contains(missing), qPrintable(outcome.err));
    QVERIFY(!QFile::exists(missing)); // never made
}

void TestReportModes::jsonOfAReport_data()
{
    QTest::addColumn<QByteArray>("metar");
    QTest::addColumn<bool>("markOld");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("kind");
    QTest::newRow("VFR") << vfrMetar << false << "RJTT VFR"
                         << "vfr";
    QTest::newRow("IFR") << ifrMetar << false << "RJTT IFR"
                         << "ifr";
    // Days old: the same words however long the run takes.
    QTest::newRow("IFR, old by the setting") << ifrMetar << true << "RJTT IFR %1 DAYS OLD"
                                             << "ifr";
}

void TestReportModes::jsonOfAReport()
{
    QFETCH(QByteArray, metar);
    QFETCH(bool, markOld);
    QFETCH(QString, text);
    QFETCH(QString, kind);
    if (markOld)
        QVERIFY(m_db->execute(QStringLiteral("INSERT INTO option VALUES ('markold', '1')")));
    m_server->setRoute(metarRJTT, {200, metar, {}, {}});
    const Outcome outcome = run(withDb({QStringLiteral("--json"), QStringLiteral("RJTT")}));
    QCOMPARE(outcome.status, 0);
    QVERIFY(outcome.out.endsWith(u'\n'));
    QCOMPARE(outcome.out.count(u'\n'), 1);
    QJsonParseError error;
    const QJsonObject line = QJsonDocument::fromJson(outcome.out.toUtf8(), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QString expectedText = markOld ? text.arg(daysOld()) : text;
    QCOMPARE(line.value(QStringLiteral("text")).toString(), expectedText);
    QCOMPARE(line.value(QStringLiteral("class")).toString(), kind);
    QCOMPARE(line.value(QStringLiteral("alt")).toString(), kind);
    QCOMPARE(line.value(QStringLiteral("tooltip")).toString() + u'\n',
             tickerText(QStringLiteral("RJTT")));
}

void TestReportModes::watchWritesAChangedReport()
{
    // The ticker's shortest refresh: sliding at its least interval.
    QVERIFY(m_db->execute(QStringLiteral("UPDATE setting SET autochange = -1, "
                                         "autochangerate = '10'")));
    QProcess watch;
    withoutDisplay(watch);
    watch.start(
        QStringLiteral(TARNBECK_BINARY),
        withDb({QStringLiteral("--json"), QStringLiteral("RJTT"), QStringLiteral("--watch")}));
    QByteArray out;
    const auto lines = [&] {
        out += watch.readAllStandardOutput();
        return out.count('\n');
    };
    QTRY_COMPARE_WITH_TIMEOUT(lines(), 1, 30000);
    QVERIFY(out.contains("\"class\":\"vfr\""));
    // The same report fetched again writes nothing: by the second fetch after the first line,
    // the first has been compared.
    const qsizetype shown = m_server->requests().count(metarRJTT);
    QTRY_VERIFY_WITH_TIMEOUT(m_server->requests().count(metarRJTT) >= shown + 2, 45000);
    QCOMPARE(lines(), 1);
    const qsizetype asked = m_server->requests().count(metarRJTT);
    m_server->setRoute(metarRJTT, {200, ifrMetar, {}, {}});
    QTRY_COMPARE_WITH_TIMEOUT(lines(), 2, 30000);
    QVERIFY(m_server->requests().count(metarRJTT) > asked);
    const QByteArray second = out.split('\n').at(1);
    QVERIFY2(second.contains("\"class\":\"ifr\""), second.constData());
    QCOMPARE(watch.state(), QProcess::Running); // until killed
    watch.kill();
    QVERIFY(watch.waitForFinished());
}

void TestReportModes::watchEndsWithItsReader_data()
{
    QTest::addColumn<QString>("reader");
    QTest::newRow("head takes one line") << "head -n 1";
    QTest::newRow("the reader ends at once") << "true";
}

void TestReportModes::watchEndsWithItsReader()
{
    QFETCH(QString, reader);
    // A report that never changes: nothing more is written for a failed write to tell.
    QVERIFY(m_db->execute(QStringLiteral("UPDATE setting SET autochange = -1, "
                                         "autochangerate = '10'")));
    QProcess shell;
    withoutDisplay(shell);
    // The watcher's status once it has ended, and its process id for the case it does not.
    shell.start(QStringLiteral("bash"),
                {QStringLiteral("-c"),
                 QStringLiteral("\"$0\" --json RJTT --watch --db \"$1\" > >(%1 >/dev/null) & "
                                "echo \"$!\" >&2; wait \"$!\"; echo \"$?\"")
                     .arg(reader),
                 QStringLiteral(TARNBECK_BINARY), m_db->path()});
    // Well within the 10 s before it would fetch again.
    const bool ended = QTest::qWaitFor([&] { return shell.state() == QProcess::NotRunning; }, 8000);
    if (!ended) {
        const int watcher = QString::fromLatin1(shell.readAllStandardError()).trimmed().toInt();
        if (watcher > 0)
            ::kill(watcher, SIGKILL);
        shell.waitForFinished();
    }
    QVERIFY(ended);
    const QString status = QString::fromLatin1(shell.readAllStandardOutput()).trimmed();
    QVERIFY2(status == QLatin1String("141") || status == QLatin1String("0"), qPrintable(status));
}

void TestReportModes::printBesideARunningTicker()
{
    TickerFixture fixture;
    fixture.serveMetar(QStringLiteral("RJTT"));
    QVERIFY(fixture.load());
    const QString path = fixture.db().path();
    const QByteArray before = digest(path);
    const Outcome version = run({QStringLiteral("--version")});
    QCOMPARE(version.status, 0);
    const Outcome outcome =
        run({QStringLiteral("--print"), QStringLiteral("RJTT"), QStringLiteral("--db"), path});
    QVERIFY2(outcome.err.isEmpty(), qPrintable(outcome.err));
    QCOMPARE(outcome.status, 0);
    QVERIFY2(outcome.out.startsWith(QLatin1String("RJTT METAR 1230Z\n 151230Z 34008KT 9999")),
             qPrintable(outcome.out));
    QCOMPARE(digest(path), before);
    // The ticker keeps its file: it still saves.
    QVERIFY(fixture.ticker()->store().writeSetting(QStringLiteral("autochangerate"), 30));
}

QTEST_MAIN(TestReportModes)
#include "test_reportmodes.moc"
