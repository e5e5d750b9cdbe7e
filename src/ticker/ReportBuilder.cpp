// The asynchronous build of the ticker's ReportText.
#include "ticker/ReportBuilder.h"

#include "platform/HttpFetch.h"
#include "store/DisplayOptions.h"
#include "store/SettingsStore.h"
#include "sun/SunTimes.h"
#include "ticker/DataApiReport.h"
#include "ticker/ReportAge.h"

#include <QNetworkReply>

namespace {

const QChar CR(u'\r');

} // namespace

ReportBuilder::ReportBuilder(SettingsStore &store, QObject *parent)
    : QObject(parent), m_store(store)
{}

ReportBuilder::~ReportBuilder()
{
    abort();
}

void ReportBuilder::setReportHost(const QString &host)
{
    m_reportOverride = NormalisedHost(host);
    m_metarUrl = *m_reportOverride + QLatin1String(metarPath);
    m_tafUrl = *m_reportOverride + QLatin1String(tafPath);
}

void ReportBuilder::abort()
{
    HttpFetch::cancel(m_reply);
    m_reply = nullptr;
    m_building = false;
}

bool ReportBuilder::BuildReportText(const QString &airport)
{
    if (m_building)
        return false;
    m_building = true;
    m_currentAirport = airport;
    // The hosts as stored now: an address saved a moment ago counts at the next build.
    if (!m_reportOverride) {
        const QString base = m_store.host(QStringLiteral("report"));
        m_metarUrl = base + QLatin1String(metarPath);
        m_tafUrl = base + QLatin1String(tafPath);
    }
    m_stationUrl = m_metarUrl;
    FetchStationReport([this](const StationReport &metar) {
        m_caption = m_currentAirport + QStringLiteral(" METAR ") + metar.reportTime +
                    metarMarks(metar) + CR + metar.reportBody;
        if (m_store.settings().getTAF)
            addTaf();
        else
            addSunLineAndFinish();
    });
    return true;
}

void ReportBuilder::addTaf()
{
    m_stationUrl = m_tafUrl;
    FetchStationReport([this](const StationReport &taf) {
        m_caption += QString(CR) + CR + m_currentAirport + QStringLiteral(" TAF   ") +
                     taf.reportTime + CR + taf.reportBody;
        addSunLineAndFinish();
    });
}

void ReportBuilder::addSunLineAndFinish()
{
    if (m_store.settings().getSUNSET) {
        if (const auto place = m_store.coordinatesOf(m_currentAirport)) {
            m_caption += QString(CR) + CR + QStringLiteral("      SUNRISE ") +
                         Calsunrise(place->lat, place->lon) + QStringLiteral("  SUNSET ") +
                         Calsunset(place->lat, place->lon);
        }
    }
    m_building = false;
    emit finished(m_currentAirport, m_caption, m_category);
}

void ReportBuilder::FetchStationReport(std::function<void(const StationReport &)> next)
{
    const bool isTaf = m_stationUrl == m_tafUrl;
    const QUrl url(m_stationUrl + m_currentAirport + QStringLiteral(".TXT"));
    m_fetchClock.start();
    m_reply = HttpFetch::get(
        url, this,
        [this, isTaf, next = std::move(next)](const FetchResult &result) mutable {
            m_reply = nullptr;
            const QString body = QString::fromLatin1(result.body);
            // No answer, an error, or a page that is not a station file: the second source.
            if (!result.ok || body.startsWith(QLatin1Char('<'))) {
                FetchFromSecondSource(isTaf, std::move(next));
                return;
            }
            m_stationFile = body;
            m_speci = false; // the report server's files do not mark a SPECI
            next(treat(body, isTaf));
        },
        m_timeoutMs);
}

StationReport ReportBuilder::treat(const QString &stationFile, bool isTaf)
{
    const Settings settings = m_store.settings();
    return TreatStationFile(stationFile, isTaf, settings.uselocal, settings.timediff);
}

QString ReportBuilder::metarMarks(const StationReport &metar)
{
    const DisplayOptions options = LoadDisplayOptions(m_store);
    m_category = FlightCategory::Unknown;
    if (m_stationFile.isEmpty() || metar.reportTime.isEmpty())
        return {};
    const QString report = m_stationFile.mid(m_stationFile.indexOf(QLatin1Char('\n')) + 1);
    // Every report is watched, so that a notice turned on later still knows the one before.
    const auto notice = m_watch.observe(m_currentAirport, report, m_speci);
    if (notice && options.notifyWorse)
        emit worsened(notice->title, notice->body);

    QString marks;
    if (options.showCategory) {
        m_category = ClassifyMetar(report);
        if (m_category != FlightCategory::Unknown)
            marks += QStringLiteral("  ") + FlightCategoryText(m_category);
    }
    if (options.markOld) {
        const auto age = ReportAgeMinutes(m_stationFile, QDateTime::currentDateTimeUtc());
        if (age && *age > options.oldMinutes)
            marks += QStringLiteral("  %1 MIN OLD").arg(*age);
    }
    return marks;
}

void ReportBuilder::FetchFromSecondSource(bool isTaf,
                                          std::function<void(const StationReport &)> next)
{
    // A failed fetch shows the fixed message: an older report must never stand under this
    // airport's name. Both sources together keep to one fetch's deadline.
    const QString host = m_fallbackOverride ? NormalisedHost(*m_fallbackOverride)
                                            : m_store.host(QStringLiteral("report2"));
    const qint64 left = m_timeoutMs - m_fetchClock.elapsed();
    m_stationFile.clear();
    m_speci = false;
    if (host.isEmpty() || left < 50) {
        next(MissingStationReport(isTaf));
        return;
    }
    const QUrl url(host + DataApiPath(m_currentAirport, isTaf));
    m_reply = HttpFetch::get(
        url, this,
        [this, isTaf, next = std::move(next)](const FetchResult &result) {
            m_reply = nullptr;
            if (result.ok)
                m_stationFile = StationFileFromDataApi(QString::fromLatin1(result.body), isTaf,
                                                       QDateTime::currentDateTimeUtc(), &m_speci);
            next(m_stationFile.isEmpty() ? MissingStationReport(isTaf)
                                         : treat(m_stationFile, isTaf));
        },
        int(left));
}
