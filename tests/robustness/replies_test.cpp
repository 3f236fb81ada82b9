// Bad replies anywhere in a whole run. A reply that is refused changes nothing: the
// same prompt comes again and the run ends exactly as without it.
#include <gtest/gtest.h>

#include <string>

#include "fuzz/reply_stream.h"
#include "report/report.h"
#include "state/constants.h"
#include "whole_runs.h"

namespace trelvan::testing {
namespace {

using fuzzing::sameRecord;

// A reply just over the length bound that would otherwise be a valid number.
std::string overLongNumber() {
    std::string text = "0.";
    text.resize(maxReplyBytes + 1, '1');
    return text;
}

// Refuses `bad` at prompt p of `run` (inserted before the reply that run gives
// there) and checks that nothing else changes.
void expectRefused(const char* run, std::size_t p, const std::string& bad) {
    ChainState plainRecord;
    const Action plain(plainRecord, goldenReplies(run));
    auto replies = goldenReplies(run);
    replies.insert(replies.begin() + static_cast<long>(p), Reply::typed(bad));
    ChainState record;
    const Action refused(record, replies);
    const auto& prompts = refused.h->prompter.prompts;
    SCOPED_TRACE(std::string(run) + ", prompt " + std::to_string(p) + ": " + prompts[p] +
                 ", reply of " + std::to_string(bad.size()) + " bytes: " + bad.substr(0, 20));
    ASSERT_EQ(refused.outcome, ComputeOutcome::Completed);
    EXPECT_EQ(refused.writes(), plain.writes());
    EXPECT_TRUE(sameRecord(record, plainRecord));
    ASSERT_EQ(refused.h->messages.said.size(), plain.h->messages.said.size() + 1);
    EXPECT_EQ(prompts.size(), plain.h->prompter.prompts.size() + 1);
    EXPECT_EQ(prompts[p + 1], prompts[p]);  // the same prompt again
}

// Every value prompt of two whole runs refuses what is not one finite decimal
// number, the empty reply included; N also refuses numbers outside 1..16382.
TEST(BadReplies, AtValuePromptsAreRefusedAndChangeNothing) {
    const std::string notNumbers[] = {"",      "abc",  "1e400", "-1e400", "inf",   "nan",  "1,5",
                                      "12abc", " \t ", "5\x01", "\x0b" "5", "\xEF\xBF\xBD", "0x10",
                                      overLongNumber()};
    const std::string badCounts[] = {"0", "-1", "0.4", "16383", "16382.6", "32768", "1e10", "-0"};
    for (const char* run : {"run_single_triangle", "run_direction_points"}) {
        ChainState record;
        const Action plain(record, goldenReplies(run));
        const auto& prompts = plain.h->prompter.prompts;
        for (std::size_t p = 0; p < prompts.size(); ++p) {
            if (isConfirmation(prompts[p]) || isListing(prompts[p]) || isName(prompts[p])) continue;
            for (const auto& bad : notNumbers) expectRefused(run, p, bad);
            if (isCount(prompts[p])) {
                for (const auto& bad : badCounts) expectRefused(run, p, bad);
            }
        }
    }
}

// A name takes any text: empty, blanks, control characters, text from any script,
// up to the length bound. A longer one is refused and asked again. Every name
// reaches the listing and the report as typed.
TEST(BadReplies, NamesOfAnyContentAreKeptAndOnlyOverLongOnesRefused) {
    const std::string longest(maxReplyBytes, 'N');
    const std::string names[] = {"", "   ", "\t\x01\x7f", "\xEF\xBF\xBD", "点\r名", "0", "nan",
                                 std::string("a\0b", 3), longest};
    for (const auto& name : names) {
        auto replies = goldenReplies("run_single_triangle");
        const std::size_t firstName = 26;  // N, 12 confirmed values, the tolerance
        replies[firstName] = Reply::typed(name);
        ChainState record;
        const Action action(record, replies);
        SCOPED_TRACE(name.substr(0, 20));
        ASSERT_EQ(action.outcome, ComputeOutcome::Completed);
        EXPECT_EQ(record.pointName[0], name);
        const auto& writes = action.writes();
        EXPECT_NE(std::find(writes.begin(), writes.end(), std::pair<int, std::string>(11, " " + name)),
                  writes.end());
        EXPECT_TRUE(fuzzing::isWellFormedUtf8(renderText(buildReport(record))));
    }
    expectRefused("run_single_triangle", 26, std::string(maxReplyBytes + 1, 'N'));
    expectRefused("run_single_triangle", 27, std::string(maxReplyBytes + 1, 'N'));
}

}  // namespace
}  // namespace trelvan::testing
