#!/bin/sh
# Builds the libFuzzer targets with ASan + UBSan (clang) and runs each for a number of executions.
#   scripts/fuzz.sh [runs per target, default 10000000] [jobs, default 1]
# Findings land in build-fuzz/findings/<target>/; the exit status is non-zero on any finding.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-10000000}
build=$root/build-fuzz
command -v clang++ >/dev/null || { echo "clang is needed: apt-get install clang libclang-rt-14-dev" >&2; exit 2; }

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARNBECK_SANITIZE=ON -DTARNBECK_FUZZ=ON -DTARNBECK_TESTS=OFF -DTARNBECK_BENCH=OFF >/dev/null
ninja -C "$build" -j2 fuzz_stationfile fuzz_reporttext

# Seeds: every station file; the two bytes after it are the settings the target reads from the end.
seeds=$build/seeds
rm -rf "$seeds" && mkdir -p "$seeds/stationfile" "$seeds/reporttext"
i=0
for f in "$root"/tests/data/stations/metar/*.TXT "$root"/tests/data/stations/taf/*.TXT; do
    i=$((i + 1))
    { cat "$f"; printf '\011\002'; } >"$seeds/stationfile/$i"
    { cat "$f"; printf '\011\003'; } >"$seeds/stationfile/$i-local"
done
for m in "$root"/tests/data/stations/metar/*.TXT; do
    t=$root/tests/data/stations/taf/$(basename "$m")
    [ -f "$t" ] || t=$(ls "$root"/tests/data/stations/taf/*.TXT | head -n 1)
    i=$((i + 1))
    # metar, the separator "\ ", the coordinates, taf, then their lengths, offset and flags
    { sed 's/\\/\\\\/g' "$m"; printf '\\ 3533121394652'; cat "$t"; printf '\007\006\030\007'; } \
        >"$seeds/reporttext/$i"
done

status=0
for target in stationfile reporttext; do
    corpus=$build/corpus/$target findings=$build/findings/$target
    mkdir -p "$corpus" "$findings"
    log=$build/fuzz_$target.log
    start=$(date +%s)
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "$build/bin/fuzz_$target" -runs="$runs" -max_len=4096 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" "$seeds/$target" >"$log" 2>&1 || status=1
    end=$(date +%s)
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1)
    echo "fuzz_$target: ${execs:-?} executions in $((end - start)) s, $cov, findings: $(ls "$findings" | wc -l)"
done
exit $status
