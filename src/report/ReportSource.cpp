// The station files of the report server, with the second source behind it.
#include "report/ReportSource.h"

#include "platform/HttpFetch.h"
#include "report/DataApiReport.h"
#include "report/StationReport.h"
#include "store/SettingsStore.h"
#include "store/SourcePaths.h"
#include "store/Sources.h"

#include <QNetworkReply>
#include <utility>

ReportSource::ReportSource(SettingsStore &store, QObject *parent) : QObject(parent), m_store(store)
{}

ReportSource::~ReportSource()
{
    abort();
}

void ReportSource::setReportHost(const QString &host)
{
    m_reportOverride = NormalisedHost(host);
}

void ReportSource::abort()
{
    HttpFetch::cancel(m_reply);
    m_reply = nullptr;
    m_done = nullptr;
    m_fetching = false;
}

bool ReportSource::fetch(const QString &airport, Product product, Done done)
{
    if (m_fetching)
        return false;
    m_fetching = true;
    m_airport = airport;
    m_product = product;
    m_done = std::move(done);
    // The host as stored now: an address saved a moment ago counts at the next fetch.
    const QString host =
        m_reportOverride ? *m_reportOverride : m_store.host(QLatin1String(SourceName::report));
    const QUrl url(host + SourcePath::stationFile(airport, product == Product::Taf));
    // The first source's budget only leaves the second its time: with none, the whole deadline.
    const int budget =
        secondSourceHost().isEmpty() ? m_timeoutMs : qMin(m_firstBudgetMs, m_timeoutMs);
    m_fetchClock.start();
    m_reply = HttpFetch::get(
        url, this,
        [this](const FetchResult &result) {
            m_reply = nullptr;
            const QString body = WithLineFeeds(QString::fromLatin1(result.body));
            // No answer, an error, or anything but this airport's station file: the second
            // source.
            if (!result.ok || !IsStationFileOf(body, m_airport, m_product == Product::Taf)) {
                fetchFromSecondSource();
                return;
            }
            // The report server's files do not mark a SPECI.
            finish({body, ReportOrigin::FirstSource, false});
        },
        budget);
    return true;
}

QString ReportSource::secondSourceHost() const
{
    return m_fallbackOverride ? NormalisedHost(*m_fallbackOverride)
                              : m_store.host(QLatin1String(SourceName::report2));
}

void ReportSource::fetchFromSecondSource()
{
    // The second source has what the first left of the fetch's deadline.
    const QString host = secondSourceHost();
    const qint64 left = m_timeoutMs - m_fetchClock.elapsed();
    if (host.isEmpty() || left < 50) {
        finish({});
        return;
    }
    const bool isTaf = m_product == Product::Taf;
    const QUrl url(host + SourcePath::dataApi(m_airport, isTaf));
    m_reply = HttpFetch::get(
        url, this,
        [this, isTaf](const FetchResult &result) {
            m_reply = nullptr;
            FetchedReport report;
            if (result.ok)
                report.stationFile =
                    StationFileFromDataApi(QString::fromLatin1(result.body), m_airport, isTaf,
                                           QDateTime::currentDateTimeUtc(), &report.speci);
            // The same test as the report server's files pass.
            if (!IsStationFileOf(report.stationFile, m_airport, isTaf))
                report = {};
            else
                report.origin = ReportOrigin::SecondSource;
            finish(report);
        },
        int(left));
}

void ReportSource::finish(const FetchedReport &report)
{
    // Free before `done` runs, so that it may start the next fetch.
    Done done = std::exchange(m_done, nullptr);
    m_fetching = false;
    if (done)
        done(report);
}
