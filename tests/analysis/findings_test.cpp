// 检核 in batch mode: the report's block, the findings as `!` lines and on standard
// error, the exit status. Figures from an independent adjustment (the propagation of
// tests/adjustment/reference_adjustment.py, numerical derivatives), linearised at B as
// carried, not the known B: a figure holds to 0.006 + 0.3 %, and after a 200 m blunder
// ("{*}") how far B is missed is checked against the report's own listing.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "robustness/whole_runs.h"

namespace trelvan::testing {
namespace {

std::vector<std::string> linesOf(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> found;
    for (std::string line; std::getline(in, line);) found.push_back(line);
    return found;
}

// `actual` reads as `expected`, "{x}" a figure near x and "{*}" any text.
bool readsAs(const std::string& expected, const std::string& actual) {
    static const std::regex token(R"(\{([^}]*)\})"), special(R"([.^$|()\[\]*+?\\])");
    std::string pattern;
    std::vector<double> figures;
    std::sregex_token_iterator part(expected.begin(), expected.end(), token, {-1, 1});
    for (int i = 0; part != std::sregex_token_iterator(); ++part, ++i) {
        if (i % 2 == 0) pattern += std::regex_replace(part->str(), special, R"(\$&)");
        else if (*part == "*") pattern += ".*";
        else pattern += "(-?[0-9.]+)", figures.push_back(std::stod(*part));
    }
    std::smatch m;
    if (!std::regex_match(actual, m, std::regex(pattern))) return false;
    for (std::size_t i = 0; i < figures.size(); ++i)
        if (std::fabs(std::stod(m[i + 1]) - figures[i]) > 0.006 + 0.003 * std::fabs(figures[i])) return false;
    return true;
}

// The distance between the report's lines "NAME;" (listed) and "NAME:" (known), m.
double listedMiss(const std::vector<std::string>& report, const std::string& name) {
    double x[2] = {}, y[2] = {};
    for (const std::string& line : report)
        for (int k = 0; k < 2; ++k)
            if (const auto at = line.find(name + (k ? ":" : ";")); at != std::string::npos)
                std::istringstream(line.substr(at + name.size() + 1)) >> x[k] >> y[k];
    return std::hypot(x[0] - x[1], y[0] - y[1]);
}

// run_typed_n4 with S2 0.15 m long.
const std::vector<std::string> longS2 = {
    "以上最弱点为锁中点 D2；全锁点位中误差最大的点为 D3，mp= {98.24} 毫米",
    "方位角条件闭合差超限 : w= {-59.64} 秒，限差 {9.24} 秒", "纵座标条件闭合差超限 : w= {600.03} 毫米，限差 {71.85} 毫米",
    "χ² 检验 : 统计量 {422.79}，限值 7.815，未通过",
    "可疑观测 : S2 ({20.54})、S9 ({15.54})、S6 ({14.80})、S3 ({12.28})、S5 ({10.34})，共 9 个"};

TEST(Checks, TheBlockTheFindingsAndTheExitStatus) {
    constexpr std::size_t tolerance = 25, s2 = 34;  // replies of run_typed_n4
    struct Case {
        const char* golden;
        std::size_t reply;
        const char* typed;
        const char* closing;              // B's name
        std::vector<std::string> block;   // the lines under "检核 :"
        std::vector<std::size_t> said;    // those that are findings
        int status;
        std::string unwritten = {};       // a job file that cannot be saved
    } const cases[] = {
        {"run_whole_minute_azimuths", tolerance, "5", "L07",  // clean, the middle point the weakest
         {"以上最弱点为锁中点 L04", "条件方程闭合差均未超过限差", "χ² 检验 : 统计量 {0.12}，限值 7.815，通过"}, {}, 0},
        {"run_no_closing_azimuth", tolerance, "2", "B",  // clean, weakest at another point
         {"以上最弱点为锁中点 P2；全锁点位中误差最大的点为 P3，mp= {3.99} 毫米", "条件方程闭合差均未超过限差",
          "χ² 检验 : 统计量 {0.54}，限值 5.991，通过"}, {}, 0},
        {"run_typed_n4", s2, "-848.632", "K08", longS2, {1, 2, 3, 4}, 6},
        // A file not written outranks the findings: 6 says that every file is there.
        {"run_typed_n4", s2, "-848.632", "K08", longS2, {1, 2, 3, 4}, 4, "/no/such/folder/chain.trv"},
        {"run_typed_n4", s2, "-1048.482", "K08",  // S2 200 m long
         {"以上最弱点为锁中点 D2{*}", "方位角条件闭合差超限 : w= {-85239.84} 秒，限差 {*} 秒",
          "纵座标条件闭合差超限 : w= {858008.04} 毫米，限差 {*} 毫米",
          "横座标条件闭合差超限 : w= {-206178.53} 毫米，限差 {*} 毫米", "χ² 检验 : 统计量 {*}，限值 7.815，未通过",
          "可疑观测 : {*}，共 11 个", "平差后推算的闭合点 K08 与已知座标相差 {*} 米，观测数据可能有粗差"},
         {1, 2, 3, 4, 5, 6}, 6},
        {"run_typed_n4", tolerance, "0", "K08",
         {"以上最弱点为锁中点 D2；全锁点位中误差最大的点为 D3，mp= {4.69} 毫米", "未输入测角限差，闭合差未检核"}, {}, 0},
        // σ0 0.375″: the limits hold, the statistic is 0.964 · (1.25 / 0.375)²; the status stays 0.
        {"run_typed_n4", tolerance, "0.75", "K08",
         {"以上最弱点为锁中点 D2；全锁点位中误差最大的点为 D3，mp= {4.69} 毫米", "条件方程闭合差均未超过限差",
          "χ² 检验 : 统计量 {10.71}，限值 7.815，未通过"}, {2}, 0},
    };
    const std::string dir = ::testing::TempDir() + "checks_" + std::to_string(::getpid()) + "/";
    ASSERT_EQ(std::system(("mkdir -p " + dir).c_str()), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.golden) + " " + c.typed + " " + c.unwritten);
        std::vector<Reply> replies = goldenReplies(c.golden);
        replies.at(c.reply).text = c.typed;
        std::ofstream typed(dir + "replies");
        for (const Reply& r : replies) typed << r.text << '\n';
        typed.close();
        const std::string save = c.unwritten.empty() ? "" : " --save-job " + c.unwritten;
        const int raw = std::system((std::string(TRELVAN_PROGRAM) + " --batch --report-text " + dir + "report" + save +
                                     " <" + dir + "replies >" + dir + "out 2>" + dir + "err").c_str());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, c.status);

