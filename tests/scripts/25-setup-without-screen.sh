#!/usr/bin/env bash
# Stage: the setup program on a Wine session without a screen, where its
# window cannot be created. It must end at once with exit code 0 rather than
# wait in its message loop for a quit message that nothing would post.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
stub=${TV_WIN64_BUILD:-$repo/build/win64}/src/shell/setup-stub.exe
[ -f "$stub" ] || { echo "FAIL: missing $stub (build the win64 preset)" >&2; exit 1; }
cd "$repo"
source scripts/lib/wine-env
wineserver=$(dirname "$TV_WINE")/wineserver

# A session that has a screen keeps it: let the prefix's processes end first.
"$wineserver" -w
status=0
env -u DISPLAY timeout 60 "$TV_WINE" "$stub" || status=$?
if [ "$status" -ne 0 ]; then
  "$wineserver" -k 2>/dev/null || true
  echo "FAIL: setup stub without a screen ended with $status (124: still waiting after 60 s)" >&2
  exit 1
fi
echo "ok: without a screen the setup program ends with exit code 0"
