# Sourced by the scripts that build or check: sets `jobs` from TAVRI_JOBS, the
# number of compiles, checks and tests to run at once (default: one per core).
jobs=${TAVRI_JOBS:-$(nproc)}
if ! [[ "$jobs" =~ ^[1-9][0-9]*$ ]]; then
    echo "TAVRI_JOBS must be a whole number above 0, not '$jobs'" >&2
    exit 2
fi
