#!/usr/bin/env bash
# Installs what is missing, builds Tarnbeck and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" release

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting a virtual one (Xvfb on :77 with openbox)."
    echo "Look at it with a VNC viewer or take screenshots with 'DISPLAY=:77 import -window root shot.png'."
    Xvfb :77 -screen 0 1280x800x24 -nolisten tcp &
    xvfb_pid=$!
    trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
    export DISPLAY=:77
    for _ in $(seq 50); do xset q >/dev/null 2>&1 && break; sleep 0.1; done
    openbox >/dev/null 2>&1 &
fi
exec "$root/build-release/bin/tarnbeck" "$@"
