#!/usr/bin/env bash
# Stage: makes SETUP.EXE for both Windows builds (scripts/lib/make-setup) and
# checks what the builds cannot check alone: each stub within its size and
# importing only system DLLs, and each SETUP.EXE carrying the whole staged
# payload: unpacked with the native tvsfx, it gives back exactly the staged
# files with their times and read-only bits. The end-to-end stage that follows
# runs the x86_64 SETUP.EXE made here.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
native=${TV_NATIVE_BUILD:-$repo/build/native}
tvsfx=$native/tools/tvsfx/tvsfx
fail() { echo "FAIL: $*" >&2; exit 1; }

# The DLLs every Windows installation has; nothing else may be imported.
system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|msvcrt)\.dll$'

# Each file's time, and which files are read-only: what diff -r does not compare.
times_and_bits() {
  (cd "$1" && find . -type f -printf '%P %TY-%Tm-%Td %TT\n' | LC_ALL=C sort &&
    find . -type f ! -perm -u+w -printf 'read-only %P\n' | LC_ALL=C sort)
}

check_build() {  # check_build BUILD_DIR OBJDUMP SIZE_LIMIT
  local build=$1 objdump=$2 limit=$3
  local stub=$build/src/shell/setup-stub.exe
  "$repo/scripts/lib/make-setup" "$build" "$native"

  local size
  size=$(stat -c %s "$stub")
  [ "$size" -le "$limit" ] || fail "$stub is $size bytes, over $limit"
  local dll
  for dll in $("$objdump" -p "$stub" | sed -n 's/^\s*DLL Name: //p'); do
    echo "${dll,,}" | grep -Eq "$system_dlls" || fail "$stub imports $dll"
  done

  # Unpacked natively (every checksum verified), the archive gives back the
  # staged payload byte for byte.
  local out
  out=$(mktemp -d /tmp/tv-setup-exe.XXXXXX)
  "$tvsfx" extract "$build/SETUP.EXE" "$out" >/dev/null || fail "tvsfx extract $build/SETUP.EXE"
  diff -r "$build/demo-payload" "$out" || fail "$build/SETUP.EXE does not carry its staged payload"
  diff <(times_and_bits "$build/demo-payload") <(times_and_bits "$out") ||
    fail "$build/SETUP.EXE unpacks with other times or read-only bits than staged"
  chmod -R u+w "$out"
  rm -rf "$out"
  echo "ok: $build/SETUP.EXE ($(stat -c %s "$build/SETUP.EXE") bytes, stub $size of $limit)"
}

check_build "${TV_WIN64_BUILD:-$repo/build/win64}" x86_64-w64-mingw32-objdump 98304
check_build "${TV_WIN32_BUILD:-$repo/build/win32}" i686-w64-mingw32-objdump 65536
