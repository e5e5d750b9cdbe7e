#!/usr/bin/env bash
# CPU of the ticker at work, with and without a compositing manager, in one run:
# Tarnbeck, the X server and the compositor over a window of seconds, three targets sliding every
# 10 s with the delivered scrolling (a step every 50 ms), on Xvfb with openbox. Station files come
# from a local server; nothing leaves the machine.
#   bench/ticker_cpu.sh [build dir with bin/tarnbeck, default build-release] [seconds, default 60]
#                       [cases: both (default), composited or plain]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-release}
seconds=${2:-60}
cases=${3:-both}
for tool in Xvfb openbox xcompmgr sqlcipher python3; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (scripts/install-deps.sh)" >&2; exit 2; }
done
[ -x "$build/bin/tarnbeck" ] || { echo "no $build/bin/tarnbeck: build it first" >&2; exit 2; }

work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The report server: the test stations' files under the server's paths.
stations=$root/tests/data/stations
mkdir -p "$work/srv/data/observations/metar/stations" "$work/srv/data/forecasts/taf/stations"
for pair in RJTT:RJTT_4:RJTT_1 RJAA:RJAA_2:RJAA_1 RJBB:RJBB_2:RJBB_1; do
    IFS=: read -r code metar taf <<<"$pair"
    cp "$stations/metar/$metar.TXT" "$work/srv/data/observations/metar/stations/$code.TXT"
    cp "$stations/taf/$taf.TXT" "$work/srv/data/forecasts/taf/stations/$code.TXT"
done
printf 'ok\n' >"$work/srv/ident.dat"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work/srv" >/dev/null 2>&1 &
pids+=($!)

ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
rss_mb() { awk '/VmRSS/ {printf "%.1f", $2 / 1024}' "/proc/$1/status"; }
hz=$(getconf CLK_TCK)

# One case: a fresh display, window manager, optional compositor and ticker; prints a row.
measure() {
    local name=$1 composite=$2 display=:$((90 + RANDOM % 100))
    Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    local xvfb=$!
    pids+=("$xvfb")
    for _ in $(seq 50); do DISPLAY=$display xset q >/dev/null 2>&1 && break; sleep 0.1; done
    DISPLAY=$display openbox >/dev/null 2>&1 &
    local wm=$!
    pids+=("$wm")
    local cm=""
    if [ "$composite" = yes ]; then
        DISPLAY=$display xcompmgr >/dev/null 2>&1 &
        cm=$!
        pids+=("$cm")
    fi
    sleep 1

    local app=$work/app-$name
    mkdir -p "$app"
    cp "$build/bin/tarnbeck" "$build/bin/tarnbeck.dat" "$app/"
    sqlcipher "$app/tarnbeck.dat" >/dev/null <<SQL
PRAGMA key = 'pelko';
PRAGMA cipher_compatibility = 3;
UPDATE host SET url = 'http://127.0.0.1:$port';
UPDATE setting SET autochange = -1, autochangerate = 10, scroll = -1, scrollrate = 50;
SQL
    DISPLAY=$display QT_QPA_PLATFORM=xcb "$app/tarnbeck" >/dev/null 2>&1 &
    local app_pid=$!
    pids+=("$app_pid")
    sleep 12 # start-up, first fetches and a first slide are not counted

    local a0 x0 c0=0 a1 x1 c1=0
    a0=$(ticks "$app_pid") x0=$(ticks "$xvfb")
    [ -n "$cm" ] && c0=$(ticks "$cm")
    sleep "$seconds"
    a1=$(ticks "$app_pid") x1=$(ticks "$xvfb")
    [ -n "$cm" ] && c1=$(ticks "$cm")
    local rss
    rss=$(rss_mb "$app_pid")
    kill "$app_pid" ${cm:+"$cm"} "$wm" "$xvfb" 2>/dev/null || true
    wait "$app_pid" "$wm" "$xvfb" ${cm:+"$cm"} 2>/dev/null || true
    awk -v n="$name" -v a=$((a1 - a0)) -v x=$((x1 - x0)) -v c=$((c1 - c0)) -v hz="$hz" \
        -v s="$seconds" -v rss="$rss" -v cm="$composite" 'BEGIN {
        f = 100 / (hz * s)
        printf "%-22s %9.2f %9.2f %11s %9.2f %9s\n", n, a * f, x * f,
               cm == "yes" ? sprintf("%.2f", c * f) : "-", (a + x + c) * f, rss }'
}

echo "CPU in % of one core over $seconds s; a slide every 10 s, a scroll step every 50 ms"
printf '%-22s %9s %9s %11s %9s %9s\n' case tarnbeck "X server" compositor total "RSS MB"
[ "$cases" = plain ] || measure "with xcompmgr" yes
[ "$cases" = composited ] || measure "without a compositor" no
