#pragma once
// What the benchmarks share: generated chains cached by size, the Compute action's
// seams answered from a reply list, and a child process timed from outside.

#include <array>
#include <string>
#include <vector>

#include "chain_generator.h"
#include "entry/interfaces.h"
#include "state/chain_state.h"

namespace trelvan::bench {

// The chain of `triangles` triangles with the default options, generated once.
const GeneratedChain& chainOf(int triangles);

// Its reply file on disk, written once, in a scratch folder removed at exit.
const std::string& replyFileOf(int triangles);

// A scratch file name in that folder.
std::string scratchPath(const std::string& name);

// Answers prompts from a list of replies, in order; past its end, the end of input.
class ListPrompter : public Prompter {
public:
    explicit ListPrompter(const std::vector<std::string>& replies) : replies_(replies) {}
    Reply ask(const std::string&) override {
        if (next_ == replies_.size()) return Reply::endOfInput();
        return Reply::typed(replies_[next_++]);
    }
    std::size_t used() const { return next_; }

private:
    const std::vector<std::string>& replies_;
    std::size_t next_ = 0;
};

// Keeps the last text of every box.
class LastTexts : public TextBoxes {
public:
    void setText(int box, const std::string& text) override { texts[box] = text; }
    std::array<std::string, 33> texts;
};

class CollectedMessages : public Messages {
public:
    void say(const std::string& message) override { said.push_back(message); }
    std::vector<std::string> said;
};

// A chain as the data-entry dialogue leaves it: ready for the adjustment.
struct EnteredChain {
    ChainState state;
    RunValues run;
};
EnteredChain enterChain(const GeneratedChain& chain);

// A completed Compute action on the chain; throws when it does not complete.
ChainState completedRecord(const GeneratedChain& chain, LastTexts* boxes = nullptr);

// A child process run to its end.
struct ChildRun {
    double wallSeconds = 0;
    double cpuSeconds = 0;      // user + system
    double peakRssMb = 0;       // the child's own peak resident set
    int exitStatus = -1;        // −1: did not exit normally
};

// Runs `program` with `arguments` through trelvan_bench_runner, standard input from
// `input` (empty: /dev/null) and standard output to `output` (empty: /dev/null).
// `environment` entries ("NAME=value") are added to this process's environment.
ChildRun runChild(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& input, const std::string& output,
                  const std::vector<std::string>& environment = {});

}  // namespace trelvan::bench
