#!/usr/bin/env bash
# Stage: the Program Manager conversation of the setup program against a
# stand-in "PROGMAN" server (tests/shell/program_group_dde_test.cpp). DDE
# needs windows, so the test runs on an Xvfb screen of its own. It takes about
# 15 seconds: one case waits out the 10-second time-out of the group command.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
build=${TV_WIN64_BUILD:-$repo/build/win64}
test_program=$build/tests/shell/program_group_dde_test.exe
[ -f "$test_program" ] || { echo "FAIL: missing $test_program (build the win64 preset)" >&2; exit 1; }
cd "$repo"
source scripts/lib/wine-env
wineserver=$(dirname "$TV_WINE")/wineserver

# A Wine session started without a screen keeps none: let the prefix's
# processes end first, so this run starts one on the Xvfb screen.
"$wineserver" -w
number=90
while [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ]; do number=$((number + 1)); done
export DISPLAY=:$number
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

"$TV_WINE" "$test_program"
