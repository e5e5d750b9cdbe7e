// The ticker's cycle without a window: refresh clock, rotation, network check, texts to show.
#pragma once

#include "report/CategoryWatch.h"
#include "report/FixedTexts.h"
#include "report/FlightCategory.h"

#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <array>
#include <functional>

class ReportBuilder;
class SettingsStore;

/// The two clocks of the cycle, behind a seam so tests run it without real time.
class CycleClock
{
public:
    enum Timer { RefreshClock = 0, NetworkCheck = 1 };
    virtual ~CycleClock() = default;
    virtual void start(Timer timer, int intervalMs) = 0;
    virtual void stop(Timer timer) = 0;
    virtual bool isActive(Timer timer) const = 0;
    virtual int interval(Timer timer) const = 0;
    /// Runs when a timer fires; the cycle sets it.
    std::function<void(Timer)> fired;
};

/// The clocks on QTimer, for the program.
class QtCycleClock final : public CycleClock
{
public:
    QtCycleClock();
    void start(Timer timer, int intervalMs) override;
    void stop(Timer timer) override;
    bool isActive(Timer timer) const override;
    int interval(Timer timer) const override { return m_timers[timer].interval(); }

private:
    std::array<QTimer, 2> m_timers;
};

/// Refreshes, rotates through the checked targets, checks the network and says what to show.
/// It never touches a widget: the window shows the texts and reports the end of a slide.
class TickerCycle final : public QObject
{
    Q_OBJECT
public:
    static constexpr auto noTargetAirport = FixedText::noTargetAirport;
    static constexpr auto noNetworkConnection = FixedText::noNetworkConnection;

    /// How a new report reaches the screen.
    enum class Entry { Replace, SlideIn };

    TickerCycle(SettingsStore &store, ReportBuilder &builder, CycleClock &clock,
                QObject *parent = nullptr);
    ~TickerCycle() override;

    /// The address whose "/ident.dat" proves the network.
    void setHomePage(const QString &url) { m_homePageUrl = url; }
    /// The first target, checked or not, then a network check at once.
    void start();
    /// Ends everything in flight for good (the program exits).
    void stop();

    // The two clock operations; each may also be called directly.
    void RefreshReport();
    void CheckNetwork();

    /// Shows `currentAirport` one tick after a network check; whatever was in flight is dropped.
    void hurry();
    /// Shows `airport` one tick after a network check and stops sliding.
    void chooseAirport(const QString &airport);
    /// Stops every clock and drops what is in flight (the settings window is open).
    void pause();
    /// A network check, unless a build or check is already under way.
    void resume();
    /// A network check soon (it waits for a build or check under way).
    void checkNetworkSoon();
    /// No network check until checkNetworkSoon (a window opened from the menu).
    void holdNetworkCheck();
    /// Drops the build and the network check in flight.
    void cancelFetches();
    /// The next tick refreshes and moves on.
    void refreshAtNextTick() { m_slideCount = m_slidePeriod; }
    /// The window has slid the new text in: a network check follows.
    void slideFinished();
    /// The target list was saved: from its first row, at once (when it has rows).
    void targetsReplaced();
    /// The slide interval was saved.
    void setSlidePeriod(qint16 ticks) { m_slidePeriod = ticks; }

    QString currentAirport() const { return m_currentAirport; }
    /// The airport whose report the window shows (or slides in) now; empty before the first.
    /// While sliding, currentAirport is already the next one.
    QString shownAirport() const { return m_shownAirport; }
    qint16 slidePeriod() const { return m_slidePeriod; }
    qint16 slideCount() const { return m_slideCount; }
    void setSlideCount(qint16 count) { m_slideCount = count; }
    bool isBuilding() const;
    bool isCheckingNetwork() const { return m_checkReply != nullptr; }
    /// At least one target takes part in the rotation.
    bool anyChecked() const;
    bool isActive(CycleClock::Timer timer) const { return m_clock.isActive(timer); }
    CycleClock &clock() { return m_clock; }
    /// When the next network check runs after it is asked for: at once, or in five seconds
    /// while the network is away.
    int checkInterval() const { return m_checkIntervalMs; }

signals:
    /// A new report for the display; the window slides it in or replaces the old one. The
    /// category colours the handle (Unknown: the text colour).
    void showReport(const QString &text, TickerCycle::Entry entry, FlightCategory category);
    /// Follows showReport: the report of `airport` is shown, a new one or the same again.
    void airportShown(const QString &airport);
    /// One of the fixed messages, in place of the report.
    void showMessage(const QString &message);
    /// The network check's verdict, for the items of the menu that need the network.
    void networkChanged(bool online);
    /// Everything stopped for a while: a slide under way should end now.
    void paused();
    /// A checked target's new METAR is worse than the one before, or a SPECI, and the user
    /// asked to be told.
    void worsened(const QString &title, const QString &body);

private:
    void reportBuilt(const QString &airport, const QString &text, FlightCategory category);
    void watchMetar(const QString &airport, const QString &report, bool speci);
    void rotateFrom(const QString &shown);

    SettingsStore &m_store;
    ReportBuilder &m_builder;
    CycleClock &m_clock;
    CategoryWatch m_watch;
    QString m_homePageUrl;
    QString m_currentAirport;
    QString m_shownAirport;
    qint16 m_slidePeriod = 1; ///< refresh-clock ticks from one refresh to the next
    qint16 m_slideCount = 0;  ///< ticks counted since the last refresh
    QPointer<QNetworkReply> m_checkReply;
    int m_checkIntervalMs = 1; ///< at once; every five seconds while the network is away
    bool m_stopped = false;
};
