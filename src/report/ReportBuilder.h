// Builds the display text of one airport: its station files fetched in turn, then laid out.
#pragma once

#include "report/FlightCategory.h"
#include "report/ReportDecode.h"
#include "report/ReportSource.h"
#include "report/ReportText.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class SettingsStore;

/// The station files of one airport as its last build fetched them.
struct FetchedStationFiles
{
    FetchedReport metar;
    std::optional<FetchedReport> taf; ///< none when the build did not ask for the TAF
};

/// The decoding of what was fetched of `airport` (either may be missing), its times in the order
/// of the ticker's 時差 setting.
ReportDecoding DecodeFetched(SettingsStore &store, const QString &airport,
                             const FetchedReport *metar, const FetchedReport *taf);

/// The METAR / TAF / sun-line text of one airport. Fetches continue asynchronously; at most one
/// build is in flight, and settings are read at the moment each step uses them.
class ReportBuilder final : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    explicit ReportBuilder(SettingsStore &store, QObject *parent = nullptr);
    ~ReportBuilder() override;

    /// The report server's address (with its scheme) in place of the store's `report` host.
    void setReportHost(const QString &host) { m_source.setReportHost(host); }
    /// The second source's address in place of the stored one; empty turns it off.
    void setFallbackHost(const QString &host) { m_source.setFallbackHost(host); }
    /// Deadline of each station file's fetch, both sources together.
    void setTimeout(int milliseconds) { m_source.setTimeout(milliseconds); }
    /// The report server's share of that deadline.
    void setFirstBudget(int milliseconds) { m_source.setFirstBudget(milliseconds); }
    /// The moment the text is made at (the report's age, the sun line's day); the computer's
    /// clock unless set.
    void setClock(Clock clock) { m_clock = std::move(clock); }

    /// Starts building the ReportText of `airport`; `finished` follows. False, and nothing
    /// started, while another build is in flight.
    bool BuildReportText(const QString &airport);
    bool isBuilding() const { return m_building; }
    /// What the last finished build of `airport` fetched, for the decode window: it shows the
    /// ticker's airport at once, without a fetch of its own.
    std::optional<FetchedStationFiles> lastFetched(const QString &airport) const;
    /// Drops a build in flight; its `finished` never comes.
    void abort();

signals:
    /// A METAR of `airport` came: `report` is what follows the station file's time line,
    /// `speci` whether it came marked SPECI. Not for a failed fetch.
    void metarSeen(const QString &airport, const QString &report, bool speci);
    /// The ReportText of `airport`, lines broken by CR, and the flight category to show (Unknown
    /// unless the option is on).
    void finished(const QString &airport, const QString &reportText, FlightCategory category);

private:
    void metarFetched(const FetchedReport &metar);
    void finish();

    SettingsStore &m_store;
    ReportSource m_source;
    Clock m_clock;
    QString m_airport;
    FetchedReport m_metar;
    FetchedReport m_taf;
    bool m_withTaf = false; ///< the TAF was asked for
    bool m_building = false;
    QHash<QString, FetchedStationFiles> m_lastFetched; ///< one entry per airport built
};
