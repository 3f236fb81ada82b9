// The precision analysis of a completed chain: in this process alone, and as part of
// a whole batch run that writes it as JSON, set against the same run without it.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <optional>
#include <string>
#include <utility>

#include "analysis/chain_precision.h"
#include "analysis/tables.h"
#include "batch_runs.h"
#include "bench_support.h"

namespace trelvan::bench {
namespace {

// The analysis of the generated chain of state.range(0) triangles; empty, with the
// benchmark skipped, when the chain cannot be computed.
std::optional<analysis::ChainPrecision> analysed(benchmark::State& state, ChainState* keep = nullptr) {
    try {
        ChainState record = completedRecord(chainOf(static_cast<int>(state.range(0))));
        auto precision = analysis::analyse(record);
        if (!precision) state.SkipWithError("no analysis");
        if (keep) *keep = std::move(record);
        return precision;
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return std::nullopt;
    }
}

// The analysis alone, from the completed record to every figure.
void BM_Analysis(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    ChainState record;
    if (!analysed(state, &record)) return;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const auto precision = analysis::analyse(record);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (!precision) {
            state.SkipWithError("no analysis");
            break;
        }
        benchmark::DoNotOptimize(precision->points.data());
    }
    state.counters["per_triangle"] =
        benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Analysis)->Arg(1000)->Arg(16382)->UseManualTime()->Unit(benchmark::kMillisecond);

// The analysis written out, as JSON and as text tables, in this process.
template <std::string (*Render)(const analysis::ChainPrecision&)>
void BM_AnalysisOutput(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const auto precision = analysed(state);
    if (!precision) return;
    for (auto _ : state) {
        const std::string out = Render(*precision);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["per_triangle"] =
        benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_AnalysisOutput<analysis::analysisJson>)->Name("BM_AnalysisJson")->Arg(1000)->Arg(16382)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnalysisOutput<analysis::renderAnalysisText>)->Name("BM_AnalysisText")->Arg(1000)->Arg(16382)
    ->Unit(benchmark::kMillisecond);

// A whole batch run of the program that also writes the analysis as JSON; compare
// BM_BatchRun, the same run without it.
void BM_BatchRunAnalysis(benchmark::State& state) {
    const std::string n = std::to_string(state.range(0));
    timeBatchRuns(state, {"--analysis-json", scratchPath("analysis-" + n + ".json")},
                  scratchPath("transcript-analysis-" + n + ".txt"));
}
BENCHMARK(BM_BatchRunAnalysis)->Arg(1000)->Arg(16382)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trelvan::bench
