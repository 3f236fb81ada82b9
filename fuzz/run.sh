#!/usr/bin/env bash
# Builds the fuzz target with clang and runs it on one core.
#
#   fuzz/run.sh [SECONDS [LIBFUZZER OPTIONS...]]     SECONDS defaults to 600
#
# New inputs go to build-fuzz/corpus; the committed seeds in fuzz/corpus are read
# only. A fault leaves its input as build-fuzz/crash-*, timeout-* or oom-*: replay it
# with `build-fuzz/fuzz_compute FILE`, then add it as a robustness test.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-600}
shift || true

"$root/scripts/dev.sh" deps fuzz
if [ ! -f "$build/build.ninja" ]; then
    CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTRELVAN_FUZZ=ON -DTRELVAN_BUILD_TESTS=OFF -DTRELVAN_BUILD_BENCHMARKS=OFF
fi
cmake --build "$build" -j "${JOBS:-2}" --target fuzz_compute

mkdir -p "$build/corpus"
cd "$build"
exec ./fuzz_compute corpus "$root/fuzz/corpus" -dict="$root/fuzz/replies.dict" \
    -max_total_time="$seconds" -max_len=16384 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "$@"
