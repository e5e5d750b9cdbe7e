// The report modes over the ticker's builder.
#include "cli/ReportRun.h"

#include "cli/ExitStatus.h"
#include "cli/StatusText.h"
#include "platform/OutputWatch.h"
#include "report/FixedTexts.h"
#include "report/ReportBuilder.h"
#include "store/SettingsStore.h"

#include <cstdio>

namespace {

// A handful at once: quick over loopback, gentle with a real server.
constexpr qsizetype parallelBuilds = 4;

/// False when the bytes could not be written: the reader has gone (EPIPE, SIGPIPE being
/// ignored), the disk is full.
bool write(std::FILE *stream, const QByteArray &bytes)
{
    const size_t written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    // A status bar reads line by line from a pipe.
    return std::fflush(stream) == 0 && written == size_t(bytes.size());
}

} // namespace

QStringList CheckedTargets(SettingsStore &store)
{
    QStringList codes;
    for (const TargetAirport &target : store.targetAirports()) {
        if (target.checked)
            codes.append(target.airport);
    }
    return codes;
}

int WatchIntervalSeconds(const Settings &settings)
{
    return settings.autochange ? settings.autochangerate : 60;
}

ReportRun::ReportRun(SettingsStore &store, QObject *parent) : QObject(parent), m_store(store)
{
    m_lastError = store.notice(); // the caller has said it
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ReportRun::rebuildStatus);
}

ReportRun::~ReportRun() = default;

void ReportRun::print(const QStringList &airports)
{
    if (airports.isEmpty()) {
        if (!write(stdout, QByteArray(FixedText::noTargetAirport) + '\n'))
            return outputClosed();
        emit ended(ExitStatus::fixedText);
        return;
    }
    m_airports = airports;
    m_texts.resize(airports.size());
    m_built.fill(false, airports.size());
    while (m_started < qMin(parallelBuilds, airports.size()))
        startNextPrint();
}

void ReportRun::startNextPrint()
{
    const qsizetype index = m_started++;
    auto *builder = new ReportBuilder(m_store, this);
    connect(builder, &ReportBuilder::finished, this,
            [this, builder, index](const QString &, const QString &text, FlightCategory) {
                builder->deleteLater();
                if (m_outputClosed)
                    return;
                m_texts[index] = text;
                m_built[index] = true;
                writeReadyTexts();
                if (!m_outputClosed && m_started < m_airports.size())
                    startNextPrint();
            });
    builder->BuildReportText(m_airports.at(index));
}

void ReportRun::writeReadyTexts()
{
    while (m_written < m_airports.size() && m_built.at(m_written)) {
        const QString &text = m_texts.at(m_written);
        const QString separator = m_written > 0 ? QStringLiteral("\n") : QString();
        if (!write(stdout, (separator + PrintedText(text) + QLatin1Char('\n')).toUtf8()))
            return outputClosed();
        m_anyFixed = m_anyFixed || HasFixedText(text);
        ++m_written;
    }
    if (m_written == m_airports.size())
        emit ended(m_anyFixed ? ExitStatus::fixedText : ExitStatus::reports);
}

void ReportRun::json(const QString &airport, bool watch)
{
    m_airport = airport;
    m_watch = watch;
    m_builder = new ReportBuilder(m_store, this);
    connect(m_builder, &ReportBuilder::metarSeen, this,
            [this](const QString &, const QString &report, bool) { m_metar = report; });
    connect(m_builder, &ReportBuilder::finished, this,
            [this](const QString &, const QString &text, FlightCategory) { statusBuilt(text); });
    // A status bar reloaded or ended leaves its watcher nobody to write to: it ends at once
    // rather than fetch for ever under PID 1.
    if (watch)
        WatchStandardOutput(this, [this] { outputClosed(); });
    buildStatus();
}

void ReportRun::buildStatus()
{
    m_metar.clear();
    m_builder->BuildReportText(m_airport);
}

void ReportRun::statusBuilt(const QString &text)
{
    const QByteArray line = StatusLine(m_airport, text, m_metar);
    if (line != m_lastLine && !write(stdout, line + '\n'))
        return outputClosed();
    m_lastLine = line;
    if (!m_watch) {
        const bool fixed = m_metar.isEmpty() || HasFixedText(text);
        emit ended(fixed ? ExitStatus::fixedText : ExitStatus::reports);
        return;
    }
    m_intervalMs = WatchIntervalSeconds(m_store.settings()) * 1000;
    m_timer.start(m_intervalMs);
}

void ReportRun::rebuildStatus()
{
    // Where the reader's end cannot be watched (a socket), it is looked at before each fetch.
    if (StandardOutputClosed())
        return outputClosed();
    // Opened again each time: the ticker may have saved settings or compacted the file (a new
    // file under the same name) meanwhile.
    m_store.CloseSettings();
    // Said once, not every interval; the last line stands until the file reads again.
    const bool opened = m_store.OpenSettingsReadOnly();
    const QString said = opened ? m_store.notice() : m_store.englishError();
    if (!said.isEmpty() && said != m_lastError)
        write(stderr, (QStringLiteral("tarnbeck: ") + said + QLatin1Char('\n')).toUtf8());
    m_lastError = said;
    if (!opened) {
        m_timer.start(m_intervalMs);
        return;
    }
    buildStatus();
}

void ReportRun::outputClosed()
{
    if (m_outputClosed)
        return;
    m_outputClosed = true;
    m_timer.stop();
    for (ReportBuilder *builder : findChildren<ReportBuilder *>())
        builder->abort();
    emit ended(ExitStatus::outputClosed);
}
