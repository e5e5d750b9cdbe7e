// The ReportText built end to end against a report server on loopback.
#include "report/ReportBuilder.h"
#include "store/DisplayOptions.h"
#include "store/SettingsStore.h"
#include "support/LoopbackHttpServer.h"
#include "support/TestDatabase.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString metarRJTT = QStringLiteral("/data/observations/metar/stations/RJTT.TXT");
const QString tafRJTT = QStringLiteral("/data/forecasts/taf/stations/RJTT.TXT");
const QString metarFile =
    QStringLiteral("2024/01/15 12:30\nRJTT 151230Z 34008KT 9999 FEW030 08/M02 Q1021\n");
const QString tafFile =
    QStringLiteral("2024/01/15 05:00\nTAF RJTT 150500Z 1506/1612 34010KT 9999 FEW030\n"
                   "      TEMPO 1600/1603 SHRA\n");
const QString metarLine =
    QStringLiteral("RJTT METAR 1230Z\r 151230Z 34008KT 9999 FEW030 08/M02 Q1021      ");
const QString metarApi = QStringLiteral("/api/data/metar?ids=RJTT&format=raw");
const QString tafApi = QStringLiteral("/api/data/taf?ids=RJTT&format=raw");

const QDateTime fixedNow(QDate(2026, 3, 10), QTime(12, 0, 30), Qt::UTC);

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator rng{quint32(size)};
    for (char &c : bytes)
        c = char(rng.bounded(256));
    return bytes;
}

} // namespace

class TestReportBuilder : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void layout_data();
    void layout();
    void failedFetches_data();
    void failedFetches();
    void settingsAreReadWhenUsed();
    void oneBuildAtATime();
    void abortDropsTheBuild();
    void secondSource_data();
    void secondSource();
    void silentFirstServerLeavesTimeToTheSecond();
    void slowServerWithoutSecondSource_data();
    void slowServerWithoutSecondSource();
    void lineEnds_data();
    void lineEnds();
    void headerMarks_data();
    void headerMarks();
    void metarSeen_data();
    void metarSeen();

private:
    /// Builds the text of `airport` and returns it, or a marker when nothing came.
    QString build(const QString &airport = QStringLiteral("RJTT"));
    void setFlags(bool taf, bool sun, bool local = false);
    /// Serves a METAR of RJTT `minutesOld` minutes before fixedNow with `groups` after its time.
    void serveMetar(int minutesOld, const QString &groups);

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<LoopbackHttpServer> m_server;
    std::unique_ptr<ReportBuilder> m_builder;
};

void TestReportBuilder::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_store = std::make_unique<SettingsStore>(m_db->directory());
    QVERIFY(m_store->OpenSettings());
    m_server = std::make_unique<LoopbackHttpServer>();
    QVERIFY(m_server->start());
    m_builder = std::make_unique<ReportBuilder>(*m_store);
    m_builder->setReportHost(m_server->baseUrl().toString() + QLatin1Char('/'));
    m_builder->setTimeout(500);
    m_builder->setFallbackHost(QString()); // tests talk to loopback only; secondSource sets it
    m_server->setRoute(metarRJTT, {200, metarFile.toLatin1(), {}, {}});
    m_server->setRoute(tafRJTT, {200, tafFile.toLatin1(), {}, {}});
}

void TestReportBuilder::cleanup()
{
    m_builder.reset();
    m_server.reset();
    m_store.reset();
    m_db.reset();
}

QString TestReportBuilder::build(const QString &airport)
{
    QSignalSpy done(m_builder.get(), &ReportBuilder::finished);
    if (!m_builder->BuildReportText(airport))
        return QStringLiteral("<refused>");
    if (!done.wait(5000))
        return QStringLiteral("<no answer>");
    return done.first().at(0).toString() == airport ? done.first().at(1).toString()
                                                    : QStringLiteral("<wrong airport>");
}

void TestReportBuilder::setFlags(bool taf, bool sun, bool local)
{
    QVERIFY(m_store->writeSettings({{QStringLiteral("getTAF"), taf},
                                    {QStringLiteral("getSUNSET"), sun},
                                    {QStringLiteral("uselocal"), local}}));
}

