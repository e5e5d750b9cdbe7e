#!/usr/bin/env bash
# Fails when a test skipped anything that tests/allowed-skips.txt does not name: in CI a skip
# means that what the suite names was not checked. Prints what was skipped, allowed or not.
# Usage: check_skips.sh JUNIT_XML ALLOWED_LIST
set -euo pipefail
junit=$1
allowed=$2
[ -r "$junit" ] || { echo "check_skips: no test results at $junit" >&2; exit 1; }

# One line per skip: "test::function(row)<TAB>message", or "test<TAB>message" for a whole test.
skips=$(awk '
    /<testcase / {
        match($0, /name="[^"]*"/); test = substr($0, RSTART + 6, RLENGTH - 7)
        whole = ($0 ~ /status="notrun"/)
        said = ""; out = 0
    }
    /<\/testcase>/ { if (whole) printf "%s\t%s\n", test, said; whole = 0 }
    {
        l = $0
        if (sub(/^[ \t]*<system-out>/, "", l)) out = 1
        sub(/<\/system-out>.*$/, "", l)
        if (!out) next
        if (whole && said == "" && l != "") said = l
    }
    l ~ /^SKIP   : / {
        line = substr(l, 10)
        sub(/^[A-Za-z0-9_]+::/, "", line)
        # The function and its row end at the first blank after the closing parenthesis.
        key = line; message = ""
        if (match(line, /^[A-Za-z0-9_]+(\([^)]*\))? /)) {
            key = substr(line, 1, RLENGTH - 1); message = substr(line, RLENGTH + 1)
        }
        printf "%s::%s\t%s\n", test, key, message
    }
    /<\/system-out>/ { out = 0 }
' "$junit" | sed 's/&amp;/\&/g; s/&lt;/</g; s/&gt;/>/g; s/&quot;/"/g')

# Patterns of the list: "test", "test::function" or "test::function(row)", then " | reason".
mapfile -t patterns < <(grep -vE '^\s*(#|$)' "$allowed" | sed -E 's/\s*\|.*$//')

unexpected=0
# ctest keeps only the start of a long output unless told otherwise: a skip may hide past it.
if grep -q 'This part of the test output was removed' "$junit"; then
    echo "check_skips: a test's output was cut short in $junit, so its skips cannot be read" >&2
    unexpected=1
fi
if [ -n "$skips" ]; then
    echo "Skipped in this run:"
    while IFS=$'\t' read -r key message; do
        ok=no
        for p in "${patterns[@]}"; do
            case "$key" in "$p" | "$p::"* | "$p("*) ok=yes ;; esac
        done
        if [ $ok = yes ]; then
            echo "  allowed  $key: $message"
        else
            echo "  NOT ALLOWED  $key: $message"
            unexpected=$((unexpected + 1))
        fi
    done <<<"$skips"
fi
echo "Skips the list allows (tests/allowed-skips.txt):"
grep -vE '^\s*(#|$)' "$allowed" | sed 's/^/  /' || echo "  none"
if [ $unexpected -gt 0 ]; then
    echo "check_skips: $unexpected skip(s) not in tests/allowed-skips.txt: what they name was not checked" >&2
    exit 1
fi
