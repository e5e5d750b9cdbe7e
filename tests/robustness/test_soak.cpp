// A day of ticker cycles in accelerated time: three targets whose files turn good, bad and
// missing in turn. Resident memory and open descriptors must stay flat after a warm-up.
#include "RobustnessSupport.h"
#include "app/TickerSession.h"
#include "report/ReportBuilder.h"
#include "support/TestDatabase.h"
#include "ticker/TickerLabel.h"
#include "ticker/TickerWindow.h"

#include <QHash>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {

/// Fixed answers by path, keeping no record of requests: the soak measures the ticker alone.
class QuietServer final : public QTcpServer
{
public:
    QuietServer()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    void set(const QString &path, int status, const QByteArray &body)
    {
        m_answers.insert(path.toLatin1(), "HTTP/1.1 " + QByteArray::number(status) +
                                              " X\r\nConnection: close\r\nContent-Length: " +
                                              QByteArray::number(body.size()) + "\r\n\r\n" + body);
    }

private:
    void answer(QTcpSocket *socket)
    {
        const QByteArray request = socket->readAll();
        const QByteArray path = request.split(' ').value(1);
        socket->write(m_answers.value(path, "HTTP/1.1 404 X\r\nContent-Length: 0\r\n\r\n"));
        socket->disconnectFromHost();
    }
    QHash<QByteArray, QByteArray> m_answers;
};

const QStringList airports{QStringLiteral("RJTT"), QStringLiteral("RJAA"), QStringLiteral("ROAH")};

int cycles()
{
    const int n = qEnvironmentVariableIntValue("TARNBECK_SOAK_CYCLES");
    return n > 0 ? n : 300;
}

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    void dayOfCyclesStaysFlat();
};

void TestSoak::dayOfCyclesStaysFlat()
{
    TestDatabase db;
    QVERIFY(db.isValid());
    QuietServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort());
    QVERIFY(db.setAllHosts(base));
    server.set(QStringLiteral("/ident.dat"), 200, "ok\n");
    QVERIFY(db.execute(QStringLiteral("DELETE FROM airport")));
    for (int i = 0; i < airports.size(); ++i)
        QVERIFY(db.execute(QStringLiteral("INSERT INTO airport (number, airport, \"check\") "
                                          "VALUES (%1, '%2', -1)")
                               .arg(i + 1)
                               .arg(airports[i])));
    QVERIFY(db.execute(QStringLiteral("UPDATE setting SET autochange = -1, scroll = -1, "
                                      "getTAF = -1, getSUNSET = -1, uselocal = -1")));

    TickerSession ticker(db.directory());
    QVERIFY(ticker.Form_Load());
    ticker.reportBuilder().setTimeout(2000);
    QTRY_VERIFY_WITH_TIMEOUT(ticker.cycle().isActive(CycleClock::RefreshClock), 5000);
    ticker.cycle().clock().stop(CycleClock::RefreshClock);

    const auto serveCycle = [&](int cycle) {
        // Each airport's files turn good, bad (a page) and missing in turn, out of step.
        for (int i = 0; i < airports.size(); ++i) {
            const QString &code = airports[i];
            const QString metar =
                QStringLiteral("/data/observations/metar/stations/%1.TXT").arg(code);
            const QString taf = QStringLiteral("/data/forecasts/taf/stations/%1.TXT").arg(code);
            switch ((cycle + i) % 3) {
            case 0:
                server.set(metar, 200,
                           QStringLiteral("2024/01/15 %1:30\n%2 15%1%3Z 34008KT 9999 FEW030\n")
                               .arg(cycle % 24, 2, 10, QLatin1Char('0'))
                               .arg(code)
                               .arg(cycle % 60, 2, 10, QLatin1Char('0'))
                               .toLatin1());
                server.set(taf, 200,
                           QStringLiteral("2024/01/15 05:00\nTAF %1 150500Z 1506/1612 34010KT\n"
                                          "      TEMPO 1600/1603 SHRA\n")
                               .arg(code)
                               .toLatin1());
                break;
            case 1:
                server.set(metar, 200, "<html><body>busy</body></html>");
                server.set(taf, 500, "2024/01/15 05:00\nTAF broken\n");
                break;
            default:
                server.set(metar, 404, "Not Found\n");
                server.set(taf, 404, "Not Found\n");
            }
        }
    };

    const int total = cycles();
    const int warmUp = qMax(50, total / 5);
    qint64 rssAfterWarmUp = 0, peakAfterWarmUp = 0;
    int fdsAfterWarmUp = 0, peakFds = 0;
    QSignalSpy built(&ticker.reportBuilder(), &ReportBuilder::finished);
    for (int cycle = 0; cycle < total; ++cycle) {
        serveCycle(cycle);
        built.clear();
        ticker.cycle().setSlideCount(qint16(ticker.cycle().slidePeriod() - 1));
        ticker.cycle().RefreshReport();
        QVERIFY2(built.wait(5000), qPrintable(QStringLiteral("cycle %1").arg(cycle)));
        // The slide, step by step, instead of its timer.
        for (int step = 0; ticker.window().isSliding(); ++step) {
            QVERIFY(step < 10000);
            ticker.window().SlideStep();
        }
        ticker.window().ShowHandleState();
        QTRY_VERIFY_WITH_TIMEOUT(ticker.cycle().isActive(CycleClock::RefreshClock), 5000);
        ticker.cycle().clock().stop(CycleClock::RefreshClock);
        QVERIFY(ticker.window()
                    .lbl(TickerView::Display)
                    ->caption()
                    .contains(QStringLiteral(" METAR ")));

        if (cycle == warmUp) {
            rssAfterWarmUp = residentKiB();
            fdsAfterWarmUp = openDescriptors();
        }
        if (cycle > warmUp) {
            peakAfterWarmUp = qMax(peakAfterWarmUp, residentKiB());
            peakFds = qMax(peakFds, openDescriptors());
        }
    }
    const qint64 grownKiB = peakAfterWarmUp - rssAfterWarmUp;
    qInfo("%d cycles (%d of warm-up): VmRSS %lld KiB after warm-up, peak %lld KiB (+%lld); "
          "descriptors %d after warm-up, peak %d",
          total, warmUp, rssAfterWarmUp, peakAfterWarmUp, grownKiB, fdsAfterWarmUp, peakFds);
    // A leak of one string per cycle would already pass this margin over a simulated day.
    const qint64 marginKiB = underAddressSanitizer() ? 6 * 1024 : 2 * 1024;
    QVERIFY2(grownKiB <= marginKiB, qPrintable(QStringLiteral("grew %1 KiB").arg(grownKiB)));
    QVERIFY2(peakFds <= fdsAfterWarmUp + 2,
             qPrintable(QStringLiteral("descriptors %1 -> %2").arg(fdsAfterWarmUp).arg(peakFds)));
}

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
