// The report modes: the ticker's own report builds, written to standard output.
#pragma once

#include "report/FlightCategory.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class ReportBuilder;
class SettingsStore;
struct Settings;

/// The checked targets' codes in list order.
QStringList CheckedTargets(SettingsStore &store);

/// How often --watch builds the report again: as often as the ticker refreshes one airport, the
/// slide interval while sliding, else every minute.
int WatchIntervalSeconds(const Settings &settings);

/// Builds reports with the ticker's builder over a store opened read-only, and writes them.
class ReportRun final : public QObject
{
    Q_OBJECT
public:
    explicit ReportRun(SettingsStore &store, QObject *parent = nullptr);
    ~ReportRun() override;

    /// Writes each airport's text in the order given, a blank line between; "NO TARGET AIRPORT"
    /// when there is none. `ended` follows.
    void print(const QStringList &airports);
    /// Writes the status line of `airport`; `ended` follows. With `watch` it builds again at
    /// the refresh interval and writes each line that differs from the one before, until the
    /// reader of standard output goes.
    void json(const QString &airport, bool watch);

signals:
    /// Everything is written; the process's exit status.
    void ended(int status);

private:
    void startNextPrint();
    void writeReadyTexts();
    void buildStatus();
    void statusBuilt(const QString &text);
    void rebuildStatus();
    /// Nobody reads what is written: everything stops, nothing is fetched again.
    void outputClosed();

    SettingsStore &m_store;
    // --print: builds run side by side, texts written in order.
    QStringList m_airports;
    QList<QString> m_texts;
    QList<bool> m_built;
    qsizetype m_started = 0;
    qsizetype m_written = 0;
    bool m_anyFixed = false;
    // --json
    ReportBuilder *m_builder = nullptr;
    QString m_airport;
    QString m_metar; ///< the report of the METAR that came in this build
    QByteArray m_lastLine;
    bool m_watch = false;
    int m_intervalMs = 60000;
    QString m_lastError;
    QTimer m_timer;
    bool m_outputClosed = false;
};
