// The file names a save or an export proposes: after the job file, else after A and
// B, always a name every file system takes.
#include <gtest/gtest.h>

#include "job/proposed_name.h"

namespace trelvan {
namespace {

TEST(ProposedName, TheJobsNameAsAFileNameTakesIt) {
    std::string sixtyCe;  // "测" sixty times: 180 bytes
    for (int i = 0; i < 60; ++i) sixtyCe += "测";
    struct Case {
        const char* rule;
        std::string jobFile, a, b;
        std::string stem;
    } cases[] = {
        {"the job file's own name", "/home/k/jobs/K07-K08.trv", "A1", "B1", "K07-K08"},
        {"a name with dots keeps all but its extension", "chain.v2.trv", "", "", "chain.v2"},
        {"no job file: A and B", "", "K07", "K08", "K07-K08"},
        {"characters no file system takes", "", "北山/GPS", "东岗:1*", "北山_GPS-东岗_1_"},
        {"a line break and a tab", "", "K\n07", "K\t08", "K_07-K_08"},
        {"only B named", "", "", "K08", "K08"},
        {"blanks and dots at the ends go", "", " .hidden", "B. ", "hidden-B"},
        {"nothing left", "", "..", " ", "作业"},
        {"nothing at all", "", "", "", "作业"},
        {"a long name cut between characters, B kept", "", sixtyCe, "K08",
         sixtyCe.substr(0, 19 * 3) + "-K08"},
        {"ill-formed UTF-8", "", "K\xff" "07", "K08", "K\xEF\xBF\xBD" "07-K08"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        EXPECT_EQ(jobStem(c.jobFile, c.a, c.b), c.stem);
        EXPECT_LE(jobStem(c.jobFile, c.a, c.b).size(), 120u);
    }

    struct Name {
        Proposed what;
        const char* table;
        const char* name;
    } names[] = {
        {Proposed::Job, "", "K07-K08.trv"},
        {Proposed::Report, "", "K07-K08.pdf"},
        {Proposed::FullReport, "", "K07-K08 完整报告.pdf"},
        {Proposed::Plot, "", "K07-K08 网图.svg"},
        {Proposed::AnalysisTable, "点位精度", "K07-K08 精度分析-点位精度.csv"},
        {Proposed::CassData, "", "K07-K08.dat"},
        {Proposed::CoordinateCsv, "", "K07-K08 坐标.csv"},
        {Proposed::Drawing, "", "K07-K08.dxf"},
        {Proposed::AnalysisTable, "闭合差/检验", "K07-K08 精度分析-闭合差_检验.csv"},
    };
    for (const Name& n : names) EXPECT_EQ(proposedFileName(n.what, "K07-K08", n.table), n.name);
}

}  // namespace
}  // namespace trelvan
