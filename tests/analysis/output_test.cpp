// The analysis as it leaves the program: JSON with exactly its keys, units and
// nulls, every number in its shortest form; text tables aligned in display cells;
// the batch options and their exit status.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "analysis/analysed_chains.h"
#include "analysis/chain_precision.h"
#include "analysis/tables.h"
#include "report/report.h"
#include "robustness/whole_runs.h"
#include "state/number_format.h"

namespace trelvan::testing {
namespace {

using json = nlohmann::ordered_json;  // keeps the keys in the order written

// A completed Compute action on a golden reply file, with one reply replaced.
ChainState computed(const std::string& name, int replace = -1, const char* by = "") {
    auto replies = goldenReplies(name);
    if (replace >= 0) replies[static_cast<std::size_t>(replace)] = Reply::typed(by);
    ChainState record;
    Action action(record, std::move(replies));
    EXPECT_EQ(action.outcome, ComputeOutcome::Completed) << action.lastMessage();
    return record;
}

// The reply that types the angle tolerance in run_typed_n4.
constexpr int toleranceReply = 25;

std::vector<std::string> keysOf(const json& object) {
    std::vector<std::string> keys;
    for (const auto& [key, value] : object.items()) keys.push_back(key);
    return keys;
}

// Every number of the JSON text as written: what follows a key up to the next ",",
// "}" or "]" (no name in these chains holds such a key).
std::vector<std::string> numbersIn(const std::string& text) {
    static const std::regex number(R"re(": (-?[0-9][0-9.e+-]*))re");
    std::vector<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), number), end; it != end; ++it)
        found.push_back((*it)[1]);
    return found;
}

TEST(AnalysisJson, HasExactlyTheKeysAndEveryFigureInItsShortestForm) {
    const ChainState record = computed("run_typed_n4");
    const auto precision = analysis::analyse(record);
    ASSERT_TRUE(precision);
    const std::string text = analysis::analysisJson(*precision);
    const json j = json::parse(text);

    using Keys = std::vector<std::string>;
    EXPECT_EQ(keysOf(j), (Keys{"trelvan", "conditions", "sigma0", "mb", "globalTest", "misclosures",
                               "points", "weakestPoint", "observations", "weakestSide", "summary"}));
    EXPECT_EQ(j["trelvan"], 1);
    EXPECT_EQ(j["conditions"], 3);
    EXPECT_EQ(j["sigma0"].get<double>(), 1.25);
    EXPECT_EQ(j["mb"].get<double>(), static_cast<double>(record.mb));  // the stored 32-bit value
    EXPECT_EQ(keysOf(j["globalTest"]), (Keys{"statistic", "quantile", "passed"}));
    ASSERT_EQ(j["misclosures"].size(), 3u);
    const char* conditions[] = {"azimuth", "x", "y"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(keysOf(j["misclosures"][i]), (Keys{"condition", "w", "sigma", "limit", "withinLimit"}));
        EXPECT_EQ(j["misclosures"][i]["condition"], conditions[i]);
    }
    // Seconds for the azimuth, millimetres for X and Y.
    EXPECT_EQ(j["misclosures"][0]["w"].get<double>(), static_cast<double>(record.w[1]));
    EXPECT_EQ(j["misclosures"][1]["w"].get<double>(), static_cast<double>(record.w[2]) * 1000);
    ASSERT_EQ(j["points"].size(), 6u);
    for (const auto& p : j["points"])
        EXPECT_EQ(keysOf(p), (Keys{"index", "name", "X", "Y", "mx", "my", "mp", "E", "F", "phi"}));
    EXPECT_EQ(j["points"][0]["name"], "K07");
    EXPECT_EQ(j["points"][2]["X"].get<double>(), record.pointX[2]);
    ASSERT_EQ(j["observations"].size(), 11u);
    EXPECT_EQ(keysOf(j["observations"][0]),
              (Keys{"kind", "v", "redundancy", "normalized", "suspect", "mdb"}));
    EXPECT_EQ(keysOf(j["observations"][1]), (Keys{"kind", "k", "observed", "adjusted", "v", "m", "relative",
                                                  "redundancy", "normalized", "suspect", "mdb"}));
    EXPECT_EQ(j["observations"][0]["kind"], "Qa");
    EXPECT_EQ(j["observations"][1]["kind"], "side");
    EXPECT_EQ(j["observations"][10]["kind"], "Qb");
    EXPECT_EQ(j["weakestPoint"], precision->weakestPoint);
    EXPECT_EQ(j["weakestSide"], precision->weakestSide);
    EXPECT_EQ(keysOf(j["summary"]), (Keys{"triangles", "meanSide", "shortestSide", "longestSide", "smallestAngle",
                                          "smallestAngleTriangle", "weakestSideRelative", "largestMp",
                                          "largestMpPoint"}));
    // A side's relative error is its standard error over its adjusted length, mm over mm.
    for (const auto& o : j["observations"]) {
        if (o["kind"] != "side") continue;
        const double relative = o["m"].get<double>() / (1000 * o["adjusted"].get<double>());
        EXPECT_NEAR(o["relative"].get<double>(), relative, 1e-15 * relative) << "S" << o["k"];
    }

    // Every figure reads back as the very double, and is written as briefly as it can be.
    const auto numbers = numbersIn(text);
    EXPECT_GT(numbers.size(), 150u);
    for (const std::string& written : numbers) EXPECT_EQ(written, shortestNumber(std::stod(written)));
    EXPECT_EQ(j["observations"][3]["v"].get<double>(), precision->observations[3].v);
    EXPECT_EQ(text.back(), '\n');
}

