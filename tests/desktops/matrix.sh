#!/usr/bin/env bash
# The ticker on every desktop its users have, each started on a virtual screen: a table of what
# works. Installs the desktops it needs from Debian's packages (as root).
#   tests/desktops/matrix.sh [build dir, default build-test] [seconds of sliding, default 600]
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build-test}
export TARNBECK_SLIDE_SECONDS=${2:-600}
desktops=(openbox openbox-xcompmgr openbox-picom xfwm4 mutter kwin i3 sway weston kwin-wayland mutter-wayland)
if [ "$(id -u)" -eq 0 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends openbox xcompmgr \
        picom xfwm4 mutter kwin-x11 kwin-wayland i3 sway weston xwayland grim dbus >/dev/null
fi
tests=(standsAtItsPlaceWithoutFrameOrShadow takesThePointerOnlyOnTextAndHandle
       menuOpensAndADragIsSaved slidesWithoutError asksForNoAttention itsWindowsAreNotCovered)
printf '| desktop | scale | place, no frame or shadow | pointer on text only | menu, drag saved | %s s of sliding | no attention asked | its windows not covered |\n' "$TARNBECK_SLIDE_SECONDS"
printf '|---|---|---|---|---|---|---|---|\n'
for desktop in "${desktops[@]}"; do
    for scale in 1 2; do
        log=$(mktemp)
        "$root/tests/desktops/run_desktop.sh" "$desktop" "$build/bin/test_desktop" "$scale" >"$log" 2>&1
        status=$?
        row="| $desktop | $scale |"
        if [ $status -eq 77 ]; then
            echo "$row skipped: $(tail -1 "$log" | sed "s/^$desktop: //") |"
            rm -f "$log"
            continue
        fi
        for t in "${tests[@]}"; do
            if grep -q "^PASS   : TestDesktop::$t()" "$log"; then row+=" yes |"
            elif grep -q "^SKIP   : TestDesktop::$t()" "$log"; then
                row+=" not looked at: $(grep "^SKIP   : TestDesktop::$t()" "$log" | sed 's/^[^)]*) //') |"
            elif grep -q "^FAIL!  : TestDesktop::$t()" "$log"; then
                row+=" no: $(grep -A0 "^FAIL!  : TestDesktop::$t()" "$log" | sed 's/.*returned FALSE. //; s/.*Compared values are not the same//' | cut -c1-60) |"
            else row+=" did not run |"; fi
        done
        echo "$row"
        cp "$log" "/tmp/tarnbeck-matrix-$desktop-$scale.log"
        rm -f "$log"
    done
done
