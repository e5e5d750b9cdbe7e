#!/usr/bin/env bash
# Starts one desktop on a virtual screen and runs the desktop test (test_desktop) in it.
#   run_desktop.sh <desktop> <test_desktop binary> [scale]
# X11 on Xvfb: openbox, openbox-xcompmgr, openbox-picom, xfwm4, mutter, kwin, i3.
# Wayland, headless, the ticker through XWayland: sway, weston, kwin-wayland, mutter-wayland.
# Exits with the test's status, or 77 (skipped) when the desktop is not installed.
set -u
desktop=$1
test_binary=$2
scale=${3:-1}
slide_seconds=${TARNBECK_SLIDE_SECONDS:-25}
work=$(mktemp -d /tmp/tarnbeck-desktop.XXXXXX)
chmod 755 "$work"
pids=()
# Each desktop process leads a process group of its own: ending it ends what it started
# (dbus-run-session's bus, runuser's compositor, the compositor's XWayland).
# The last started first: a window manager that outlived its X server would try it again.
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill -- "-${pids[$i]}" 2>/dev/null; done
    sleep 0.5
    for pid in "${pids[@]}"; do kill -9 -- "-$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

need() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "$desktop: $tool is not installed"; exit 77; }
    done
}

# Waits up to 15 s for a command to succeed.
wait_for() {
    for _ in $(seq 150); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
    return 1
}

# Whether a window manager has taken the display: its check window on the root names itself.
manager_named() {
    local id
    id=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -o '0x[0-9a-f]*') || return 1
    xprop -id "$id" _NET_WM_NAME 2>/dev/null | grep -q '= "'
}

# A test function may take 5 minutes unless told otherwise: sliding takes as long as asked.
test_env=(QTEST_FUNCTION_TIMEOUT=$(((slide_seconds + 120) * 1000))
          TARNBECK_DESKTOP="$desktop" QT_SCALE_FACTOR="$scale" TARNBECK_SLIDE_SECONDS="$slide_seconds"
          LC_ALL=C.UTF-8 TZ=Asia/Tokyo ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=xcb)

run_x11() {
    need Xvfb xdotool import xsetroot xprop
    exec {fd}<> <(:)
    # -noreset: the server would reset as xsetroot leaves, the only client so far, and refuse
    # the window manager that connects meanwhile ("Cannot open display").
    setsid Xvfb -displayfd "$fd" -screen 0 1280x800x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
    pids+=($!)
    local display=""
    read -r -t 10 display <&"$fd" || { echo "Xvfb did not start"; exit 1; }
    export DISPLAY=":$display"
    xsetroot -solid '#336699'
    case $desktop in
    openbox) need openbox; setsid openbox & pids+=($!) ;;
    openbox-xcompmgr) need openbox xcompmgr; setsid openbox & pids+=($!); setsid xcompmgr & pids+=($!) ;;
    openbox-picom) need openbox picom; setsid openbox & pids+=($!); setsid picom --backend xrender & pids+=($!) ;;
    xfwm4) need xfwm4 dbus-run-session; setsid dbus-run-session -- xfwm4 --compositor=on & pids+=($!) ;;
    mutter) need mutter dbus-run-session; setsid dbus-run-session -- mutter --x11 --replace & pids+=($!) ;;
    kwin) need kwin_x11 dbus-run-session; setsid dbus-run-session -- kwin_x11 --replace & pids+=($!) ;;
    i3)
        need i3
        printf '# i3 config file (v4)\nfont pango:monospace 8\nfocus_follows_mouse no\n' >"$work/i3.conf"
        setsid i3 -c "$work/i3.conf" & pids+=($!)
        ;;
    esac
    # The test itself checks that the manager is the one asked for.
    wait_for manager_named || { echo "$desktop: no window manager took the display"; exit 1; }
    case $desktop in
    *-xcompmgr | *-picom) sleep 1 ;; # the compositor takes its selection
    esac
    env "${test_env[@]}" "$test_binary" -maxwarnings 0
}

# The compositors refuse to run as root: they and the test run as an unprivileged user.
user=()
if [ "$(id -u)" -eq 0 ]; then
    id tarnbeck-test >/dev/null 2>&1 || useradd --system --create-home tarnbeck-test
    user=(runuser -u tarnbeck-test --)
fi
as_user() { "${user[@]}" "$@"; }

run_wayland() {
    # The test runs as the compositor's user where that user reaches the build and the test data
    # (a checkout under /root is out of its reach); else as this user, who reaches both.
    tester=("${user[@]}")
    if ! as_user test -x "$test_binary" || ! as_user test -r "$(dirname "$0")/../data/stations/README.md"; then
        echo "$desktop: the build is out of reach of ${user[*]:+tarnbeck-test}: the test runs as $(id -un)"
        tester=()
    fi
    local runtime="$work/runtime"
    mkdir -p "$runtime"
    [ "$(id -u)" -ne 0 ] || chown tarnbeck-test "$work" "$runtime"
    chmod 700 "$runtime"
    case $desktop in
    sway)
        need sway Xwayland grim xdotool
        cat >"$work/sway.conf" <<CONF
