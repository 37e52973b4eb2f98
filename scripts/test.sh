#!/usr/bin/env bash
# Checks formatting and include layers first (scripts/check.sh, seconds), then
# builds both builds and runs every test: the native build under the
# sanitizers, the Windows build under wine, the fuzz targets for a bounded
# time, then one short smoke run of each benchmark (nothing timed is asserted).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check.sh
jobs=$(nproc)

echo "== Linux, sanitizers"
cmake --preset linux-debug >/dev/null
cmake --build --preset linux-debug -j "$jobs"
ctest --preset linux-debug -j "$jobs"

echo "== Windows, under wine"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
# Tests that open windows need a display.
xvfb-run -a ctest --preset windows -j 2

echo "== Fuzz targets"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
for target in build/fuzz/bin/fuzz_*; do
    [ -x "$target" ] || continue
    corpus="build/fuzz/corpus/$(basename "$target")"
    mkdir -p "$corpus"
    echo "-- $(basename "$target")"
    "$target" -max_total_time="${FUZZ_SECONDS:-10}" -print_final_stats=0 "$corpus" 2>&1 | tail -n 2
done

echo "== Benchmarks (smoke run)"
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release -j "$jobs"
for bench in build/linux-release/bin/bench_*; do
    [ -x "$bench" ] || continue
    echo "-- $(basename "$bench")"
    "$bench" --benchmark_min_time=0.001
done
echo "== all tests passed"
