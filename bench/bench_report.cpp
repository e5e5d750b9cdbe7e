// Cost of treating one station file: a METAR and a five-line TAF.
#include "report/FlightCategory.h"
#include "report/StationReport.h"

#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>

namespace {

const QString metar = QStringLiteral("2024/01/15 12:30\nRJTT 151230Z 34008KT 9999 FEW030 BKN100 "
                                     "08/M02 Q1021 NOSIG RMK 1CU030 7AC100 A3016\n");
const QString taf =
    QStringLiteral("2024/01/15 05:00\nTAF RJTT 150500Z 1506/1612 34010KT 9999 FEW030 \n"
                   "      BECMG 1512/1514 18010KT \n"
                   "      TEMPO 1600/1603 SHRA FEW015 BKN025 \n"
                   "      BECMG 1603/1606 36012KT \n"
                   "      TEMPO 1606/1612 4000 -SHRA BR\n");

void treatMetar(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(TreatStationFile(metar, false, true, QStringLiteral("+9")));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(treatMetar);

void treatFiveLineTaf(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(TreatStationFile(taf, true, true, QStringLiteral("+9")));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(treatFiveLineTaf);

/// The report lines of every METAR fixture (TARNBECK_STATIONS), or the one above without them.
QStringList metarFixtures()
{
    QStringList reports;
#ifdef TARNBECK_STATIONS
    const QDir dir(QStringLiteral(TARNBECK_STATIONS "/metar"));
    for (const QString &name : dir.entryList({QStringLiteral("*.TXT")})) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            reports.append(QString::fromLatin1(file.readAll()).section(QLatin1Char('\n'), 1));
    }
#endif
    if (reports.isEmpty())
        reports.append(metar.section(QLatin1Char('\n'), 1));
    return reports;
}

void classifyMetar(benchmark::State &state)
{
    const QStringList reports = metarFixtures();
    for (auto _ : state) {
        for (const QString &report : reports)
            benchmark::DoNotOptimize(ClassifyMetar(report));
    }
    state.SetItemsProcessed(state.iterations() * reports.size());
}
BENCHMARK(classifyMetar);

} // namespace

BENCHMARK_MAIN();
