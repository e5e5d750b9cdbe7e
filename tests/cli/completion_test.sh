#!/bin/bash
# The shell's completion offers what the program takes: the options its --help names, the
# catalogue's codes in upper case whatever case was typed, and files after --db.
set -eu
completion=$1
binary=$2
# shellcheck source=/dev/null
source "$completion"

offered() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    _tarnbeck
    [ ${#COMPREPLY[@]} -eq 0 ] || printf '%s\n' "${COMPREPLY[@]}" | sort
}
fail() { echo "completion: $*"; exit 1; }

options=$(env -u DISPLAY "$binary" --help | grep -oE -- '--[a-z]+' | sort -u)
[ -n "$options" ] || fail "tarnbeck --help names no option"
[ "$(offered tarnbeck --)" = "$options" ] \
    || fail "options differ from --help: $(offered tarnbeck --| tr '\n' ' ') / $(echo "$options" | tr '\n' ' ')"
[ "$(offered tarnbeck --print rjtt)" = "RJTT" ] || fail "rjtt gives '$(offered tarnbeck --print rjtt)'"
offered tarnbeck --json RJ | grep -qx RJAA || fail "RJ does not offer RJAA"
[ "$(offered tarnbeck --json ZZZ)" = "" ] || fail "an unknown code is offered"

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
touch "$dir/mine.dat"
[ "$(offered tarnbeck --print --db "$dir/mi")" = "$dir/mine.dat" ] || fail "no file after --db"
echo "completion offers: $(echo "$options" | tr '\n' ' ')and $(offered tarnbeck --print '' | wc -l) codes"
