#!/bin/sh
# Long robustness runs outside CI, on the sanitizer test build (build-h):
#   a simulated day of ticker cycles (8640 refreshes: one every 10 s for 24 h),
#   200 kills during compactions and 200 during target-list saves.
#   scripts/soak.sh [cycles, default 8640] [kills per kind, default 200]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-h
cycles=${1:-8640}
kills=${2:-200}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARNBECK_SANITIZE=ON \
    -DTARNBECK_BENCH=OFF >/dev/null
ninja -C "$build" -j2 test_soak test_dbcrash db_crash_helper
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 TZ=Asia/Tokyo
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp
export ASAN_OPTIONS=quarantine_size_mb=4:thread_local_quarantine_size_kb=64
# A simulated day takes longer than QtTest lets one test function run by default.
export QTEST_FUNCTION_TIMEOUT=7200000
start=$(date +%s)
TARNBECK_SOAK_CYCLES=$cycles "$build/bin/test_soak" -maxwarnings 0 2>&1 | grep -E 'QINFO|PASS|FAIL|Totals' | grep -v 'TestCase()'
echo "soak: $(($(date +%s) - start)) s"
start=$(date +%s)
TARNBECK_CRASH_ROUNDS=$kills "$build/bin/test_dbcrash" killedAtRandomMoments 2>&1 | grep -E 'QINFO|PASS|FAIL|Totals' | grep -v 'TestCase()'
echo "crash safety: $(($(date +%s) - start)) s"
