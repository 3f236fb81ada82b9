// The fuzz target's checks, run over its seed corpus and over every input the
// fuzzer ever found a fault with (fuzz/findings), in the normal build.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fuzz/job_input.h"
#include "fuzz/reply_stream.h"

namespace trelvan::testing {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& file) {
    std::ostringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
}

TEST(FuzzCorpus, EverySeedAndEveryPastFindingPassesTheChecks) {
    std::size_t files = 0;
    for (const char* dir : {"fuzz/corpus", "fuzz/findings"}) {
        const fs::path path = fs::path(TRELVAN_SOURCE_DIR) / dir;
        if (!fs::exists(path)) continue;
        for (const auto& entry : fs::directory_iterator(path)) {
            ++files;
            EXPECT_EQ(fuzzing::runStream(contents(entry.path())), "") << entry.path();
        }
    }
    EXPECT_GT(files, 10u);
}

// The job reader's corpus and findings: every file is refused cleanly or computed.
TEST(FuzzCorpus, EveryJobFileOfTheCorpusAndEveryPastFindingPassesTheChecks) {
    std::size_t files = 0, accepted = 0;
    for (const char* dir : {"fuzz/job_corpus", "fuzz/job_findings"}) {
        const fs::path path = fs::path(TRELVAN_SOURCE_DIR) / dir;
        if (!fs::exists(path)) continue;
        for (const auto& entry : fs::directory_iterator(path)) {
            ++files;
            JobReading reading;
            EXPECT_EQ(fuzzing::runJobFile(contents(entry.path()), &reading), "") << entry.path();
            accepted += reading.accepted() ? 1 : 0;
        }
    }
    EXPECT_GT(files, 10u);
    EXPECT_GT(accepted, 0u);
}

// The stream runs one action after another on the same record, and its markers
// reach the dialogue as a Cancel and as an over-long reply.
TEST(FuzzCorpus, MarkersAndActionsFollowingOneAnother) {
    const fs::path seeds = fs::path(TRELVAN_SOURCE_DIR) / "fuzz/corpus";
    std::vector<ComputeOutcome> outcomes;
    EXPECT_EQ(fuzzing::runStream(contents(seeds / "completed_cancelled_completed"), &outcomes), "");
    EXPECT_EQ(outcomes, (std::vector<ComputeOutcome>{ComputeOutcome::Completed,
                                                     ComputeOutcome::Cancelled,
                                                     ComputeOutcome::Completed}));
    outcomes.clear();
    EXPECT_EQ(fuzzing::runStream(contents(seeds / "overlong_and_bad_utf8"), &outcomes), "");
    EXPECT_EQ(outcomes, std::vector<ComputeOutcome>{ComputeOutcome::Completed});
}

}  // namespace
}  // namespace trelvan::testing
