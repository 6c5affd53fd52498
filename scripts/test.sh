#!/usr/bin/env bash
# Installs what the tests need, builds and runs the whole suite offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
orvex_install_missing "${ORVEX_BUILD_PACKAGES[@]}" "${ORVEX_TEST_PACKAGES[@]}"
orvex_build build -DCMAKE_BUILD_TYPE=Release
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j2 --timeout 600