void TestReportBuilder::layout_data()
{
    QTest::addColumn<bool>("taf");
    QTest::addColumn<bool>("sun");
    QTest::addColumn<QString>("expected");
    const QString tafPart = QStringLiteral("\r\rRJTT TAF   0500Z\r 150500Z 1506/1612 34010KT 9999 "
                                           "FEW030\n      TEMPO   1600/1603 SHRA      ");
    QTest::newRow("METAR only: two lines") << false << false << metarLine;
    QTest::newRow("METAR and TAF") << true << false << metarLine + tafPart;
    // RJTT (353312 N, 1394652 E) on 2026-01-01.
    QTest::newRow("METAR and sun line")
        << false << true << metarLine + QStringLiteral("\r\r      SUNRISE 06:50  SUNSET 16:39");
    QTest::newRow("all three") << true << true
                               << metarLine + tafPart +
                                      QStringLiteral("\r\r      SUNRISE 06:50  SUNSET 16:39");
}

void TestReportBuilder::layout()
{
    QFETCH(bool, taf);
    QFETCH(bool, sun);
    QFETCH(QString, expected);
    m_builder->setClock([] { return QDateTime(QDate(2026, 1, 1), QTime(3, 0), Qt::UTC); });
    setFlags(taf, sun);
    QCOMPARE(build(), expected);
}

void TestReportBuilder::failedFetches_data()
{
    using B = LoopbackHttpServer::Behaviour;
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("behaviour");
    QTest::addColumn<QString>("expected");
    const QString missing = QStringLiteral("RJTT METAR \r      NO OBSERVATION");
    QTest::newRow("HTML error page")
        << 200 << QByteArray("<html><body>gone</body></html>") << int(B::Respond) << missing;
    QTest::newRow("404 with a plain-text body")
        << 404 << QByteArray("Not Found\n") << int(B::Respond) << missing;
    QTest::newRow("server error") << 500 << QByteArray("2024/01/15 12:30\nRJTT oops\n")
                                  << int(B::Respond) << missing;
    QTest::newRow("body over the cap")
        << 200 << QByteArray(70 * 1024, 'x') << int(B::Respond) << missing;
    QTest::newRow("connection closed at once")
        << 200 << QByteArray() << int(B::CloseAtOnce) << missing;
    QTest::newRow("server never answers") << 200 << QByteArray() << int(B::NeverAnswer) << missing;
    // Anything but a station file of the airport asked for is no answer.
    QTest::newRow("empty body") << 200 << QByteArray() << int(B::Respond) << missing;
    QTest::newRow("short body") << 200 << QByteArray("2024/01/15 12:30\nRJ") << int(B::Respond)
                                << missing;
    QTest::newRow("another station's file")
        << 200 << QByteArray("2024/01/15 12:30\nRJAA 151230Z 34008KT 9999\n") << int(B::Respond)
        << missing;
    QTest::newRow("random bytes") << 200 << randomBytes(3000) << int(B::Respond) << missing;
}

void TestReportBuilder::failedFetches()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(int, behaviour);
    QFETCH(QString, expected);
    setFlags(false, false);
    m_server->setRoute(metarRJTT, {status, body, LoopbackHttpServer::Behaviour(behaviour), {}});
    // Each failure leaves one line, with its reason, for a user who turns the category on.
    QLoggingCategory::setFilterRules(QStringLiteral("tarnbeck.fetch.info=true"));
    if (status != 200)
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression(QStringLiteral("RJTT.TXT failed: .+")));
    QCOMPARE(build(), expected);
    QLoggingCategory::setFilterRules({});
}

