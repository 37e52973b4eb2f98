#!/usr/bin/env bash
# The first, fast stage of CI (no build; seconds once build/check/ remembers
# what passed, some tens of seconds without): every C++ file of the tree
# is formatted as .clang-format says, every #include keeps to the layers
# (scripts/layers.awk), library code uses no wide text and no long-sized
# number reader (scripts/forbidden_names.py), and every source of the tree
# (library, hosts, installer, tests, fuzz targets, benchmarks) compiles for
# syntax without a warning (scripts/warnings.py). Files are found by pattern,
# tracked or new, so files added later are checked too. TAVRI_JOBS limits how
# many tools run at once (default: one per core).
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/jobs.sh

mapfile -t sources < <(git ls-files --cached --others --exclude-standard -- \
    '*.h' '*.hpp' '*.c' '*.cc' '*.cpp' | sort -u)
# Skip files that are deleted in the working tree but still tracked.
existing=()
for file in "${sources[@]}"; do
    [ -f "$file" ] && existing+=("$file")
done

status=0

echo "== Formatting (clang-format)"
if ! command -v clang-format >/dev/null; then
    echo "clang-format is not installed (scripts/setup.sh installs it)"
    exit 1
fi
formatting=$(printf '%s\0' "${existing[@]}" |
    xargs -0 -n 16 -P "$jobs" clang-format --dry-run --Werror 2>&1 || true)
if [ -n "$formatting" ]; then
    printf '%s\n' "$formatting"
    echo "-> format them with: clang-format -i FILE..."
    status=1
fi

echo "== Layers of #include"
if ! { printf '%s\n' "${existing[@]}" && echo "--" &&
    { grep -Hn -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' -- "${existing[@]}" || true; }; } |
    awk -f scripts/layers.awk; then
    status=1
fi

echo "== Names that library code does not use"
if ! python3 scripts/forbidden_names.py "${existing[@]}"; then
    status=1
fi

echo "== Compiler warnings (syntax only, warnings as errors)"
# A configuration of its own, with the tests and the benchmarks, whose
# commands are compiled for syntax only (configuring takes about a second).
# What passed is remembered in build/check/, so a second run compiles only
# what has changed.
mkdir -p build
if ! cmake -S . -B build/check -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
    -DTAVRI_TESTS=ON -DTAVRI_BENCH=ON >build/check.log 2>&1; then
    cat build/check.log
    status=1
elif ! python3 scripts/warnings.py --jobs "$jobs" --cache build/check/syntax-passed.json \
    build/check/compile_commands.json; then
    status=1
fi

[ "$status" -eq 0 ] && echo "== checks passed"
exit "$status"
