#!/usr/bin/env bash
# Builds the Debian package build-package/tarnbeck_<version>_<arch>.deb (install: apt install ./<file>).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
dir="$root/build-package"
# Debian's hardening flags (fortify, stack protector, full relro), as a Debian build uses them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DTARNBECK_TESTS=OFF -DTARNBECK_BENCH=OFF -DCMAKE_CXX_FLAGS="$cxxflags" \
    -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_MODULE_LINKER_FLAGS="$ldflags"
cmake --build "$dir" -j "$(nproc 2>/dev/null || echo 2)"
(cd "$dir" && cpack -G DEB)
ls -1 "$dir"/*.deb
