#!/usr/bin/env bash
# pack-bench.sh: the packer benchmark. Packs the same payload of at least 50 MB
# (made by make-payload.sh from this machine's packages) with `tvsfx pack` at
# each level, and compresses a tar of the same files with `gzip -9` and
# `xz -6`, reporting output size and wall time side by side. The default level
# and gzip -9 are timed best of three (the machine is shared); the rest once.
# Targets: the top level at least 10% smaller than gzip -9; the default level
# no slower than gzip -9.
#   usage: bench/pack-bench.sh [BUILD_DIR]   (default: build/native)
set -euo pipefail
source "$(dirname "$0")/bench-setup.sh"
tar cf "$work/pack-payload.tar" -C "$work/payload" .
bytes=$(du -sb "$work/payload" | cut -f1)

# seconds COMMAND...: wall time of one run, output discarded.
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f", e - s }'
}
best_of_three() {
  local best="" t
  for _ in 1 2 3; do
    t=$(seconds "$@")
    if [ -z "$best" ] || awk -v t="$t" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$t; fi
  done
  echo "$best"
}
gzip9() { gzip -9 -c "$work/pack-payload.tar" >"$work/pack-payload.tar.gz"; }
xz6() { xz -6 -T1 -c "$work/pack-payload.tar" >"$work/pack-payload.tar.xz"; }
pack() { "$tvsfx" pack --level "$1" -o "$work/pack-level$1.rar" "$work/payload"; }
default_level() { "$tvsfx" pack -o "$work/pack-default.rar" "$work/payload"; }
size() { stat -c %s "$1"; }

gzip_time=$(best_of_three gzip9)
gzip_size=$(size "$work/pack-payload.tar.gz")
xz_time=$(seconds xz6)
xz_size=$(size "$work/pack-payload.tar.xz")
default_time=$(best_of_three default_level)
default_size=$(size "$work/pack-default.rar")

printf 'payload: %d bytes in %d files\n' "$bytes" "$(find "$work/payload" -type f | wc -l)"
printf '%-22s %12s %8s %9s\n' tool bytes "% of in" seconds
row() { printf '%-22s %12d %7.2f%% %9s\n' "$1" "$2" "$(awk -v a="$2" -v b="$bytes" 'BEGIN { print 100 * a / b }')" "$3"; }
row "gzip -9 (tar)" "$gzip_size" "$gzip_time"
row "xz -6 (tar)" "$xz_size" "$xz_time"
row "tvsfx pack (default)" "$default_size" "$default_time"
top_size=0
for level in 1 2 3 4 5; do
  t=$(seconds pack "$level")
  s=$(size "$work/pack-level$level.rar")
  row "tvsfx pack --level $level" "$s" "$t"
  top_size=$s
done

verdict() { if [ "$2" = 1 ]; then echo "target met: $1"; else echo "target MISSED: $1"; fi; }
verdict "top level at least 10% smaller than gzip -9" \
  "$(awk -v t="$top_size" -v g="$gzip_size" 'BEGIN { print (t <= 0.9 * g) ? 1 : 0 }')"
verdict "default level no slower than gzip -9" \
  "$(awk -v d="$default_time" -v g="$gzip_time" 'BEGIN { print (d <= g) ? 1 : 0 }')"
