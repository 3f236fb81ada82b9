#!/usr/bin/env bash
# Build the benchmarks in Release and run them: the adjustment alone, the whole
# Compute action, whole batch runs of the real program (time and peak memory), the
# report as text and as PDF, and the window opening on the offscreen platform.
# Ends with the medians set against the targets; exit status 1 when one is missed.
#
#   scripts/bench.sh [Google Benchmark options, e.g. --benchmark_filter=BatchRun]
#
# Environment: BUILD_DIR (default: build-bench), JOBS (default: number of cores),
# REPETITIONS (default: 9; the figures are the medians).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build-bench}
jobs=${JOBS:-$(nproc)}

"$root/scripts/dev.sh" deps
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRELVAN_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build" -j "$jobs" --target trelvan_bench trelvan_make_replies

echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores," \
     "$(awk '/MemTotal/ {printf "%.0f GB", $2 / 1048576}' /proc/meminfo) memory, Linux $(uname -r)," \
     "load average $(cut -d' ' -f1-3 /proc/loadavg)"
exec "$build/trelvan_bench" --benchmark_repetitions="${REPETITIONS:-9}" \
     --benchmark_report_aggregates_only=true --benchmark_min_time=0.3 "$@"