// Without a tolerance there is no a priori precision: whatever depends on σ0 is
// null, and the tables say "未给限差". An observation no condition checks (Qb in a
// chain without a closing azimuth) is null and "不可检测" whatever the tolerance.
TEST(AnalysisJson, NullsWhereAFigureCannotBeGiven) {
    struct Case {
        const char* name;
        ChainState record;
        bool tolerance;
    };
    const Case cases[] = {{"no tolerance", computed("run_typed_n4", toleranceReply, "0"), false},
                          {"no closing azimuth", computed("run_no_closing_azimuth"), true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto precision = analysis::analyse(c.record);
        ASSERT_TRUE(precision);
        const json j = json::parse(analysis::analysisJson(*precision));
        EXPECT_EQ(j["sigma0"].is_null(), !c.tolerance);
        EXPECT_EQ(j["globalTest"].is_null(), !c.tolerance);
        for (const auto& m : j["misclosures"])
            for (const char* key : {"sigma", "limit", "withinLimit"}) EXPECT_EQ(m[key].is_null(), !c.tolerance);
        const std::string text = analysis::renderAnalysisText(*precision);
        EXPECT_EQ(text.find("未给限差") != std::string::npos, !c.tolerance);
        for (const auto& o : j["observations"]) {
            const bool unchecked = o["redundancy"].get<double>() < 1e-4;
            for (const char* key : {"normalized", "suspect", "mdb"})
                EXPECT_EQ(o[key].is_null(), unchecked || !c.tolerance) << o["kind"] << " " << key;
            // Figures from mb alone stay.
            EXPECT_TRUE(o["v"].is_number());
        }
        const auto& qb = j["observations"].back();
        EXPECT_EQ(qb["redundancy"].get<double>() == 0, !c.record.azimuthCondition);
        const auto qbLine = text.substr(text.rfind("定向角 Qb"));
        std::size_t words = 0;
        for (auto at = qbLine.find("不可检测"); at != std::string::npos; at = qbLine.find("不可检测", at + 1)) ++words;
        EXPECT_EQ(words, c.record.azimuthCondition ? 0u : 3u) << qbLine;
        EXPECT_EQ(j["misclosures"].size(), c.record.azimuthCondition ? 3u : 2u);
        EXPECT_TRUE(j["points"][1]["mx"].get<double>() > 0);
    }
}

// An ellipse's direction to a tenth of a degree; one that rounds to a half turn is
// the same direction as north, 0.0.
TEST(AnalysisText, EllipseDirectionsToATenthWithAHalfTurnAsNorth) {
    const std::pair<double, const char*> cases[] = {
        {0, "0.0"}, {0.04, "0.0"}, {89.96, "90.0"}, {179.94, "179.9"}, {179.96, "0.0"}, {179.999, "0.0"}};
    for (const auto& [phi, shown] : cases) EXPECT_EQ(analysis::directionText(phi), shown) << phi;
}

// Names of any width: the figures stand in the same display cells on every line.
TEST(AnalysisText, ColumnsAlignInDisplayCellsWhateverTheNames) {
    auto replies = goldenReplies("run_typed_n4");
    const char* names[] = {"甲一", "D1", "测站二号", "D3", "Ｄ４", "乙"};
    for (int i = 0; i < 6; ++i) replies[26 + static_cast<std::size_t>(i)] = Reply::typed(names[i]);
    ChainState record;
    Action action(record, std::move(replies));
    ASSERT_EQ(action.outcome, ComputeOutcome::Completed) << action.lastMessage();
    const std::string text = analysis::renderAnalysisText(*analysis::analyse(record));

    std::istringstream lines(text);
    std::vector<std::string> table;
    bool inPoints = false;
    for (std::string line; std::getline(lines, line);) {
        if (line == "点位精度") inPoints = true;
        else if (line.empty()) inPoints = false;
        else if (inPoints) table.push_back(line);
    }
    ASSERT_EQ(table.size(), 7u);  // the header and six points
    // The right edge of the X column, in display cells, is the same on every line.
    const auto edge = [](const std::string& line, const std::string& item) {
        const auto at = line.find(item);
        return at == std::string::npos ? -1 : displayCells(line.substr(0, at + item.size()));
    };
    const int header = edge(table[0], "纵座标 X (米)");
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(edge(table[1 + i], roundedFixed(record.pointX[i], 3, 3)), header) << table[1 + i];
    EXPECT_NE(table[3].find("测站二号"), std::string::npos);
}

// A second action that fails keeps the analysis of the last completed one.
TEST(Analysis, AnAbandonedActionKeepsTheLastCompletedAnalysis) {
    ChainState record = computed("run_typed_n4");
    const std::string before = analysis::analysisJson(*analysis::analyse(record));
    Action failed(record, goldenReplies("run_adjusted_triangle_fails"));
    EXPECT_EQ(failed.outcome, ComputeOutcome::Failed);
    EXPECT_EQ(analysis::analysisJson(*analysis::analyse(record)), before);
    EXPECT_FALSE(analysis::analyse(ChainState{}).has_value());
}

std::string slurp(const std::string& file) {
    std::ostringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
}

// Runs `trelvan --batch ARGS < run_typed_n4.replies` and returns its exit status.
int batch(const std::string& args, const std::string& transcript) {
    const std::string command = std::string(TRELVAN_PROGRAM) + " --batch " + args + " < " +
                                TRELVAN_SOURCE_DIR + "/tests/golden/run_typed_n4.replies > " + transcript +
                                " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(AnalysisBatch, WritesBothFilesOrSaysWhichCouldNotBeWritten) {
    const std::string dir = ::testing::TempDir() + "analysis_batch_" + std::to_string(::getpid());
    ASSERT_EQ(std::system(("mkdir -p " + dir).c_str()), 0);
    const std::string text = dir + "/a.txt", json = dir + "/a.json", out = dir + "/transcript";

    EXPECT_EQ(batch("--analysis-json " + json + " --analysis-text " + text, out), 0);
    EXPECT_EQ(slurp(text), slurp(std::string(TRELVAN_SOURCE_DIR) + "/tests/golden/run_typed_n4.analysis.txt"));
    EXPECT_EQ(slurp(json), analysis::analysisJson(*analysis::analyse(computed("run_typed_n4"))));
    // The transcript is that of the run without the analysis.
    EXPECT_EQ(slurp(out), slurp(std::string(TRELVAN_SOURCE_DIR) + "/tests/golden/run_typed_n4.transcript"));

    std::remove(text.c_str());
    const std::string nowhere = dir + "/no/such/folder/a.json";
    EXPECT_EQ(batch("--analysis-json " + nowhere + " --analysis-text " + text, out), 4);
    EXPECT_NE(slurp(out).find("! 无法写入精度分析文件 " + nowhere + "\n"), std::string::npos);
    EXPECT_FALSE(slurp(text).empty());  // the other file is still written

    EXPECT_EQ(batch("--analysis-json", out), 2);  // the file name is missing
    std::system(("rm -rf " + dir).c_str());
}

}  // namespace
}  // namespace trelvan::testing
