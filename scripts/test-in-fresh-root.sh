#!/usr/bin/env bash
# Runs the README's test command (bash scripts/test.sh) in a fresh Debian root of the given
# release, made with debootstrap, as a new user's machine would run it.
# Usage: scripts/test-in-fresh-root.sh RELEASE      (as root; for example: trixie, bookworm)
#   TARNBECK_CTEST_ARGS   passed on to ctest inside the root (e.g. "-E ^desktop_")
#   KEEP_ROOT=1           leave the root in place afterwards, to look into a failure
# The tree copied in is this checkout's HEAD plus its uncommitted changes to tracked files
# (never build folders or stray files), with ../shared beside it. The base root, the downloaded
# packages and the compiler cache are kept under /var/cache/tarnbeck-roots between runs; the
# root each run works in is new.
set -euo pipefail
release=${1:?usage: $0 RELEASE (e.g. trixie)}
root=$(cd "$(dirname "$0")/.." && pwd)
[ "$(id -u)" -eq 0 ] || { echo "$0: debootstrap and chroot need root" >&2; exit 1; }
cache=/var/cache/tarnbeck-roots
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
mkdir -p "$cache/$release-debs"

missing=()
for p in debootstrap debian-archive-keyring; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The base: what debootstrap installs by default (required and important packages), as on a
# fresh machine. Made once, beside the cache, then renamed, so a stopped run leaves none half made.
base="$cache/$release-base.tar"
if [ ! -f "$base" ]; then
    echo "== making the $release base (once per machine)"
    tmp=$(mktemp -d "$cache/$release-base.XXXX")
    debootstrap --cache-dir="$cache/$release-debs" "$release" "$tmp" "$mirror"
    tar -C "$tmp" -cf "$base.new" .
    rm -rf "$tmp"
    mv "$base.new" "$base"
fi

work=$(mktemp -d /var/tmp/tarnbeck-root-"$release".XXXX)
mounts=()
cleanup() {
    # Whatever the tests left running inside the root ends with it.
    for p in /proc/[0-9]*; do
        [ "$(readlink "$p/root" 2>/dev/null)" = "$work" ] && kill -9 "${p#/proc/}" 2>/dev/null || true
    done
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        umount -l "${mounts[$i]}" 2>/dev/null || true
    done
    # The host's /tmp is bound inside: never delete while anything is still mounted there.
    if [ "${KEEP_ROOT:-0}" = 1 ]; then
        echo "root kept: $work"
    elif grep -qF " $work/" /proc/mounts; then
        echo "not removed, still mounted inside: $work" >&2
    else
        rm -rf --one-file-system "$work"
    fi
}
trap cleanup EXIT
mnt() { # mnt TARGET MOUNT-ARGS...
    mkdir -p "$1"
    mount "${@:2}" "$1"
    mounts+=("$1")
}

echo "== fresh $release root in $work"
tar -C "$work" -xf "$base"
chmod 755 "$work" # the root's /, open to the desktop tests' compositor, run as another user
cp /etc/resolv.conf "$work/etc/resolv.conf"
printf 'deb %s %s main\n' "$mirror" "$release" >"$work/etc/apt/sources.list"
# Package installs inside a root must not start the system's services (cups, dbus) outside it.
printf '#!/bin/sh\nexit 101\n' >"$work/usr/sbin/policy-rc.d"
chmod +x "$work/usr/sbin/policy-rc.d"

# The tree: tracked files only, as committed or as changed in the working tree.
src="$work/work/tarnbeck"
mkdir -p "$src"
rev=$(git -C "$root" stash create 2>/dev/null || true)
git -C "$root" archive "${rev:-HEAD}" | tar -C "$src" -xf -
[ -d "$root/../shared" ] && cp -a "$root/../shared" "$work/work/shared"

mnt "$work/proc" -t proc proc
mnt "$work/sys" --rbind /sys
mnt "$work/dev" --bind /dev
mnt "$work/dev/pts" --bind /dev/pts
mnt "$work/dev/shm" -t tmpfs -o mode=1777 tmpfs
# The host's /tmp: X servers choose free display numbers by the lock files there, and the
# host's and the root's X servers share one socket namespace.
mnt "$work/tmp" --bind /tmp
mnt "$work/var/cache/apt/archives" --bind "$cache/$release-debs"
# The compiler cache of this release's builds, kept like the packages.
mkdir -p "$cache/$release-ccache"
mnt "$work/root/.cache/ccache" --bind "$cache/$release-ccache"

echo "== bash scripts/test.sh in the $release root"
mkdir -p "$work/work/saved"
start=$(date +%s)
set +e
chroot "$work" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    TARNBECK_CTEST_ARGS="${TARNBECK_CTEST_ARGS:-}" TARNBECK_SAVED_FILES=/work/saved CI="${CI:-}" \
    bash -c 'cd /work/tarnbeck && bash scripts/test.sh'
rc=$?
set -e
echo "== $release: exit $rc after $(( ($(date +%s) - start) / 60 )) min $(( ($(date +%s) - start) % 60 )) s"

# The settings files Tarnbeck saved in the root open with this machine's SQLCipher, whatever
# its version: the one file format of every system.
if command -v sqlcipher >/dev/null; then
    for f in "$work"/work/saved/*.db; do
        [ -e "$f" ] || { echo "== no settings file was saved in the root"; rc=1; break; }
        got=$(printf ".output /dev/null\nPRAGMA key = 'pelko';\nPRAGMA cipher_compatibility = 3;\n.output\n%s\n" \
            "SELECT group_concat(airport) || '|' || (SELECT forecolor FROM setting) FROM airport;" \
            | sqlcipher "$f" 2>&1 || true)
        if [ "$got" = "RJOO,RJCC|65280" ]; then
            echo "== saved in $release, read here ($(sqlcipher :memory: 'PRAGMA cipher_version;')): $(basename "$f")"
        else
            echo "== saved in $release, not readable here: $(basename "$f"): $got"
            rc=1
        fi
    done
fi
exit $rc
