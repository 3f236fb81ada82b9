// trelvan_bench: checks that generated chains close as they should, runs every
// benchmark, then sets the medians against the targets.
//
//   trelvan_bench [Google Benchmark options]
//
// Exit status 1 when a measured target is missed or a generated chain does not
// close as expected.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <map>
#include <optional>
#include <string>

#include <QApplication>

#include "bench_support.h"
#include "report/painter/report_painter.h"
#include "state/number_format.h"

namespace trelvan::bench {
namespace {

// Runs the Compute action on generated chains and compares the misclosures it
// shows with those the generator's own walk along the chain expects: the shown
// figures must be seconds and millimetres, to the last shown digit.
bool checkMisclosures() {
    std::printf("Misclosures of generated chains, shown by the program (expected):\n");
    std::printf("%7s  %22s  %26s  %26s\n", "N", "Text15 (s)", "Text16 (mm)", "Text17 (mm)");
    bool allGood = true;
    for (const int n : {1, 10, 100, 1000, 16382}) {
        const GeneratedChain& chain = chainOf(n);
        const Misclosures expected = expectedMisclosures(chain);
        LastTexts boxes;
        std::string failure;
        try {
            completedRecord(chain, &boxes);
        } catch (const std::exception& e) {
            failure = e.what();
        }
        const double want[3] = {expected.w1Seconds, expected.wxMm, expected.wyMm};
        bool good = failure.empty();
        std::string cells[3];
        for (int k = 0; k < 3; ++k) {
            const auto shown = shownFigure(boxes.texts[15 + k]);
            // Two decimals are shown; the misclosures are stored as 32-bit floats.
            const double tolerance = 0.006 + std::fabs(want[k]) * 2e-7;
            good = good && shown && std::fabs(*shown - want[k]) <= tolerance;
            cells[k] = (boxes.texts[15 + k].empty() ? "-" : boxes.texts[15 + k]) + " (" +
                       formatFixed(want[k], 2) + ")";
        }
        std::printf("%7d  %s  %s  %s  %s%s\n", n, cells[0].c_str(), cells[1].c_str(), cells[2].c_str(),
                    good ? "ok" : "WRONG ", failure.c_str());
        allGood = allGood && good;
    }
    std::printf("\n");
    return allGood;
}

struct Median {
    double realSeconds = 0;  // wall clock, or the manual time of a child run
    double cpuSeconds = 0;   // this process's CPU time
    std::map<std::string, double> counters;
};

// The console report, keeping the median of every benchmark (or its single run).
class MedianReporter : public benchmark::ConsoleReporter {
public:
    explicit MedianReporter(OutputOptions options) : ConsoleReporter(options) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            if (run.error_occurred) continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (!median && run.run_type != Run::RT_Iteration) continue;
            const std::string key = run.run_name.function_name + "/" + run.run_name.args;
            if (!median && medians.count(key) != 0) continue;
            Median m;
            const double perSecond = benchmark::GetTimeUnitMultiplier(run.time_unit);
            m.realSeconds = run.GetAdjustedRealTime() / perSecond;
            m.cpuSeconds = run.GetAdjustedCPUTime() / perSecond;
            for (const auto& [name, counter] : run.counters) m.counters[name] = counter.value;
            medians[key] = m;
        }
    }
    std::map<std::string, Median> medians;
};

class Targets {
public:
    explicit Targets(const std::map<std::string, Median>& medians) : medians_(medians) {}

    // Prints one target; a value that was not measured is said so and not counted.
    // A figure that only informs is shown against the limit but never counts.
    void check(const char* what, std::optional<double> value, double limit, const char* unit,
               bool informs = false) {
        if (!value) {
            std::printf("  %-62s not measured\n", what);
            return;
        }
        const bool met = *value <= limit;
        std::printf("  %-62s %9s %-2s (limit %s)  %s\n", what, formatFixed(*value, 3).c_str(), unit,
                    generalNumber(limit).c_str(), informs ? "(for information)" : met ? "met" : "MISSED");
        missed_ = missed_ || (!met && !informs);
    }

