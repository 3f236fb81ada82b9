// Impossible arithmetic abandons the Compute action with a message that names what
// failed and where; nothing after the failing check is shown, and the last
// completed result stays whole.
#include <gtest/gtest.h>

#include "adjustment/chain_fixture.h"
#include "adjustment/stages.h"
#include "fuzz/reply_stream.h"
#include "state/failure.h"
#include "whole_runs.h"

namespace trelvan::testing {
namespace {

bool wrote(const Action& action, int box) {
    for (const auto& [b, text] : action.writes())
        if (b == box) return true;
    return false;
}

TEST(Failures, FromTheDialogueAreNamedAndKeepTheLastResult) {
    const struct {
        const char* what;
        std::vector<Reply> replies;
        const char* named;
        const char* reason;
        bool misclosuresShown;
    } cases[] = {
        // B lies 50 km from where the chain arrives: the corrections tear the triangle,
        // and one adjusted side comes out negative.
        {"adjusted sides that cannot form a triangle", oneTriangle("1000", "50000", "60000"),
         "平差后第 1 个三角形的边长 S1=", "中有不大于零的边长，不能构成三角形，平差计算中止。", true},
        // A and B at opposite ends of the number range: the misclosure has no value.
        {"a misclosure out of range", oneTriangle("1e308", "-1e308", "2000"), "纵座标闭合差",
         "超出数值范围，平差计算中止。", false},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.what);
        ChainState record;
        ASSERT_EQ(Action(record, goldenReplies("run_three_conditions")).outcome,
                  ComputeOutcome::Completed);
        const ChainState completed = record;
        const Action failed(record, tc.replies);
        EXPECT_EQ(failed.outcome, ComputeOutcome::Failed);
        EXPECT_NE(failed.lastMessage().find(tc.named), std::string::npos) << failed.lastMessage();
        EXPECT_NE(failed.lastMessage().find(tc.reason), std::string::npos) << failed.lastMessage();
        EXPECT_EQ(failed.h->prompter.remaining(), 0u);
        EXPECT_EQ(wrote(failed, 15), tc.misclosuresShown);
        EXPECT_FALSE(wrote(failed, 18));  // no precision figure
        EXPECT_FALSE(wrote(failed, 11));  // no listing
        EXPECT_TRUE(fuzzing::sameRecord(record, completed));
    }
}

// A zero altitude cannot come from sides that passed the entry checks; it stops
// the condition equations with the triangle's number.
TEST(Failures, ZeroAltitudeStopsTheConditionEquations) {
    Chain c = makeChain(workedExample(), {-1, +1, -1}, 15, 25, true);
    Harness h;
    solveTriangles(c.state, c.run);
    computeMisclosures(c.state, c.run, h.boxes);
    for (int i = 1; i <= 3; ++i) {
        Chain broken = c;
        broken.run.altitude[i] = 0;
        try {
            formConditions(broken.state, broken.run);
            ADD_FAILURE() << "no failure for triangle " << i;
        } catch (const ComputeFailure& failure) {
            EXPECT_NE(std::string(failure.what()).find("第 " + std::to_string(i) + " 个三角形的高为零"),
                      std::string::npos)
                << failure.what();
        }
    }
}

}  // namespace
}  // namespace trelvan::testing
