#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UBSan, and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" test
cd "$root/build-test"
# Tests that need a real X display find one here; the others use the offscreen platform.
xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp -noreset" \
    ctest --output-on-failure --timeout 600 -j "$(nproc 2>/dev/null || echo 2)"