    std::optional<double> wall(const std::string& key) const {
        const Median* m = find(key);
        return m ? std::optional<double>(m->realSeconds) : std::nullopt;
    }
    std::optional<double> cpu(const std::string& key) const {
        const Median* m = find(key);
        return m ? std::optional<double>(m->cpuSeconds) : std::nullopt;
    }
    std::optional<double> counter(const std::string& key, const std::string& name) const {
        const Median* m = find(key);
        if (m == nullptr || m->counters.count(name) == 0) return std::nullopt;
        return m->counters.at(name);
    }

    // Cost per triangle at N = 16382 over that at N = 1000, less a fixed cost.
    static std::optional<double> growth(std::optional<double> at16382, std::optional<double> at1000,
                                        std::optional<double> fixed = 0.0) {
        if (!at16382 || !at1000 || !fixed) return std::nullopt;
        const double small = (*at1000 - *fixed) / 1000.0;
        if (small <= 0) return std::nullopt;
        return ((*at16382 - *fixed) / 16382.0) / small;
    }
    bool missed() const { return missed_; }

private:
    const Median* find(const std::string& key) const {
        const auto found = medians_.find(key);
        return found == medians_.end() ? nullptr : &found->second;
    }
    const std::map<std::string, Median>& medians_;
    bool missed_ = false;
};

}  // namespace
}  // namespace trelvan::bench

