// Where the station files come from: the report server, else the second source.
#pragma once

#include "report/ReportText.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>

class QNetworkReply;
class SettingsStore;

/// Fetches one station file at a time: from the report server within its own budget, and when
/// that gives no station file of the airport asked for, from the second source within what is
/// left of the fetch's deadline. The host rows are read from the store at each fetch.
class ReportSource final : public QObject
{
    Q_OBJECT
public:
    enum class Product { Metar, Taf };
    using Done = std::function<void(const FetchedReport &)>;

    explicit ReportSource(SettingsStore &store, QObject *parent = nullptr);
    ~ReportSource() override;

    /// The report server's address (with its scheme) in place of the store's `report` host.
    void setReportHost(const QString &host);
    /// The second source's address in place of the stored one; empty turns it off.
    void setFallbackHost(const QString &host) { m_fallbackOverride = host; }
    /// Deadline of each fetch, both sources together.
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    /// The report server's share of that deadline when there is a second source: a silent
    /// server leaves the rest to it. Without one the report server has the whole deadline.
    void setFirstBudget(int milliseconds) { m_firstBudgetMs = milliseconds; }

    /// Starts fetching the `product` station file of `airport`; `done` runs once, later, with
    /// what came back. False, and nothing started, while another fetch is in flight.
    bool fetch(const QString &airport, Product product, Done done);
    bool isFetching() const { return m_fetching; }
    /// Drops a fetch in flight; its `done` never runs.
    void abort();

private:
    QString secondSourceHost() const; ///< empty: none
    void fetchFromSecondSource();
    void finish(const FetchedReport &report);

    SettingsStore &m_store;
    std::optional<QString> m_reportOverride;
    std::optional<QString> m_fallbackOverride;
    int m_timeoutMs = 15000;
    // A station file is under a kilobyte: a server that has not sent it whole in 6 s is down or
    // overloaded, and the second source still has 9 s of the file's 15.
    int m_firstBudgetMs = 6000;
    QElapsedTimer m_fetchClock; ///< since the report server was asked for the current file
    QString m_airport;
    Product m_product = Product::Metar;
    Done m_done;
    QPointer<QNetworkReply> m_reply;
    bool m_fetching = false;
};
