// Builds the display text of one airport from the report server, one fetch at a time.
#pragma once

#include "ticker/CategoryWatch.h"
#include "ticker/FlightCategory.h"
#include "ticker/StationReport.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>

class QNetworkReply;
class SettingsStore;

/// The METAR / TAF / sun-line text of one airport. Fetches continue asynchronously; at most one
/// build is in flight, and settings are read at the moment each step uses them.
class ReportBuilder final : public QObject
{
    Q_OBJECT
public:
    static constexpr auto metarPath = "/data/observations/metar/stations/";
    static constexpr auto tafPath = "/data/forecasts/taf/stations/";

    explicit ReportBuilder(SettingsStore &store, QObject *parent = nullptr);
    ~ReportBuilder() override;

    /// Sets `metarUrl` and `tafUrl` from the report server's address (with its scheme), in
    /// place of the `report` host the store holds at each build.
    void setReportHost(const QString &host);
    /// The second source's address in place of the store's `report2` host; empty turns it off.
    void setFallbackHost(const QString &host) { m_fallbackOverride = host; }
    QString metarUrl() const { return m_metarUrl; }
    QString tafUrl() const { return m_tafUrl; }

    /// Transfer timeout of each fetch.
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }

    /// Starts building the ReportText of `airport`; `finished` follows. False, and nothing
    /// started, while another build is in flight.
    bool BuildReportText(const QString &airport);
    bool isBuilding() const { return m_building; }
    /// Drops a build in flight; its `finished` never comes.
    void abort();

signals:
    /// The ReportText of `airport`, lines broken by CR, and the flight category to show (Unknown
    /// unless the option is on).
    void finished(const QString &airport, const QString &reportText, FlightCategory category);
    /// A checked airport's new METAR is worse than the one before, or a SPECI, and the user
    /// asked to be told.
    void worsened(const QString &title, const QString &report);

private:
    void FetchStationReport(std::function<void(const StationReport &)> next);
    /// The same file from the second source, within what is left of the fetch's deadline.
    void FetchFromSecondSource(bool isTaf, std::function<void(const StationReport &)> next);
    StationReport treat(const QString &stationFile, bool isTaf);
    /// What the display options add after the METAR's time; notes the category and tells of a
    /// worse report.
    QString metarMarks(const StationReport &metar);
    void addTaf();
    void addSunLineAndFinish();

    SettingsStore &m_store;
    QString m_metarUrl;
    QString m_tafUrl;
    std::optional<QString> m_reportOverride;
    std::optional<QString> m_fallbackOverride;
    QElapsedTimer m_fetchClock; ///< since the first source was asked for the current file
    QString m_stationUrl;
    QString m_currentAirport;
    QString m_caption;
    QString m_stationFile; ///< the file behind the report just treated; empty for none
    bool m_speci = false;  ///< that report came marked SPECI
    FlightCategory m_category = FlightCategory::Unknown;
    CategoryWatch m_watch;
    QPointer<QNetworkReply> m_reply;
    int m_timeoutMs = 15000;
    bool m_building = false;
};
