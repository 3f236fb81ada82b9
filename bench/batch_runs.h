#pragma once
// Whole batch runs of the real program, timed from outside: each iteration one run
// on the chain of state.range(0) triangles, its replies on standard input unless the
// options name a job file, with the wall time as the iteration's time and the run's
// peak memory and CPU time as counters.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "bench_support.h"

namespace trelvan::bench {

inline void timeBatchRuns(benchmark::State& state, const std::vector<std::string>& options,
                          const std::string& transcript, bool repliesOnInput = true) {
    const int n = static_cast<int>(state.range(0));
    double peakMb = 0, cpuSeconds = 0;
    std::vector<std::string> arguments = {"--batch"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    try {
        const std::string replies = repliesOnInput ? replyFileOf(n) : std::string();
        for (auto _ : state) {
            const ChildRun run = runChild(TRELVAN_PROGRAM, arguments, replies, transcript);
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
}

}  // namespace trelvan::bench
