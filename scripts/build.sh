#!/usr/bin/env bash
# Configures and builds Tarnbeck. Usage: build.sh release|test  (test: sanitizers on, debug info)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:-release}
jobs=$(nproc 2>/dev/null || echo 2)
case "$kind" in
release) dir="$root/build-release"; flags=(-DCMAKE_BUILD_TYPE=Release -DTARNBECK_TESTS=OFF -DTARNBECK_BENCH=OFF) ;;
test) dir="$root/build-test"; flags=(-DCMAKE_BUILD_TYPE=Debug -DTARNBECK_SANITIZE=ON) ;;
*) echo "usage: $0 release|test" >&2; exit 2 ;;
esac
# The compiler cache (scripts/packages.txt) makes a rebuild short, also in another clone or a
# fresh root: the checkout's folder is left out of its keys.
if command -v ccache >/dev/null; then
    flags+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
fi
cmake -S "$root" -B "$dir" -G Ninja "${flags[@]}"
cmake --build "$dir" -j "$jobs"
