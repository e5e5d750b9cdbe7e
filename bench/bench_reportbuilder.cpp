// One whole BuildReportText (METAR and TAF fetched from a server on loopback, treated, laid out,
// sun line added). The server runs in the same thread, so its share is in the figure.
#include "report/ReportBuilder.h"
#include "store/SettingsStore.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QByteArray metar = "2024/01/15 12:30\nRJTT 151230Z 34008KT 9999 FEW030 08/M02 Q1021\n";
const QByteArray taf = "2024/01/15 05:00\nTAF RJTT 150500Z 1506/1612 34010KT 9999 FEW030 \n"
                       "      BECMG 1512/1514 18010KT \n      TEMPO 1600/1603 SHRA FEW015 \n"
                       "      BECMG 1603/1606 36012KT \n      TEMPO 1606/1612 4000 -SHRA BR\n";

QByteArray response(const QByteArray &body)
{
    return "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

void buildAgainstLoopback(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("tarnbeck.dat"));
    if (!QFile::copy(QStringLiteral(TARNBECK_DELIVERED_DB), db)) {
        state.SkipWithError("no delivered database");
        return;
    }
    QFile::setPermissions(db, QFile::ReadOwner | QFile::WriteOwner);
    SettingsStore store(dir.path());
    if (!store.OpenSettings() || !store.writeSettings({{QStringLiteral("getTAF"), true},
                                                       {QStringLiteral("getSUNSET"), true}})) {
        state.SkipWithError("store");
        return;
    }
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    QObject::connect(&server, &QTcpServer::newConnection, [&server] {
        while (QTcpSocket *socket = server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                const QByteArray request = socket->readAll();
                socket->write(response(request.contains("/taf/") ? taf : metar));
                socket->disconnectFromHost();
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    ReportBuilder builder(store);
    builder.setReportHost(QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort()));
    builder.setFallbackHost(QString());
    QEventLoop loop;
    QString text;
    QObject::connect(&builder, &ReportBuilder::finished, &loop,
                     [&](const QString &, const QString &t) {
                         text = t;
                         loop.quit();
                     });
    for (auto _ : state) {
        builder.BuildReportText(QStringLiteral("RJTT"));
        loop.exec();
        benchmark::DoNotOptimize(text);
    }
    if (!text.contains(QStringLiteral("TEMPO")) || !text.contains(QStringLiteral("SUNRISE")))
        state.SkipWithError("wrong text");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(buildAgainstLoopback)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
