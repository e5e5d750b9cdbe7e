// Cost of the decode: one METAR and one TAF read out together, as the window and --decode do.
#include "report/ReportDecode.h"

#include <QTimeZone>
#include <benchmark/benchmark.h>

namespace {

// A Japanese METAR with a trend and remarks, and a five-line TAF.
const QString metar = QStringLiteral(
    "RJAA 310930Z 07006KT 030V110 9999 FEW004 FEW030CB BKN040 24/22 Q1008 BECMG 04006KT TEMPO "
    "FM1000 3000 TSRA BR FEW008 BKN012 FEW015CB RMK 1ST004 1CB030 7CU040 A2979 LIGHTNING 30KM "
    "NW-N AND E MOV E\n");
const QString taf =
    QStringLiteral("TAF RJTT 301105Z 3012/0118 17026G36KT 6000 -SHRA FEW008 BKN015 \n"
                   "      BECMG 3012/3014 19042G58KT \n"
                   "      TEMPO 3012/3014 4000 -SHRA BR FEW005 BKN008 \n"
                   "      TEMPO 3014/3018 19060G75KT 2000 +SHRA BR FEW005 BKN008 \n"
                   "      BECMG 3018/3020 21024G34KT \n"
                   "      BECMG 0109/0112 21010KT\n");

void decodeMetarAndTaf(benchmark::State &state)
{
    const QDateTime metarFile(QDate(2018, 8, 31), QTime(9, 30), QTimeZone::utc());
    const QDateTime tafFile(QDate(2018, 9, 30), QTime(11, 5), QTimeZone::utc());
    for (auto _ : state) {
        benchmark::DoNotOptimize(DecodeMetar(metar, metarFile));
        benchmark::DoNotOptimize(DecodeTaf(taf, tafFile));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(decodeMetarAndTaf);

} // namespace

BENCHMARK_MAIN();
