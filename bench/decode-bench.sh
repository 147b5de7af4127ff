#!/usr/bin/env bash
# decode-bench.sh: the decoder benchmark. Packs a payload of at least 50 MB
# (made by make-payload.sh from this machine's packages) with `tvsfx pack`,
# then times `tvsfx test` on it (every entry decoded and its CRC-32 checked,
# output discarded) next to `gzip -t` (inflate with CRC) over the same payload
# as one tar file compressed by `gzip -9`. Speeds are MB of unpacked output per
# second, best of three runs each.
#   usage: bench/decode-bench.sh [BUILD_DIR]   (default: build/native)
set -euo pipefail
source "$(dirname "$0")/bench-setup.sh"
if [ ! -f "$work/payload.rar" ] || [ "$tvsfx" -nt "$work/payload.rar" ]; then
  "$tvsfx" pack -o "$work/payload.rar" "$work/payload"
fi
[ -f "$work/payload.tar.gz" ] || {
  tar cf "$work/payload.tar" -C "$work/payload" .
  gzip -9 -f "$work/payload.tar"
}
bytes=$(find "$work/payload" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')

# Best wall time of three runs of a command, in seconds.
best_of_three() {
  local best="" start end t
  for _ in 1 2 3; do
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    t=$(awk -v s="$start" -v e="$end" 'BEGIN { print e - s }')
    if [ -z "$best" ] || awk -v t="$t" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$t; fi
  done
  echo "$best"
}

tvsfx_time=$(best_of_three "$tvsfx" test "$work/payload.rar")
gzip_time=$(best_of_three gzip -t "$work/payload.tar.gz")
awk -v b="$bytes" -v t="$tvsfx_time" -v g="$gzip_time" \
    -v rs="$(stat -c %s "$work/payload.rar")" -v gs="$(stat -c %s "$work/payload.tar.gz")" 'BEGIN {
  mb = b / 1048576
  printf "payload          %.1f MB unpacked\n", mb
  printf "tvsfx test       %6.1f MB/s  (%.3f s, archive %.1f MB)\n", mb / t, t, rs / 1048576
  printf "gzip -t          %6.1f MB/s  (%.3f s, tar.gz %.1f MB)\n", mb / g, g, gs / 1048576
  printf "ratio            %.2f (tvsfx test speed / gzip -t speed)\n", g / t
}'
