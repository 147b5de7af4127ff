#!/usr/bin/env bash
# tvsfx list on the archive fixtures: the native, sanitizer and Windows (under
# Wine) builds must print the same text and JSON and end with the same status,
# and the JSON of the self-extracting fixture must carry every listed field.
# Env: TV_NATIVE_BUILD, TV_ASAN_BUILD, TV_WIN64_BUILD, TV_WINE, WINEPREFIX.
set -euo pipefail

native=$TV_NATIVE_BUILD/tools/tvsfx/tvsfx
asan=$TV_ASAN_BUILD/tools/tvsfx/tvsfx
windows=$TV_WIN64_BUILD/tools/tvsfx/tvsfx.exe
source "$(dirname "$0")/../../scripts/lib/stage-checks"

"$TV_NATIVE_BUILD/tests/archive/write_archive_fixtures" "$work"

# run NAME PROGRAM ARGS...: stdout to $work/NAME.out, status to $work/NAME.rc.
# Windows' text-mode stdout ends lines with CR LF; the CRs are dropped.
run() {
  local name=$1
  shift
  local rc=0
  "$@" >"$work/$name.out" 2>"$work/$name.err" || rc=$?
  tr -d '\r' <"$work/$name.out" >"$work/$name.tmp" && mv "$work/$name.tmp" "$work/$name.out"
  echo "$rc" >"$work/$name.rc"
}

same() {
  cmp -s "$work/$1.out" "$work/$2.out" || fail "$1 and $2 print different output"
  cmp -s "$work/$1.rc" "$work/$2.rc" || fail "$1 and $2 end with different status"
}

fixtures=(carried-start.rar volume.rar mixed.rar mixed-sfx.exe old-sfx.exe no-archive.bin missing.bin)
for fixture in "${fixtures[@]}"; do
  for mode in text json; do
    options=()
    [ "$mode" = json ] && options=(--json)
    id=$fixture.$mode
    run "native.$id" "$native" list "${options[@]}" "$work/$fixture"
    run "asan.$id" "$asan" list "${options[@]}" "$work/$fixture"
    run "win64.$id" "$TV_WINE" "$windows" list "${options[@]}" "$work/$fixture"
    same "native.$id" "asan.$id"
    same "native.$id" "win64.$id"
  done
done

expect_status() {
  [ "$(cat "$work/native.$1.rc")" = "$2" ] || fail "status of list on $1: $(cat "$work/native.$1.rc"), expected $2"
}
for fixture in carried-start.rar volume.rar mixed.rar mixed-sfx.exe old-sfx.exe; do
  expect_status "$fixture.text" 0
done
for fixture in no-archive.bin missing.bin; do
  expect_status "$fixture.json" 2
  [ "$(wc -l <"$work/native.$fixture.json.err")" = 1 ] || fail "list on $fixture: not one line on stderr"
done

json=$work/native.mixed-sfx.exe.json.out
for field in '"kind": "self-extracting"' '"variant": "new"' '"markerOffset": 51200' '"archiveFlags": 40' \
  '"packedSize": 421' '"unpackedSize": 645' '"hostSystem": 2' '"dataChecksum": 3092451208' \
  '"dosDateTime": 628142178' '"versionNeeded": 20' '"packingMethod": 53' '"attributes": 32' \
  '"blockFlags": 32832' '"blockPosition": 51220' '"name": "FILE_ID.DIZ"' \
  '"name": "bin\\caf\u00e9\u0001\"q\\.exe"'; do
  grep -qF -- "$field" "$json" || fail "JSON of mixed-sfx.exe lacks $field"
done
[ "$(grep -c '"name"' "$json")" = 4 ] || fail "JSON of mixed-sfx.exe does not list 4 entries"

expect_usage_status "$native" list "" "--json" "--bogus FILE" "A B"

finish_stage 10-tvsfx-list "native, sanitizer and Windows listings agree on ${#fixtures[@]} fixtures"
