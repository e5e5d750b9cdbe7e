#!/bin/sh
# The version is written once, in the project: the newest entries of the package's changelog and
# of the AppStream releases must name it.
set -eu
src=$1
version=$2

top=$(head -n 1 "$src/data/changelog")
case "$top" in
"tarnbeck ($version) "*) ;;
*) echo "data/changelog: the top entry '$top' is not version $version"; exit 1 ;;
esac

metainfo="$src/data/desktop/tarnbeck.metainfo.xml"
newest=$(grep -m 1 -oE '<release version="[^"]*"' "$metainfo" | cut -d '"' -f 2)
[ "$newest" = "$version" ] \
    || { echo "tarnbeck.metainfo.xml: the newest release '$newest' is not $version"; exit 1; }
echo "changelog and AppStream releases are at version $version"
