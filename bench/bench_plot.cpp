// The plot and the full report: whole batch runs of the real program that write the
// plot as SVG or PNG, or the full report, timed from outside; and the plot window on
// the offscreen platform, laid out and painted fitted and zoomed in.

#include <benchmark/benchmark.h>

#include <chrono>
#include <exception>
#include <string>

#include <QCoreApplication>

#include "batch_runs.h"
#include "bench_support.h"
#include "window/plot_window.h"

namespace trelvan::bench {
namespace {

// A whole batch run of state.range(0) triangles that also writes `file` by `option`.
void batchRunWriting(benchmark::State& state, const char* option, const std::string& file) {
    const std::string n = std::to_string(state.range(0));
    timeBatchRuns(state, {option, scratchPath(n + "-" + file)}, scratchPath("transcript-" + file + "-" + n + ".txt"));
}

void BM_BatchPlotSvg(benchmark::State& state) { batchRunWriting(state, "--plot", "plot.svg"); }
void BM_BatchPlotPng(benchmark::State& state) { batchRunWriting(state, "--plot", "plot.png"); }
void BM_BatchFullReport(benchmark::State& state) { batchRunWriting(state, "--full-report-pdf", "full.pdf"); }
BENCHMARK(BM_BatchPlotSvg)->Arg(1000)->Arg(16382)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BatchPlotPng)->Arg(1000)->Arg(16382)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BatchFullReport)->Arg(100)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond);

// The plot window of state.range(0) triangles, 1000 × 700 pixels: each view laid out
// afresh and painted, fitted (range(1) = 1) or zoomed in that many times about the
// middle of the chain.
void BM_PlotWindowRepaint(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const double zoom = static_cast<double>(state.range(1));
    ChainState record;
    try {
        record = completedRecord(chainOf(n));
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    PlotWindow window;
    window.resize(1000, 700);
    window.showRecord(record);
    window.show();
    QCoreApplication::processEvents();
    PlotCanvas& canvas = *window.canvas();
    const plot::Ground middle = canvas.figure().points[static_cast<std::size_t>(n / 2)].at;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        canvas.fit();
        if (zoom != 1) canvas.zoomAt(canvas.widgetPointOf(middle), zoom);
        canvas.repaint();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["names"] = static_cast<double>(canvas.laidOut().names.size());
}
BENCHMARK(BM_PlotWindowRepaint)
    ->Args({1000, 1})->Args({16382, 1})->Args({16382, 20})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trelvan::bench
