// A running ticker over a temporary database whose servers are a loopback stand-in.
#pragma once

#include "app/TickerMenu.h"
#include "app/TickerSession.h"
#include "report/ReportBuilder.h"
#include "store/SettingsStore.h"
#include "support/LoopbackHttpServer.h"
#include "support/TestDatabase.h"
#include "ticker/TickerLabel.h"
#include "ticker/TickerWindow.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <memory>

class TickerFixture final
{
public:
    TickerFixture()
    {
        m_server.start();
        m_db.setAllHosts(m_server.baseUrl().toString());
        m_server.setRoute(QStringLiteral("/ident.dat"), {200, "ok\n", {}, {}});
        m_db.execute(QStringLiteral("UPDATE setting SET getTAF = 0, getSUNSET = 0"));
    }

    TestDatabase &db() { return m_db; }
    LoopbackHttpServer &server() { return m_server; }
    TickerSession *ticker() const { return m_ticker.get(); }

    /// Serves a METAR for `code` whose report is `report`.
    void serveMetar(const QString &code,
                    const QString &report = QStringLiteral("151230Z 34008KT 9999"))
    {
        m_server.setRoute(QStringLiteral("/data/observations/metar/stations/%1.TXT").arg(code),
                          {200,
                           QStringLiteral("2024/01/15 12:30\n%1 %2\n").arg(code, report).toLatin1(),
                           {},
                           {}});
    }

    /// Replaces the target rows in the file before the ticker loads.
    bool setTargets(const QList<std::pair<QString, bool>> &targets)
    {
        bool ok = m_db.execute(QStringLiteral("DELETE FROM airport"));
        int number = 0;
        for (const auto &[code, checked] : targets) {
            serveMetar(code);
            ok = ok &&
                 m_db.execute(
                     QStringLiteral(
                         "INSERT INTO airport (number, airport, \"check\") VALUES (%1, '%2', %3)")
                         .arg(++number)
                         .arg(code)
                         .arg(checked ? -1 : 0));
        }
        return ok;
    }

    /// Changes settings in the file before the ticker loads, e.g. "autochange = 0, scroll = 0".
    bool setSettings(const QString &assignments)
    {
        return m_db.execute(QStringLiteral("UPDATE setting SET ") + assignments);
    }

    /// Loads the ticker; its network check and cycle run on their own from here.
    TickerSession *start()
    {
        m_ticker = std::make_unique<TickerSession>(m_db.directory());
        if (!m_ticker->Form_Load())
            return nullptr;
        return m_ticker.get();
    }

    /// Loads the ticker and waits for its first network check; the test drives the clock after.
    TickerSession *load()
    {
        if (!start())
            return nullptr;
        if (!QTest::qWaitFor([&] { return m_ticker->cycle().isActive(CycleClock::RefreshClock); },
                             5000))
            return nullptr;
        m_ticker->cycle().clock().stop(CycleClock::RefreshClock);
        return m_ticker.get();
    }

    /// Runs one refresh now and waits for its text.
    bool refreshNow()
    {
        QSignalSpy built(&m_ticker->reportBuilder(), &ReportBuilder::finished);
        m_ticker->cycle().setSlideCount(qint16(m_ticker->cycle().slidePeriod() - 1));
        m_ticker->cycle().RefreshReport();
        return built.wait(5000);
    }

    /// Drags the handle square by `delta` as a user would: press, three moves, release.
    void dragHandle(const QPoint &delta)
    {
        QWidget *handle = m_ticker->window().lbl(TickerView::Handle);
        const QPoint local = handle->rect().center();
        const QPoint start = handle->mapToGlobal(local);
        const auto send = [&](QEvent::Type type, const QPoint &global, Qt::MouseButton button,
                              Qt::MouseButtons held) {
            QMouseEvent event(type, QPointF(local), QPointF(global), button, held, Qt::NoModifier);
            QCoreApplication::sendEvent(handle, &event);
        };
        send(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
        for (int step = 1; step <= 3; ++step)
            send(QEvent::MouseMove, start + delta * step / 3, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, start + delta, Qt::LeftButton, Qt::NoButton);
    }

    /// Whether any of the refresh clock, the slide and the network check runs.
    bool anyCycleTimerActive() const
    {
        return m_ticker->cycle().isActive(CycleClock::RefreshClock) ||
               m_ticker->cycle().isActive(CycleClock::NetworkCheck) ||
               m_ticker->window().isSliding();
    }
    /// Stops the refresh clock, the slide and the network check.
    void stopCycleTimers()
    {
        m_ticker->cycle().clock().stop(CycleClock::RefreshClock);
        m_ticker->cycle().clock().stop(CycleClock::NetworkCheck);
        m_ticker->window().holdSlide();
    }

private:
    TestDatabase m_db;
    LoopbackHttpServer m_server;
    std::unique_ptr<TickerSession> m_ticker;
};
