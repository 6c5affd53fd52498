#!/usr/bin/env bash
# Installs the Debian packages that run.sh and test.sh need and that are missing.
# Sourced by both; checks with dpkg first so a ready machine is not touched. A name of the form
# "a|b" is satisfied by either package; "@clang" and "@fonts" stand for the packages that this
# Debian or Ubuntu release offers for them (the names differ between Debian 12 and 13).

orvex_sudo() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "error: need root or sudo to run: $*" >&2
        return 1
    fi
}

orvex_installed() {
    [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" = installed ]
}

# True when the package lists offer an installable version of the package.
orvex_available() {
    local candidate
    candidate="$(apt-cache policy "$1" 2>/dev/null | sed -n 's/^ *Candidate: *//p')"
    [ -n "$candidate" ] && [ "$candidate" != "(none)" ]
}

ORVEX_APT_UPDATED=0
orvex_apt_update() {
    [ "$ORVEX_APT_UPDATED" = 1 ] && return 0
    orvex_sudo apt-get update -qq || {
        echo "error: apt-get update failed; check the network and /etc/apt/sources.list*" >&2
        return 1
    }
    ORVEX_APT_UPDATED=1
}

# The clang version whose compiler and runtime (libFuzzer, sanitizers) are both installed, newest first.
orvex_installed_clang_version() {
    local v
    for v in $(dpkg-query -W -f='${Package}\n' 'clang-[0-9]*' 2>/dev/null | sed -n 's/^clang-\([0-9][0-9]*\)$/\1/p' |
        sort -rn); do
        if orvex_installed "clang-$v" && orvex_installed "libclang-rt-$v-dev"; then
            echo "$v"
            return 0
        fi
    done
    return 1
}

# The clang++ the fuzz targets build with: that of an installed clang with its runtime, else the
# unversioned one.
orvex_find_clangxx() {
    local v
    if v="$(orvex_installed_clang_version)" && command -v "clang++-$v" >/dev/null 2>&1; then
        command -v "clang++-$v"
    elif command -v clang++ >/dev/null 2>&1; then
        command -v clang++
    else
        return 1
    fi
}

# Packages for clang with libFuzzer: the release's default clang if its runtime is offered,
# else the newest versioned pair the lists offer.
orvex_resolve_clang() {
    local v default
    default="$(apt-cache depends clang 2>/dev/null | sed -n 's/^ *Depends: clang-\([0-9][0-9]*\)$/\1/p' | head -n 1)"
    for v in $default $(apt-cache pkgnames clang- 2>/dev/null | sed -n 's/^clang-\([0-9][0-9]*\)$/\1/p' | sort -rn); do
        if orvex_available "clang-$v" && orvex_available "libclang-rt-$v-dev"; then
            echo "clang-$v libclang-rt-$v-dev"
            return 0
        fi
    done
    return 1
}

# Liberation fonts 2.x: "fonts-liberation2" on Debian 12, where "fonts-liberation" is still 1.x; from
# Debian 13 on "fonts-liberation" is 2.x and "fonts-liberation2" only a transitional package.
orvex_resolve_fonts() {
    if orvex_available fonts-liberation2 &&
        ! apt-cache show fonts-liberation2 2>/dev/null | grep -qi '^Description.*transitional'; then
        echo fonts-liberation2
    else
        echo fonts-liberation
    fi
}

orvex_satisfied() {
    local alternative v
    case "$1" in
        @clang) orvex_installed_clang_version >/dev/null ;;
        @fonts)
            orvex_installed fonts-liberation2 && return 0
            v="$(dpkg-query -W -f='${Version}' fonts-liberation 2>/dev/null)"
            orvex_installed fonts-liberation && dpkg --compare-versions "${v:-0}" ge 1:2
            ;;
        *)
            for alternative in ${1//|/ }; do
                orvex_installed "$alternative" && return 0
            done
            return 1
            ;;
    esac
}

orvex_install_missing() {
    local missing=() wanted=() unavailable=()
    local p names alternative
    for p in "$@"; do
        orvex_satisfied "$p" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    orvex_apt_update || return 1
    for p in "${missing[@]}"; do
        case "$p" in
            @clang)
                names="$(orvex_resolve_clang)" || {
                    unavailable+=("clang (no clang-NN with its libclang-rt-NN-dev is offered)")
                    continue
                }
                ;;
            @fonts) names="$(orvex_resolve_fonts)" ;;
            *)
                names=""
                for alternative in ${p//|/ }; do
                    if orvex_available "$alternative"; then
                        names="$alternative"
                        break
                    fi
                done
                [ -n "$names" ] || {
                    unavailable+=("${p//|/ or } (no installable version in the package lists)")
                    continue
                }
                ;;
        esac
        # shellcheck disable=SC2206
        wanted+=($names)
    done
    if [ ${#unavailable[@]} -gt 0 ]; then
        echo "error: cannot install what the build needs; these packages are not offered by the configured" >&2
        echo "package sources (see apt-cache policy NAME, and /etc/apt/sources.list*):" >&2
        printf '  %s\n' "${unavailable[@]}" >&2
        return 1
    fi
    echo "Installing: ${wanted[*]}"
    # jackd2 asks a debconf question; noninteractive keeps a terminal-less run from blocking.
    orvex_sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${wanted[@]}"
}

ORVEX_BUILD_PACKAGES=(qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n
    libgl-dev cmake ninja-build g++ pkg-config librtmidi-dev @fonts libqt6sql6-sqlite dpkg-dev file)
ORVEX_TEST_PACKAGES=(jackd2 xvfb xauth desktop-file-utils appstream groff-base dbus-daemon at-spi2-core python3-pyatspi
    lintian python3-mido poppler-utils)
ORVEX_FUZZ_PACKAGES=(@clang)

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
