// The refresh / rotation / network-check cycle of the ticker.
#include "report/TickerCycle.h"

#include "platform/HttpFetch.h"
#include "report/ReportBuilder.h"
#include "store/DisplayOptions.h"
#include "store/SettingsStore.h"
#include "store/SourcePaths.h"

#include <QNetworkReply>
#include <algorithm>

QtCycleClock::QtCycleClock()
{
    for (Timer timer : {RefreshClock, NetworkCheck}) {
        QObject::connect(&m_timers[timer], &QTimer::timeout, [this, timer] {
            if (fired)
                fired(timer);
        });
    }
}

void QtCycleClock::start(Timer timer, int intervalMs)
{
    m_timers[timer].start(intervalMs);
}

void QtCycleClock::stop(Timer timer)
{
    m_timers[timer].stop();
}

bool QtCycleClock::isActive(Timer timer) const
{
    return m_timers[timer].isActive();
}

namespace {

constexpr int refreshTickMs = 1000;
constexpr int checkAtOnceMs = 1;
constexpr int checkAgainMs = 5000;

} // namespace

TickerCycle::TickerCycle(SettingsStore &store, ReportBuilder &builder, CycleClock &clock,
                         QObject *parent)
    : QObject(parent), m_store(store), m_builder(builder), m_clock(clock)
{
    m_clock.fired = [this](CycleClock::Timer timer) {
        if (timer == CycleClock::RefreshClock)
            RefreshReport();
        else
            CheckNetwork();
    };
    connect(&m_builder, &ReportBuilder::finished, this, &TickerCycle::reportBuilt);
    connect(&m_builder, &ReportBuilder::metarSeen, this, &TickerCycle::watchMetar);
}

TickerCycle::~TickerCycle()
{
    m_clock.fired = nullptr;
    cancelFetches();
}

void TickerCycle::start()
{
    // The first target is shown first, checked or not.
    const QList<TargetAirport> targets = m_store.targetAirports();
    if (!targets.isEmpty())
        m_currentAirport = targets.first().airport;
    m_slidePeriod = 1;
    m_slideCount = 0;
    checkNetworkSoon();
}

void TickerCycle::stop()
{
    m_stopped = true;
    m_clock.stop(CycleClock::RefreshClock);
    m_clock.stop(CycleClock::NetworkCheck);
    cancelFetches();
}

bool TickerCycle::isBuilding() const
{
    return m_builder.isBuilding();
}

bool TickerCycle::anyChecked() const
{
    for (const TargetAirport &target : m_store.targetAirports()) {
        if (target.checked)
            return true;
    }
    return false;
}

void TickerCycle::cancelFetches()
{
    m_builder.abort();
    HttpFetch::cancel(m_checkReply);
    m_checkReply = nullptr;
}

void TickerCycle::RefreshReport()
{
    if (m_store.targetAirports().isEmpty()) {
        m_clock.stop(CycleClock::RefreshClock);
        m_slideCount = 0;
        emit showMessage(QLatin1String(noTargetAirport));
        return;
    }
    if (++m_slideCount < m_slidePeriod)
        return;
    m_clock.stop(CycleClock::RefreshClock);
    if (m_builder.isBuilding())
        return; // the build under way restarts the cycle when it ends
    m_slideCount = 0;
    m_builder.BuildReportText(m_currentAirport);
}

void TickerCycle::reportBuilt(const QString &airport, const QString &text, FlightCategory category)
{
    if (m_stopped)
        return;
    const Settings settings = m_store.settings();
    m_shownAirport = airport;
    if (!settings.autochange) {
        emit showReport(text, Entry::Replace, category);
        emit airportShown(airport);
        m_slidePeriod = 60; // the same airport again in a minute
        checkNetworkSoon();
        return;
    }
    emit showReport(text, settings.scroll ? Entry::SlideIn : Entry::Replace, category);
    emit airportShown(airport);
    rotateFrom(airport);
    m_slidePeriod = qint16(settings.autochangerate);
    // Sliding in, the window reports the end of the slide; then the network check follows.
    if (!settings.scroll)
        checkNetworkSoon();
}