xwayland enable
output HEADLESS-1 resolution 1280x800 position 0 0 scale $scale bg #336699 solid_color
exec sh -c 'echo \$DISPLAY > $work/display'
CONF
        setsid "${user[@]}" env XDG_RUNTIME_DIR="$runtime" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
            WLR_RENDERER=pixman sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
        pids+=($!)
        wait_for test -s "$work/display" || { cat "$work/sway.log"; exit 1; }
        local wayland
        wayland=$(cd "$runtime" && ls wayland-* | grep -v lock | head -1)
        # The scale is the compositor's own: the ticker itself runs unscaled.
        "${tester[@]}" env "${test_env[@]}" QT_SCALE_FACTOR=1 TARNBECK_SCREENSHOOTER=grim DISPLAY="$(cat "$work/display")" \
            WAYLAND_DISPLAY="$wayland" XDG_RUNTIME_DIR="$runtime" "$test_binary" -maxwarnings 0
        ;;
    weston)
        need weston Xwayland xdotool
        setsid "${user[@]}" env XDG_RUNTIME_DIR="$runtime" weston --backend=headless-backend.so --use-pixman --xwayland --debug \
            --width=1280 --height=800 --scale="$scale" --socket=wayland-tb --idle-time=0 >"$work/weston.log" 2>&1 &
        pids+=($!)
        wait_for grep -q 'xserver listening on display' "$work/weston.log" || { cat "$work/weston.log"; exit 1; }
        local display
        display=$(grep -o 'listening on display :[0-9]*' "$work/weston.log" | head -1 | cut -d' ' -f4)
        "${tester[@]}" env "${test_env[@]}" QT_SCALE_FACTOR=1 TARNBECK_SCREENSHOOTER=none \
            DISPLAY="$display" WAYLAND_DISPLAY=wayland-tb \
            XDG_RUNTIME_DIR="$runtime" "$test_binary" -maxwarnings 0
        ;;
    kwin-wayland)
        need kwin_wayland Xwayland xdotool dbus-run-session
        # kwin_wayland carries a file capability (to raise its priority) that a container may not
        # grant, and then cannot start at all; a copy runs without it.
        cp "$(command -v kwin_wayland)" "$work/kwin_wayland"
        # A program it starts runs once XWayland is up, with its DISPLAY; the session's bus serves
        # the screenshots, which KWin gives only to programs it trusts unless told otherwise.
        printf '#!/bin/sh\necho "$DISPLAY" >%s/display\n' "$work" >"$work/tell-display"
        chmod 755 "$work/tell-display"
        setsid "${user[@]}" env XDG_RUNTIME_DIR="$runtime" KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 \
            dbus-run-session -- sh -c 'echo "$DBUS_SESSION_BUS_ADDRESS" >"$1/bus"; exec "$1/kwin_wayland" \
                --virtual --xwayland --width 1280 --height 800 --scale "$2" --socket wayland-tb \
                "$1/tell-display"' sh "$work" "$scale" >"$work/kwin.log" 2>&1 &
        pids+=($!)
        wait_for test -s "$work/display" || { cat "$work/kwin.log"; exit 1; }
        "${tester[@]}" env "${test_env[@]}" QT_SCALE_FACTOR=1 TARNBECK_SCREENSHOOTER=kwin \
            DISPLAY="$(cat "$work/display")" WAYLAND_DISPLAY=wayland-tb XDG_RUNTIME_DIR="$runtime" \
            DBUS_SESSION_BUS_ADDRESS="$(cat "$work/bus")" "$test_binary" -maxwarnings 0
        ;;
    mutter-wayland)
        need mutter Xwayland xdotool dbus-run-session
        # A monitor's scale comes from the session's settings, not the command line: scale 1 only.
        [ "$scale" = 1 ] || { echo "$desktop: no scale but 1 from the command line"; exit 77; }
        setsid "${user[@]}" env XDG_RUNTIME_DIR="$runtime" dbus-run-session -- mutter --wayland \
            --headless --virtual-monitor 1280x800 --wayland-display=wayland-tb >"$work/mutter.log" 2>&1 &
        pids+=($!)
        wait_for grep -q 'Using public X11 display' "$work/mutter.log" || { cat "$work/mutter.log"; exit 1; }
        local display
        display=$(grep -o 'Using public X11 display :[0-9]*' "$work/mutter.log" | head -1 | cut -d' ' -f5)
        # XWayland asks for the cookie mutter wrote beside its socket.
        wait_for compgen -G "$runtime/.mutter-Xwaylandauth.*" || { cat "$work/mutter.log"; exit 1; }
        "${tester[@]}" env "${test_env[@]}" QT_SCALE_FACTOR=1 TARNBECK_SCREENSHOOTER=none \
            DISPLAY="$display" WAYLAND_DISPLAY=wayland-tb XAUTHORITY="$(compgen -G "$runtime/.mutter-Xwaylandauth.*" | head -1)" \
            XDG_RUNTIME_DIR="$runtime" "$test_binary" -maxwarnings 0
        ;;
    esac
}

case $desktop in
sway | weston | kwin-wayland | mutter-wayland) run_wayland ;;
openbox | openbox-xcompmgr | openbox-picom | xfwm4 | mutter | kwin | i3) run_x11 ;;
*) echo "unknown desktop: $desktop"; exit 2 ;;
esac
