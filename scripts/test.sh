#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UBSan, and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" test
echo "== packages and build: $((SECONDS / 60)) min $((SECONDS % 60)) s"
cd "$root/build-test"
# Tests that need a real X display find one here; the others use the offscreen platform.
# TARNBECK_CTEST_ARGS adds ctest arguments, such as "-E ^desktop_" to leave out the desktops.
# shellcheck disable=SC2086 # split on purpose: several arguments
xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp -noreset" \
    ctest --output-on-failure --timeout 600 -j "$(nproc 2>/dev/null || echo 2)" ${TARNBECK_CTEST_ARGS:-}