void TickerCycle::watchMetar(const QString &airport, const QString &report, bool speci)
{
    // Every report is watched, so that a notice turned on later still knows the one before.
    const auto notice = m_watch.observe(airport, report, speci);
    if (!notice || !LoadDisplayOptions(m_store).notifyWorse)
        return;
    // An airport only looked at (the first target, one chosen from the menu) is not watched.
    const QList<TargetAirport> targets = m_store.targetAirports();
    const bool checked = std::any_of(targets.begin(), targets.end(), [&](const TargetAirport &t) {
        return t.checked && t.airport == airport;
    });
    if (checked)
        emit worsened(notice->title, notice->body);
}

void TickerCycle::rotateFrom(const QString &shown)
{
    // From the airport just shown, whatever the menu did meanwhile, so the slide keeps to list
    // order. One full pass at most: with nothing checked the current airport stays.
    const QList<TargetAirport> targets = m_store.targetAirports();
    const auto count = targets.size();
    qsizetype at = -1; // not in the list (it changed): the search starts at the first row
    for (qsizetype i = 0; i < count && at < 0; ++i) {
        if (targets[i].airport == shown)
            at = i;
    }
    for (qsizetype step = 1; step <= count; ++step) {
        const TargetAirport &next = targets[(at + step) % count];
        if (next.checked) {
            m_currentAirport = next.airport;
            return;
        }
    }
}

void TickerCycle::CheckNetwork()
{
    m_clock.stop(CycleClock::NetworkCheck);
    if (m_checkReply || m_builder.isBuilding())
        return; // the step under way restarts the cycle when it ends
    const QUrl url(m_homePageUrl + QLatin1String(SourcePath::networkCheck));
    m_checkReply = HttpFetch::get(url, this, [this](const FetchResult &result) {
        m_checkReply = nullptr;
        // Any answer with a body proves the network, an error page included.
        const bool online = !result.body.isEmpty();
        if (!online)
            emit showMessage(QLatin1String(noNetworkConnection));
        emit networkChanged(online);
        m_checkIntervalMs = online ? checkAtOnceMs : checkAgainMs;
        if (online)
            m_clock.start(CycleClock::RefreshClock, refreshTickMs);
        else
            m_clock.start(CycleClock::NetworkCheck, m_checkIntervalMs);
    });
}

void TickerCycle::hurry()
{
    // A build or check under way is for the old state of the cycle: drop it.
    cancelFetches();
    m_slideCount = 0;
    m_slidePeriod = 1;
    checkNetworkSoon();
}

void TickerCycle::chooseAirport(const QString &airport)
{
    m_currentAirport = airport;
    hurry();
}

void TickerCycle::pause()
{
    m_clock.stop(CycleClock::RefreshClock);
    m_clock.stop(CycleClock::NetworkCheck);
    cancelFetches();
    emit paused();
}

void TickerCycle::resume()
{
    if (!m_stopped && !m_builder.isBuilding() && !m_checkReply)
        m_clock.start(CycleClock::NetworkCheck, m_checkIntervalMs);
}

void TickerCycle::checkNetworkSoon()
{
    if (!m_stopped)
        m_clock.start(CycleClock::NetworkCheck, m_checkIntervalMs);
}

void TickerCycle::holdNetworkCheck()
{
    m_clock.stop(CycleClock::NetworkCheck);
}

void TickerCycle::slideFinished()
{
    checkNetworkSoon();
}

void TickerCycle::targetsReplaced()
{
    const QList<TargetAirport> targets = m_store.targetAirports();
    if (targets.isEmpty())
        return; // the next tick says there is no target
    m_currentAirport = targets.first().airport;
    m_slideCount = 0;
    m_slidePeriod = 1;
    checkNetworkSoon();
}
