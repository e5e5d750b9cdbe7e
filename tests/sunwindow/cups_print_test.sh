#!/bin/sh
# Prints the annual table through the program's print path into a cups-pdf queue of a private
# CUPS scheduler (own configuration, spool and socket in a temporary directory).
# Usage: cups_print_test.sh <print helper executable>
set -eu
helper=$1
queue=TarnbeckTestPDF

for tool in cupsd lpadmin lpstat; do
    command -v "$tool" >/dev/null 2>&1 || PATH=$PATH:/usr/sbin
done
if [ ! -x /usr/lib/cups/backend/cups-pdf ]; then
    echo "cups-pdf backend missing (package printer-driver-cups-pdf)" >&2
    exit 1
fi
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd

dir=$(mktemp -d /tmp/tarnbeck-cups.XXXXXX)
cupsd_pid=
cleanup() {
    [ -n "$cupsd_pid" ] && kill "$cupsd_pid" 2>/dev/null && wait "$cupsd_pid" 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT INT TERM

mkdir -p "$dir/root/ppd" "$dir/spool/tmp" "$dir/cache" "$dir/state/certs" "$dir/log"
chmod 0755 "$dir" "$dir/spool"
chmod 1777 "$dir/spool/tmp"
socket=$dir/cups.sock

cat >"$dir/root/cups-files.conf" <<CONF
ServerRoot $dir/root
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/state/printcap
SystemGroup root
User lp
Group lp
CONF
cat >"$dir/root/cupsd.conf" <<CONF
Listen $socket
Browsing No
BrowseLocalProtocols none
DefaultAuthType None
WebInterface No
LogLevel info
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF

cupsd -f -c "$dir/root/cupsd.conf" -s "$dir/root/cups-files.conf" &
cupsd_pid=$!
export CUPS_SERVER=$socket
i=0
until [ -S "$socket" ] && lpstat -r 2>/dev/null | grep -q "is running"; do
    i=$((i + 1))
    if [ $i -gt 100 ]; then
        echo "private cupsd did not start" >&2
        cat "$dir/log/error_log" >&2 || true
        exit 1
    fi
    sleep 0.1
done

lpadmin -p "$queue" -E -v cups-pdf:/ -P "$ppd"
lpadmin -d "$queue"
lpstat -p "$queue"

# cups-pdf writes to the job owner's home (its configuration in /etc/cups: "Out \${HOME}/PDF").
outdir=$(getent passwd "$(id -un)" | cut -d: -f6)/PDF
created_outdir=
[ -d "$outdir" ] || created_outdir=yes
mkdir -p "$outdir"
before=$dir/before
ls -1 "$outdir" >"$before"

"$helper" "$queue"

# Wait for the job to leave the queue and its PDF to appear.
i=0
found=
while [ $i -lt 600 ]; do
    for f in "$outdir"/*.pdf; do
        [ -f "$f" ] || continue
        grep -qxF "$(basename "$f")" "$before" && continue
        found=$f
    done
    if [ -n "$found" ] && [ -z "$(lpstat -o "$queue" 2>/dev/null)" ]; then
        break
    fi
    i=$((i + 1))
    sleep 0.1
done
if [ -z "$found" ]; then
    echo "no PDF arrived from queue $queue" >&2
    lpstat -W completed -o >&2 || true
    tail -30 "$dir/log/error_log" >&2 || true
    exit 1
fi
pages=$(pdfinfo "$found" | awk '/^Pages:/ {print $2}')
size=$(pdfinfo "$found" | awk '/^Page size:/ {printf "%d %d", $3 + 0.5, $5 + 0.5}')
echo "arrived: $found, $pages page(s), $size pt"
rm -f "$found"
[ -n "$created_outdir" ] && rmdir "$outdir" 2>/dev/null || true
[ "$pages" = 1 ] || { echo "expected one page, got $pages" >&2; exit 1; }
# A4 in either orientation: cups-pdf may keep the sheet upright and turn the content.
case "$size" in
"842 595" | "595 842") ;;
*) echo "expected an A4 page, got $size" >&2; exit 1 ;;
esac
echo "ok"
