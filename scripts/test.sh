#!/usr/bin/env bash
# Installs what the tests need, builds and runs the whole suite offscreen, then
# builds it again with AddressSanitizer and UndefinedBehaviorSanitizer and runs it
# under them (ORVEX_SKIP_SANITIZERS=1 skips that second pass), and fuzzes the file reader
# and the SysEx parser for a short time each (ORVEX_SKIP_FUZZ=1 skips that).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
orvex_install_missing "${ORVEX_BUILD_PACKAGES[@]}" "${ORVEX_TEST_PACKAGES[@]}" "${ORVEX_FUZZ_PACKAGES[@]}"
export QT_QPA_PLATFORM=offscreen

orvex_build build -DCMAKE_BUILD_TYPE=Release
ctest --test-dir build --output-on-failure -j2 --timeout 600
# The .deb builds and holds the three programs (the install tree itself is checked by ctest).
rm -f build/orvex-presetmanager_*.deb
(cd build && cpack -G DEB >/dev/null)
[ "$(dpkg-deb --contents build/orvex-presetmanager_*.deb | grep -c ' \./usr/bin/orvex-')" = 3 ]
echo "Package: $(ls build/orvex-presetmanager_*.deb)"
# Debian's own checker: any error or warning fails the run.
lintian --fail-on error,warning build/orvex-presetmanager_*.deb

if [ "${ORVEX_SKIP_SANITIZERS:-0}" != 1 ]; then
    orvex_build build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVEX_SANITIZE=ON
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
    export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ctest --test-dir build-asan --output-on-failure -j2 --timeout 900
fi

if [ "${ORVEX_SKIP_FUZZ:-0}" != 1 ]; then
    scripts/fuzz.sh
fi
