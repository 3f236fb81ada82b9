// What the operator sees while and after the Compute action runs: each input box
// names the text box whose value it asks for or confirms, so that the window can keep
// that value in sight; after an abandoned action every box shows again what the last
// completed action left on it.
#include <gtest/gtest.h>

#include <set>

#include "whole_runs.h"

namespace trelvan::testing {
namespace {

// Notes the box each prompt names; -1 for the listing pause.
class HintedPrompter : public ScriptedPrompter {
public:
    using ScriptedPrompter::ScriptedPrompter;
    Reply askAbout(const std::string& prompt, int box) override {
        hints.push_back(box);
        return ask(prompt);
    }
    Reply askPause(const std::string& prompt) override {
        hints.push_back(-1);
        return ScriptedPrompter::askPause(prompt);
    }
    std::vector<int> hints;
};

// The box of a transcript line "TextN: text" with a text, else 0.
int writtenBox(const std::string& event) {
    const auto colon = event.find(": ");
    if (event.rfind("Text", 0) != 0 || colon == std::string::npos || colon + 2 == event.size()) return 0;
    return std::stoi(event.substr(4, colon - 4));
}

// A value prompt names the box its accepted reply is shown in; a confirmation, the
// box whose value it confirms: the last one written before it. Names name none.
TEST(PromptHints, EachPromptNamesTheBoxOfItsValue) {
    std::set<int> named;
    for (const char* run : {"run_typed_n4", "run_direction_points", "entry_reentry", "entry_side_checks",
                            "entry_issue_check", "run_adjusted_triangle_fails"}) {
        SCOPED_TRACE(run);
        EventLog log;
        HintedPrompter prompter(log, goldenReplies(run));
        RecordingBoxes boxes(log);
        RecordingMessages messages(log);
        ChainState record;
        Command1_Click(record, prompter, boxes, messages);
        ASSERT_EQ(prompter.hints.size(), prompter.prompts.size());

        std::size_t asked = 0;
        int lastShown = 0;
        for (std::size_t e = 0; e < log.events.size(); ++e) {
            const std::string& event = log.events[e];
            if (const int box = writtenBox(event)) lastShown = box;
            if (event.rfind("? ", 0) != 0) continue;
            const std::string prompt = event.substr(2);
            const int hint = prompter.hints[asked++];
            SCOPED_TRACE(prompt);
            if (isListing(prompt)) {
                EXPECT_EQ(hint, -1);
            } else if (isName(prompt)) {
                EXPECT_EQ(hint, 0);
            } else if (isConfirmation(prompt)) {
                EXPECT_EQ(hint, lastShown);
            } else {
                int shown = 0;  // the first box written before the next prompt
                for (std::size_t f = e + 1; f < log.events.size() && shown == 0; ++f) {
                    if (log.events[f].rfind("? ", 0) == 0) break;
                    shown = writtenBox(log.events[f]);
                }
                if (shown != 0) {
                    EXPECT_EQ(hint, shown);
                }  // else the reply was refused
                EXPECT_GT(hint, 0);
            }
            named.insert(hint);
        }
    }
    // Every box the dialogue echoes into is named somewhere.
    for (const int box : {9, 1, 2, 3, 4, 10, 30, 31, 32, 5, 6, 7, 8, 25, 27, 29})
        EXPECT_TRUE(named.count(box)) << "Text" << box;
}

// The texts of all boxes, as the operator sees them.
std::vector<std::string> shown(const RecordingBoxes& boxes) {
    return std::vector<std::string>(std::begin(boxes.current), std::end(boxes.current));
}

// Abandoned wherever it can be, at every value and name prompt in turn, by a
// failure and by the end of the input: the boxes then equal those of the completed
// action before, or are empty when there was none.
TEST(KeptTexts, AnAbandonedActionShowsTheLastCompletedResultAgain) {
    const auto run = [](Harness& h, KeptTexts& kept, ChainState& record, std::vector<Reply> replies) {
        for (auto& r : replies) h.prompter.add(std::move(r));
        return Command1_Click(record, h.prompter, kept, h.messages);
    };
    std::vector<std::pair<std::string, std::vector<Reply>>> abandoned{
        {"failed", goldenReplies("run_adjusted_triangle_fails")},
        {"input ended", goldenReplies("entry_side_checks")},
    };
    const auto plain = goldenReplies("run_direction_points");
    {
        ChainState record;
        const Action whole(record, plain);
        for (std::size_t p = 0; p < whole.h->prompter.prompts.size(); ++p) {
            const std::string& prompt = whole.h->prompter.prompts[p];
            if (isConfirmation(prompt) || isListing(prompt)) continue;
            auto replies = plain;
            replies.resize(p);
            replies.push_back(Reply::cancel());
            abandoned.emplace_back("cancelled at " + std::to_string(p) + ": " + prompt, replies);
        }
    }

    for (const bool earlier : {false, true}) {
        for (const auto& [what, replies] : abandoned) {
            SCOPED_TRACE(std::string(earlier ? "after a completed action, " : "first action, ") + what);
            Harness h;
            KeptTexts kept(h.boxes);
            ChainState record;
            if (earlier) {
                ASSERT_EQ(run(h, kept, record, goldenReplies("run_three_conditions")), ComputeOutcome::Completed);
            }
            const auto completed = shown(h.boxes);
            ASSERT_NE(run(h, kept, record, replies), ComputeOutcome::Completed);
            EXPECT_EQ(shown(h.boxes), completed);
            // The message comes after the boxes are restored.
            ASSERT_FALSE(h.log.events.empty());
            EXPECT_EQ(h.log.events.back().rfind("! ", 0), 0u) << h.log.events.back();

        }
    }
}

}  // namespace
}  // namespace trelvan::testing
