#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and runs each for a short time on a
# copy of its seed corpus (the seeds in fuzz/corpus stay as they are). A crash, leak,
# sanitizer report or broken invariant fails the run and leaves the input in build-fuzz/.
# ORVEX_FUZZ_SECONDS sets the time per target (default 20).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${ORVEX_FUZZ_SECONDS:-20}"
source scripts/deps.sh
cxx="$(orvex_find_clangxx)" || {
    echo "error: no clang++ found; fuzzing needs clang with its runtime (clang-NN and libclang-rt-NN-dev)." >&2
    echo "scripts/test.sh installs them, or set ORVEX_SKIP_FUZZ=1 to skip fuzzing." >&2
    exit 1
}
echo "Fuzzing with $cxx"
if [ ! -f build-fuzz/build.ninja ]; then
    cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER="$cxx"
fi
cmake --build build-fuzz
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for target in presetfile sysexreply midifile; do
    work="build-fuzz/corpus-$target"
    mkdir -p "$work"
    echo "Fuzzing $target for ${seconds}s"
    log="build-fuzz/fuzz-$target.log"
    if ! (cd build-fuzz && "./fuzz_$target" "corpus-$target" "../fuzz/corpus/$target" \
        -max_total_time="$seconds" -max_len=8192 -timeout=5 -rss_limit_mb=2048 -print_final_stats=1) >"$log" 2>&1; then
        cat "$log"
        exit 1
    fi
    tail -n 4 "$log"
done
