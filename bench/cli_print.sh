#!/bin/sh
# Wall time of `tarnbeck --print RJTT` with no display against a report server on loopback (METAR,
# TAF and sun line: the delivered settings), five runs after one warm-up, beside the ticker's
# start-up to its first shown window (as bench/at_rest.sh measures it). Goal: under 150 ms.
#   bench/cli_print.sh [build directory, default build-release]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-release}
if [ ! -x "$build/bin/tarnbeck" ] || [ ! -f "$build/bin/tarnbeck.dat" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNBECK_TESTS=OFF \
        -DTARNBECK_BENCH=OFF >/dev/null
    ninja -C "$build" -j2 tarnbeck database >/dev/null
fi
if ! command -v hyperfine >/dev/null; then
    # In Debian since bookworm; without it the five runs are timed here.
    if [ "$(id -u)" -eq 0 ]; then apt-get install -y -q hyperfine >/dev/null 2>&1 || true; fi
fi

work=$(mktemp -d)
cleanup() { kill ${server:-} ${xvfb:-} ${ticker:-} 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

# The report server: RJTT's METAR and TAF, and the network check's file for the ticker.
mkdir -p "$work/www/data/observations/metar/stations" "$work/www/data/forecasts/taf/stations"
cp "$root/tests/data/stations/metar/RJTT_4.TXT" "$work/www/data/observations/metar/stations/RJTT.TXT"
cp "$root/tests/data/stations/taf/RJTT_1.TXT" "$work/www/data/forecasts/taf/stations/RJTT.TXT"
echo ok >"$work/www/ident.dat"
port=18392
(cd "$work/www" && exec /usr/bin/python3 -m http.server $port --bind 127.0.0.1 >/dev/null 2>&1) &
server=$!
db="$work/tarnbeck.dat"
cp "$build/bin/tarnbeck.dat" "$db"
printf "PRAGMA key='pelko';\nPRAGMA cipher_compatibility = 3;\nUPDATE host SET url='http://127.0.0.1:%s';\n" $port | sqlcipher "$db" >/dev/null
python3 - $port <<'WAIT'
import sys, time, urllib.request
for _ in range(50):
    try:
        urllib.request.urlopen("http://127.0.0.1:%s/ident.dat" % sys.argv[1], timeout=1)
        break
    except OSError:
        time.sleep(0.1)
WAIT

program="$build/bin/tarnbeck"
env -u DISPLAY -u WAYLAND_DISPLAY "$program" --print RJTT --db "$db" >"$work/out.txt"
grep -q '^RJTT METAR' "$work/out.txt" || { echo "no report printed:"; cat "$work/out.txt"; exit 1; }

# min / median / max in milliseconds of the numbers (seconds) on standard input.
summary() { sort -g | awk '{t[NR] = $1 * 1000} END {printf "min %.1f, median %.1f, max %.1f ms", t[1], t[int((NR + 1) / 2)], t[NR]}'; }

if command -v hyperfine >/dev/null; then
    hyperfine -N --warmup 1 --runs 5 --export-json "$work/runs.json" \
        "env -u DISPLAY -u WAYLAND_DISPLAY $program --print RJTT --db $db" >/dev/null
    times=$(python3 -c 'import json, sys; print("\n".join(map(str, json.load(open(sys.argv[1]))["results"][0]["times"])))' "$work/runs.json")
else
    times=""
    env -u DISPLAY "$program" --print RJTT --db "$db" >/dev/null # warm-up
    for _ in 1 2 3 4 5; do
        start=$(date +%s%N)
        env -u DISPLAY -u WAYLAND_DISPLAY "$program" --print RJTT --db "$db" >/dev/null
        times="$times$(( $(date +%s%N) - start ))e-9
"
    done
fi
echo "tarnbeck --print RJTT over loopback, five runs: $(printf '%s\n' "$times" | grep . | summary)"

# The ticker's start-up to its first shown window, no network, for comparison.
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    echo "ticker start-up: Xvfb and xdotool needed"
    exit 0
fi
display=:92
Xvfb $display -screen 0 1280x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
for _ in $(seq 50); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done
starts=""
for _ in 1 2 3 4 5; do
    rm -rf "$work/app" && mkdir -p "$work/app"
    cp "$program" "$build/bin/tarnbeck.dat" "$work/app/"
    printf "PRAGMA key='pelko';\nPRAGMA cipher_compatibility = 3;\nUPDATE host SET url='http://127.0.0.1:9';\n" | sqlcipher "$work/app/tarnbeck.dat" >/dev/null
    start=$(date +%s%N)
    "$work/app/tarnbeck" >/dev/null 2>&1 &
    ticker=$!
    while ! xdotool search --onlyvisible --name '^Tarnbeck$' >/dev/null 2>&1; do :; done
    starts="$starts$(( $(date +%s%N) - start ))e-9
"
    kill $ticker
    wait $ticker 2>/dev/null || true
    ticker=""
done
echo "ticker start-up to its first window, five runs: $(printf '%s\n' "$starts" | grep . | summary)"
