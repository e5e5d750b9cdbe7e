#!/usr/bin/env bash
# Builds the Debian package build-package/tarnbeck_<version>_<arch>.deb (install: apt install ./<file>).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
dir="$root/build-package"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DTARNBECK_TESTS=OFF -DTARNBECK_BENCH=OFF
cmake --build "$dir" -j "$(nproc 2>/dev/null || echo 2)"
(cd "$dir" && cpack -G DEB)
ls -1 "$dir"/*.deb