void TestReportBuilder::settingsAreReadWhenUsed()
{
    setFlags(true, false, false);
    // A redirect is followed to the real file.
    m_server->setRoute(metarRJTT, {302, {}, {}, QByteArray("/moved/RJTT.TXT")});
    m_server->setRoute(QStringLiteral("/moved/RJTT.TXT"), {200, metarFile.toLatin1(), {}, {}});
    QSignalSpy done(m_builder.get(), &ReportBuilder::finished);
    QVERIFY(m_builder->BuildReportText(QStringLiteral("RJTT")));
    // Changed after the build started but before its answers arrived: the new values count.
    QVERIFY(m_store->writeSettings({{QStringLiteral("getTAF"), false},
                                    {QStringLiteral("uselocal"), true},
                                    {QStringLiteral("timediff"), QStringLiteral("+9")}}));
    QVERIFY(done.wait(5000));
    QCOMPARE(done.first().at(1).toString(),
             QStringLiteral("RJTT METAR 2130I\r 151230Z 34008KT 9999 FEW030 08/M02 Q1021      "));
    QVERIFY(!m_server->requests().contains(tafRJTT));
}

void TestReportBuilder::oneBuildAtATime()
{
    setFlags(false, false);
    QSignalSpy done(m_builder.get(), &ReportBuilder::finished);
    QVERIFY(m_builder->BuildReportText(QStringLiteral("RJTT")));
    QVERIFY(m_builder->isBuilding());
    QVERIFY(!m_builder->BuildReportText(QStringLiteral("RJAA")));
    QVERIFY(done.wait(5000));
    QCOMPARE(done.size(), 1);
    QCOMPARE(done.first().at(0).toString(), QStringLiteral("RJTT"));
    QVERIFY(!m_builder->isBuilding());
}

void TestReportBuilder::abortDropsTheBuild()
{
    setFlags(false, false);
    // A deadline far beyond the wait below: only the abort can end the fetch in time.
    m_builder->setTimeout(600000);
    m_builder->setFirstBudget(600000);
    m_server->setRoute(metarRJTT, {200, {}, LoopbackHttpServer::Behaviour::NeverAnswer, {}});
    QSignalSpy done(m_builder.get(), &ReportBuilder::finished);
    QVERIFY(m_builder->BuildReportText(QStringLiteral("RJTT")));
    QTRY_COMPARE(m_server->requests().size(), 1);
    QCOMPARE(m_server->unansweredOpen(), 1);
    m_builder->abort();
    QVERIFY(!m_builder->isBuilding());
    // The fetch is really dropped: the server sees the connection closed, so nothing can come
    // late from it; what the abort queued is delivered before the signal is looked at.
    (void)QTest::qWaitFor([&] { return m_server->unansweredOpen() == 0; }, 3000);
    QCOMPARE(m_server->unansweredOpen(), 0);
    QCoreApplication::sendPostedEvents();
    QCOMPARE(done.size(), 0);
    QCOMPARE(m_server->requests().size(), 1);

    // The next airport gets its own text, never the dropped one.
    m_server->setRoute(QStringLiteral("/data/observations/metar/stations/RJAA.TXT"),
                       {200, QByteArray("2024/01/15 09:00\nRJAA 150900Z 00000KT CAVOK\n"), {}, {}});
    QCOMPARE(build(QStringLiteral("RJAA")),
             QStringLiteral("RJAA METAR 0900Z\r 150900Z 00000KT CAVOK      "));
}

void TestReportBuilder::secondSource_data()
{
    using B = LoopbackHttpServer::Behaviour;
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("behaviour");
    QTest::newRow("404") << 404 << QByteArray("Not Found\n") << int(B::Respond);
    QTest::newRow("a page, not a station file")
        << 200 << QByteArray("<html>maintenance</html>") << int(B::Respond);
    QTest::newRow("connection closed") << 200 << QByteArray() << int(B::CloseAtOnce);
    QTest::newRow("random bytes") << 200 << randomBytes(3000) << int(B::Respond);
    QTest::newRow("another station's file")
        << 200 << QByteArray("2024/01/15 12:30\nRJAA 151230Z 34008KT 9999\n") << int(B::Respond);
    QTest::newRow("an empty file") << 200 << QByteArray() << int(B::Respond);
}

