// Job files of generated chains: reading (the file, the JSON and every check),
// checking a job alone, writing one atomically (flushed to the disk), and a whole
// batch run of the program on a job, against the same run from replies; and the
// same job with every side measured, read, reduced and computed.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QUndoStack>

#include "batch_runs.h"
#include "bench_support.h"
#include "job/job.h"
#include "job/job_sheet.h"
#include "reduction/reduction.h"
#include "window/job_actions.h"
#include "window/job_editor.h"
#include "window/main_form.h"

namespace trelvan::bench {
namespace {

// The job of the generated chain, as the completed action leaves it, saved once;
// `weighted`, the same job weighted by a distance meter of 2 mm + 2 mm/km.
const std::string& jobFileOf(int triangles, bool weighted = false) {
    static std::map<std::pair<int, bool>, std::string> files;
    auto found = files.find({triangles, weighted});
    if (found == files.end()) {
        const std::string path =
            scratchPath("chain-" + std::to_string(triangles) + (weighted ? "-weighted" : "") + ".trv");
        Job job = jobOf(completedRecord(chainOf(triangles)));
        if (weighted)
            job.jobOnly.weights = WeightModel{WeightModel::Kind::Instrument, 2, 2, 2.5, WeightModel::Combine::Linear};
        if (const auto failure = saveJob(path, job)) throw std::runtime_error(*failure);
        found = files.emplace(std::pair{triangles, weighted}, path).first;
    }
    return found->second;
}

// The same chain with every side as a distance meter shows it: slope distances to
// reflectors up to 1 % of the side higher or lower, 50 m above the height datum,
// under the day's weather by the instrument's formula, each distance chosen so that
// the side reduces to the length typed in the job above.
const std::string& measuredJobFileOf(int triangles) {
    static std::map<int, std::string> files;
    auto found = files.find(triangles);
    if (found == files.end()) {
        Job job = readJobFile(jobFileOf(triangles)).job;
        ReductionSettings settings;
        settings.meteo = MeteoFormula{281.8, 79.39};
        settings.Hm = 50;
        job.jobOnly.reduction = settings;
        for (int k = 1; k < static_cast<int>(job.side.size()); ++k) {
            const double typed = job.side[static_cast<std::size_t>(k)];
            MeasuredSide side;
            side.k = k;
            side.D = std::fabs(typed);
            side.dh = (k % 3 - 1) * 0.01 * side.D;
            side.t = 20 + k % 7;
            side.p = 1000 - k % 11;
            if (k % 2 == 0 && typed < 0) side.right = true;
            job.jobOnly.measuredSides.push_back(side);
        }
        for (int pass = 0; pass < 2; ++pass) {
            const reduction::Reduction r = reduction::reduce(job);
            if (!r.reduced) throw std::runtime_error("the measured chain cannot be reduced");
            for (const reduction::SideReduction& s : r.sides)
                job.jobOnly.measuredSides[static_cast<std::size_t>(s.k - 1)].D *=
                    std::fabs(job.side[static_cast<std::size_t>(s.k)]) / s.D4;
        }
        const std::string path = scratchPath("measured-" + std::to_string(triangles) + ".trv");
        if (const auto failure = saveJob(path, job)) throw std::runtime_error(*failure);
        found = files.emplace(triangles, path).first;
    }
    return found->second;
}

// A job file read again and again: the file, the JSON, the reduction of any measured
// side and every check.
template <typename FileOf>
void timeJobReads(benchmark::State& state, FileOf fileOf) {
    const int n = static_cast<int>(state.range(0));
    try {
        const std::string& file = fileOf(n);
        for (auto _ : state) {
            const JobReading reading = readJobFile(file);
            if (!reading.accepted()) {
                state.SkipWithError(reading.problem->what.c_str());
                break;
            }
            benchmark::DoNotOptimize(reading.job.side.data());
        }
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}

void BM_JobRead(benchmark::State& state) {
    timeJobReads(state, [](int n) -> const std::string& { return jobFileOf(n); });
}
BENCHMARK(BM_JobRead)->Arg(1000)->Arg(16382)->Unit(benchmark::kMillisecond);

void BM_JobCheck(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    try {
        const Job job = readJobFile(jobFileOf(n)).job;
        for (auto _ : state) benchmark::DoNotOptimize(jobProblems(job).size());
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_JobCheck)->Arg(1000)->Arg(16382)->Unit(benchmark::kMillisecond);

void BM_JobWrite(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    try {
        const Job job = readJobFile(jobFileOf(n)).job;
        const std::string file = scratchPath("written-" + std::to_string(n) + ".trv");
        for (auto _ : state) {
            if (const auto failure = saveJob(file, job)) {
                state.SkipWithError(failure->c_str());
                break;
            }
        }
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_JobWrite)->Arg(1000)->Arg(16382)->Unit(benchmark::kMillisecond)->UseRealTime();

// Whole batch runs of the job file `jobFile(N)` makes, the transcript kept under `name`.
template <class JobFile>
void timeJobRuns(benchmark::State& state, const JobFile& jobFile, const std::string& name) {
    const int n = static_cast<int>(state.range(0));
    std::string job;
    try {
        job = jobFile(n);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    timeBatchRuns(state, {"--job", job}, scratchPath(name + "-transcript-" + std::to_string(n) + ".txt"),
                  /*repliesOnInput=*/false);
}

void BM_BatchJob(benchmark::State& state) {
    timeJobRuns(state, [](int n) { return jobFileOf(n); }, "job");
}
BENCHMARK(BM_BatchJob)->Arg(1000)->Arg(16382)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same batch run of the job weighted by the instrument: every side its own
// cofactor instead of one for all.
void BM_BatchJobInstrument(benchmark::State& state) {
    timeJobRuns(state, [](int n) { return jobFileOf(n, true); }, "weighted");
}
BENCHMARK(BM_BatchJobInstrument)->Arg(16382)->UseManualTime()->Unit(benchmark::kMillisecond);

// The job with every side measured: read, reduced, its warnings said, computed.
void BM_BatchMeasuredJob(benchmark::State& state) {
    timeJobRuns(state, measuredJobFileOf, "measured");
}
BENCHMARK(BM_BatchMeasuredJob)->Arg(1000)->Arg(16382)->UseManualTime()->Unit(benchmark::kMillisecond);

// Reading alone: the file, the JSON, the reduction and every check.
void BM_MeasuredJobRead(benchmark::State& state) {
    timeJobReads(state, measuredJobFileOf);
}
BENCHMARK(BM_MeasuredJobRead)->Arg(1000)->Arg(16382)->Unit(benchmark::kMillisecond);

// The window opening a job file: read, checked, computed through the input boxes'
// own dialogue with every text box written, and kept as the last completed job.
void BM_WindowJobOpen(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    try {
        const QString file = QString::fromStdString(jobFileOf(n));
        MainForm window;
        window.show();
        QCoreApplication::processEvents();
        for (auto _ : state) {
            if (!window.jobs().openFile(file)) {
                state.SkipWithError("the job was not computed");
                break;
            }
            QCoreApplication::processEvents();
        }
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_WindowJobOpen)->Arg(1000)->Arg(16382)->Unit(benchmark::kMillisecond)->UseRealTime();

// The job editor on the window's job: opened and painted, scrolled to the last side
// and painted again, then its whole job checked as 计算 checks it.
void BM_JobEditorOpen(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    try {
        MainForm window;
        window.show();
        if (!window.jobs().openFile(QString::fromStdString(jobFileOf(n)))) throw std::runtime_error("not computed");
        for (auto _ : state) {
            window.jobs().editJob();
            JobEditor* editor = window.jobs().editor();
            QCoreApplication::processEvents();
            editor->sideView()->scrollToBottom();
            editor->nameView()->verticalScrollBar()->setValue(editor->nameView()->verticalScrollBar()->maximum() / 2);
            QCoreApplication::processEvents();
            benchmark::DoNotOptimize(checkSheet(editor->sheet()).problem);
            editor->done(0);
            QCoreApplication::processEvents();
        }
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_JobEditorOpen)->Arg(1000)->Arg(16382)->Unit(benchmark::kMillisecond)->UseRealTime();

// One side typed in the job editor, taken back (Ctrl+Z) and made again (Ctrl+Y):
// each edit is kept as what it changed, found by comparing the sheet before and after.
void BM_JobEditorEditUndoRedo(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    try {
        MainForm window;
        window.show();
        if (!window.jobs().openFile(QString::fromStdString(jobFileOf(n)))) throw std::runtime_error("not computed");
        window.jobs().editJob();
        JobEditor* editor = window.jobs().editor();
        QCoreApplication::processEvents();
        SheetTableModel* sides = editor->sideModel();
        const QModelIndex middle = sides->index(n, SheetTableModel::Length);
        int typed = 0;
        for (auto _ : state) {
            sides->setData(middle, QString::number(1000 + (++typed % 100)));
            editor->undoStack()->undo();
            editor->undoStack()->redo();
            QCoreApplication::processEvents();
        }
        editor->done(0);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_JobEditorEditUndoRedo)->Arg(1000)->Arg(16382)->Unit(benchmark::kMillisecond)->UseRealTime();

// The job with every side measured, in the job editor: a distance typed in the middle
// of the chain, undone and redone, each time with every reduced length and correction
// in view worked out again from the whole sheet and painted.
void BM_JobEditorMeasuredEdit(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    try {
        // The chain runs far east of its meridian: the reduction's warning is said,
        // and kept here rather than waited on in a message box.
        CollectedMessages messages;
        MainForm window;
        window.setMessages(&messages);
        window.show();
        if (!window.jobs().openFile(QString::fromStdString(measuredJobFileOf(n))))
            throw std::runtime_error("not computed");
        window.jobs().editJob();
        JobEditor* editor = window.jobs().editor();
        QCoreApplication::processEvents();
        SheetTableModel* sides = editor->sideModel();
        const QModelIndex middle = sides->index(n, SheetTableModel::FirstMeasure);
        editor->sideView()->scrollTo(middle);
        const QString distance = middle.data().toString();
        int typed = 0;
        for (auto _ : state) {
            sides->setData(middle, distance + QString::number(++typed % 9 + 1));
            QCoreApplication::processEvents();
            editor->undoStack()->undo();
            QCoreApplication::processEvents();
            editor->undoStack()->redo();
            QCoreApplication::processEvents();
        }
        editor->done(0);
        window.setMessages(nullptr);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_JobEditorMeasuredEdit)->Arg(1000)->Arg(16382)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace trelvan::bench
