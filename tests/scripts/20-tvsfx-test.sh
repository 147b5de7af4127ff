#!/usr/bin/env bash
# tvsfx test on archives made by tvsfx pack, good and damaged: the native,
# sanitizer and Windows (under Wine) builds must give the same verdict lines
# and the same status, and the status must be the installation's result code.
# Env: TV_NATIVE_BUILD, TV_ASAN_BUILD, TV_WIN64_BUILD, TV_WINE, WINEPREFIX.
set -euo pipefail

native=$TV_NATIVE_BUILD/tools/tvsfx/tvsfx
asan=$TV_ASAN_BUILD/tools/tvsfx/tvsfx
windows=$TV_WIN64_BUILD/tools/tvsfx/tvsfx.exe
source "$(dirname "$0")/../../scripts/lib/stage-checks"

# A payload of four files: text, a program, an empty file and one file larger
# than the decoder's 1 MB window.
payload=$work/payload
mkdir -p "$payload/docs/notes" "$payload/bin"
seq 1 250000 >"$payload/docs/numbers.txt"
for i in $(seq 1 200); do echo "line $i of the read-me: the quick brown fox $((i * i))"; done >"$payload/README.TXT"
cp "$native" "$payload/bin/tvsfx"
: >"$payload/docs/notes/empty.txt"
"$native" pack -o "$work/solid.rar" "$payload" >/dev/null
"$native" pack --no-solid -o "$work/plain.rar" "$payload" >/dev/null

# copy_with_byte SOURCE TARGET OFFSET VALUE: TARGET is SOURCE with one byte set.
copy_with_byte() {
  cp "$1" "$2"
  printf "\\$(printf '%03o' "$4")" | dd of="$2" bs=1 seek="$3" conv=notrunc status=none
}
byte_at() { od -An -tu1 -j "$2" -N1 "$1" | tr -d ' '; }

size=$(stat -c %s "$work/solid.rar")
middle=$((size / 2))
copy_with_byte "$work/solid.rar" "$work/solid-damaged.rar" "$middle" $(($(byte_at "$work/solid.rar" "$middle") ^ 0x5A))
copy_with_byte "$work/plain.rar" "$work/plain-damaged.rar" "$middle" $(($(byte_at "$work/plain.rar" "$middle") ^ 0x5A))
head -c $((size * 3 / 4)) "$work/solid.rar" >"$work/solid-cut.rar"
# The first entry header starts at 20 (marker, archive header): version at +24, flags at +3.
copy_with_byte "$work/solid.rar" "$work/version21.rar" 44 21
copy_with_byte "$work/solid.rar" "$work/continued.rar" 23 $(($(byte_at "$work/solid.rar" 23) | 1))
head -c 5000 "$native" >"$work/no-archive.bin"

# run NAME PROGRAM ARGS...: stdout without the summary's time to $work/NAME.out,
# status to $work/NAME.rc. Windows' CR LF line ends are made LF.
run() {
  local name=$1
  shift
  local rc=0
  "$@" >"$work/$name.raw" 2>"$work/$name.err" || rc=$?
  tr -d '\r' <"$work/$name.raw" | sed -E 's/, [0-9.]+ s$//' >"$work/$name.out"
  echo "$rc" >"$work/$name.rc"
}

# archive and expected status
cases=(
  "solid.rar 0" "plain.rar 0" "solid-damaged.rar 3" "plain-damaged.rar 3" "solid-cut.rar 3"
  "version21.rar 1" "continued.rar 2" "no-archive.bin 2" "missing.rar 2"
)
for entry in "${cases[@]}"; do
  read -r archive want <<<"$entry"
  run "native.$archive" "$native" test "$work/$archive"
  run "asan.$archive" "$asan" test "$work/$archive"
  run "win64.$archive" "$TV_WINE" "$windows" test "$work/$archive"
  for build in asan win64; do
    cmp -s "$work/native.$archive.out" "$work/$build.$archive.out" || fail "$archive: $build prints other verdicts"
    cmp -s "$work/native.$archive.rc" "$work/$build.$archive.rc" || fail "$archive: $build ends with another status"
  done
  got=$(cat "$work/native.$archive.rc")
  [ "$got" = "$want" ] || fail "$archive: status $got, expected $want"
done

count() { grep -c "^$1 " "$work/native.$2.out" || true; }
[ "$(count OK solid.rar)" = 4 ] || fail "solid.rar: not 4 entries OK"
[ "$(count BAD plain-damaged.rar)" = 1 ] || fail "plain-damaged.rar: not exactly one entry BAD"
[ "$(count BAD solid-damaged.rar)" -ge 1 ] || fail "solid-damaged.rar: no entry BAD"
grep -q "^BAD .* (unpack version 21)$" "$work/native.version21.rar.out" || fail "version21.rar: no refused entry"
grep -q "^4 entries, [0-9]* bytes$" "$work/native.solid.rar.out" || fail "solid.rar: no summary line"

expect_usage_status "$native" test "" "A B" "-x"

finish_stage 20-tvsfx-test "native, sanitizer and Windows verdicts agree on ${#cases[@]} archives"