void TestReportBuilder::secondSource()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(int, behaviour);
    setFlags(true, false, true); // local time too: the second source's time must be the same
    const QString metarPath = QStringLiteral("metar/RJTT_1.TXT");
    const QString tafPath = QStringLiteral("taf/RJTT_1.TXT");
    m_server->serveFile(metarRJTT, QStringLiteral(TARNBECK_STATIONS "/") + metarPath);
    m_server->serveFile(tafRJTT, QStringLiteral(TARNBECK_STATIONS "/") + tafPath);
    const QString fromStationFiles = build();
    QVERIFY(fromStationFiles.contains(QLatin1String("TEMPO")));

    // The report server fails; the Data API stand-in answers with the same reports, raw.
    const auto raw = [](const QString &fixture, const QByteArray &prefix) {
        QFile f(QStringLiteral(TARNBECK_STATIONS "/") + fixture);
        f.open(QIODevice::ReadOnly);
        QList<QByteArray> lines = f.readAll().trimmed().split('\n');
        lines.removeFirst(); // the station file's time line
        return prefix + lines.join("\n  ") + "\n";
    };
    const auto failing =
        LoopbackHttpServer::Route{status, body, LoopbackHttpServer::Behaviour(behaviour), {}};
    m_server->setRoute(metarRJTT, failing);
    m_server->setRoute(tafRJTT, failing);
    m_server->setRoute(metarApi, {200, raw(metarPath, "METAR "), {}, {}});
    m_server->setRoute(tafApi, {200, raw(tafPath, ""), {}, {}});
    m_builder->setFallbackHost(m_server->baseUrl().toString());
    QCOMPARE(build(), fromStationFiles);

    // Both failing: the fixed texts. Another station's report or stray bytes are no answer
    // from the second source either. An empty second source is off.
    for (const QByteArray &answer :
         {QByteArray(), QByteArray("METAR RJAA 301545Z 19038G56KT 3000\n"),
          QByteArray("METAR RJTT 301545Z \xff\xfe 3000\n")}) {
        m_server->setRoute(metarApi, {200, answer, {}, {}});
        QVERIFY2(build().contains(QLatin1String("NO OBSERVATION")), answer.constData());
    }
    m_server->setRoute(metarApi, {200, raw(metarPath, "METAR "), {}, {}});
    m_builder->setFallbackHost(QString());
    QVERIFY(build().contains(QLatin1String("NO OBSERVATION")));
}

void TestReportBuilder::silentFirstServerLeavesTimeToTheSecond()
{
    // Short stand-ins for the 6 s first budget and the 15 s deadline.
    constexpr int firstBudgetMs = 400;
    constexpr int deadlineMs = 6000;
    setFlags(true, false);
    m_builder->setTimeout(deadlineMs);
    m_builder->setFirstBudget(firstBudgetMs);
    using B = LoopbackHttpServer::Behaviour;
    m_server->setRoute(metarRJTT, {200, {}, B::NeverAnswer, {}});
    m_server->setRoute(tafRJTT, {200, {}, B::NeverAnswer, {}});
    m_server->setRoute(metarApi, {200, "METAR RJTT 151230Z 34008KT 9999 FEW030\n", {}, {}});
    m_server->setRoute(tafApi, {200, "TAF RJTT 150500Z 1506/1612 34010KT 9999\n", {}, {}});
    m_builder->setFallbackHost(m_server->baseUrl().toString());

    QSignalSpy done(m_builder.get(), &ReportBuilder::finished);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(m_builder->BuildReportText(QStringLiteral("RJTT")));
    QVERIFY(done.wait(2 * deadlineMs));
    const qint64 elapsed = clock.elapsed();
    const QString text = done.first().at(1).toString();
    QVERIFY2(text.contains(QLatin1String(" 151230Z 34008KT 9999 FEW030")), qPrintable(text));
    QVERIFY2(text.contains(QLatin1String(" 150500Z 1506/1612 34010KT 9999")), qPrintable(text));
    // The report server was asked for both and waited for its budget each time, never for the
    // whole deadline.
    QVERIFY(m_server->requests().contains(metarRJTT));
    QVERIFY(m_server->requests().contains(tafRJTT));
    // (A coarse timer may end each wait 5 % early.)
    QVERIFY2(elapsed >= 2 * firstBudgetMs * 9 / 10, qPrintable(QString::number(elapsed)));
    QVERIFY2(elapsed < deadlineMs, qPrintable(QString::number(elapsed)));
}

