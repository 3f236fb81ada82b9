// A whole batch run of the real program: the dialogue, the adjustment, the listing
// and the transcript, fed a generated reply file, timed from outside. N = 1 is
// almost nothing but the program's start-up.

#include <benchmark/benchmark.h>

#include <string>

#include "batch_runs.h"
#include "bench_support.h"

namespace trelvan::bench {
namespace {

void BM_BatchRun(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    timeBatchRuns(state, {}, scratchPath("transcript-" + std::to_string(n) + ".txt"));
    state.counters["per_triangle"] =
        benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BatchRun)
    ->Arg(1)->Arg(100)->Arg(1000)->Arg(16382)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trelvan::bench
