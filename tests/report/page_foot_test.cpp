// The foot of the printed pages: the computation's time at the left, the job file in
// the middle, the page's number at the right, each where it is read at a glance.
#include <gtest/gtest.h>

#include "report/page_foot.h"

namespace trelvan {
namespace {

// Half an em a display cell: at an em of 2, a cell is 1.
double cells(std::string_view text, double em) { return displayCells(text) * em / 2; }

TEST(PageFoot, TimeLeftJobFileMiddleNumberRight) {
    std::string longName;
    for (int i = 0; i < 20; ++i) longName += "很长的作业文件名称";
    struct Case {
        const char* rule;
        PageFoot foot;
        int page, pages;
        std::vector<std::pair<double, std::string>> texts;  // left edge, text
    } cases[] = {
        // 29 cells of time, 21 of file centred on the line of 190, 15 of number.
        {"all three", {"2026-12-08 14:03:27", "K07-K08.trv"}, 2, 5,
         {{0, "计算时间：2026-12-08 14:03:27"}, {84.5, "作业文件：K07-K08.trv"}, {175, "第 2 页 共 5 页"}}},
        {"no job file", {"2026-12-08 14:03:27", ""}, 12, 12,
         {{0, "计算时间：2026-12-08 14:03:27"}, {173, "第 12 页 共 12 页"}}},
        {"neither time nor file", {"", ""}, 1, 1, {{175, "第 1 页 共 1 页"}}},
        // Room from 33 (time and two ems) to 171 (two ems before the number).
        {"a file name too long for the room", {"2026-12-08 14:03:27", longName}, 1, 1,
         {{0, "计算时间：2026-12-08 14:03:27"},
          {33, "作业文件：" + std::string(longName, 0, 3 * 63) + "…"},
          {175, "第 1 页 共 1 页"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        const std::vector<FootText> texts = layOutFoot(c.foot, c.page, c.pages, 190, 2, cells);
        ASSERT_EQ(texts.size(), c.texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            EXPECT_DOUBLE_EQ(texts[i].left, c.texts[i].first) << texts[i].text;
            EXPECT_EQ(texts[i].text, c.texts[i].second);
            EXPECT_LE(texts[i].left + cells(texts[i].text, 2), 190 + 1e-9);
        }
    }

    // The job file by its name alone, shown as a page can show it, and said to differ
    // from the result when it was changed and not saved.
    struct Origin {
        const char* jobFile;
        bool unsaved;
        const char* shown;
    } origins[] = {
        {"/data/测量/K07-K08.trv", false, "K07-K08.trv"},
        {"/data/K07-K08.trv", true, "K07-K08.trv（修改后未保存）"},
        {"K\n07.trv", false, "K\xEF\xBF\xBD" "07.trv"},
        {"", true, ""},
    };
    for (const Origin& o : origins) {
        const PageFoot foot = pageFootOf(ChainState{}, o.jobFile, o.unsaved);
        EXPECT_EQ(foot.jobFile, o.shown);
        EXPECT_EQ(foot.computedAt, "");  // a record never computed is not dated
    }
}

}  // namespace
}  // namespace trelvan