void TestReportBuilder::slowServerWithoutSecondSource_data()
{
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<bool>("shown");
    // Stand-ins for the 6 s first budget and the 15 s deadline: 300 ms and 2 s.
    QTest::newRow("slower than the first budget") << 800 << true;
    QTest::newRow("slower than the deadline") << 3000 << false;
}

void TestReportBuilder::slowServerWithoutSecondSource()
{
    QFETCH(int, delayMs);
    QFETCH(bool, shown);
    setFlags(false, false);
    m_builder->setTimeout(2000);
    m_builder->setFirstBudget(300);
    m_server->setRoute(metarRJTT, {200, metarFile.toLatin1(), {}, {}, "text/plain", delayMs});
    // The second source is off (init): the report server has the whole deadline, and the log
    // line names it.
    QLoggingCategory::setFilterRules(QStringLiteral("tarnbeck.fetch.info=true"));
    if (!shown)
        QTest::ignoreMessage(QtInfoMsg,
                             QRegularExpression(QStringLiteral("RJTT.TXT failed: .* 2 s allowed")));
    QCOMPARE(build(), shown ? metarLine : QStringLiteral("RJTT METAR \r      NO OBSERVATION"));
    QLoggingCategory::setFilterRules({});
}

void TestReportBuilder::lineEnds_data()
{
    QTest::addColumn<QByteArray>("metar");
    QTest::addColumn<QByteArray>("taf");
    const QByteArray metar = metarFile.toLatin1();
    const QByteArray forecast = tafFile.toLatin1();
    QTest::newRow("CRLF") << QByteArray(metar).replace("\n", "\r\n")
                          << QByteArray(forecast).replace("\n", "\r\n");
    QTest::newRow("last line without an end") << metar.chopped(1) << forecast.chopped(1);
    QTest::newRow("CRLF, last line without an end")
        << QByteArray(metar).replace("\n", "\r\n").chopped(2)
        << QByteArray(forecast).replace("\n", "\r\n").chopped(2);
}

void TestReportBuilder::lineEnds()
{
    QFETCH(QByteArray, metar);
    QFETCH(QByteArray, taf);
    setFlags(true, false);
    const QString withLineFeeds = build();
    QVERIFY(withLineFeeds.startsWith(metarLine));
    m_server->setRoute(metarRJTT, {200, metar, {}, {}});
    m_server->setRoute(tafRJTT, {200, taf, {}, {}});
    QCOMPARE(build(), withLineFeeds);
}

void TestReportBuilder::serveMetar(int minutesOld, const QString &groups)
{
    const QDateTime time = fixedNow.addSecs(-60 * minutesOld);
    const QString file = time.toString(QStringLiteral("yyyy/MM/dd HH:mm")) +
                         QStringLiteral("\nRJTT ") + time.toString(QStringLiteral("ddHHmm")) +
                         QStringLiteral("Z ") + groups + QLatin1Char('\n');
    m_server->setRoute(metarRJTT, {200, file.toLatin1(), {}, {}});
}

void TestReportBuilder::headerMarks_data()
{
    QTest::addColumn<bool>("category");
    QTest::addColumn<bool>("markOld");
    QTest::addColumn<int>("oldMinutes");
    QTest::addColumn<bool>("reportServed");
    QTest::addColumn<QString>("marks");
    QTest::addColumn<FlightCategory>("handle");
    const auto ifr = FlightCategory::IFR;
    const auto unknown = FlightCategory::Unknown;
    QTest::newRow("options off: the original text")
        << false << false << 75 << true << QString() << unknown;
    QTest::newRow("category") << true << false << 75 << true << QStringLiteral("  IFR") << ifr;
    QTest::newRow("older than 75 min")
        << false << true << 75 << true << QStringLiteral("  95 MIN OLD") << unknown;
    QTest::newRow("not older than 105 min") << false << true << 105 << true << QString() << unknown;
    QTest::newRow("both") << true << true << 45 << true << QStringLiteral("  IFR  95 MIN OLD")
                          << ifr;
    QTest::newRow("no observation: nothing added")
        << true << true << 45 << false << QString() << unknown;
}

