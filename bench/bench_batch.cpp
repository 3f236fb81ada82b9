// A whole batch run of the real program: the dialogue, the adjustment, the listing
// and the transcript, fed a generated reply file, timed from outside. N = 1 is
// almost nothing but the program's start-up.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <exception>
#include <string>

#include "bench_support.h"

namespace trelvan::bench {
namespace {

void BM_BatchRun(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string transcript = scratchPath("transcript-" + std::to_string(n) + ".txt");
    double peakMb = 0, cpuSeconds = 0;
    try {
        const std::string& replies = replyFileOf(n);
        for (auto _ : state) {
            const ChildRun run = runChild(TRELVAN_PROGRAM, {"--batch"}, replies, transcript);
            if (run.exitStatus != 0) {
                state.SkipWithError(("exit status " + std::to_string(run.exitStatus)).c_str());
                break;
            }
            state.SetIterationTime(run.wallSeconds);
            peakMb = std::max(peakMb, run.peakRssMb);
            cpuSeconds += run.cpuSeconds;
        }
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    state.counters["peak_MB"] = peakMb;
    state.counters["cpu_s"] = benchmark::Counter(cpuSeconds, benchmark::Counter::kAvgIterations);
    state.counters["per_triangle"] =
        benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BatchRun)
    ->Arg(1)->Arg(100)->Arg(1000)->Arg(16382)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trelvan::bench
