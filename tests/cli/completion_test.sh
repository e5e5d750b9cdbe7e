#!/bin/bash
# The shell's completion offers what the program takes: the options its --help names, the
# catalogue's codes in upper case whatever case was typed, and files after --db; and nothing the
# program would refuse.
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

offered tarnbeck - | grep -qx -- -h || fail "-h is not offered"
offered tarnbeck - | grep -qx -- -v || fail "-v is not offered"
# Only what the program takes: nothing after --help or --version, one code for --json, no code
# without a mode, and no option it would refuse beside the ones given.
for words in "--version ''" "--help RJ" "-h -" "-v ''" "--json RJTT ''" "--json RJTT RJ" "RJ" \
    "''" "--print --json RJ"; do
    eval "set -- $words"
    [ "$(offered tarnbeck "$@")" = "" ] || fail "after '$words' offers $(offered tarnbeck "$@" | head -n 3 | tr '\n' ' ')"
done
offered tarnbeck --print -- | grep -qx -- --json && fail "--json offered after --print"
offered tarnbeck --json --db x.dat RJ | grep -qx RJTT || fail "--json after --db FILE offers no code"

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
touch "$dir/mine.dat"
[ "$(offered tarnbeck --print --db "$dir/mi")" = "$dir/mine.dat" ] || fail "no file after --db"
# "--db=FILE": bash splits the word at "=" by default; the whole word when told not to.
[ "$(offered tarnbeck --print --db = "$dir/mi")" = "$dir/mine.dat" ] || fail "no file after --db="
[ "$(cd "$dir" && offered tarnbeck --print --db =)" = "mine.dat" ] || fail "no file at --db="
[ "$(offered tarnbeck --print "--db=$dir/mi")" = "--db=$dir/mine.dat" ] \
    || fail "no file in --db=FILE"
echo "completion offers: $(echo "$options" | tr '\n' ' ')and $(offered tarnbeck --print '' | wc -l) codes"
