#!/usr/bin/env bash
# The first, fast stage of CI (seconds, no build): every C++ file of the tree
# is formatted as .clang-format says, and every #include keeps to the layers
# (scripts/layers.awk). Compiler warnings are caught by the builds, which
# treat them as errors. Files are found by pattern, tracked or new, so files
# added later are checked too.
set -euo pipefail
cd "$(dirname "$0")/.."

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
    xargs -0 -n 16 -P 4 clang-format --dry-run --Werror 2>&1 || true)
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

[ "$status" -eq 0 ] && echo "== checks passed"
exit "$status"
