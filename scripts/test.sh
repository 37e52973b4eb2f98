#!/usr/bin/env bash
# Checks formatting and include layers first (scripts/check.sh, seconds), then
# builds both builds and runs every test: the native build under the
# sanitizers, the Windows build under wine, the fuzz targets for a bounded
# time, then one short smoke run of each benchmark (nothing timed is asserted).
# TAVRI_JOBS limits how many compiles and tests run at once (default: one per
# core).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/jobs.sh
scripts/setup.sh
scripts/check.sh

echo "== Linux, sanitizers"
cmake --preset linux-debug >/dev/null
cmake --build --preset linux-debug -j "$jobs"
ctest --preset linux-debug -j "$jobs"

echo "== Windows, under wine"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
# Tests that open windows need a display. Each test case is a wine start of
# its own, much of it spent waiting: four at a time keep the run about as
# short as when each test program ran whole (fewer when TAVRI_JOBS says so).
xvfb-run -a ctest --preset windows -j "$((jobs < 4 ? jobs : 4))"

echo "== Fuzz targets"
# Each target starts from its committed seeds and an empty working corpus, so
# that a run depends on the tree alone and not on what earlier runs kept: the
# seeds run first, then FUZZ_SECONDS of new inputs. No single input may take
# more than 10 s, and the whole target is stopped a minute after its time. An
# input that fails is kept in build/fuzz/crashes/<target>/; once the fault is
# mended, commit it to tests/fuzz/seeds/<target>/ so that ctest replays it.
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
seconds=${FUZZ_SECONDS:-10}
for target in build/fuzz/bin/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus="build/fuzz/corpus/$name"
    crashes="build/fuzz/crashes/$name"
    rm -rf "$corpus"
    mkdir -p "$corpus" "$crashes"
    echo "-- $name"
    if ! timeout --kill-after=10 $((seconds + 60)) "$target" -max_total_time="$seconds" \
        -timeout=10 -print_final_stats=0 -artifact_prefix="$crashes/" \
        "$corpus" "tests/fuzz/seeds/${name#fuzz_}" >"build/fuzz/$name.log" 2>&1; then
        tail -n 60 "build/fuzz/$name.log"
        echo "$name failed; the input is in $crashes/" >&2
        exit 1
    fi
    tail -n 2 "build/fuzz/$name.log"
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
