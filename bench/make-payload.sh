#!/usr/bin/env bash
# make-payload.sh DIR [MB]: fills DIR with a realistic mixed payload of at least
# MB megabytes (default 60) copied from this machine's installed packages:
# text (/usr/share/doc, /usr/share/common-licenses), source (/usr/include) and
# executables and libraries (/usr/bin, /usr/lib). Files are taken in name order,
# so the same machine gives the same payload. Benchmarks of the packer and the
# decoder both use it.
set -euo pipefail
dir=${1:?usage: make-payload.sh DIR [MB]}
total_mb=${2:-60}
budget=$((total_mb * 1024 * 1024))
mkdir -p "$dir"

# Copies regular files below $2 into $dir/$1 until $3 bytes are taken; files
# larger than 8 MB are left out so no single file dominates.
take() {
  local name=$1 root=$2 limit=$3 taken=0 size rel
  while IFS= read -r -d '' file; do
    size=$(stat -c %s "$file")
    [ "$size" -gt 0 ] && [ "$size" -le $((8 * 1024 * 1024)) ] || continue
    [ -r "$file" ] || continue
    rel=${file#"$root"/}
    mkdir -p "$dir/$name/$(dirname "$rel")"
    cp "$file" "$dir/$name/$rel"
    taken=$((taken + size))
    [ "$taken" -lt "$limit" ] || break
  done < <(find "$root" -type f -print0 | sort -z)
  echo "$name: $((taken / 1024)) KB from $root"
}

take text /usr/share/doc $((budget * 3 / 10))
take licenses /usr/share/common-licenses $((budget / 50))
take source /usr/include $((budget * 3 / 10))
take programs /usr/bin $((budget * 2 / 10))
take libraries /usr/lib/x86_64-linux-gnu $((budget * 2 / 10))
du -sb "$dir" | awk '{printf "payload: %.1f MB in %s\n", $1 / 1048576, $2}'
