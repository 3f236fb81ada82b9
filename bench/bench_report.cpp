// The report of a completed chain: built and rendered as text, and laid out as PDF.

#include <benchmark/benchmark.h>

#include <exception>
#include <string>

#include <QString>

#include "bench_support.h"
#include "report/painter/report_painter.h"
#include "report/report.h"

namespace trelvan::bench {
namespace {

template <typename Render>
void reportBenchmark(benchmark::State& state, Render render) {
    const int n = static_cast<int>(state.range(0));
    ChainState record;
    try {
        record = completedRecord(chainOf(n));
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    for (auto _ : state) {
        const std::string error = render(record, n);
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    state.counters["per_triangle"] =
        benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ReportText(benchmark::State& state) {
    reportBenchmark(state, [](const ChainState& record, int) {
        const std::string text = renderText(buildReport(record));
        benchmark::DoNotOptimize(text.data());
        return text.empty() ? std::string("empty report") : std::string();
    });
}
BENCHMARK(BM_ReportText)->Arg(1000)->Arg(16382)->Unit(benchmark::kMillisecond);

void BM_ReportPdf(benchmark::State& state) {
    reportBenchmark(state, [](const ChainState& record, int n) {
        const QString file = QString::fromStdString(scratchPath("report-" + std::to_string(n) + ".pdf"));
        return writeReportPdf(buildReport(record), file).toStdString();
    });
}
BENCHMARK(BM_ReportPdf)->Arg(1000)->Unit(benchmark::kMillisecond);
// Some thousand pages: a few seconds each, so fewer of them.
BENCHMARK(BM_ReportPdf)->Arg(16382)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trelvan::bench
