// The main window: built, shown and painted once, on the offscreen platform.

#include <benchmark/benchmark.h>

#include <chrono>
#include <exception>

#include <QCoreApplication>

#include "bench_support.h"
#include "window/main_form.h"

namespace trelvan::bench {
namespace {

// In this process, after the first window: what a second window costs.
void BM_WindowOpen(benchmark::State& state) {
    for (auto _ : state) {
        MainForm window;
        window.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(&window);
    }
}
BENCHMARK(BM_WindowOpen)->Unit(benchmark::kMillisecond);

// From the start of a fresh process to the first painted window, as an operator
// sees it: loading the libraries, the fonts, the window itself.
void BM_WindowOpenProcess(benchmark::State& state) {
    double peakMb = 0;
    try {
        for (auto _ : state) {
            const ChildRun run = runChild(TRELVAN_WINDOW_OPEN, {}, "", "", {"QT_QPA_PLATFORM=offscreen"});
            if (run.exitStatus != 0) {
                state.SkipWithError("the window did not open");
                break;
            }
            state.SetIterationTime(run.wallSeconds);
            peakMb = std::max(peakMb, run.peakRssMb);
        }
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
    state.counters["peak_MB"] = peakMb;
}
BENCHMARK(BM_WindowOpenProcess)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trelvan::bench
