// --decode over the ticker's report source.
#include "cli/DecodeRun.h"

#include "cli/ExitStatus.h"
#include "report/DecodedForms.h"
#include "report/ReportBuilder.h"
#include "store/SettingsStore.h"

#include <QCoreApplication>
#include <cstdio>

DecodeRun::DecodeRun(SettingsStore &store, QObject *parent)
    : QObject(parent), m_store(store), m_source(store)
{}

DecodeRun::~DecodeRun() = default;

void DecodeRun::start(const QString &airport, bool json)
{
    m_airport = airport;
    m_json = json;
    m_source.fetch(airport, ReportSource::Product::Metar, [this](const FetchedReport &metar) {
        m_metar = metar;
        // The TAF whatever the settings say: the decoding reads both.
        m_source.fetch(m_airport, ReportSource::Product::Taf, [this](const FetchedReport &taf) {
            m_taf = taf;
            write();
        });
    });
}

void DecodeRun::write()
{
    const ReportDecoding decoding = DecodeFetched(m_store, m_airport, &m_metar, &m_taf);
    const QByteArray bytes = m_json
                                 ? DecodingJson(decoding).toJson(QJsonDocument::Compact) + '\n'
                                 : DecodingText(decoding, QDateTime::currentDateTimeUtc()).toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
    const bool both = decoding.metar && decoding.taf;
    emit ended(both ? ExitStatus::reports : ExitStatus::fixedText);
}

int RunDecode(SettingsStore &store, const QString &airport, bool json)
{
    DecodeRun run(store);
    QObject::connect(
        &run, &DecodeRun::ended, QCoreApplication::instance(),
        [](int status) { QCoreApplication::exit(status); }, Qt::QueuedConnection);
    run.start(airport, json);
    return QCoreApplication::exec();
}
