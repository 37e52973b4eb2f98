#!/usr/bin/env bash
# Runs the tests of the installer's real dialog under wine and saves a
# screenshot of the dialog, at the moment the tests ask for it, as a PNG.
#   run-dialog-tests.sh DIALOG_TESTS.exe SCREENSHOT.png
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a "$0" "$@"
fi
tests=$1
screenshot=$2
here=$(cd "$(dirname "$0")" && pwd)
handshake=$(mktemp -d)
trap 'rm -rf "$handshake"' EXIT
rm -f "$screenshot"

# wine sees the Linux root as drive Z:.
TAVRI_SCREENSHOT_HANDSHAKE="Z:${handshake//\//\\}" "$here/../../../scripts/wine-run" "$tests" &
tests_pid=$!
shot=never-asked-for
while kill -0 "$tests_pid" 2>/dev/null; do
    if [ -f "$handshake/ready" ]; then
        if import -window root -crop "$(cat "$handshake/ready")" +repage "$screenshot"; then
            shot=saved
        else
            shot=failed
        fi
        touch "$handshake/taken"
        break
    fi
    sleep 0.1
done
status=0
wait "$tests_pid" || status=$?
if [ "$shot" = saved ]; then
    echo "screenshot of the dialog: $screenshot"
else
    echo "no screenshot of the dialog: $shot" >&2
    [ "$status" -ne 0 ] || status=1
fi
exit "$status"
