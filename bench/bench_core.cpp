// The adjustment alone: from the entered chain to the adjusted coordinates.

#include <benchmark/benchmark.h>

#include <chrono>
#include <exception>

#include "adjustment/stages.h"
#include "bench_support.h"

namespace trelvan::bench {
namespace {

void BM_Adjustment(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    EnteredChain entered;
    try {
        entered = enterChain(chainOf(n));
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    LastTexts boxes;
    for (auto _ : state) {
        EnteredChain work = entered;  // the stages change their input: start afresh, untimed
        const auto start = std::chrono::steady_clock::now();
        try {
            solveTriangles(work.state, work.run);
            computeMisclosures(work.state, work.run, boxes);
            formConditions(work.state, work.run);
            solveNormals(work.state, work.run);
            assessPrecision(work.state, work.run, boxes);
            adjustCoordinates(work.state, work.run);
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            break;
        }
        benchmark::DoNotOptimize(work.state.pointX.data());
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["per_triangle"] =
        benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Adjustment)
    ->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Arg(16382)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace trelvan::bench
