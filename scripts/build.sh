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
cmake -S "$root" -B "$dir" -G Ninja "${flags[@]}"
cmake --build "$dir" -j "$jobs"