void TestReportBuilder::headerMarks()
{
    QFETCH(bool, category);
    QFETCH(bool, markOld);
    QFETCH(int, oldMinutes);
    QFETCH(bool, reportServed);
    QFETCH(QString, marks);
    QFETCH(FlightCategory, handle);
    setFlags(false, false);
    DisplayOptions options;
    options.showCategory = category;
    options.markOld = markOld;
    options.oldMinutes = oldMinutes;
    QVERIFY(SaveDisplayOptions(*m_store, options));
    serveMetar(95, QStringLiteral("34008KT 2000 BR OVC008 08/M02 Q1021"));
    if (!reportServed)
        m_server->setRoute(metarRJTT, {404, "Not Found\n", {}, {}});

    // One moment for the file served and the text made: no minute may pass between them.
    m_builder->setClock([] { return fixedNow; });
    QSignalSpy done(m_builder.get(), &ReportBuilder::finished);
    QVERIFY(m_builder->BuildReportText(QStringLiteral("RJTT")));
    QVERIFY(done.wait(5000));
    const QString header = done.first().at(1).toString().section(QLatin1Char('\r'), 0, 0);
    const QString time = fixedNow.addSecs(-60 * 95).toString(QStringLiteral("HHmm"));
    QCOMPARE(header, reportServed ? QStringLiteral("RJTT METAR ") + time + QLatin1Char('Z') + marks
                                  : QStringLiteral("RJTT METAR "));
    QCOMPARE(done.first().at(2).value<FlightCategory>(), handle);
}

void TestReportBuilder::metarSeen_data()
{
    QTest::addColumn<QByteArray>("stationFile"); // empty: the report server fails
    QTest::addColumn<QByteArray>("dataApi");     // empty: so does the second source
    QTest::addColumn<QList<QVariant>>("seen");   // airport, report, SPECI; empty: not told
    QTest::addColumn<QString>("heading");
    const QByteArray report = "RJTT 151230Z 34008KT 2000 BR OVC008 08/M02 Q1021";
    const QString told = QString::fromLatin1(report + '\n');
    QTest::newRow("station file") << "2024/01/15 12:30\n" + report + '\n'
                                  << QByteArray() << QList<QVariant>{"RJTT", told, false}
                                  << QStringLiteral("RJTT METAR 1230Z");
    QTest::newRow("SPECI of the second source")
        << QByteArray() << "SPECI " + report + '\n'
        << QList<QVariant>{"RJTT", told, true} << QStringLiteral("RJTT SPECI 1230Z");
    QTest::newRow("METAR of the second source")
        << QByteArray() << "METAR " + report + '\n'
        << QList<QVariant>{"RJTT", told, false} << QStringLiteral("RJTT METAR 1230Z");
    QTest::newRow("both failed") << QByteArray() << QByteArray() << QList<QVariant>{}
                                 << QStringLiteral("RJTT METAR ");
}

void TestReportBuilder::metarSeen()
{
    QFETCH(QByteArray, stationFile);
    QFETCH(QByteArray, dataApi);
    QFETCH(QList<QVariant>, seen);
    QFETCH(QString, heading);
    setFlags(false, false);
    if (stationFile.isEmpty())
        m_server->setRoute(metarRJTT, {404, "Not Found\n", {}, {}});
    else
        m_server->setRoute(metarRJTT, {200, stationFile, {}, {}});
    m_server->setRoute(QStringLiteral("/api/data/metar?ids=RJTT&format=raw"),
                       {dataApi.isEmpty() ? 404 : 200, dataApi, {}, {}});
    m_builder->setFallbackHost(m_server->baseUrl().toString());
    QSignalSpy watched(m_builder.get(), &ReportBuilder::metarSeen);
    QCOMPARE(build().section(QLatin1Char('\r'), 0, 0), heading);
    QCOMPARE(watched.size(), seen.isEmpty() ? 0 : 1);
    if (!seen.isEmpty())
        QCOMPARE(watched.first(), seen);
}

QTEST_GUILESS_MAIN(TestReportBuilder)
#include "test_reportbuilder.moc"