int main(int argc, char** argv) {
    using namespace trelvan::bench;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;

    // Repeated in one process, a large chain's memory would go back to the system at
    // the end of every iteration and be faulted in again at the start of the next,
    // and page faults are dear on a virtual machine: the in-process figures would
    // then grow with the chain because of the allocator, not the work. Keep freed
    // memory in the process. The batch runs, each a fresh program, still pay for
    // every page they touch.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 1 << 30);

    // Qt wants a private runtime folder; the windows of this benchmark and of its
    // children share one in the scratch folder.
    const std::string runtime = scratchPath("runtime");
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr && mkdir(runtime.c_str(), 0700) == 0)
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    // The windows keep their last completed job and their recent files in the
    // scratch folder, not in the user's own.
    for (const char* place : {"XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
        const std::string folder = scratchPath(place);
        mkdir(folder.c_str(), 0700);
        setenv(place, folder.c_str(), 1);
    }

    // Reports and windows need Qt's font machinery, but no display.
    static char arg0[] = "trelvan_bench", arg1[] = "-platform", arg2[] = "offscreen";
    static char* qtArgv[] = {arg0, arg1, arg2, nullptr};
    int qtArgc = 3;
    QApplication app(qtArgc, qtArgv);
    trelvan::installFontSubstitutions();
    // QApplication takes the desktop's locale; the benchmark library writes its
    // figures with printf, which would then use a decimal comma on some desktops.
    std::setlocale(LC_NUMERIC, "C");

    const bool closes = checkMisclosures();

    MedianReporter reporter(isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_ColorTabular
                                                  : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    Targets t(reporter.medians);
    const std::string batch = "BM_BatchRun/";
    std::printf("\nTargets (medians):\n");
    t.check("batch run, N = 16382: wall time", t.wall(batch + "16382"), 1.0, "s");
    t.check("batch run, N = 16382: peak resident memory", t.counter(batch + "16382", "peak_MB"), 100.0, "MB");
    t.check("batch run: wall time per triangle, N = 16382 over N = 1000",
            Targets::growth(t.wall(batch + "16382"), t.wall(batch + "1000")), 1.5, "x");
    // Start-up is most of a batch run of 1000 triangles, so this difference of two
    // medians is at the mercy of the machine's other work.
    t.check("batch run less its start-up (N = 1): CPU per triangle, same",
            Targets::growth(t.counter(batch + "16382", "cpu_s"), t.counter(batch + "1000", "cpu_s"),
                            t.counter(batch + "1", "cpu_s")),
            1.5, "x", true);
    t.check("Compute action in process: CPU per triangle, same",
            Targets::growth(t.cpu("BM_ComputeAction/16382"), t.cpu("BM_ComputeAction/1000")), 1.5, "x");
    t.check("adjustment alone: time per triangle, same",
            Targets::growth(t.wall("BM_Adjustment/16382"), t.wall("BM_Adjustment/1000")), 1.5, "x");
    t.check("text report: CPU per triangle, same",
            Targets::growth(t.cpu("BM_ReportText/16382"), t.cpu("BM_ReportText/1000")), 1.5, "x");
    t.check("PDF report: CPU per triangle, same",
            Targets::growth(t.cpu("BM_ReportPdf/16382"), t.cpu("BM_ReportPdf/1000")), 1.5, "x");
    t.check("window opens in a fresh process (offscreen)", t.wall("BM_WindowOpenProcess/"), 0.5, "s");
    t.check("precision analysis alone, N = 16382", t.wall("BM_Analysis/16382"), 0.010, "s");
    t.check("precision analysis: time per triangle, N = 16382 over N = 1000",
            Targets::growth(t.wall("BM_Analysis/16382"), t.wall("BM_Analysis/1000")), 1.5, "x");
    const auto ratio = [](std::optional<double> a, std::optional<double> b) {
        return a && b && *b > 0 ? std::optional<double>(*a / *b) : std::nullopt;
    };
    t.check("batch run with --analysis-json over the run without, N = 16382",
            ratio(t.wall("BM_BatchRunAnalysis/16382"), t.wall(batch + "16382")), 2.0, "x");
    t.check("the same in CPU time",
            ratio(t.counter("BM_BatchRunAnalysis/16382", "cpu_s"), t.counter(batch + "16382", "cpu_s")), 2.0,
            "x", true);
    t.check("batch run with --analysis-json, N = 16382: peak resident memory",
            t.counter("BM_BatchRunAnalysis/16382", "peak_MB"), 100.0, "MB");
    t.check("job file, N = 16382: read and checked", t.wall("BM_JobRead/16382"), 0.050, "s");
    t.check("job file, N = 16382: checked alone", t.wall("BM_JobCheck/16382"), 0.050, "s");
    t.check("job file, N = 16382: written and flushed to the disk", t.wall("BM_JobWrite/16382"), 0.050, "s");
    const auto jobRun = t.wall("BM_BatchJob/16382"), replyRun = t.wall(batch + "16382");
    t.check("batch run of a job over the same run from replies, N = 16382",
            jobRun && replyRun ? std::optional<double>(*jobRun / *replyRun) : std::nullopt, 1.5, "x");
    t.check("job weighted by the instrument over unweighted, N = 16382",
            ratio(t.wall("BM_BatchJobInstrument/16382"), t.wall("BM_BatchJob/16382")), 1.05, "x");
    const auto measuredRun = t.wall("BM_BatchMeasuredJob/16382");
    t.check("batch run of the job with every side measured less the same job typed, N = 16382",
            measuredRun && jobRun ? std::optional<double>(*measuredRun - *jobRun) : std::nullopt, 0.1, "s");
    t.check("batch run with --plot x.svg, N = 16382", t.wall("BM_BatchPlotSvg/16382"), 2.0, "s");
    t.check("batch run with --plot x.png, N = 16382", t.wall("BM_BatchPlotPng/16382"), 2.0, "s");
    t.check("batch run with --full-report-pdf, N = 1000", t.wall("BM_BatchFullReport/1000"), 2.0, "s");
    t.check("plot window, N = 16382, fitted: laid out and painted", t.wall("BM_PlotWindowRepaint/16382/1"), 0.100,
            "s");
    t.check("job file opened and computed in the window, N = 16382", t.wall("BM_WindowJobOpen/16382"), 0.5, "s");
    t.check("job editor opened, scrolled and checked, N = 16382", t.wall("BM_JobEditorOpen/16382"), 0.5, "s");
    t.check("job editor, N = 16382: a side typed, undone and redone", t.wall("BM_JobEditorEditUndoRedo/16382"), 0.050,
            "s");
    t.check("job editor, N = 16382 measured: a D typed, undone, redone", t.wall("BM_JobEditorMeasuredEdit/16382"),
            0.100, "s");
    t.check("CASS data file exported, N = 16382", t.wall("BM_ExportDat/16382"), 1.0, "s");
    t.check("CSV exported, N = 16382", t.wall("BM_ExportCsv/16382"), 1.0, "s");
    t.check("DXF exported, N = 16382", t.wall("BM_ExportDxf/16382"), 1.0, "s");
    if (!closes) std::printf("  generated chains: misclosures NOT as expected\n");
    return (t.missed() || !closes) ? 1 : 0;
}
