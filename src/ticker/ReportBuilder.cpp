// The asynchronous build of the ticker's ReportText.
#include "ticker/ReportBuilder.h"

#include "platform/HttpFetch.h"
#include "store/SettingsStore.h"
#include "sun/SunTimes.h"

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
    const QString base = NormalisedHost(host);
    m_metarUrl = base + QLatin1String(metarPath);
    m_tafUrl = base + QLatin1String(tafPath);
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
    m_stationUrl = m_metarUrl;
    FetchStationReport([this](const StationReport &metar) {
        m_caption =
            m_currentAirport + QStringLiteral(" METAR ") + metar.reportTime + CR + metar.reportBody;
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
    emit finished(m_currentAirport, m_caption);
}

void ReportBuilder::FetchStationReport(std::function<void(const StationReport &)> next)
{
    const bool isTaf = m_stationUrl == m_tafUrl;
    const QUrl url(m_stationUrl + m_currentAirport + QStringLiteral(".TXT"));
    m_reply = HttpFetch::get(
        url, this,
        [this, isTaf, next = std::move(next)](const FetchResult &result) {
            m_reply = nullptr;
            // A failed fetch shows the fixed message: an older report must never stand under
            // this airport's name.
            if (!result.ok) {
                next(MissingStationReport(isTaf));
                return;
            }
            next(TreatStationFile(QString::fromLatin1(result.body), isTaf,
                                  m_store.settings().uselocal, m_store.settings().timediff));
        },
        m_timeoutMs);
}
