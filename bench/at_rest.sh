#!/bin/sh
# The ticker at rest: start-up to the first shown window (no network), then one minute of idle
# cycling over three targets on a loopback server (resident memory, CPU, wake-ups), beside
# headless Chromium showing the same report text on a local page.
#   bench/at_rest.sh [seconds, default 60]      SCROLL=0 measures with the slide animation off
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=$root/build-bench
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNBECK_TESTS=OFF >/dev/null
ninja -C "$build" -j2 tarnbeck tarnbeck-web >/dev/null

work=$(mktemp -d)
display=:91
Xvfb $display -screen 0 1280x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
cleanup() { kill $xvfb ${server:-} ${ticker:-} ${chrome:-} 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
export DISPLAY=$display QT_QPA_PLATFORM=xcb
sleep 1

# The report server: three stations' METAR and TAF, and the network check's file.
mkdir -p "$work/www/data/observations/metar/stations" "$work/www/data/forecasts/taf/stations" "$work/app"
for pair in RJTT:RJTT_4 RJAA:RJAA_2 RJBB:RJBB_2; do
    code=${pair%%:*} file=${pair#*:}
    cp "$root/tests/data/stations/metar/$file.TXT" "$work/www/data/observations/metar/stations/$code.TXT"
    cp "$root/tests/data/stations/taf/${code}_1.TXT" "$work/www/data/forecasts/taf/stations/$code.TXT"
done
echo ok > "$work/www/ident.dat"
port=18391
(cd "$work/www" && exec /usr/bin/python3 -m http.server $port --bind 127.0.0.1 >/dev/null 2>&1) &
server=$!

fresh_app() {
    rm -rf "$work/app" && mkdir -p "$work/app"
    cp "$build/bin/tarnbeck" "$build/bin/tarnbeck.dat" "$build/bin/tarnbeck-web" "$work/app/"
    printf "PRAGMA key='pelko';\nPRAGMA cipher_compatibility = 3;\nUPDATE host SET url='%s';\nUPDATE airport SET \"check\" = -1 WHERE number <= 3;\nUPDATE setting SET scroll = %s;\n" \
        "$1" "$([ "${SCROLL:-1}" = 0 ] && echo 0 || echo -1)" |
        sqlcipher "$work/app/tarnbeck.dat"
}
now_ms() { date +%s%3N; }

# 1. Start-up, no network (the hosts point at a closed port): median of five.
times=""
for _ in 1 2 3 4 5; do
    fresh_app "http://127.0.0.1:9"
    start=$(now_ms)
    "$work/app/tarnbeck" >/dev/null 2>&1 &
    ticker=$!
    while ! xdotool search --onlyvisible --name '^Tarnbeck$' >/dev/null 2>&1; do :; done
    times="$times $(( $(now_ms) - start ))"
    kill $ticker; wait $ticker 2>/dev/null || true
done
startup=$(echo $times | tr ' ' '\n' | sort -n | sed -n 3p)
echo "start-up to the first shown window (ms, five runs):$times; median $startup"

# 2. A minute at rest, cycling over three targets.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
switches() { cat /proc/$1/task/*/status | awk '/ctxt_switches/ {s += $2} END {print s}'; }
rss_kib() { awk '/VmRSS/ {print $2}' "/proc/$1/status"; }
fresh_app "http://127.0.0.1:$port"
"$work/app/tarnbeck" >/dev/null 2>&1 &
ticker=$!
sleep 10
c0=$(cpu_ticks $ticker) w0=$(switches $ticker)
sleep "$seconds"
c1=$(cpu_ticks $ticker) w1=$(switches $ticker)
hz=$(getconf CLK_TCK)
rss=$(rss_kib $ticker)
echo "ticker over ${seconds} s: RSS $((rss / 1024)) MiB, CPU $(( (c1 - c0) * 1000 / hz )) ms" \
     "($(awk -v c=$((c1 - c0)) -v h=$hz -v s=$seconds 'BEGIN {printf "%.3f", 100 * c / h / s}') % of a core)," \
     "wake-ups $(awk -v w=$((w1 - w0)) -v s=$seconds 'BEGIN {printf "%.2f", w / s}') per second"
kill $ticker; wait $ticker 2>/dev/null || true; ticker=""

# 3. The same report text in a browser tab.
chromium=$(command -v chromium || true)
if [ -z "$chromium" ]; then
    echo "chromium not installed: apt-get install chromium for the comparison"
    exit 0
fi
{
    echo '<!doctype html><meta charset="utf-8"><title>RJTT</title><pre style="color:#ff0">'
    sed 1d "$work/www/data/observations/metar/stations/RJTT.TXT"
    sed 1d "$work/www/data/forecasts/taf/stations/RJTT.TXT"
    echo '</pre>'
} > "$work/www/report.html"
profile=$(mktemp -d)
"$chromium" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$profile" --remote-debugging-port=0 "http://127.0.0.1:$port/report.html" >/dev/null 2>&1 &
chrome=$!
sleep 10
pids=$(pgrep -f "user-data-dir=$profile" | tr '\n' ' ')
sum_cpu() { t=0; for p in $pids; do [ -r /proc/$p/stat ] && t=$((t + $(cpu_ticks $p))); done; echo $t; }
sum_rss() { t=0; for p in $pids; do [ -r /proc/$p/status ] && t=$((t + $(rss_kib $p))); done; echo $t; }
c0=$(sum_cpu)
sleep "$seconds"
c1=$(sum_cpu)
echo "headless Chromium over ${seconds} s ($(echo $pids | wc -w) processes): RSS $(( $(sum_rss) / 1024 )) MiB," \
     "CPU $(( (c1 - c0) * 1000 / hz )) ms"
kill $chrome 2>/dev/null; rm -rf "$profile" 2>/dev/null || true
