// An abandoned Compute action (a Cancel, a failure) leaves the record of the last
// completed one whole: Print still prints it, and the next action starts from it
// with nothing of the abandoned one left over.
#include <gtest/gtest.h>

#include "fuzz/reply_stream.h"
#include "report/report.h"
#include "whole_runs.h"

namespace trelvan::testing {
namespace {

using fuzzing::sameRecord;

// A Cancel at every prompt of a whole run in turn. At a value or a name prompt it
// abandons the action and the record stays as it was; at a confirmation it confirms
// and at the listing it continues, exactly as the empty reply there.
TEST(Cancel, AbandonsAtValuesAndNamesConfirmsAtConfirmationsContinuesTheListing) {
    for (const char* run : {"run_single_triangle", "run_direction_points"}) {
        ChainState earlier;
        ASSERT_EQ(Action(earlier, goldenReplies("run_three_conditions")).outcome,
                  ComputeOutcome::Completed);
        ChainState expected = earlier;
        const Action plain(expected, goldenReplies(run));
        ASSERT_EQ(plain.outcome, ComputeOutcome::Completed) << run;
        const auto& prompts = plain.h->prompter.prompts;

        for (std::size_t p = 0; p < prompts.size(); ++p) {
            auto replies = goldenReplies(run);
            replies.resize(std::max(replies.size(), p + 1), Reply::typed(""));
            replies[p] = Reply::cancel();
            ChainState record = earlier;
            const Action cancelled(record, replies);
            const bool abandons = !isConfirmation(prompts[p]) && !isListing(prompts[p]);
            SCOPED_TRACE(std::string(run) + ", prompt " + std::to_string(p) + ": " + prompts[p]);
            if (abandons) {
                EXPECT_EQ(cancelled.outcome, ComputeOutcome::Cancelled);
                EXPECT_TRUE(sameRecord(record, earlier));
                EXPECT_EQ(cancelled.h->prompter.prompts.size(), p + 1);
                EXPECT_FALSE(cancelled.lastMessage().empty());
            } else {
                EXPECT_EQ(cancelled.outcome, ComputeOutcome::Completed);
                EXPECT_TRUE(sameRecord(record, expected));
                EXPECT_EQ(cancelled.writes(), plain.writes());
            }
        }
    }
}

// What an abandoned action typed or computed before it stopped, a different N,
// other signs, a different case and typed azimuths, is gone: the next action gives
// exactly what it gives after the completed action alone. The abandoned action
// keeps taEntered and tbEntered of the completed one; the next action, oriented by
// direction points, types no azimuth and leaves 0 in both.
TEST(AbandonedAction, LeavesTheLastResultAndTheNextActionStartsFromIt) {
    auto cancelledAtAName = goldenReplies("run_fan_weak_point");
    for (std::size_t i = 0; i < cancelledAtAName.size(); ++i) {
        if (cancelledAtAName[i].text == "二") {  // the name of the second unknown point
            cancelledAtAName.resize(i);
            cancelledAtAName.push_back(Reply::cancel());
            break;
        }
    }
    const struct {
        const char* what;
        std::vector<Reply> replies;
        ComputeOutcome outcome;
    } abandoned[] = {
        {"cancelled at a name", cancelledAtAName, ComputeOutcome::Cancelled},
        {"failed in the adjustment", oneTriangle("1000", "50000", "60000"), ComputeOutcome::Failed},
    };

    ChainState completed;
    ASSERT_EQ(Action(completed, goldenReplies("run_three_conditions")).outcome,
              ComputeOutcome::Completed);
    ASSERT_NE(completed.taEntered, 0);
    ASSERT_NE(completed.tbEntered, 0);
    ChainState straight = completed;
    const Action next(straight, goldenReplies("run_direction_points"));
    ASSERT_EQ(next.outcome, ComputeOutcome::Completed);
    EXPECT_EQ(straight.taEntered, 0);
    EXPECT_EQ(straight.tbEntered, 0);
    EXPECT_TRUE(straight.orientedAtA);

    for (const auto& tc : abandoned) {
        SCOPED_TRACE(tc.what);
        ChainState record = completed;
        const std::string report = renderText(buildReport(record));
        const Action stopped(record, tc.replies);
        EXPECT_EQ(stopped.outcome, tc.outcome);
        EXPECT_TRUE(sameRecord(record, completed));
        EXPECT_EQ(renderText(buildReport(record)), report);  // what Print prints

        const Action after(record, goldenReplies("run_direction_points"));
        EXPECT_EQ(after.outcome, ComputeOutcome::Completed);
        EXPECT_TRUE(sameRecord(record, straight));
        EXPECT_EQ(after.writes(), next.writes());
    }
}

}  // namespace
}  // namespace trelvan::testing
