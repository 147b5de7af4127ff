#!/usr/bin/env bash
# Runs the x86_64 SETUP.EXE end to end under Wine on an Xvfb screen, driven by
# setup_driver.exe as a person would use it, in six scenarios. Each scenario
# gets its own Wine prefix, copied from one pristine template made per run
# (copying takes a second, booting a prefix fifteen). Every scenario compares
# the driver's whole transcript with the one expected, then checks the disk,
# the registry (from the prefix's user.reg) and the Program Manager item.
#
# Environment (all optional):
#   TV_WIN64_BUILD    the win64 build (default build/win64)
#   TV_E2E_SETUP      SETUP.EXE to test (default $TV_WIN64_BUILD/SETUP.EXE)
#   TV_E2E_PAYLOAD    the folder SETUP.EXE carries, as packed, with its
#                     times and read-only bits (default $TV_WIN64_BUILD/demo-payload,
#                     which scripts/lib/make-setup writes with SETUP.EXE)
#   TV_E2E_DISPLAY    X display to use or start (default :62)
#   TV_E2E_OUTPUT     where transcripts and the screenshot are kept
#                     (default build/e2e-output)
#   TV_E2E_SCENARIOS  which scenarios to run, e.g. "1 5" (default all)
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
build=${TV_WIN64_BUILD:-$repo/build/win64}
setup=${TV_E2E_SETUP:-$build/SETUP.EXE}
payload=${TV_E2E_PAYLOAD:-$build/demo-payload}
tools=$build/tests/e2e
out=${TV_E2E_OUTPUT:-$repo/build/e2e-output}
scenarios=${TV_E2E_SCENARIOS:-1 2 3 4 5 6}
wine=${TV_WINE:-/usr/lib/wine/wine64}
wineserver=$(dirname "$wine")/wineserver
source "$repo/tests/e2e/checks.sh"
# Only the scenarios' own prefixes are used (and stopped); never the caller's.
unset WINEPREFIX

for needed in "$setup" "$tools/setup_driver.exe" "$tools/payload_probe.exe" \
  "$tools/shortcut_target.exe"; do
  [ -f "$needed" ] || fail "missing $needed (build the win64 preset first)"
done
[ -d "$payload" ] || fail "missing payload folder $payload"

rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d /tmp/tv-e2e.XXXXXX)
xvfb_pid=
cleanup() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then "$wineserver" -k 2>/dev/null || true; fi
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# ---- screen and Wine -------------------------------------------------------
export DISPLAY=${TV_E2E_DISPLAY:-:62}
if ! xdpyinfo >/dev/null 2>&1; then
  Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start on $DISPLAY"
fi
export WINEDEBUG=-all
# winemenubuilder would copy the Program Manager item into the host's menus.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# The pristine prefix; window captions drawn by Wine itself ("Managed"="N"),
# so they are on the screenshot without a window manager.
started=$SECONDS
template=$work/template
export WINEPREFIX=$template
mkdir -p "$template"
# wineboot's own exit status says little; the saved registry files tell.
"$wine" wineboot -i >"$out/wineboot.log" 2>&1 || true
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$out/wineboot.log" 2>&1 || true
"$wineserver" -w
[ -f "$template/system.reg" ] && grep -q '^"Managed"="N"' "$template/user.reg" ||
  fail "the template prefix was not made: $(tail -5 "$out/wineboot.log")"

# The entries SETUP.EXE carries, as "ATTRIBUTES DATE TIME NAME" lines.
"$wine" "$tools/payload_probe.exe" list "$setup" >"$out/entries.txt" 2>"$out/probe.err" ||
  fail "cannot list the entries of $setup: $(cat "$out/probe.err")"
"$wineserver" -w  # the template stays as saved while it is copied
check_payload_carried
echo "prefix template made and $(grep -c . "$out/entries.txt") entries listed ($((SECONDS - started)) s)"

