#!/usr/bin/env bash
# run-fuzz.sh [SECONDS]: builds the decoder's libFuzzer target with clang
# (AddressSanitizer and UndefinedBehaviorSanitizer) and fuzzes it for SECONDS
# (default 300), starting from packed data that `tvsfx pack` made of a few
# files of this machine. Needs clang and a native build of tvsfx.
#   usage: fuzz/run-fuzz.sh [SECONDS] [BUILD_DIR]   (default: build/native)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
build=${2:-build/native}
work=build/fuzz
mkdir -p "$work/corpus" "$work/seeds"

cmake --preset native -B "$build" >/dev/null
cmake --build "$build" --target tvsfx >/dev/null
sources=(fuzz/unpack_fuzzer.cpp src/unpack/{bit_reader,huffman_decode,table_reader,stall_guard,lz_decoder,entry_setup}.cpp
         src/archive/{checksum,stream_ops}.cpp src/platform/posix/{file_stream,native_path}.cpp)
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -Isrc \
  "${sources[@]}" -o "$work/unpack_fuzzer"

# Seeds: the packed data of single files packed on their own. The first entry
# header starts at 20 (marker, archive header); its data follows the header.
for file in /usr/include/stdio.h /usr/share/common-licenses/GPL-3 /bin/true; do
  name=$(basename "$file")
  rm -rf "$work/seed-dir" && mkdir -p "$work/seed-dir" && cp "$file" "$work/seed-dir/$name"
  "$build/tools/tvsfx/tvsfx" pack --no-solid -o "$work/seed.rar" "$work/seed-dir" >/dev/null
  header_length=$(od -An -tu2 -j 25 -N2 "$work/seed.rar" | tr -d ' ')
  size=$(stat -c %s "$file")
  { printf "$(printf '\\%03o\\%03o\\%03o\\%03o' $((size & 255)) $((size >> 8 & 255)) $((size >> 16 & 255)) 0)"
    tail -c +$((21 + header_length)) "$work/seed.rar"; } >"$work/seeds/$name"
done

"$work/unpack_fuzzer" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len=65536 \
  "$work/corpus" "$work/seeds"
