#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UBSan, and runs every test.
# With CI=true a skipped test, test function or row fails the run unless tests/allowed-skips.txt
# names it; the skips are listed either way.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" test
echo "== packages and build: $((SECONDS / 60)) min $((SECONDS % 60)) s"
cd "$root/build-test"
rm -f junit.xml
status=0
# Tests that need a real X display find one here; the others use the offscreen platform.
# TARNBECK_CTEST_ARGS adds ctest arguments, such as "-E ^desktop_" to leave out the desktops.
# shellcheck disable=SC2086 # split on purpose: several arguments
xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp -noreset" \
    ctest --output-on-failure --timeout 600 -j "$(nproc 2>/dev/null || echo 2)" ${TARNBECK_CTEST_ARGS:-} \
    --output-junit "$PWD/junit.xml" --test-output-size-passed 50000000 \
    --test-output-size-failed 50000000 || status=$?
if [ "${CI:-}" = true ]; then
    bash "$root/tests/check_skips.sh" junit.xml "$root/tests/allowed-skips.txt" || status=1
elif [ -f junit.xml ]; then
    bash "$root/tests/check_skips.sh" junit.xml "$root/tests/allowed-skips.txt" || true
fi
exit $status
