// Reading job files: every rule a job can break, each in one row with the place the
// message names; then the files that must be accepted, and what they hold.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "fuzz/job_input.h"
#include "job/job.h"
#include "job/job_support.h"
#include "support/decimal_comma_locale.h"

namespace trelvan::testing {
namespace {

using ::testing::HasSubstr;

std::string repeated(const std::string& piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) out += piece;
    return out;
}

// The sides list of the example replaced by `count` sides of 100.
std::string withSides(std::size_t count) {
    const std::string& job = exampleJob();
    const auto from = job.find("\"sides\": [");
    std::string list = "\"sides\": [";
    for (std::size_t k = 0; k < count; ++k) list += k == 0 ? "100" : ", 100";
    return job.substr(0, from) + list + "]\n}\n";
}

struct Refusal {
    const char* rule;
    std::string bytes;
    std::string place;  // as the message names it
    std::string what;   // a part of what the message says is wrong
    enum { File, NoFile, Folder } kind = File;
};

TEST(JobReading, EveryRuleRefusesWithItsPlaceAndReason) {
    const std::string d = "\"D2\"";
    const std::vector<Refusal> rows = {
        {"a file over 16 MiB", exampleJob() + std::string(maxJobFileBytes, ' '), "", "16 MiB"},
        {"a file that is not there", "", "", "无法读取：文件或文件夹不存在", Refusal::NoFile},
        {"a folder", "", "", "无法读取：这是一个文件夹", Refusal::Folder},
        {"an empty file", "", "第 1 行第 1 列", "JSON 语法错误：文件在此处意外结束"},
        {"a syntax error", example("\"N\": 4,", "\"N\": 4,,"), "第 3 行第 10 列（N）", "JSON 语法错误"},
        {"a file cut short", exampleJob().substr(0, exampleJob().find("  \"sides\"")),
         "第 33 行第 1 列（points）", "文件在此处意外结束"},
        {"ill-formed UTF-8", example(d, "\"D\xff" "2\""), "第 29 行第 7 列", "不是有效的 UTF-8 编码"},
        {"ill-formed UTF-8, columns in characters", example(d, "\"张\xe5\xbc\""), "第 29 行第 7 列",
         "UTF-8"},
        {"a text that is not JSON", "[1, 2]", "", "不是一个 JSON 对象"},
        {"a missing field", example("  \"Qb\": -63.29474,\n", ""), "Qb", "缺少这个字段"},
        {"a missing field of a point", example(",\n    \"Y\": 512637.225", ""), "A.Y", "缺少这个字段"},
        {"an unknown field", example("  \"Qa\":", "  \"remark\": \"x\",\n  \"Qa\":"), "remark", "未知的字段"},
        {"an unknown field with a line break, shown quoted",
         example("  \"Qa\":", "  \"a\\nb\": 1,\n  \"Qa\":"), "\"a\\nb\"", "未知的字段"},
        {"an unknown field with a long name, shown cut short",
         example("  \"Qa\":", "  \"" + std::string(100, 'k') + "\": 1,\n  \"Qa\":"),
         "\"" + std::string(39, 'k') + "…", "未知的字段"},
        {"an unknown field of a point", example("\"X\": 3452701.525,", "\"X\": 3452701.525, \"Z\": 1,"),
         "B.Z", "未知的字段"},
        {"a duplicated key", example("  \"N\": 4,\n", "  \"N\": 4,\n  \"N\": 4,\n"), "N", "重复"},
        {"a duplicated key of a point", example("\"X\": 3452118.406,", "\"X\": 3452118.406, \"X\": 1,"),
         "A.X", "重复"},
        {"text for a number", example("3452118.406", "\"3452118.406\""), "A.X", "应为数值"},
        {"a number for a name", example("\"D4\"", "4"), "points[3]", "应为文本"},
        {"a list for a point", example("\"directionB\": {\n    \"X\": 0,\n    \"Y\": 0\n  }",
                                       "\"directionB\": [0, 0]"),
         "directionB", "应为 JSON 对象"},
        {"true for a side", example("799.645", "true"), "sides[8] (S9)", "应为数值"},
        {"nesting deeper than a job", example("601.544,", "[601.544],"), "sides[0] (S1)", "嵌套层次"},
        {"NaN", example("77.43016", "NaN"), "第 24 行第 9 列（Qa）", "NaN"},
        {"Infinity", example("-63.29474", "-Infinity"), "第 25 行第 10 列（Qb）", "Infinity"},
        {"a number that does not fit a double", example("77.43016", "1e400"), "Qa", "超出 double 的范围"},
        {"a side that does not fit a double", example("-848.482", "-1e309"), "sides[1] (S2)",
         "超出 double 的范围"},
        {"version 0", example("\"trelvan\": 1", "\"trelvan\": 0"), "trelvan", "应为整数 1"},
        {"version 1.0", example("\"trelvan\": 1", "\"trelvan\": 1.0"), "trelvan", "应为整数 1"},
        {"version as text", example("\"trelvan\": 1", "\"trelvan\": \"1\""), "trelvan", "应为整数 1"},
        {"no version", example("  \"trelvan\": 1,\n", ""), "trelvan", "不是 Trelvan 作业文件"},
        {"a newer version", example("\"trelvan\": 1", "\"trelvan\": 3"), "trelvan",
         "这是第 3 版的作业文件，本程序只能读到第 2 版"},
        {"a newer version with new fields", example("\"trelvan\": 1,", "\"trelvan\": 3, \"survey\": {},"),
         "trelvan", "第 3 版"},
        {"N of 2.5", example("\"N\": 4", "\"N\": 2.5"), "N", "应为整数"},
        {"N of 4.0", example("\"N\": 4", "\"N\": 4.0"), "N", "应为整数"},
        {"N as text", example("\"N\": 4", "\"N\": \"4\""), "N", "应为整数"},
        {"N of 0", example("\"N\": 4", "\"N\": 0"), "N", "三角形个数 N 必须在 1 到 16382 之间"},
        {"N of 16383", example("\"N\": 4", "\"N\": 16383"), "N", "三角形个数 N 必须在 1 到 16382 之间"},
        {"N far out of range", example("\"N\": 4", "\"N\": -18446744073709551615"), "N", "应为整数"},
        {"too few names", example(",\n    \"D4\"", ""), "points", "有 3 个点名，N = 4 时应有 4 个"},
        {"too many sides", example("799.645", "799.645, 100"), "sides", "有 10 条边长，N = 4 时应有 2N+1 = 9 条"},
        {"more sides than any job", withSides(32766), "sides", "项数多于作业文件所能有的 32765 项"},
        {"Ta missing", example("  \"Ta\": 312.2415,\n", ""), "Ta", "directionA 为 0 和 0（用外方位角定向），缺少外方位角 Ta"},
        {"Ta beside a direction point", example("\"X\": 0,\n    \"Y\": 0\n  },\n  \"directionB\"",
                                                "\"X\": 3452000.5,\n    \"Y\": 512000\n  },\n  \"directionB\""),
         "Ta", "directionA 不为 0 和 0，不应再给外方位角 Ta"},
        {"Tb beside a direction point with one zero",
         example("\"X\": 0,\n    \"Y\": 0\n  },\n  \"Ta\"", "\"X\": 3452000.5,\n    \"Y\": 0\n  },\n  \"Ta\""),
         "Tb", "directionB 不为 0 和 0，不应再给外方位角 Tb"},
        {"a zero side", example("1101.074", "0"), "sides[3] (S4)", "边长 S4 不能为零"},
        {"a negative zero side", example("-848.482", "-0.0"), "sides[1] (S2)", "边长 S2 不能为零"},
        {"a negative odd side", example("769.475", "-769.475"), "sides[2] (S3)",
         "边长 S3 不能为负数：只有偶数边用负值表示位于推算路线的右侧"},
        {"a triangle that cannot be formed", example("1101.074", "1"), "sides[4] (S5)",
         "第 2 个三角形的三条边 S3=769.475，S4=1，S5=796.97 构不成三角形：最长边不短于另外两边之和"},
        {"a flat triangle, its even side right of the route",
         edited(edited(example("769.475", "700"), "1101.074", "-1500"), "796.97,", "800,"),
         "sides[4] (S5)", "第 2 个三角形的三条边 S3=700，S4=1500，S5=800 构不成三角形"},
        {"a name over 65,536 bytes once unescaped", example(d, "\"" + repeated("\\u5f20", 21846) + "\""),
         "points[1]", "输入过长（超过 65536 字节）"},
        {"a name over 65,536 bytes for A", example("\"K07\"", "\"" + std::string(65537, 'k') + "\""),
         "A.name", "输入过长（超过 65536 字节）"},
        {"a name with a line break", example("\"D3\"", "\"D\\n3\""), "points[2]", "点名中不能有换行符"},
        {"a name with a lone carriage return", example("\"D3\"", "\"D\\r3\""), "points[2]", "点名中不能有换行符"},
        {"a tolerance that does not fit a float", example("2.5", "3.5e38"), "angleTolerance",
         "测角限差的数值过大"},
        {"weights that are no object", weightedExample(R"("instrument")"),
         "weights", "应为 JSON 对象"},
        {"weights without a model", weightedExample(R"({"b": 2, "sigmaQ": 2.5})"),
         "weights.model", "缺少这个字段"},
        {"an unknown weight model", weightedExample(R"({"model": "equal"})"),
         "weights.model", "未知的定权方式 \"equal\""},
        {"an unknown field of the weights", weightedExample(R"({"model": "instrument", "c": 1})"),
         "weights.c", "未知的字段"},
        {"a figure beside mean-side weights", weightedExample(R"({"model": "meanSide", "b": 2})"),
         "weights.b", "不应给出"},
        {"a negative a", weightedExample(R"({"model": "instrument", "a": -2, "b": 2, "sigmaQ": 2.5})"),
         "weights.a", "不能为负数"},
        {"a negative b", weightedExample(R"({"model": "instrument", "a": 2, "b": -0.5, "sigmaQ": 2.5})"),
         "weights.b", "不能为负数"},
        {"a and b both zero", weightedExample(R"({"model": "instrument", "a": 0, "sigmaQ": 2.5})"),
         "weights", "a 与 b 不能都为零"},
        {"sigmaQ missing", weightedExample(R"({"model": "instrument", "a": 2, "b": 2})"),
         "weights.sigmaQ", "缺少这个字段"},
        {"sigmaQ of zero", weightedExample(R"({"model": "instrument", "a": 2, "sigmaQ": 0})"),
         "weights.sigmaQ", "应大于零"},
        {"an unknown combination", weightedExample(R"({"model": "instrument", "a": 2, "sigmaQ": 2, "combine": "sum"})"),
         "weights.combine", "未知的组合方式 \"sum\""},
    };

    ScratchFolder folder;
    std::filesystem::create_directory(folder / "folder.trv");
    for (const Refusal& row : rows) {
        SCOPED_TRACE(row.rule);
        std::string file = folder / "job.trv";
        if (row.kind == Refusal::NoFile) file = folder / "missing.trv";
        if (row.kind == Refusal::Folder) file = folder / "folder.trv";
        if (row.kind == Refusal::File) writeFile(file, row.bytes);

        const JobReading reading = readJobFile(file);
        ASSERT_FALSE(reading.accepted());
        const JobProblem& problem = *reading.problem;
        EXPECT_EQ(placeOf(problem), row.place);
        EXPECT_THAT(problem.what, HasSubstr(row.what));
        // An entry of a list is marked by its index, anything else by none.
        const bool entry = row.place.rfind("sides[", 0) == 0 || row.place.rfind("points[", 0) == 0;
        EXPECT_EQ(problem.index >= 0, entry);
        const std::string place = row.place.empty() ? "" : row.place + "：";
        EXPECT_EQ(refusalMessage(file, problem), "作业文件 " + file + "：" + place + problem.what + "。");
        if (row.kind == Refusal::File) {
            const JobReading fromBytes = parseJob(row.bytes);
            ASSERT_FALSE(fromBytes.accepted());
            EXPECT_EQ(placeOf(*fromBytes.problem), row.place);
            EXPECT_EQ(fromBytes.problem->what, problem.what);
            EXPECT_EQ(fuzzing::runJobFile(row.bytes), "");
        }
    }
}

// The dialogue says the very reasons a job is refused for, with its own request to
// type the value again: the same words as in the golden transcripts.
TEST(JobReading, RefusesWithTheDialoguesOwnWords) {
    const std::string typed =
        fileContents(std::string(TRELVAN_SOURCE_DIR) + "/tests/golden/run_typed_n4_reentered.transcript");
    const std::pair<std::string, std::string> cases[] = {
        {example("-848.482", "0"), "! 边长 S2 不能为零，请重新输入。"},
        {example("769.475", "-769.475"), "! 边长 S3 不能为负数：只有偶数边用负值表示位于推算路线的右侧，请重新输入。"},
        {example("1101.074", "1"), "! 第 2 个三角形的三条边 S3=769.475，S4=1，S5=796.97 构不成三角形：最长边不短于另外两边之和。请重新输入 S4 和 S5。"},
        {example("2.5", "1e39"), "! 测角限差的数值过大，请重新输入。"},
    };
    for (const auto& [job, said] : cases) {
        ASSERT_THAT(typed, HasSubstr(said + "\n"));
        const JobReading reading = parseJob(job);
        ASSERT_FALSE(reading.accepted());
        EXPECT_EQ("! " + reading.problem->what + (said.find("请重新输入 S") != std::string::npos
                                                       ? "。请重新输入 S4 和 S5。"
                                                       : "，请重新输入。"),
                  said);
    }
}

struct Accepted {
    const char* rule;
    std::string bytes;
    std::function<void(const Job&)> holds;
};

TEST(JobReading, AcceptsWhatTheFormatAllows) {
    const std::string compact =
        R"({"sides":[702.499,-719.436,688.101],"points":["X"],"trelvan":1,"N":1,"Qb":0,"Qa":-109.47599,)"
        R"("A":{"Y":512637.225,"X":3452118.406,"name":"\u5f20\t"},"angleTolerance":25e-1,)"
        R"("B":{"name":"G2","X":3451434448e-3,"Y":512414.089},"Ta":250,"Tb":77.53584})";
    std::string crlf;
    for (char c : exampleJob()) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const std::string longest = example("\"D2\"", "\"" + repeated("\\u5f20", 21845) + "k\"");
    std::string sixteenMiB = exampleJob();
    sixteenMiB.resize(maxJobFileBytes, ' ');

    const std::vector<Accepted> rows = {
        {"the worked example", exampleJob(),
         [](const Job& j) {
             EXPECT_EQ(j.N, 4);
             EXPECT_EQ(j.pointName, (std::vector<std::string>{"K07", "D1", "D2", "D3", "D4", "K08"}));
             EXPECT_EQ(j.side[2], -848.482);
             EXPECT_EQ(j.Ta, 312.2415);
             EXPECT_EQ(j.angleTolerance, 2.5);
         }},
        {"a byte-order mark and CR LF line ends", "\xEF\xBB\xBF" + crlf,
         [](const Job& j) { EXPECT_EQ(j.Qb, -63.29474); }},
        {"keys in any order, escapes, exponents, no direction points", compact,
         [](const Job& j) {
             EXPECT_EQ(j.pointName.front(), "张\t");
             EXPECT_EQ(j.Xb, 3451434.448);
             EXPECT_EQ(j.angleTolerance, 2.5);
             EXPECT_EQ(j.Xpa, 0);
             EXPECT_EQ(j.Ypb, 0);
         }},
        {"a direction point with one zero: no orientation, no Ta",
         edited(example("\"X\": 0,\n    \"Y\": 0\n  },\n  \"directionB\"",
                        "\"X\": 3452000.5,\n    \"Y\": 0\n  },\n  \"directionB\""),
                "  \"Ta\": 312.2415,\n", ""),
         [](const Job& j) {
             EXPECT_EQ(j.Xpa, 3452000.5);
             EXPECT_EQ(j.Ta, 0);
         }},
        {"a name of exactly 65,536 bytes", longest,
         [](const Job& j) { EXPECT_EQ(j.pointName[2].size(), 65536u); }},
        {"a file of exactly 16 MiB", sixteenMiB, [](const Job& j) { EXPECT_EQ(j.N, 4); }},
        {"whole numbers, a negative zero and a typed azimuth of 0",
         edited(edited(example("601.544", "601"), "-63.29474", "-0.0"), "312.2415", "0"),
         [](const Job& j) {
             EXPECT_EQ(j.side[1], 601.0);
             EXPECT_TRUE(std::signbit(j.Qb));
             EXPECT_EQ(j.Ta, 0);
         }},
        {"the numbers the dialogue reads", example("77.43016", "1e-400"),
         [](const Job& j) { EXPECT_EQ(j.Qa, 0); }},
        // Weights: the instrument's written back whole, a left-out a and combination as
        // 0 and linear; a version 2 job without them written as version 1.
        {"weights from the instrument", weightedExample(R"({"sigmaQ": 1.5, "b": 3, "model": "instrument"})"),
         [](const Job& j) {
             EXPECT_EQ(j.jobOnly.weights,
                       (WeightModel{WeightModel::Kind::Instrument, 0, 3, 1.5, WeightModel::Combine::Linear}));
             EXPECT_EQ(jobText(j), weightedExample("{\n    \"model\": \"instrument\",\n    \"a\": 0,\n    \"b\": 3,\n"
                                                   "    \"sigmaQ\": 1.5,\n    \"combine\": \"linear\"\n  }"));
         }},
        {"weights by the mean side", weightedExample(R"({"model": "meanSide"})"),
         [](const Job& j) { EXPECT_EQ(jobText(j), weightedExample("{\n    \"model\": \"meanSide\"\n  }")); }},
        {"version 2 without weights", example("\"trelvan\": 1", "\"trelvan\": 2"),
         [](const Job& j) { EXPECT_EQ(jobText(j), exampleJob()); }},
    };
    for (const Accepted& row : rows) {
        SCOPED_TRACE(row.rule);
        const JobReading reading = parseJob(row.bytes);
        ASSERT_TRUE(reading.accepted()) << refusalMessage("job.trv", *reading.problem);
        row.holds(reading.job);
        // Written and computed, an accepted job behaves (see fuzz/job_input.h).
        if (row.bytes.size() < (1u << 20)) {
            EXPECT_EQ(fuzzing::runJobFile(row.bytes), "");
        }
    }
}

// A decimal-comma desktop (the window takes the desktop's locale) reads and writes a
// job exactly as the C locale does.
TEST(JobReading, TheDesktopsDecimalCommaChangesNothing) {
    const JobReading plain = parseJob(exampleJob());
    ASSERT_TRUE(plain.accepted());
    DecimalCommaLocale locale;
    ASSERT_TRUE(locale.active()) << DecimalCommaLocale::missing;
    const JobReading reading = parseJob(exampleJob());
    ASSERT_TRUE(reading.accepted()) << refusalMessage("job.trv", *reading.problem);
    EXPECT_TRUE(fuzzing::sameJob(reading.job, plain.job));
    EXPECT_EQ(jobText(reading.job), exampleJob());
    const JobReading small = parseJob(example("2.5", "2.5e-3"));
    ASSERT_TRUE(small.accepted());
    EXPECT_EQ(small.job.angleTolerance, 0.0025);
}

// What can be read of a refused job stays, so that an editor can show it with the
// bad field marked.
TEST(JobReading, ARefusedJobKeepsWhatCouldBeRead) {
    const JobReading reading = parseJob(example("1101.074", "0"));
    ASSERT_FALSE(reading.accepted());
    EXPECT_EQ(reading.problem->index, 3);
    EXPECT_EQ(reading.job.side.size(), 10u);
    EXPECT_EQ(reading.job.side[9], 799.645);
    EXPECT_EQ(reading.job.pointName.back(), "K08");

    const JobReading typeError = parseJob(example("\"D4\"", "4"));
    EXPECT_EQ(typeError.problem->index, 3);
    EXPECT_EQ(typeError.job.pointName.front(), "K07");
    EXPECT_EQ(typeError.job.Xb, 3452701.525);

    // A field refused for its type or its absence takes nothing else with it: every
    // other field is read, also those after it, and the first fault is the one named.
    struct Row {
        std::string bytes;
        const char* path;
    } rows[] = {
        {example("\"Qa\": 77.43016", "\"Qa\": \"77.43016\""), "Qa"},
        {example("\"N\": 4", "\"N\": 4.0"), "N"},
        {example("\"X\": 3452118.406", "\"X\": null"), "A.X"},
        {example("\"name\": \"K07\",", ""), "A.name"},
        {example("\"Ta\": 312.2415,", ""), "Ta"},
        {example("\"D2\"", "2"), "points[1]"},
        {example("-848.482", "\"-848.482\""), "sides[1]"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        const JobReading reading = parseJob(row.bytes);
        ASSERT_FALSE(reading.accepted());
        EXPECT_EQ(reading.problem->path, row.path);
        const Job& j = reading.job;
        const std::string path = row.path;
        if (path != "A.X") {
            EXPECT_EQ(j.Xa, 3452118.406);
        }
        EXPECT_EQ(j.Ya, 512637.225);
        EXPECT_EQ(j.Yb, 515088.829);
        if (path != "Ta") {
            EXPECT_EQ(j.Ta, 312.2415);
        }
        EXPECT_EQ(j.Tb, 160.23026);
        if (path != "Qa") {
            EXPECT_EQ(j.Qa, 77.43016);
        }
        EXPECT_EQ(j.Qb, -63.29474);
        EXPECT_EQ(j.angleTolerance, 2.5);
        ASSERT_EQ(j.pointName.size(), 6u);
        EXPECT_EQ(j.pointName[4], "D4");
        EXPECT_EQ(j.pointName[5], "K08");
        ASSERT_EQ(j.side.size(), 10u);
        if (path != "sides[1]") {
            EXPECT_EQ(j.side[2], -848.482);
        }
        EXPECT_EQ(j.side[9], 799.645);
    }
}

}  // namespace
}  // namespace trelvan::testing
