#!/usr/bin/env bash
# Installs what is missing, builds (Release) into build/ and starts the program
# with the built-in module simulator. Further arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
orvex_install_missing "${ORVEX_BUILD_PACKAGES[@]}"
orvex_build build -DCMAKE_BUILD_TYPE=Release

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "error: no display (DISPLAY and WAYLAND_DISPLAY are unset)." >&2
    echo "Start it from a desktop session, or try: xvfb-run scripts/run.sh" >&2
    exit 2
fi
exec build/app/orvex-presetmanager --simulator "$@"
