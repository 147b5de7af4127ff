#!/usr/bin/env bash
# tvsfx pack on a generated tree (text, random and run-heavy files, empty and
# one-byte files, a file beyond the 1 MB window, many small files, a read-only
# file, an empty directory): at the lowest, default and top level, solid and
# not, with and without a stub. Every archive must pass `tvsfx test` natively
# and with the Windows build under Wine, `tvsfx list` must show the stored
# fields, and unpacking must give back the tree. Refusals leave no output.
# Env: TV_NATIVE_BUILD, TV_WIN64_BUILD, TV_WINE, WINEPREFIX.
set -euo pipefail

native=$TV_NATIVE_BUILD/tools/tvsfx/tvsfx
windows=$TV_WIN64_BUILD/tools/tvsfx/tvsfx.exe
source "$(dirname "$0")/../../scripts/lib/stage-checks"

tree=$work/tree
mkdir -p "$tree/docs/deep" "$tree/bin" "$tree/empty dir" "$tree/many"
seq 1 40000 | sed 's/$/ line of the Tarnivole manual/' >"$tree/docs/manual.txt"
head -c 1300000 /dev/urandom >"$tree/bin/random.bin"  # packed in several pieces
# Beyond the window: text, random bytes, then the same random bytes again.
{ cat "$tree/docs/manual.txt" "$tree/bin/random.bin" "$tree/bin/random.bin"; } >"$tree/bin/big.dat"
head -c 200000 /dev/zero >"$tree/bin/zeros.bin"
: >"$tree/docs/empty.txt"
printf 'x' >"$tree/docs/deep/one.txt"
for i in $(seq 1 150); do seq "$i" 3 $((i * 7)) >"$tree/many/f$i.txt"; done
echo "do not change" >"$tree/docs/readonly.txt"
chmod a-w "$tree/docs/readonly.txt"
head -c 5000 /dev/zero >"$work/stub.exe"
head -c 131054 /dev/zero >"$work/big-stub.exe"

# Stored names of the tree's entries, in archive order (byte order).
(cd "$tree" && { find . -type f; find . -type d -empty; } | sed 's|^\./||; s|/|\\|g' | LC_ALL=C sort) \
  >"$work/names.expected"

for options in "--level 1" "" "--level 5" "--no-solid --level 3" "--stub $work/stub.exe" \
  "--stub $work/stub.exe --no-solid --level 1"; do
  name=$(echo "x$options" | tr -c 'a-z0-9' '_')
  archive=$work/$name.exe
  # shellcheck disable=SC2086
  "$native" pack $options -o "$archive" "$tree" >"$work/$name.summary" || fail "pack $options"
  grep -Eq '^packed [0-9]+ entries: [0-9]+ bytes in, [0-9]+ bytes out' "$work/$name.summary" ||
    fail "pack $options: no summary line"
  "$native" test "$archive" >"$work/$name.test" || fail "native test $options"
  "$TV_WINE" "$windows" test "$archive" >"$work/$name.wintest" 2>&1 || fail "win64 test $options"

  "$native" list --json "$archive" >"$work/$name.json"
  grep -o '"name": "[^"]*"' "$work/$name.json" | sed 's/"name": "//; s/"$//; s/\\\\/\\/g' \
    >"$work/$name.names"
  cmp -s "$work/names.expected" "$work/$name.names" || fail "list $options: names or order differ"
  solid=8
  case "$options" in *--no-solid*) solid=0 ;; esac
  grep -q "\"archiveFlags\": $solid," "$work/$name.json" || fail "list $options: archive flags"
  grep -q '"versionNeeded": 20,' "$work/$name.json" || fail "list $options: version"
  grep -q '"hostSystem": 2,' "$work/$name.json" || fail "list $options: host"
  grep -q '"name": "docs\\\\readonly.txt".*"attributes": 33,' "$work/$name.json" ||
    fail "list $options: read-only attribute"
  # Directory entries: 0x80E0, with the solid bit 0x80F0 after the first file.
  grep -Eq '"name": "empty dir".*"attributes": 16, "blockFlags": (32992|33008),' "$work/$name.json" ||
    fail "list $options: empty directory entry"
  case "$options" in
    *--stub*) grep -q '"markerOffset": 5000,' "$work/$name.json" || fail "list $options: marker offset" ;;
  esac

  mkdir "$work/$name.out"
  "$native" extract "$archive" "$work/$name.out" >/dev/null || fail "extract $options"
  # Unpacking makes no directory for a directory entry: the empty one is left out.
  diff -r -x "empty dir" "$tree" "$work/$name.out" >/dev/null || fail "extract $options: files differ"
done

# Refused: the marker would start beyond 131,053; nothing is left at OUT.
if "$native" pack --stub "$work/big-stub.exe" -o "$work/refused.exe" "$tree" 2>"$work/refused.err"; then
  fail "a stub of 131,054 bytes was accepted"
fi
[ ! -e "$work/refused.exe" ] && [ ! -e "$work/refused.exe.tmp" ] || fail "refused pack left output"
grep -q "131,053" "$work/refused.err" || fail "refusal without a clear message"

finish_stage 30-pack "all checks passed"
