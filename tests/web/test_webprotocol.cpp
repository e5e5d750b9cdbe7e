// The lines between the ticker and tarnbeck-web: each message one line, read back as written.
#include "web/WebProtocol.h"

#include <QtTest>

using namespace WebProtocol;

Q_DECLARE_METATYPE(WebProtocol::Command)
Q_DECLARE_METATYPE(WebProtocol::Event)

namespace {

Command sent(Command::Kind kind, const SourceHosts &hosts = {}, const Screen &screen = {},
             const QList<ChartTarget> &targets = {})
{
    Command c;
    c.kind = kind;
    c.hosts = hosts;
    c.screen = screen;
    c.targets = targets;
    return c;
}

Event sent(Event::Kind kind, const QString &name = {}, int protocol = 0,
           const QList<QRect> &frames = {})
{
    Event e;
    e.kind = kind;
    e.name = name;
    e.protocol = protocol;
    e.frames = frames;
    return e;
}

} // namespace

class TestWebProtocol : public QObject
{
    Q_OBJECT

private slots:
    void commandsReadBackAsWritten_data();
    void commandsReadBackAsWritten();
    void eventsReadBackAsWritten_data();
    void eventsReadBackAsWritten();
    void linesThatAreNotOfTheProtocol_data();
    void linesThatAreNotOfTheProtocol();
    void eventsWithAWrongFieldAreRefused_data();
    void eventsWithAWrongFieldAreRefused();
};

void TestWebProtocol::commandsReadBackAsWritten_data()
{
    QTest::addColumn<Command>("sent");
    const SourceHosts hosts{{QStringLiteral("chart1"), QStringLiteral("http://127.0.0.1:8080")},
                            {QStringLiteral("camera2"), QString()},
                            // A typed address may hold anything, a line break included.
                            {QStringLiteral("chart3"), QStringLiteral("http://例え.jp/a\nb\"c")}};
    const Screen second{QStringLiteral("HDMI-1"), QRect(1920, -200, 1280, 1024)};
    // In the order given, the shown one marked; a name the catalogue lacks stays empty.
    const QList<ChartTarget> targets{{QStringLiteral("RJBB"), QStringLiteral("関西")},
                                     {QStringLiteral("RJTT"), QStringLiteral("東京(羽田)"), true},
                                     {QStringLiteral("KJFK"), QString()}};
    QTest::newRow("chart") << sent(Command::Chart, hosts, second, targets);
    QTest::newRow("chart without targets") << sent(Command::Chart, hosts, second);
    QTest::newRow("targets") << sent(Command::Targets, {}, {}, targets);
    QTest::newRow("camera") << sent(Command::Camera, hosts, second);
    QTest::newRow("chart without hosts") << sent(Command::Chart, {}, second);
    QTest::newRow("hosts") << sent(Command::Hosts, hosts);
    QTest::newRow("bye") << sent(Command::Bye);
}

void TestWebProtocol::commandsReadBackAsWritten()
{
    QFETCH(Command, sent);
    const QByteArray line = Encode(sent);
    QVERIFY(line.endsWith('\n'));
    QCOMPARE(line.count('\n'), 1);
    const Command read = ParseCommand(line);
    QCOMPARE(read.kind, sent.kind);
    QCOMPARE(read.hosts, sent.hosts);
    QCOMPARE(read.screen.name, sent.screen.name);
    QCOMPARE(read.screen.geometry, sent.screen.geometry);
    QCOMPARE(read.targets, sent.targets);
}

void TestWebProtocol::eventsReadBackAsWritten_data()
{
    QTest::addColumn<Event>("sent");
    QTest::newRow("ready") << sent(Event::Ready, {}, version);
    QTest::newRow("chart open") << sent(Event::Open, QLatin1String(chartWindow));
    QTest::newRow("camera closed") << sent(Event::Closed, QLatin1String(cameraWindow));
    QTest::newRow("edit a source") << sent(Event::Edit, QStringLiteral("chart9"));
    QTest::newRow("frames") << sent(Event::Frames, {}, 0,
                                    {QRect(299, 168, 683, 439), QRect(-1280, -20, 1280, 800)});
    QTest::newRow("no frames") << sent(Event::Frames);
}

