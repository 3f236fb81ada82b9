// 检核 as batch mode gives it: the block that closes the text report, the findings
// as `!` lines after the action and on standard error, and the exit status.
//
// The figures come from an independent rigorous adjustment of the same observations
// (tests/adjustment/reference_adjustment.py's propagation, numerical derivatives,
// one linear step for the limits, the test and the normalized corrections). The
// program forms its conditions with the known B, the reference with B as carried, so
// on a blundered chain the two differ by some tenths of a per cent: a figure here
// holds to 0.006 and 0.3 % of itself. Where they part altogether (a 200 m blunder)
// the figure is not compared; how far B is missed is then checked against the
// report's own listing.

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "robustness/whole_runs.h"

namespace trelvan::testing {
namespace {

std::string slurp(const std::string& file) {
    std::ostringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> found;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) found.push_back(line);
    return found;
}

// The number written at `at` in `text`, and where it ends.
double numberAt(const std::string& text, std::size_t& at) {
    const std::size_t start = at;
    while (at < text.size() && (std::isdigit(static_cast<unsigned char>(text[at])) || text[at] == '-' || text[at] == '.'))
        ++at;
    return std::stod(text.substr(start, at - start));
}

// Whether `actual` reads as `expected`, where "{x}" is a figure within 0.006 + 0.3 %
// of x and "{*}" any text up to what follows it.
bool readsAs(const std::string& expected, const std::string& actual) {
    std::size_t e = 0, a = 0;
    while (e < expected.size()) {
        if (expected[e] != '{') {
            if (a >= actual.size() || actual[a] != expected[e]) return false;
            ++e, ++a;
            continue;
        }
        const std::size_t close = expected.find('}', e);
        const std::string token = expected.substr(e + 1, close - e - 1);
        e = close + 1;
        if (token == "*") {
            const std::string next = expected.substr(e, expected.find('{', e) - e);
            a = next.empty() ? actual.size() : actual.find(next, a);
            if (a == std::string::npos) return false;
            continue;
        }
        if (a >= actual.size()) return false;
        const double want = std::stod(token), got = numberAt(actual, a);
        if (std::fabs(got - want) > 0.006 + 0.003 * std::fabs(want)) return false;
    }
    return a == actual.size();
}

// The X and Y printed after `label` on the report's line that holds it.
std::pair<double, double> coordinatesAfter(const std::vector<std::string>& report, const std::string& label) {
    for (const std::string& line : report) {
        const std::size_t at = line.find(label);
        if (at == std::string::npos) continue;
        std::istringstream rest(line.substr(at + label.size()));
        double x = 0, y = 0;
        rest >> x >> y;
        return {x, y};
    }
    return {0, 0};
}

struct Case {
    const char* what;
    const char* golden;                                    // the reply file …
    std::vector<std::pair<std::size_t, const char*>> typed;  // … with these replies changed
    const char* closing;                                   // B's name
    std::vector<std::string> block;                        // the lines under "检核 :"
    std::vector<std::size_t> said;                         // those that are findings
    int status;
    const char* unwritten = "";                            // a file asked for that cannot be written
};

// Replies of run_typed_n4: the tolerance, S2.
constexpr std::size_t tolerance = 25, s2 = 34;

TEST(Checks, TheBlockTheFindingsAndTheExitStatus) {
    const Case cases[] = {
        {"a clean chain whose middle point is its weakest", "run_whole_minute_azimuths", {{tolerance, "5"}}, "L07",
         {"以上最弱点为锁中点 L04", "条件方程闭合差均未超过限差", "χ² 检验 : 统计量 {0.12}，限值 7.815，通过"},
         {}, 0},
        {"a clean chain weakest at another point", "run_no_closing_azimuth", {{tolerance, "2"}}, "B",
         {"以上最弱点为锁中点 P2；全锁点位中误差最大的点为 P3，mp= {3.99} 毫米", "条件方程闭合差均未超过限差",
          "χ² 检验 : 统计量 {0.54}，限值 5.991，通过"},
         {}, 0},
        {"S2 0.15 m long", "run_typed_n4", {{s2, "-848.632"}}, "K08",
         {"以上最弱点为锁中点 D2；全锁点位中误差最大的点为 D3，mp= {98.24} 毫米",
          "方位角条件闭合差超限 : w= {-59.64} 秒，限差 {9.24} 秒",
          "纵座标条件闭合差超限 : w= {600.03} 毫米，限差 {71.85} 毫米",
          "χ² 检验 : 统计量 {422.79}，限值 7.815，未通过",
          "可疑观测 : S2 ({20.54})、S9 ({15.54})、S6 ({14.80})、S3 ({12.28})、S5 ({10.34})，共 9 个"},
         {1, 2, 3, 4}, 6},
        {"S2 200 m long", "run_typed_n4", {{s2, "-1048.482"}}, "K08",
         {"以上最弱点为锁中点 D2{*}", "方位角条件闭合差超限 : w= {-85239.84} 秒，限差 {*} 秒",
          "纵座标条件闭合差超限 : w= {858008.04} 毫米，限差 {*} 毫米",
          "横座标条件闭合差超限 : w= {-206178.53} 毫米，限差 {*} 毫米", "χ² 检验 : 统计量 {*}，限值 7.815，未通过",
          "可疑观测 : {*}，共 11 个", "平差后推算的闭合点 K08 与已知座标相差 {*} 米，观测数据可能有粗差"},
         {1, 2, 3, 4, 5, 6}, 6},
        {"no tolerance", "run_typed_n4", {{tolerance, "0"}}, "K08",
         {"以上最弱点为锁中点 D2；全锁点位中误差最大的点为 D3，mp= {4.69} 毫米", "未输入测角限差，闭合差未检核"},
         {}, 0},
        // σ0 0.375″: every limit within reach, the statistic 0.964 · (1.25 / 0.375)².
        {"a failed global test alone", "run_typed_n4", {{tolerance, "0.75"}}, "K08",
         {"以上最弱点为锁中点 D2；全锁点位中误差最大的点为 D3，mp= {4.69} 毫米", "条件方程闭合差均未超过限差",
          "χ² 检验 : 统计量 {10.71}，限值 7.815，未通过"},
         {2}, 0},
        // A file not written outranks the findings: 6 would say every file is there.
        {"S2 0.15 m long, and a job that cannot be saved", "run_typed_n4", {{s2, "-848.632"}}, "K08",
         {"以上最弱点为锁中点 D2；全锁点位中误差最大的点为 D3，mp= {98.24} 毫米",
          "方位角条件闭合差超限 : w= {-59.64} 秒，限差 {9.24} 秒",
          "纵座标条件闭合差超限 : w= {600.03} 毫米，限差 {71.85} 毫米",
          "χ² 检验 : 统计量 {422.79}，限值 7.815，未通过",
          "可疑观测 : S2 ({20.54})、S9 ({15.54})、S6 ({14.80})、S3 ({12.28})、S5 ({10.34})，共 9 个"},
         {1, 2, 3, 4}, 4, "/no/such/folder/chain.trv"},
    };
    const std::string dir = ::testing::TempDir() + "checks_" + std::to_string(::getpid());
    ASSERT_EQ(std::system(("mkdir -p " + dir).c_str()), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Reply> replies = goldenReplies(c.golden);
        std::ofstream in(dir + "/replies", std::ios::binary);
        for (std::size_t i = 0; i < replies.size(); ++i) {
            for (const auto& [at, typed] : c.typed)
                if (at == i) replies[i].text = typed;
            in << replies[i].text << '\n';
        }
        in.close();
        const std::string save = *c.unwritten ? std::string(" --save-job ") + c.unwritten : "";
        const int raw = std::system((std::string(TRELVAN_PROGRAM) + " --batch --report-text " + dir + "/report" + save +
                                     " < " + dir + "/replies > " + dir + "/out 2> " + dir + "/err").c_str());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, c.status);

        // The block closes the report: an empty line, the heading, an empty line, its lines.
        const std::vector<std::string> report = lines(slurp(dir + "/report"));
        ASSERT_GE(report.size(), c.block.size() + 3);
        const std::size_t first = report.size() - c.block.size();
        EXPECT_EQ(report[first - 3], "");
        EXPECT_EQ(report[first - 2], std::string(21, ' ') + "检核 :");
        EXPECT_EQ(report[first - 1], "");
        for (std::size_t i = 0; i < c.block.size(); ++i)
            EXPECT_TRUE(readsAs(std::string(23, ' ') + c.block[i], report[first + i])) << report[first + i];

        // The listed B against the known B, as the report prints them.
        const auto [x, y] = coordinatesAfter(report, std::string(c.closing) + ";");
        const auto [xb, yb] = coordinatesAfter(report, std::string(c.closing) + ":");
        const double missed = std::hypot(x - xb, y - yb);
        const std::string& last = report.back();
        const std::size_t figure = last.find("相差 ");
        if (missed > 0.0055) {
            ASSERT_NE(figure, std::string::npos);
            std::size_t at = figure + std::string("相差 ").size();
            EXPECT_NEAR(numberAt(last, at), missed, 0.0015);
        } else {
            EXPECT_EQ(figure, std::string::npos);
        }

        // The findings right after the listing's last box, and first on standard error;
        // then the file not written, if any.
        std::vector<std::string> said;
        for (std::size_t i : c.said) said.push_back(report[first + i].substr(23));
        const std::vector<std::string> out = lines(slurp(dir + "/out")), err = lines(slurp(dir + "/err"));
        const std::size_t more = *c.unwritten ? 1 : 0;
        ASSERT_GE(out.size(), said.size() + more + 1);
        ASSERT_EQ(err.size(), said.size() + more);
        EXPECT_EQ(out[out.size() - said.size() - more - 1].rfind("Text13: ", 0), 0u);
        for (std::size_t i = 0; i < said.size(); ++i) {
            EXPECT_EQ(out[out.size() - said.size() - more + i], "! " + said[i]);
            EXPECT_EQ(err[i], said[i]);
        }
        if (more) {
            EXPECT_NE(err.back().find(c.unwritten), std::string::npos) << err.back();
        }
    }
    std::system(("rm -rf " + dir).c_str());
}

}  // namespace
}  // namespace trelvan::testing
