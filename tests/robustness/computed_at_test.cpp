// A completed action is dated by when it completed; an abandoned one, cancelled or
// failed, leaves the date of the result it leaves in place.
#include <gtest/gtest.h>

#include <chrono>

#include "whole_runs.h"

namespace trelvan::testing {
namespace {

TEST(ComputedAt, SetWhenAnActionCompletesAndKeptWhenOneIsAbandoned) {
    using Clock = std::chrono::system_clock;
    ChainState record;
    const Clock::time_point before = Clock::now();
    ASSERT_EQ(Action(record, goldenReplies("run_typed_n4")).outcome, ComputeOutcome::Completed);
    const Clock::time_point first = record.computedAt;
    EXPECT_GE(first, before);
    EXPECT_LE(first, Clock::now());

    auto cancelled = goldenReplies("run_single_triangle");
    cancelled.resize(3);
    cancelled.push_back(Reply::cancel());
    EXPECT_EQ(Action(record, cancelled).outcome, ComputeOutcome::Cancelled);
    EXPECT_EQ(Action(record, oneTriangle("1000", "50000", "60000")).outcome, ComputeOutcome::Failed);
    EXPECT_EQ(record.computedAt, first);

    ASSERT_EQ(Action(record, goldenReplies("run_single_triangle")).outcome, ComputeOutcome::Completed);
    EXPECT_GE(record.computedAt, first);
}

}  // namespace
}  // namespace trelvan::testing
