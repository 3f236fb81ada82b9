// Names a format cannot hold refuse that format with a message naming the point, and
// leave an older file of that name byte for byte; names it can hold are written.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "export/coordinates.h"
#include "robustness/whole_runs.h"

namespace trelvan::testing {
namespace {

namespace fs = std::filesystem;
using exports::Format;
using exports::Outcome;

std::string contentsOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct Case {
    const char* name;  // of point 2
    // What each format says of it: empty when it is written, else words of the refusal.
    const char* dat;
    const char* csv;
    const char* dxf;
};

TEST(CoordinateExports, EachFormatHoldsANameOrRefusesItNamingThePoint) {
    ChainState computed;
    const Action action(computed, goldenReplies("run_typed_n4"));
    ASSERT_EQ(action.outcome, ComputeOutcome::Completed);
    const std::string longName(3000, 'D');
    const Case cases[] = {
        {"D2", "", "", ""},
        {"D,2", "点号 2 的点名“D,2”含有逗号", "", ""},
        {"D\r2", "含有换行符或其他控制字符 U+000D", "", "含有换行符或其他控制字符 U+000D"},
        {"D\t2", "含有换行符或其他控制字符 U+0009", "", "含有换行符或其他控制字符 U+0009"},
        // A character of the private use area that the C library's GB18030 lacks;
        // the DXF writes it in AutoCAD's \U+ notation.
        {"D\xEE\x9E\x8D", "含有 GB18030 编码无法表示的字符 U+E78D", "", ""},
        // Beyond U+FFFF: GB18030 writes it in four bytes, a DXF of AutoCAD 2000 cannot.
        {"\xF0\xA0\x80\x80", "", "", "点号 2 的点名“\xF0\xA0\x80\x80”含有 AutoCAD 2000 格式的 DXF 文件无法表示的字符 U+20000"},
        {"Ωмир·点", "", "", ""},
        // Longer than one text of a DXF may be.
        {longName.c_str(), "", "", "过长，AutoCAD 2000 格式的 DXF 文件中一段文字最多 2049 字节"},
    };
    const fs::path folder = fs::temp_directory_path() / ("trelvan-export-test-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChainState record = computed;
        record.pointName[2] = c.name;
        for (const auto& [format, refusal, extension] :
             {std::tuple{Format::CassData, c.dat, ".dat"}, std::tuple{Format::Csv, c.csv, ".csv"},
              std::tuple{Format::Dxf, c.dxf, ".dxf"}}) {
            const fs::path file = folder / (std::string("coordinates") + extension);
            { std::ofstream(file, std::ios::binary) << "older file\r\n"; }
            const Outcome outcome = exports::exportCoordinates(record, format, file.string());
            if (*refusal == '\0') {
                EXPECT_EQ(outcome.kind, Outcome::Kind::Written) << outcome.message;
                EXPECT_EQ(outcome.message, "坐标已导出为 " + exports::formatName(format) + " " + file.string() +
                                               "（共 6 个点）");
                EXPECT_NE(contentsOf(file), "older file\r\n");
            } else {
                EXPECT_EQ(outcome.kind, Outcome::Kind::Refused);
                EXPECT_EQ(outcome.message.rfind("无法导出 " + exports::formatName(format) + " " + file.string() +
                                                "：点号 2 的点名",
                                                0),
                          0u)
                    << outcome.message;
                EXPECT_NE(outcome.message.find(refusal), std::string::npos) << outcome.message;
                EXPECT_EQ(contentsOf(file), "older file\r\n");
            }
        }
        // Nothing is left behind under a temporary name.
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 3);
    }
    fs::remove_all(folder);
}

}  // namespace
}  // namespace trelvan::testing
