// tarnbeck --decode with no display, against a report server on loopback.
#include "support/LocalSettings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

namespace {

struct Outcome
{
    int status = -1;
    QString out;
    QString err;
};

} // namespace

class TestDecodeMode : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void decodes_data();
    void decodes();
    void missingReportsGiveTheFixedText();

private:
    /// The program run to its end with no display; the server answers from this event loop.
    Outcome run(const QStringList &arguments);

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<LoopbackHttpServer> m_server;
};

void TestDecodeMode::init()
{
    QVERIFY(ServeSettingsLocally(m_db, m_server));
    m_server->serveFile(QStringLiteral("/data/observations/metar/stations/RJAA.TXT"),
                        stationFile(QStringLiteral("metar/RJAA_1.TXT")));
    m_server->serveFile(QStringLiteral("/data/forecasts/taf/stations/RJAA.TXT"),
                        stationFile(QStringLiteral("taf/RJAA_1.TXT")));
}

void TestDecodeMode::cleanup()
{
    m_server.reset();
    m_db.reset();
}

Outcome TestDecodeMode::run(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TARNBECK_BINARY),
                  arguments + QStringList{QStringLiteral("--db"), m_db->path()});
    Outcome outcome;
    if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 60000))
        process.kill();
    process.waitForFinished();
    outcome.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    outcome.out = QString::fromUtf8(process.readAllStandardOutput());
    outcome.err = QString::fromUtf8(process.readAllStandardError());
    return outcome;
}

void TestDecodeMode::decodes_data()
{
    QTest::addColumn<QString>("settings"); // SQL on the settings row first
    QTest::addColumn<QString>("line");     // a line the text holds
    // The TAF is read whatever getTAF says; local time first unless the ticker shows UTC.
    QTest::newRow("local time")
        << "UPDATE setting SET getTAF = 0, uselocal = -1"
        << "  310930Z             観測時刻 31日 18:30 JST（31日 09:30 UTC）";
    QTest::newRow("UTC") << "UPDATE setting SET getTAF = 0, uselocal = 0"
                         << "  310930Z             観測時刻 31日 09:30 UTC（31日 18:30 JST）";
}

void TestDecodeMode::decodes()
{
    QFETCH(QString, settings);
    QFETCH(QString, line);
    QVERIFY(m_db->execute(settings));
    const Outcome text = run({QStringLiteral("--decode"), QStringLiteral("rjaa")});
    QCOMPARE(text.status, 0);
    const QStringList lines = text.out.split(u'\n');
    QVERIFY2(lines.contains(line), qPrintable(text.out));
    QVERIFY(lines.contains(
        QStringLiteral("  1CB030              積乱雲 雲量 1/8、雲底 3,000 ft（910 m）")));
    QVERIFY(
        lines.contains(QStringLiteral("    2618/2623         変化の期間 27日 03:00〜27日 08:00 JST"
                                      "（26日 18:00〜26日 23:00 UTC）")) ||
        lines.contains(QStringLiteral("    2618/2623         変化の期間 26日 18:00〜26日 23:00 UTC"
                                      "（27日 03:00〜27日 08:00 JST）")));

    const Outcome json =
        run({QStringLiteral("--decode"), QStringLiteral("RJAA"), QStringLiteral("--json")});
    QCOMPARE(json.status, 0);
    QCOMPARE(json.out.count(u'\n'), 1);
    QJsonParseError error;
    const QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8(), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(object.value(QStringLiteral("station")).toString(), QStringLiteral("RJAA"));
    const QJsonObject metar = object.value(QStringLiteral("metar")).toObject();
    QCOMPARE(metar.value(QStringLiteral("qnh_hpa")).toInt(), 1008);
    QCOMPARE(metar.value(QStringLiteral("time")).toString(),
             QStringLiteral("2018-08-31T09:30:00Z"));
    const QJsonObject taf = object.value(QStringLiteral("taf")).toObject();
    QCOMPARE(taf.value(QStringLiteral("changes")).toArray().size(), 2);
}

void TestDecodeMode::missingReportsGiveTheFixedText()
{
    m_server->clearRoutes(); // both sources answer 404
    const Outcome text = run({QStringLiteral("--decode"), QStringLiteral("RJAA")});
    QCOMPARE(text.status, 1);
    const QStringList lines = text.out.split(u'\n');
    QVERIFY2(lines.contains(QStringLiteral("      NO OBSERVATION")), qPrintable(text.out));
    QVERIFY(lines.contains(QStringLiteral("      NO FORECAST")));
    const Outcome json =
        run({QStringLiteral("--decode"), QStringLiteral("RJAA"), QStringLiteral("--json")});
    QCOMPARE(json.status, 1);
    const QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8()).object();
    QVERIFY(object.value(QStringLiteral("metar")).isNull());
    QVERIFY(object.value(QStringLiteral("taf")).isNull());
}

QTEST_GUILESS_MAIN(TestDecodeMode)
#include "test_decodemode.moc"