# ---- one scenario ----------------------------------------------------------
# fresh_prefix N: a copy of the template as the prefix of scenario N; the
# previous scenario's prefix (some 700 MB) is stopped and removed.
fresh_prefix() {
  if [ "$WINEPREFIX" != "$template" ]; then
    stop_prefix
    rm -rf "$WINEPREFIX"
  fi
  export WINEPREFIX=$work/prefix$1
  cp -a "$template" "$WINEPREFIX"
}
# stop_prefix: ends every Wine process of the prefix, so user.reg is written.
stop_prefix() {
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w
}
# drive SCENARIO SETUP STEP...: runs the driver; its transcript goes to the output.
drive() {
  local name=$1 exe=$2
  shift 2
  "$wine" "$tools/setup_driver.exe" "$exe" "$@" >"$out/$name.transcript" 2>&1 || true
}
# The prefix's host path of a Windows path on drive C:.
on_c() { local path=${1#C:\\}; echo "$WINEPREFIX/drive_c/${path//\\//}"; }
proposal='C:\Program Files\Tarnivole'
success='box [QV Tarnivole] [QV Tarnivole has been successfully installed.] progress []'
opening="dialog found
backdrop covers the screen
dialog centred
proposed [$proposal]"

# ---- scenario 1: fresh prefix, whole installation, screenshot ---------------
scenario_1() {
  fresh_prefix 1
  local go=$work/screenshot-taken
  "$wine" "$tools/setup_driver.exe" "$setup" find wait-file "$go" type 'C:\TARNIVOL' ok registry \
    >"$out/s1.transcript" 2>&1 &
  local driver=$!
  wait_for_line "$out/s1.transcript" ready
  import -display "$DISPLAY" -window root "$out/dialog-open.png"
  touch "$go"
  wait "$driver" || true
  expect_transcript s1 "$opening
ready
typed [C:\\TARNIVOL]
$success
dialog closed
registry [C:\\TARNIVOL]
exit code 0"
  check_screenshot "$out/dialog-open.png"
  check_item 'C:\TARNIVOL\QVTX.EXE'
  stop_prefix
  check_installed "$(on_c 'C:\TARNIVOL')"
  check_recorded 'C:\TARNIVOL'
}

# ---- scenario 2: second run proposes the record; a target with a blank -----
scenario_2() {
  [ "${WINEPREFIX:-}" = "$work/prefix1" ] || scenario_1
  # Longer than the field is wide, and two levels below an existing folder.
  local target='C:\Program Files\Tarnivole Products\QV Tarnivole 2.21 for the whole office'
  drive s2 "$setup" find type "$target" ok registry
  expect_transcript s2 "dialog found
backdrop covers the screen
dialog centred
proposed [C:\\TARNIVOL]
typed [$target]
$success
dialog closed
registry [$target]
exit code 0"
  check_item "$target\QVTX.EXE"
  stop_prefix
  check_installed "$(on_c "$target")"
  check_recorded "$target"
}

# ---- scenario 3: an empty field, a target that cannot be created, a good one
scenario_3() {
  fresh_prefix 3
  # A file where the target's parent directory would have to be.
  echo "not a directory" >"$(on_c 'C:\blocker')"
  drive s3 "$setup" find type '' ok type 'C:\blocker\Tarnivole' ok registry \
    type 'C:\Tarnivole Good' ok registry
  expect_transcript s3 "$opening
typed []
dialog waiting, field [] progress []
typed [C:\\blocker\\Tarnivole]
box [C:\\blocker\\Tarnivole] [Cannot create path.] progress []
dialog waiting, field [C:\\blocker\\Tarnivole] progress []
registry none
typed [C:\\Tarnivole Good]
$success
dialog closed
registry [C:\\Tarnivole Good]
exit code 0"
  check_item 'C:\Tarnivole Good\QVTX.EXE'
  stop_prefix
  [ -f "$(on_c 'C:\blocker')" ] || fail "s3: C:\\blocker is no longer the file it was"
  check_installed "$(on_c 'C:\Tarnivole Good')"
  check_recorded 'C:\Tarnivole Good'
}

# ---- scenario 4: Exit before anything ---------------------------------------
scenario_4() {
  fresh_prefix 4
  local before=$work/s4-before.txt after=$work/s4-after.txt
  list_user_files >"$before"
  drive s4 "$setup" find exit registry
  expect_transcript s4 "$opening
dialog closed
registry none
exit code 0"
  stop_prefix
  list_user_files >"$after"
  diff -u "$before" "$after" >"$out/s4-created.diff" ||
    fail "s4: Exit changed the disk: $(cat "$out/s4-created.diff")"
  check_recorded ''
}

# ---- scenario 5: one damaged byte in a later entry --------------------------
scenario_5() {
  fresh_prefix 5
  local damaged_setup=$work/damaged/SETUP.EXE damaged
  mkdir -p "$work/damaged"
  damaged=$("$wine" "$tools/payload_probe.exe" damage "$setup" "$damaged_setup" 2>&1) ||
    fail "s5: cannot make a damaged SETUP.EXE: $damaged"
  damaged=${damaged%$'\r'}
  drive s5 "$damaged_setup" find type 'C:\Damaged' ok registry exit
  expect_transcript s5 "$opening
typed [C:\\Damaged]
box [$damaged] [Cannot install file.] progress [$damaged]
dialog waiting, field [C:\\Damaged] progress [$damaged]
registry [C:\\Damaged]
dialog closed
exit code 0"
  stop_prefix
  check_installed_until "$(on_c 'C:\Damaged')" "$damaged"
  no_item
}

# ---- scenario 6: an existing settings file keeps its content ----------------
scenario_6() {
  fresh_prefix 6
  local settings
  settings=$(on_c 'C:\Keep\TARNZIP.SET')
  mkdir -p "$(dirname "$settings")"
  printf 'kept=by the user\r\n' >"$settings"
  drive s6 "$setup" find type 'C:\Keep\' ok registry
  expect_transcript s6 "$opening
typed [C:\\Keep\\]
$success
dialog closed
registry [C:\\Keep\\]
exit code 0"
  check_item 'C:\Keep\QVTX.EXE'
  stop_prefix
  [ "$(cat "$settings")" = $'kept=by the user\r' ] ||
    fail "s6: TARNZIP.SET was overwritten: $(head -c 200 "$settings")"
  check_installed "$(on_c 'C:\Keep')" TARNZIP.SET
  check_recorded 'C:\Keep\'
}

for scenario in $scenarios; do
  started=$SECONDS
  "scenario_$scenario"
  echo "scenario $scenario passed ($((SECONDS - started)) s)"
done
stop_prefix
echo "end-to-end: scenarios $scenarios passed; transcripts and screenshot in $out"
