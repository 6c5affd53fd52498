#!/usr/bin/env bash
# Runs the README's test command in a clean minimal Debian root, as a new user on that release would,
# then installs the .deb it built into a second clean root and tries the programs there.
#
#   scripts/distro-check.sh [--sanitizers] [--no-fuzz] [--keep] SUITE     (SUITE: bookworm, trixie, ...)
#
# Needs root, debootstrap and the network. The minimal root of each suite is made once and kept in
# ORVEX_DISTRO_CACHE (default ~/.cache/orvex-distro-check); every run works on a fresh copy of it, into
# which the current commit (HEAD, not uncommitted changes) is cloned. The sanitizer pass is left out
# unless --sanitizers is given. A developer's tool: the test command does not call it.
set -euo pipefail

sanitizers=0 fuzz=1 keep=0
while [ $# -gt 0 ]; do
    case "$1" in
        --sanitizers) sanitizers=1 ;;
        --no-fuzz) fuzz=0 ;;
        --keep) keep=1 ;;
        -h | --help)
            sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'
            exit 0
            ;;
        -*) echo "error: unknown option $1" >&2; exit 2 ;;
        *) break ;;
    esac
    shift
done
[ $# -eq 1 ] || { echo "usage: $0 [--sanitizers] [--no-fuzz] [--keep] SUITE" >&2; exit 2; }
suite="$1"
[ "$(id -u)" -eq 0 ] || { echo "error: run as root (debootstrap and chroot need it)" >&2; exit 2; }
command -v debootstrap >/dev/null || { echo "error: debootstrap is not installed (apt-get install debootstrap)" >&2; exit 2; }

top="$(cd "$(dirname "$0")/.." && pwd)"
cache="${ORVEX_DISTRO_CACHE:-$HOME/.cache/orvex-distro-check}"
mirror="${ORVEX_DISTRO_MIRROR:-http://deb.debian.org/debian}"
base="$cache/$suite/base"
work="$cache/$suite/run"
mounted=()

unmount_all() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount -l "${mounted[$i]}" 2>/dev/null || true
    done
    mounted=()
}
cleanup() {
    unmount_all
    if [ "$keep" = 0 ]; then
        rm -rf "$work" "$work-deb"
    fi
}
trap cleanup EXIT

mount_into() {
    local root="$1"
    mount -t proc proc "$root/proc" && mounted+=("$root/proc")
    mount -t sysfs sysfs "$root/sys" && mounted+=("$root/sys")
    mount --bind /dev "$root/dev" && mounted+=("$root/dev")
    mount -t devpts devpts "$root/dev/pts" -o newinstance,ptmxmode=0666 && mounted+=("$root/dev/pts")
    # A shared memory of its own: JACK servers keep their registry there, and the host may run others.
    mount -t tmpfs tmpfs "$root/dev/shm" && mounted+=("$root/dev/shm")
    cp /etc/resolv.conf "$root/etc/resolv.conf"
}

in_root() {
    local root="$1"
    shift
    chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
}

fresh_root() {
    rm -rf "$1"
    cp -a "$base" "$1"
}

if [ ! -x "$base/bin/bash" ]; then
    echo "== Making a minimal $suite root in $base"
    rm -rf "$base"
    mkdir -p "$(dirname "$base")"
    debootstrap --variant=minbase "$suite" "$base.tmp" "$mirror" >"$cache/$suite/debootstrap.log" 2>&1 || {
        tail -n 20 "$cache/$suite/debootstrap.log" >&2
        echo "error: debootstrap $suite failed (log: $cache/$suite/debootstrap.log)" >&2
        exit 1
    }
    mv "$base.tmp" "$base"
fi

commit="$(git -C "$top" rev-parse HEAD)"
start=$(date +%s)
status=0

echo "== $suite: the test command on $commit"
fresh_root "$work"
git clone -q --no-hardlinks "$top" "$work/src"
git -C "$work/src" checkout -q "$commit"
mount_into "$work"
envs=(ORVEX_SKIP_SANITIZERS=$((1 - sanitizers)) ORVEX_SKIP_FUZZ=$((1 - fuzz)))
if in_root "$work" env "${envs[@]}" bash -c 'cd /src && scripts/test.sh' >"$cache/$suite/test.log" 2>&1; then
    test_outcome="passed"
else
    test_outcome="FAILED"
    status=1
    tail -n 60 "$cache/$suite/test.log"
fi
test_time=$(($(date +%s) - start))
echo "== $suite: test command $test_outcome in ${test_time}s (log: $cache/$suite/test.log)"
grep -E '^(100% tests passed|[0-9]+% tests passed)|tests failed out of' "$cache/$suite/test.log" || true

deb_outcome="not tried"
deb="$(ls "$work"/src/build/orvex-presetmanager_*.deb 2>/dev/null | head -n 1 || true)"
if [ -n "$deb" ]; then
    echo "== $suite: installing $(basename "$deb") without recommends into a clean root"
    fresh_root "$work-deb"
    cp "$deb" "$work-deb/tmp/"
    mkdir -p "$work-deb/tmp/presets"
    cp "$top/fuzz/corpus/presetfile/two-banks.pre" "$work-deb/tmp/presets/"
    unmount_all
    mount_into "$work-deb"
    if in_root "$work-deb" bash -c "
            set -e
            apt-get update -qq
            DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends /tmp/$(basename "$deb") >/dev/null
            QT_QPA_PLATFORM=offscreen orvex-presetmanager --version
            orvex-pre --version
            orvex-simulator --version
            orvex-pre library add /tmp/presets
            orvex-pre library folders
        " >"$cache/$suite/deb.log" 2>&1; then
        deb_outcome="passed"
        cat "$cache/$suite/deb.log"
    else
        deb_outcome="FAILED"
        status=1
        tail -n 30 "$cache/$suite/deb.log"
    fi
fi
total=$(($(date +%s) - start))
echo "== $suite ($commit): test command $test_outcome (${test_time}s), .deb install $deb_outcome; ${total}s in all"
exit $status
