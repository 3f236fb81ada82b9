#!/usr/bin/env bash
# Builds a fuzz target with clang and runs it on one core.
#
#   fuzz/run.sh [SECONDS [LIBFUZZER OPTIONS...]]     SECONDS defaults to 600
#
# FUZZ_TARGET chooses the target: compute (the default; reply streams through the
# Compute action) or job (arbitrary bytes as a job file).
#
# New inputs go to build-fuzz/corpus (build-fuzz/job_corpus); the committed seeds in
# fuzz/corpus (fuzz/job_corpus) are read only. A fault leaves its input as
# build-fuzz/crash-*, timeout-* or oom-*: replay it with `build-fuzz/fuzz_compute
# FILE` (fuzz_job), then keep it in fuzz/findings (fuzz/job_findings), which the
# test suite replays.
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
case "${FUZZ_TARGET:-compute}" in
    compute) target=fuzz_compute corpus=corpus dict=replies.dict ;;
    job) target=fuzz_job corpus=job_corpus dict=job.dict ;;
    *) echo "FUZZ_TARGET must be compute or job" >&2; exit 2 ;;
esac
cmake --build "$build" -j "${JOBS:-2}" --target "$target"

mkdir -p "$build/$corpus"
cd "$build"
exec "./$target" "$corpus" "$root/fuzz/$corpus" -dict="$root/fuzz/$dict" \
    -max_total_time="$seconds" -max_len=16384 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "$@"
