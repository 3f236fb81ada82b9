// The coordinates out: each format written by the export itself, from the completed
// record to the file renamed into place (the analysis the CSV and the DXF need
// included); and whole batch runs of the real program that write all three.

#include <benchmark/benchmark.h>

#include <chrono>
#include <exception>
#include <filesystem>
#include <string>

#include "batch_runs.h"
#include "bench_support.h"
#include "export/coordinates.h"

namespace trelvan::bench {
namespace {

template <exports::Format format>
void BM_Export(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    ChainState record;
    try {
        record = completedRecord(chainOf(n));
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    const char* extension = format == exports::Format::CassData ? ".dat" : format == exports::Format::Csv ? ".csv" : ".dxf";
    const std::string file = scratchPath("export-" + std::to_string(n) + extension);
    double bytes = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const exports::Outcome outcome = exports::exportCoordinates(record, format, file);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (!outcome.written()) {
            state.SkipWithError(outcome.message.c_str());
            break;
        }
    }
    try {
        bytes = static_cast<double>(std::filesystem::file_size(file));
    } catch (const std::exception&) {
    }
    state.counters["MB"] = bytes / 1e6;
}
BENCHMARK(BM_Export<exports::Format::CassData>)->Name("BM_ExportDat")->Arg(1000)->Arg(16382)->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Export<exports::Format::Csv>)->Name("BM_ExportCsv")->Arg(1000)->Arg(16382)->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Export<exports::Format::Dxf>)->Name("BM_ExportDxf")->Arg(1000)->Arg(16382)->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// A whole batch run of state.range(0) triangles that writes the three files.
void BM_BatchExports(benchmark::State& state) {
    const std::string n = std::to_string(state.range(0));
    timeBatchRuns(state,
                  {"--export-dat", scratchPath(n + "-run.dat"), "--export-csv", scratchPath(n + "-run.csv"),
                   "--export-dxf", scratchPath(n + "-run.dxf")},
                  scratchPath("transcript-exports-" + n + ".txt"));
}
BENCHMARK(BM_BatchExports)->Arg(1000)->Arg(16382)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trelvan::bench
