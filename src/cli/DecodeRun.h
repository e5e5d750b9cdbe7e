// --decode: one airport's METAR and TAF fetched as the ticker fetches them, read out.
#pragma once

#include "report/ReportSource.h"

#include <QObject>
#include <QString>

class SettingsStore;

/// Fetches both station files of an airport with the ticker's source over a store opened
/// read-only, and writes their decoding as text or as JSON.
class DecodeRun final : public QObject
{
    Q_OBJECT
public:
    explicit DecodeRun(SettingsStore &store, QObject *parent = nullptr);
    ~DecodeRun() override;

    /// Fetches the METAR, then the TAF, then writes; `ended` follows.
    void start(const QString &airport, bool json);

signals:
    /// Everything is written: 0 when both reports came, 1 when one shows the fixed text.
    void ended(int status);

private:
    void write();

    SettingsStore &m_store;
    ReportSource m_source;
    QString m_airport;
    bool m_json = false;
    FetchedReport m_metar;
    FetchedReport m_taf;
};

/// Runs --decode of `airport` in the running application to its end; the exit status.
int RunDecode(SettingsStore &store, const QString &airport, bool json);
