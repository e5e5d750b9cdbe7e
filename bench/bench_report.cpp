// Cost of treating one station file: a METAR and a five-line TAF.
#include "ticker/StationReport.h"

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

} // namespace

BENCHMARK_MAIN();
