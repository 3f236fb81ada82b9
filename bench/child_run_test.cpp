// Children are measured as themselves: their own time, peak memory and exit
// status, with their standard input and output where they were asked to be.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

#include "bench_support.h"

namespace trelvan::bench {
namespace {

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ChildRun, ReadsAndWritesTheGivenFiles) {
    const std::string input = scratchPath("child-in.txt"), output = scratchPath("child-out.txt");
    std::ofstream(input) << "3\n1 2\n";
    const ChildRun run = runChild("/bin/cat", {}, input, output);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(contents(output), "3\n1 2\n");
    EXPECT_GE(run.wallSeconds, 0.0);
    EXPECT_EQ(runChild("/bin/sh", {"-c", "exit 3"}, "", "").exitStatus, 3);
}

TEST(ChildRun, PassesTheGivenEnvironmentOverTheInherited) {
    const std::string output = scratchPath("child-env.txt");
    setenv("TRELVAN_BENCH_PROBE", "inherited", 1);
    runChild("/bin/sh", {"-c", "printf %s \"$TRELVAN_BENCH_PROBE\""}, "", output, {"TRELVAN_BENCH_PROBE=given"});
    EXPECT_EQ(contents(output), "given");
}

// The peak of the child alone: a large parent must not show in it.
TEST(ChildRun, PeakMemoryIsTheChildsOwn) {
    constexpr std::size_t parentBytes = 300u << 20;
    const auto parent = std::make_unique<char[]>(parentBytes);
    std::memset(parent.get(), 1, parentBytes);  // resident, not merely reserved
    const ChildRun run = runChild("/bin/true", {}, "", "");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_GT(run.peakRssMb, 0.0);
    EXPECT_LT(run.peakRssMb, 100.0);
}

}  // namespace
}  // namespace trelvan::bench
