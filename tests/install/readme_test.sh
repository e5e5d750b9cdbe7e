#!/bin/sh
# The Japanese README keeps up with the English one: the same two commands, in the same order, and
# the same screenshots; each links to the other near its top. Both name the package of the
# project's version.
set -eu
src=$1
version=$2
en="$src/README.md"
ja="$src/README.ja.md"
[ -f "$ja" ] || { echo "missing: README.ja.md"; exit 1; }

commands() { grep -E '^\|' "$1" | grep -oE '`bash scripts/[a-z]+\.sh`' || true; }
pictures() { grep -oE '\(docs/[a-z0-9-]+\.png\)' "$1" | sort -u || true; }

[ "$(commands "$en" | wc -l)" -eq 2 ] || { echo "README.md: expected two commands:"; commands "$en"; exit 1; }
[ "$(commands "$en")" = "$(commands "$ja")" ] \
    || { printf 'commands differ:\nREADME.md:\n%s\nREADME.ja.md:\n%s\n' "$(commands "$en")" "$(commands "$ja")"; exit 1; }
[ "$(pictures "$en")" = "$(pictures "$ja")" ] \
    || { printf 'screenshots differ:\nREADME.md:\n%s\nREADME.ja.md:\n%s\n' "$(pictures "$en")" "$(pictures "$ja")"; exit 1; }
for p in $(pictures "$en" | tr -d '()'); do
    [ -f "$src/$p" ] || { echo "missing picture: $p"; exit 1; }
done
head -n 5 "$en" | grep -q '(README.ja.md)' || { echo "README.md does not link README.ja.md in its first lines"; exit 1; }
head -n 5 "$ja" | grep -q '(README.md)' || { echo "README.ja.md does not link README.md in its first lines"; exit 1; }
for readme in "$en" "$ja"; do
    debs=$(grep -oE 'tarnbeck_[^_ ]+_amd64\.deb' "$readme" | sort -u)
    [ "$debs" = "tarnbeck_${version}_amd64.deb" ] \
        || { echo "$(basename "$readme") names $debs, not tarnbeck_${version}_amd64.deb"; exit 1; }
done
# The network check needs a body: an empty answer is no connection (TickerCycle::CheckNetwork).
grep -q 'an answer with a non-empty body counts' "$en" \
    || { echo "README.md does not say the network check needs a non-empty answer"; exit 1; }
grep -q '本文が空でない応答なら' "$ja" \
    || { echo "README.ja.md does not say the network check needs a non-empty answer"; exit 1; }
echo "README.md and README.ja.md agree: $(commands "$en" | tr '\n' ' ')"