        const std::vector<std::string> report = linesOf(dir + "report");
        ASSERT_GE(report.size(), c.block.size() + 3);
        const std::size_t first = report.size() - c.block.size();
        EXPECT_EQ(report[first - 3] + "|" + report[first - 2] + "|" + report[first - 1], "|" + std::string(21, ' ') + "检核 :|");
        for (std::size_t i = 0; i < c.block.size(); ++i)
            EXPECT_TRUE(readsAs(std::string(23, ' ') + c.block[i], report[first + i])) << report[first + i];
        const double missed = listedMiss(report, c.closing);
        const std::size_t at = report.back().find("相差 ");
        EXPECT_EQ(at != std::string::npos, missed > 0.0055) << missed;
        if (at != std::string::npos) {
            EXPECT_NEAR(std::stod(report.back().substr(at + 7)), missed, 0.0015);
        }

        // The findings after the listing and first on standard error; then the file not written.
        const std::vector<std::string> out = linesOf(dir + "out"), err = linesOf(dir + "err");
        const std::size_t more = c.unwritten.empty() ? 0 : 1, n = c.said.size();
        ASSERT_EQ(err.size(), n + more);
        ASSERT_EQ(out.at(out.size() - n - more - 1).rfind("Text13: ", 0), 0u);
        for (std::size_t i = 0; i < n; ++i) {
            EXPECT_EQ(out[out.size() - n - more + i], "! " + report[first + c.said[i]].substr(23));
            EXPECT_EQ(err[i], report[first + c.said[i]].substr(23));
        }
        if (more) {
            EXPECT_NE(err.back().find(c.unwritten), std::string::npos) << err.back();
        }
    }
    std::system(("rm -rf " + dir).c_str());
}

}  // namespace
}  // namespace trelvan::testing
