#!/bin/sh
# What a look at a weather chart costs the all-day ticker: the ticker's start to its first shown
# window, the resident memory of all of Tarnbeck's processes at rest, with the chart window open
# and 5 s after closing it, and the time from choosing 天気図 in the menu to the chart shown in the
# window. On a private Xvfb with openbox, against a loopback server; min / median / max of the runs.
# Given several folders (a build before a change and after it), their runs take turns, so that
# whatever else the machine does weighs on each alike.
#   bench/web_memory.sh [folder of tarnbeck and its web part...]   (default build-release/bin)
#   RUNS=5 (runs of each folder)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -gt 0 ] || set -- "$root/build-release/bin"
runs=${RUNS:-5}
for tool in Xvfb openbox xdotool setsid; do
    command -v $tool >/dev/null || { echo "missing: $tool (scripts/packages.txt)"; exit 1; }
done

work=$(mktemp -d)
display=:193
Xvfb $display -screen 0 1280x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display QT_QPA_PLATFORM=xcb
# Every process the ticker started shares its session, even one left behind by a parent gone.
session_pids() { ps -e -o sid=,pid= | awk -v s="$1" '$1 == s {print $2}'; }
stop_session() {
    [ -n "${1:-}" ] || return 0
    for p in $(session_pids "$1"); do kill -9 "$p" 2>/dev/null || true; done
}
cleanup() {
    stop_session "${ticker:-}"
    kill ${wm:-} ${server:-} $xvfb 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
while ! xdotool getdisplaygeometry >/dev/null 2>&1; do sleep 0.1; done
openbox >/dev/null 2>&1 &
wm=$!

# The loopback server: three stations and the network check's file; any other path is the chart,
# a picture of one colour, so that its first pixels on the screen tell that it is shown.
mkdir -p "$work/www/data/observations/metar/stations" "$work/www/data/forecasts/taf/stations"
for pair in RJTT:RJTT_4 RJAA:RJAA_2 RJBB:RJBB_2; do
    code=${pair%%:*} file=${pair#*:}
    cp "$root/tests/data/stations/metar/$file.TXT" "$work/www/data/observations/metar/stations/$code.TXT"
    cp "$root/tests/data/stations/taf/${code}_1.TXT" "$work/www/data/forecasts/taf/stations/$code.TXT"
done
echo ok > "$work/www/ident.dat"
cat > "$work/serve.py" <<'EOF'
import http.server, os, struct, sys, zlib
width, height = 900, 700
row = b'\0' + bytes((200, 30, 30)) * width
def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
png = (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
       + chunk(b'IDAT', zlib.compress(row * height)) + chunk(b'IEND', b''))
class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        if os.path.isfile(self.translate_path(self.path)):
            return super().do_GET()
        self.send_response(200)
        self.send_header('Content-Type', 'image/png')
        self.send_header('Content-Length', str(len(png)))
        self.end_headers()
        self.wfile.write(png)
    def log_message(self, *args):
        pass
os.chdir(sys.argv[2])
http.server.ThreadingHTTPServer(('127.0.0.1', int(sys.argv[1])), Handler).serve_forever()
EOF
port=18393
/usr/bin/python3 "$work/serve.py" $port "$work/www" &
server=$!

# Waits for a window of the program taller than 250 pixels, then for the chart's colour in it;
# prints the window and the milliseconds since $1 (ms since the epoch).
cat > "$work/shown.py" <<'EOF'
import ctypes, subprocess, sys, time
start = int(sys.argv[1]) / 1000.0
x11 = ctypes.CDLL('libX11.so.6')
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XGetImage.restype = ctypes.c_void_p
x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                          ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
x11.XGetPixel.restype = ctypes.c_ulong
x11.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
x11.XDestroyImage.argtypes = [ctypes.c_void_p]
ignore = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
x11.XSetErrorHandler(ignore)
display = x11.XOpenDisplay(None)
def window():
    out = subprocess.run(['xdotool', 'search', '--onlyvisible', '--class', 'tarnbeck'],
                         capture_output=True, text=True).stdout.split()
    for w in out:
        geometry = subprocess.run(['xdotool', 'getwindowgeometry', w], capture_output=True,
                                  text=True).stdout
        size = [l for l in geometry.splitlines() if 'Geometry' in l]
        if size and int(size[0].split()[-1].split('x')[1]) > 250:
            return int(w)
    return None
def red(w):
    image = x11.XGetImage(display, w, 40, 80, 1, 1, 0xffffffff, 2)
    if not image:
        return False
    pixel = x11.XGetPixel(image, 0, 0)
    x11.XDestroyImage(image)
    r, g, b = (pixel >> 16) & 255, (pixel >> 8) & 255, pixel & 255
    return abs(r - 200) < 30 and g < 60 and b < 60
deadline = time.time() + 60
w = None
while time.time() < deadline:
    w = w or window()
    if w and red(w):
        print(w, round((time.time() - start) * 1000))
        sys.exit(0)
    time.sleep(0.005)
sys.exit(1)
EOF

mkdir -p "$work/app"
fresh_app() { # $1: the folder
    bin=$1
    rm -rf "$work/app"/*
    cp "$bin/tarnbeck" "$bin/tarnbeck.dat" "$work/app/"
    for part in tarnbeck-web libtarnbeck_web.so; do
        [ -f "$bin/$part" ] && cp "$bin/$part" "$work/app/"
    done
    printf "PRAGMA key='pelko';\nPRAGMA cipher_compatibility = 3;\nUPDATE host SET url='http://127.0.0.1:%s';\nUPDATE airport SET \"check\" = -1 WHERE number <= 3;\nUPDATE setting SET posX = 300, posY = 300;\n" \
        $port | sqlcipher "$work/app/tarnbeck.dat" >/dev/null
}
now_ms() { date +%s%3N; }
# Resident memory of the session's processes in MiB, and how many there are.
memory() {
    pids=$(session_pids "$1")
    kib=0 count=0
    for p in $pids; do
        r=$(awk '/VmRSS/ {print $2}' "/proc/$p/status" 2>/dev/null || true)
        [ -n "$r" ] && kib=$((kib + r)) && count=$((count + 1))
    done
    echo "$((kib / 1024)) $count"
}
windows_of_class() { xdotool search --onlyvisible --class tarnbeck 2>/dev/null | sort; }

n=0
for folder in "$@"; do n=$((n + 1)); : >"$work/figures$n"; done
for run in $(seq "$runs"); do
  n=0
  for folder in "$@"; do
    n=$((n + 1))
    fresh_app "$folder"
    start=$(now_ms)
    setsid "$work/app/tarnbeck" >/dev/null 2>&1 &
    ticker=$!
    while ! xdotool search --onlyvisible --name '^Tarnbeck$' >/dev/null 2>&1; do :; done
    startup=$(($(now_ms) - start))
    sleep 10 # the first reports shown and the network check passed: 天気図 is enabled
    read -r rest rest_n <<EOF
$(memory $ticker)
EOF

    before=$(windows_of_class)
    xdotool mousemove 26 27 click 3
    while [ "$(windows_of_class)" = "$before" ]; do sleep 0.02; done # the menu
    for _ in 1 2 3 4 5 6 7; do xdotool key Up; done
    chosen=$(now_ms)
    xdotool key Return
    read -r chart shown <<EOF
$(/usr/bin/python3 "$work/shown.py" "$chosen")
EOF
    sleep 5
    read -r open open_n <<EOF
$(memory $ticker)
EOF

    xdotool windowactivate --sync "$chart" key alt+F4
    while xdotool search --onlyvisible --class tarnbeck 2>/dev/null | grep -qx "$chart"; do sleep 0.05; done
    sleep 5
    read -r after after_n <<EOF
$(memory $ticker)
EOF
    kill $ticker 2>/dev/null || true
    while kill -0 $ticker 2>/dev/null; do sleep 0.05; done
    sleep 1
    left=$(session_pids $ticker | wc -l)
    stop_session $ticker
    ticker=""
    echo "$folder, run $run: start $startup ms, at rest $rest MiB ($rest_n), chart shown after" \
         "$shown ms, open $open MiB ($open_n), 5 s after closing $after MiB ($after_n)," \
         "1 s after the ticker's end $left"
    echo "$startup $rest $shown $open $after $after_n $left" >>"$work/figures$n"
  done
done

# min / median / max of a column of a folder's figures
summary() {
    cut -d' ' -f"$2" "$work/figures$1" | sort -n | awk '{v[NR] = $1} END {
        printf "%s / %s / %s\n", v[1], (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2), v[NR]}'
}
n=0
for folder in "$@"; do
    n=$((n + 1))
    echo "min / median / max of $runs runs of $folder:"
    echo "  start-up to the first shown window (ms):       $(summary $n 1)"
    echo "  all processes at rest (MiB):                   $(summary $n 2)"
    echo "  menu choice to the chart shown (ms):           $(summary $n 3)"
    echo "  all processes, chart window open (MiB):        $(summary $n 4)"
    echo "  all processes, 5 s after closing it (MiB):     $(summary $n 5)"
    echo "  processes 5 s after closing it:                $(summary $n 6)"
    echo "  processes left 1 s after the ticker's end:     $(summary $n 7)"
done