void TestWebProtocol::eventsReadBackAsWritten()
{
    QFETCH(Event, sent);
    const QByteArray line = Encode(sent);
    QCOMPARE(line.count('\n'), 1);
    QVERIFY(line.endsWith('\n'));
    const Event read = ParseEvent(line);
    QCOMPARE(read.kind, sent.kind);
    QCOMPARE(read.name, sent.name);
    QCOMPARE(read.protocol, sent.protocol);
    QCOMPARE(read.frames, sent.frames);
}

void TestWebProtocol::linesThatAreNotOfTheProtocol_data()
{
    // What else may reach the other side: a library's words on standard output, a cut line, a
    // message of a later version.
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("empty") << QByteArray("\n");
    QTest::newRow("text") << QByteArray("Fontconfig warning: ignoring UTF-8\n");
    QTest::newRow("cut") << QByteArray("{\"do\":\"chart\",\"hosts\":{\"chart1\":\n");
    QTest::newRow("array") << QByteArray("[\"chart\"]\n");
    QTest::newRow("unknown command") << QByteArray("{\"do\":\"print\"}\n");
    QTest::newRow("unknown event") << QByteArray("{\"is\":\"printing\"}\n");
    QTest::newRow("event as command") << QByteArray("{\"is\":\"open\",\"window\":\"chart\"}\n");
}

void TestWebProtocol::linesThatAreNotOfTheProtocol()
{
    QFETCH(QByteArray, line);
    QCOMPARE(ParseCommand(line).kind, Command::Unknown);
    if (!line.contains("\"is\":\"open\""))
        QCOMPARE(ParseEvent(line).kind, Event::Unknown);
}

void TestWebProtocol::eventsWithAWrongFieldAreRefused_data()
{
    // An event named but not whole: refused with a reason, never taken for another.
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("open without a window") << QByteArray(R"({"is":"open"})");
    QTest::newRow("open of no window") << QByteArray(R"({"is":"open","window":""})");
    QTest::newRow("open of an unknown window") << QByteArray(R"({"is":"open","window":"map"})");
    QTest::newRow("closed with a number") << QByteArray(R"({"is":"closed","window":1})");
    QTest::newRow("edit without a source") << QByteArray(R"({"is":"edit","window":"chart"})");
    QTest::newRow("edit of a list") << QByteArray(R"({"is":"edit","source":["chart3"]})");
    QTest::newRow("ready without a version") << QByteArray(R"({"is":"ready"})");
    QTest::newRow("version as a text") << QByteArray(R"({"is":"ready","protocol":"3"})");
    QTest::newRow("version not whole") << QByteArray(R"({"is":"ready","protocol":3.5})");
    QTest::newRow("version too large") << QByteArray(R"({"is":"ready","protocol":1e300})");
    QTest::newRow("frames missing") << QByteArray(R"({"is":"frames"})");
    QTest::newRow("frames not a list") << QByteArray(R"({"is":"frames","frames":{"x":1}})");
    QTest::newRow("frame without a height")
        << QByteArray(R"({"is":"frames","frames":[{"x":1,"y":2,"width":3}]})");
    QTest::newRow("frame of a text")
        << QByteArray(R"({"is":"frames","frames":[{"x":"1","y":2,"width":3,"height":4}]})");
    QTest::newRow("frame not whole")
        << QByteArray(R"({"is":"frames","frames":[{"x":1.5,"y":2,"width":3,"height":4}]})");
    QTest::newRow("frame of a negative size")
        << QByteArray(R"({"is":"frames","frames":[{"x":1,"y":2,"width":-3,"height":4}]})");
    QTest::newRow("kind as a number") << QByteArray(R"({"is":1,"window":"chart"})");
    QTest::newRow("unknown event") << QByteArray(R"({"is":"printing"})");
}

void TestWebProtocol::eventsWithAWrongFieldAreRefused()
{
    QFETCH(QByteArray, line);
    QString refused;
    QCOMPARE(ParseEvent(line + '\n', &refused).kind, Event::Unknown);
    QVERIFY(!refused.isEmpty());
    // What is no event at all is not refused: it is passed on as the process's own words.
    refused.clear();
    QCOMPARE(ParseEvent("Fontconfig warning\n", &refused).kind, Event::Unknown);
    QVERIFY(refused.isEmpty());
}

QTEST_GUILESS_MAIN(TestWebProtocol)
#include "test_webprotocol.moc"
