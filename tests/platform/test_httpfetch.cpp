// The one fetch of the program against a loopback server: what each outcome is told as.
#include "platform/HttpFetch.h"
#include "support/LoopbackHttpServer.h"

#include <QtTest>

using Failure = FetchResult::Failure;

class TestHttpFetch : public QObject
{
    Q_OBJECT

private slots:
    void failureKinds_data();
    void failureKinds();
    void silenceIsAlwaysATimeout();

private:
    QUrl serve(LoopbackHttpServer::Behaviour behaviour, int status = 200);

    LoopbackHttpServer m_server;
};

QUrl TestHttpFetch::serve(LoopbackHttpServer::Behaviour behaviour, int status)
{
    if (!m_server.isListening())
        m_server.start();
    m_server.setRoute(QStringLiteral("/a"), {status, "x", behaviour, {}});
    return m_server.baseUrl().resolved(QUrl(QStringLiteral("/a")));
}

void TestHttpFetch::failureKinds_data()
{
    using B = LoopbackHttpServer::Behaviour;
    QTest::addColumn<int>("behaviour");
    QTest::addColumn<int>("status");
    QTest::addColumn<Failure>("failure");
    QTest::newRow("answers") << int(B::Respond) << 200 << Failure::None;
    QTest::newRow("missing") << int(B::Respond) << 404 << Failure::Status;
    QTest::newRow("silent") << int(B::NeverAnswer) << 200 << Failure::TimedOut;
}

void TestHttpFetch::failureKinds()
{
    QFETCH(int, behaviour);
    QFETCH(int, status);
    QFETCH(Failure, failure);
    std::optional<FetchResult> got;
    HttpFetch::get(
        serve(LoopbackHttpServer::Behaviour(behaviour), status), this,
        [&](const FetchResult &r) { got = r; }, 500);
    QTRY_VERIFY_WITH_TIMEOUT(got.has_value(), 5000);
    QCOMPARE(got->failure, failure);
}

void TestHttpFetch::silenceIsAlwaysATimeout()
{
    // Qt's silence timer and the fetch's deadline end a silent fetch at about the same moment;
    // which one comes first varies from fetch to fetch (about one in twelve was the silence
    // timer's), so many fetches meet both.
    const QUrl url = serve(LoopbackHttpServer::Behaviour::NeverAnswer);
    QList<FetchResult> got;
    constexpr int fetches = 200;
    for (int i = 0; i < fetches; ++i)
        HttpFetch::get(
            url, this, [&](const FetchResult &r) { got.append(r); }, 200 + i * 3);
    QTRY_COMPARE_WITH_TIMEOUT(got.size(), fetches, 30000);
    for (const FetchResult &result : std::as_const(got))
        QVERIFY2(result.failure == Failure::TimedOut, qPrintable(result.error));
}

QTEST_MAIN(TestHttpFetch)
#include "test_httpfetch.moc"
