#!/usr/bin/env bash
# Installs the Debian packages named in the arguments that are missing.
# Sourced by run.sh and test.sh; checks with dpkg first so a ready machine is not touched.
orvex_install_missing() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null 2>&1 || { echo "error: need root or sudo to install ${missing[*]}" >&2; return 1; }
        sudo="sudo"
    fi
    $sudo apt-get update -qq || return 1
    # jackd2 asks a debconf question; noninteractive keeps a terminal-less run from blocking.
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

ORVEX_BUILD_PACKAGES=(qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n
    libgl-dev cmake ninja-build g++ pkg-config librtmidi-dev fonts-liberation2 libqt6sql6-sqlite dpkg-dev)
ORVEX_TEST_PACKAGES=(jackd2 xvfb xauth desktop-file-utils appstream groff-base dbus-daemon at-spi2-core python3-pyatspi)
ORVEX_FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev)

# Configures (once) and builds a build directory.
orvex_build() {
    local dir="$1"; shift
    local top
    top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
    if [ ! -f "$top/$dir/build.ninja" ]; then
        cmake -S "$top" -B "$top/$dir" -G Ninja "$@" || return 1
    fi
    cmake --build "$top/$dir"
}
