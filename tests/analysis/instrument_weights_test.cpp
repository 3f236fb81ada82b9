// Weights of the observations: a job that names the mean side computes exactly as
// one that names no weights, and the instrument's stated accuracy moves the
// corrections towards the sides it measures worse.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "analysis/analysed_chains.h"
#include "analysis/chain_precision.h"
#include "analysis/tables.h"
#include "job/job.h"
#include "job/job_support.h"
#include "report/report.h"

namespace trelvan::testing {
namespace {

// Everything a computation shows, prints and analyses, and how it ended.
std::string computed(const Job& job) {
    EventLog log;
    RecordingBoxes boxes(log);
    RecordingMessages messages(log);
    ChainState record;
    std::string all = std::to_string(static_cast<int>(computeJob(job, record, boxes, messages))) + "\n";
    for (const std::string& event : log.events) all += event + "\n";
    all += renderText(buildReport(record));
    if (const auto precision = analysis::analyse(record))
        all += renderAnalysisText(*precision) + analysisJson(*precision);
    return all;
}

// Every job of the golden files and the fuzz corpus (long chains, odd numbers, both
// ends oriented each way, chains that fail), computed as it is and with the mean
// side named as its weights: the same transcript, report and analysis, byte for byte.
TEST(InstrumentWeights, AJobWeightedByTheMeanSideComputesExactlyAsWithoutWeights) {
    int compared = 0;
    for (const char* dir : {"tests/golden", "fuzz/job_corpus"}) {
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(TRELVAN_SOURCE_DIR) / dir)) {
            if (entry.file_size() > (1u << 20)) continue;
            const JobReading reading = parseJob(fileContents(entry.path().string()));
            if (!reading.accepted() || reading.job.jobOnly.weights) continue;
            SCOPED_TRACE(entry.path().string());
            Job named = reading.job;
            named.jobOnly.weights = WeightModel{};
            EXPECT_EQ(computed(named), computed(reading.job));
            ++compared;
        }
    }
    EXPECT_GE(compared, 50);
}

// A chain whose triangles grow by 1.6 times from one to the next, zigzagging between
// two lines that open at 50°: its sides run from 368 m (S1) to 6.2 km (S13). By the
// mean side every side has the same weight, and the long sides (S9 … S13, above
// 2.4 km) take under a fifth of [vv]. A distance meter of 1 mm + 5 mm/km measures a
// 6 km side ten times worse than a 400 m one: the long sides then take nearly all of
// the corrections, each of them more than before, and the short ones (S1 … S4,
// under 800 m) each less.
TEST(InstrumentWeights, CorrectionsShiftTowardsTheLongSides) {
    std::vector<Point> points;
    for (int i = 0; i <= 7; ++i) {
        const double r = 300 * std::pow(1.6, i), towards = (i % 2 == 0 ? 65 : 15) * std::numbers::pi / 180;
        points.push_back({r * std::cos(towards), r * std::sin(towards)});
    }
    const std::vector<std::pair<int, double>> disturb{{3, 0.006}, {8, -0.008}, {12, 0.012}};
    const WeightModel meter{WeightModel::Kind::Instrument, 1, 5, 2, WeightModel::Combine::Linear};
    std::vector<double> v[2];
    double longShare[2] = {};
    for (int model = 0; model < 2; ++model) {
        v[model] = analysedFixture("", points, {-1, +1, -1, +1, -1, +1}, 30, -40, true, disturb, 6.0f,
                                   model == 1 ? std::optional(meter) : std::nullopt)
                       .record.adjustment.correction;
        double shortSum = 0, longSum = 0;
        for (int k = 1; k <= 4; ++k) shortSum += v[model][k] * v[model][k];
        for (int k = 9; k <= 13; ++k) longSum += v[model][k] * v[model][k];
        longShare[model] = longSum / (longSum + shortSum);
    }
    for (int k : {1, 2, 3, 4}) EXPECT_LT(std::fabs(v[1][k]), std::fabs(v[0][k])) << sideName(k);
    for (int k : {9, 10, 11, 12, 13}) EXPECT_GT(std::fabs(v[1][k]), std::fabs(v[0][k])) << sideName(k);
    EXPECT_LT(longShare[0], 0.2);
    EXPECT_GT(longShare[1], 0.95);
}

}  // namespace
}  // namespace trelvan::testing
