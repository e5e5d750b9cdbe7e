// The asynchronous build of the ticker's ReportText.
#include "report/ReportBuilder.h"

#include "store/DisplayOptions.h"
#include "store/SettingsStore.h"

ReportBuilder::ReportBuilder(SettingsStore &store, QObject *parent)
    : QObject(parent), m_store(store), m_source(store),
      m_clock([] { return QDateTime::currentDateTimeUtc(); })
{}

ReportBuilder::~ReportBuilder()
{
    abort();
}

void ReportBuilder::abort()
{
    m_source.abort();
    m_building = false;
}

bool ReportBuilder::BuildReportText(const QString &airport)
{
    if (m_building)
        return false;
    m_building = true;
    m_airport = airport;
    m_metar = {};
    m_taf = {};
    m_withTaf = false;
    m_source.fetch(airport, ReportSource::Product::Metar,
                   [this](const FetchedReport &metar) { metarFetched(metar); });
    return true;
}

void ReportBuilder::metarFetched(const FetchedReport &metar)
{
    m_metar = metar;
    if (!metar.stationFile.isEmpty()) {
        emit metarSeen(m_airport, ReportLines(metar.stationFile), metar.speci);
        if (!m_building)
            return; // dropped by whoever was told
    }
    m_withTaf = m_store.settings().getTAF;
    if (!m_withTaf) {
        finish();
        return;
    }
    m_source.fetch(m_airport, ReportSource::Product::Taf, [this](const FetchedReport &taf) {
        m_taf = taf;
        finish();
    });
}

std::optional<FetchedStationFiles> ReportBuilder::lastFetched(const QString &airport) const
{
    const auto found = m_lastFetched.constFind(airport);
    if (found == m_lastFetched.cend())
        return std::nullopt;
    return *found;
}

void ReportBuilder::finish()
{
    // A failed fetch replaces a good one too: the decode shows what the ticker shows.
    m_lastFetched.insert(m_airport, {m_metar, m_withTaf ? std::optional(m_taf) : std::nullopt});
    const Settings settings = m_store.settings();
    ReportTextOptions options;
    options.uselocal = settings.uselocal;
    options.timediff = settings.timediff;
    options.getTAF = m_withTaf;
    options.getSUNSET = settings.getSUNSET;
    options.display = LoadDisplayOptions(m_store);
    if (settings.getSUNSET)
        options.place = m_store.coordinatesOf(m_airport);
    const ComposedReport composed =
        ComposeReportText(m_airport, m_metar, m_taf, options, m_clock());
    m_building = false;
    emit finished(m_airport, composed.text, composed.category);
}

ReportDecoding DecodeFetched(SettingsStore &store, const QString &airport,
                             const FetchedReport *metar, const FetchedReport *taf)
{
    DecodeOptions options;
    // The ticker's 時差 setting: local time first unless it shows UTC.
    options.utcFirst = !store.settings().uselocal;
    options.speci = metar && metar->speci;
    return DecodeStationFiles(airport, metar ? metar->stationFile : QString(),
                              taf ? taf->stationFile : QString(), options);
}
