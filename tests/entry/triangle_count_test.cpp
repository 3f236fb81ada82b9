// The number of triangles: 1 to 16382, so that 2N+2 still fits a 16-bit integer;
// the reply rounds half to even first. A refused count is asked again before
// anything is shown or sized.
#include <gtest/gtest.h>

#include "entry/dialogue.h"
#include "entry/entry.h"
#include "support/scripted.h"

namespace trelvan {
namespace {

const std::string askN = "请输入三角形个数 N:";

TEST(TriangleCount, OneTo16382AreAcceptedAndNothingElse) {
    const struct {
        const char* reply;
        int n;  // 0: refused
    } cases[] = {
        {"16382", 16382}, {"16383", 0},     {"1", 1},         {"0", 0},
        {"-1", 0},        {"16382.4", 16382}, {"16382.5", 16382}, {"16382.6", 0},
        {"1.5", 2},       {"0.5", 0},       {"2.5", 2},       {"32767", 0},
        {"32768", 0},     {"-16382", 0},    {"1e4", 10000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        testing::Harness h;
        Dialogue dialogue(h.prompter, h.boxes, h.messages);
        ChainState state;
        RunValues run;
        h.prompter.add(c.reply);
        h.prompter.add("3");  // taken only after a refusal
        enterTriangleCount(dialogue, state, run);

        const int n = c.n != 0 ? c.n : 3;
        EXPECT_EQ(h.prompter.prompts, std::vector<std::string>(c.n != 0 ? 1 : 2, askN));
        EXPECT_EQ(h.messages.said.size(), c.n != 0 ? 0u : 1u);
        if (c.n == 0) {
            ASSERT_EQ(h.messages.said.size(), 1u);
            EXPECT_NE(h.messages.said[0].find("1 到 16382"), std::string::npos) << h.messages.said[0];
            // The refusal is said before Text9 is first written.
            EXPECT_EQ(h.log.events[2].rfind("! ", 0), 0u) << h.log.events[2];
        }
        ASSERT_EQ(h.boxes.writes.size(), 1u);
        EXPECT_EQ(h.boxes.text(9), " 线性锁共有" + std::to_string(n) + "个三角形");
        EXPECT_EQ(state.N, n);
        EXPECT_EQ(state.side.size(), 2u * n + 2);          // 0..2N+1
        EXPECT_EQ(run.cofactor.size(), 2u * n + 3);        // 0..2N+2, the last index 32766 at most
        EXPECT_EQ(state.pointName.size(), static_cast<std::size_t>(n) + 2);
    }
}

}  // namespace
}  // namespace trelvan
