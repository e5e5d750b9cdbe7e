#!/bin/sh
# Release build of the benchmarks, medians of repetitions, and the sun computation beside a plain
# Python version of the same steps and PyEphem (Debian's python3 and python3-ephem, installed here).
#   scripts/bench.sh [repetitions, default 10]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
reps=${1:-10}
build=$root/build-bench
py=/usr/bin/python3
if ! $py -c 'import ephem' 2>/dev/null; then
    apt-get install -y --no-install-recommends python3 python3-ephem >/dev/null
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNBECK_TESTS=OFF >/dev/null
ninja -C "$build" -j2 bench_sun bench_report bench_decode bench_reportbuilder

median() { grep '_median' | awk '{print $1, $4, $5, "(cpu)", $2, $3, "(wall)"}'; }
args="--benchmark_repetitions=$reps --benchmark_report_aggregates_only=true"
for b in bench_sun bench_report bench_decode bench_reportbuilder; do
    # shellcheck disable=SC2086
    "$build/bin/$b" $args 2>/dev/null | median
done

cpp=$("$build/bin/bench_sun" --benchmark_filter=yearForOnePlace $args --benchmark_format=csv 2>/dev/null |
      awk -F, '/_median/ {print $4}')
steps=$($py "$root/bench/sun_steps.py" 20)
ephem=$($py "$root/bench/sun_ephem.py" 5 | cut -d' ' -f1)
echo "sun, one place-year (730 events), microseconds: C++ $cpp, Python steps $steps, PyEphem $ephem"
awk -v c="$cpp" -v s="$steps" -v e="$ephem" 'BEGIN {
    printf "C++ is %.1fx the Python steps (goal 5x) and %.0fx PyEphem (goal 60x)\n", s / c, e / c }'
