# Sourced by the benchmarks: builds tvsfx in BUILD_DIR (the first argument,
# default build/native) and makes the shared payload of at least 50 MB once.
# Sets build, work (build/bench), tvsfx and the payload in $work/payload.
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=${1:-build/native}
work=build/bench
mkdir -p "$work"

cmake --preset native -B "$build" >/dev/null
cmake --build "$build" --target tvsfx >/dev/null
tvsfx=$build/tools/tvsfx/tvsfx

[ -d "$work/payload" ] || bench/make-payload.sh "$work/payload" 60
