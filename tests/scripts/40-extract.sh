#!/usr/bin/env bash
# Stage: `tvsfx extract` reproduces a packed tree of 1,100 files byte for byte,
# with their modification times and read-only bits, natively and with the
# Windows build under Wine (into a path on Wine's drive C:).
# Needs TV_NATIVE_BUILD, TV_WIN64_BUILD, WINEPREFIX and TV_WINE (scripts/test).
set -euo pipefail

native=${TV_NATIVE_BUILD:?}/tools/tvsfx/tvsfx
windows=${TV_WIN64_BUILD:?}/tools/tvsfx/tvsfx.exe
: "${WINEPREFIX:?}" "${TV_WINE:?}"

work=$(mktemp -d)
wine_dir_name="tv-extract-$$"
wine_target="$WINEPREFIX/drive_c/$wine_dir_name"
cleanup() {
  chmod -R u+w "$work" "$wine_target" 2>/dev/null || true
  rm -rf "$work" "$wine_target"
}
trap cleanup EXIT

# --- the tree: 1,100 files in 22 directories, sizes from 0 to 150 kB, text
# that compresses but differs per file, every 13th file read-only.
tree=$work/tree
file_count=1100
for d in $(seq 0 10); do mkdir -p "$tree/dir$d/sub$((d % 3))"; done
awk -v root="$tree" -v count="$file_count" 'BEGIN {
  for (i = 0; i < count; i++) {
    dir = (i % 2 == 0) ? "dir" (i % 11) : "dir" (i % 11) "/sub" ((i % 11) % 3)
    path = root "/" dir "/file" i ".dat"
    written = 0
    size = (i % 97 == 0) ? 150000 : (i * 7919) % 6000
    printf "" > path
    for (n = 0; written < size; n++) {
      line = sprintf("%d:%d line of file %d\n", n, (n * i) % 1013, i)
      if (written + length(line) > size) line = substr(line, 1, size - written)
      printf "%s", line > path
      written += length(line)
    }
    close(path)
  }
}'
i=0
while IFS= read -r file; do
  # Even seconds: MS-DOS times hold seconds in 2-second steps.
  touch -d "@$((946684800 + i * 172802))" "$file"
  [ $((i % 13)) -eq 0 ] && chmod a-w "$file"
  i=$((i + 1))
done < <(find "$tree" -type f | sort)
[ "$i" -eq "$file_count" ] || { echo "generated $i files, wanted $file_count" >&2; exit 1; }

"$native" pack -o "$work/payload.rar" "$tree"

# What must come out: every file's bytes, time and read-only bit.
describe() {
  (cd "$1" && find . -type f -printf '%P %T@ %s\n' | sort &&
    echo "read-only:" && find . -type f ! -perm -u+w -printf '%P\n' | sort)
}
compare() {
  local what=$1 out=$2
  if ! diff -r "$tree" "$out" >/dev/null; then
    echo "$what: bytes differ" >&2
    diff -rq "$tree" "$out" | head >&2
    exit 1
  fi
  if ! diff <(describe "$tree") <(describe "$out") >"$work/describe.diff"; then
    echo "$what: times or read-only bits differ" >&2
    head -20 "$work/describe.diff" >&2
    exit 1
  fi
  echo "$what: $file_count files reproduced"
}

# --- native
"$native" extract "$work/payload.rar" "$work/out-native" >/dev/null
compare native "$work/out-native"

# --- exit statuses and messages of failed runs
expect_status() {
  local want=$1 what=$2 status=0
  shift 2
  "$@" >/dev/null 2>"$work/stderr" || status=$?
  if [ "$status" -ne "$want" ]; then
    echo "$what: exit status $status, wanted $want" >&2
    cat "$work/stderr" >&2
    exit 1
  fi
}
expect_status 2 "not an archive" "$native" extract "$tree/dir0/file0.dat" "$work/out-none"
expect_status 64 "missing argument" "$native" extract "$work/payload.rar"
touch "$work/blocker"
expect_status 1 "target below a file" "$native" extract "$work/payload.rar" "$work/blocker/out"
grep -qx '.*: Cannot create path\.' "$work/stderr"
# One packed byte of the first entry changed: its checksum no longer matches.
cp "$work/payload.rar" "$work/damaged.rar"
first_header_length=$(od -An -tu2 -j25 -N2 "$work/damaged.rar" | tr -d ' ')
offset=$((20 + first_header_length + 8))
byte=$(od -An -tu1 -j"$offset" -N1 "$work/damaged.rar" | tr -d ' ')
printf "$(printf '\\%03o' $((byte ^ 0x5A)))" |
  dd of="$work/damaged.rar" bs=1 seek="$offset" conv=notrunc status=none
expect_status 3 "damaged entry" "$native" extract "$work/damaged.rar" "$work/out-damaged"
[ "$(wc -l <"$work/stderr")" -eq 1 ] && grep -qx '.*: Cannot install file\.' "$work/stderr" || {
  echo "damaged entry: unexpected messages:" >&2
  cat "$work/stderr" >&2
  exit 1
}
[ -z "$(find "$work/out-damaged" -type f)" ] || { echo "damaged entry: file left behind" >&2; exit 1; }
echo "native: failures reported with their exit statuses"

# --- Windows build under Wine; the archive is read through Wine's Z: drive.
payload_windows="Z:$(printf '%s' "$work/payload.rar" | tr / '\\')"
"$TV_WINE" "$windows" extract "$payload_windows" "C:\\$wine_dir_name" >/dev/null
compare wine "$wine_target"
