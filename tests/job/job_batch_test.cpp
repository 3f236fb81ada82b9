// Batch mode with job files, through the real program: --job computes a job without
// reading standard input, a refused job computes, reports and saves nothing, and a
// job that cannot be saved still leaves the reports asked for.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "job/job.h"
#include "job/job_support.h"

namespace trelvan::testing {
namespace {

using ::testing::HasSubstr;

struct ProgramRun {
    int status = -1;
    std::string out, err;
};

// Runs the program with `arguments` (no blanks in any), standard input from `input`.
ProgramRun run(const ScratchFolder& folder, const std::string& arguments, const std::string& input = "") {
    writeFile(folder / "stdin", input);
    const std::string command = std::string(TRELVAN_PROGRAM) + " " + arguments + " <" + (folder / "stdin") +
                                " >" + (folder / "stdout") + " 2>" + (folder / "stderr");
    const int raw = std::system(command.c_str());
    ProgramRun r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = fileContents(folder / "stdout");
    r.err = fileContents(folder / "stderr");
    return r;
}

std::string golden(const std::string& name) {
    return fileContents(std::string(TRELVAN_SOURCE_DIR) + "/tests/golden/" + name);
}

// The transcript's lines, without the replies.
std::string withoutReplies(const std::string& transcript) {
    std::istringstream in(transcript);
    std::string kept;
    for (std::string line; std::getline(in, line);)
        if (line.rfind("> ", 0) != 0) kept += line + "\n";
    return kept;
}

TEST(JobBatch, AJobIsTypedFromItsRepliesAndStandardInputIsNotRead) {
    ScratchFolder folder;
    writeFile(folder / "job.trv", exampleJob());
    const ProgramRun r = run(folder, "--batch --job " + (folder / "job.trv") + " --report-text " + (folder / "report.txt"),
                      "this is not read\n0\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(withoutReplies(r.out), withoutReplies(golden("run_typed_n4.transcript")));
    EXPECT_EQ(fileContents(folder / "report.txt"), golden("run_typed_n4.report.txt"));

    // The replies are the job's, one for each prompt.
    std::string replies;
    for (const std::string& reply : jobReplies(parseJob(exampleJob()).job)) replies += "> " + reply + "\n";
    std::istringstream in(r.out);
    std::string shown;
    for (std::string line; std::getline(in, line);)
        if (line.rfind("> ", 0) == 0) shown += line + "\n";
    EXPECT_EQ(shown, replies);
}

TEST(JobBatch, ARefusedJobSaysWhyOnceAndWritesNothing) {
    ScratchFolder folder;
    writeFile(folder / "job.trv", example("1101.074", "0"));
    writeFile(folder / "kept.trv", "an old job\n");
    const ProgramRun r = run(folder, "--batch --job " + (folder / "job.trv") + " --report-text " +
                                  (folder / "report.txt") + " --report-pdf " + (folder / "report.pdf") +
                                  " --save-job " + (folder / "kept.trv"));
    const std::string message = "作业文件 " + (folder / "job.trv") + "：sides[3] (S4)：边长 S4 不能为零。";
    EXPECT_EQ(r.status, 5);
    EXPECT_EQ(r.out, "! " + message + "\n");
    EXPECT_EQ(r.err, message + "\n");
    EXPECT_FALSE(std::filesystem::exists(folder / "report.txt"));
    EXPECT_FALSE(std::filesystem::exists(folder / "report.pdf"));
    EXPECT_EQ(fileContents(folder / "kept.trv"), "an old job\n");

    const ProgramRun missing = run(folder, "--batch --job " + (folder / "none.trv"));
    EXPECT_EQ(missing.status, 5);
    EXPECT_THAT(missing.out, HasSubstr("无法读取：文件或文件夹不存在"));
}

TEST(JobBatch, AJobThatCannotBeSavedStillLeavesTheReport) {
    ScratchFolder folder;
    writeFile(folder / "notes.txt", "");
    const ProgramRun r = run(folder, "--batch --save-job " + (folder / "notes.txt/job.trv") + " --report-text " +
                                  (folder / "report.txt"),
                      golden("run_typed_n4.replies"));
    EXPECT_EQ(r.status, 4);
    EXPECT_THAT(r.out, HasSubstr("\n! 无法保存作业文件 " + (folder / "notes.txt/job.trv") + "：路径中有一段不是文件夹"));
    EXPECT_EQ(fileContents(folder / "report.txt"), golden("run_typed_n4.report.txt"));
}

// A job's weights reach the adjustment: the report says so under its title, and the
// job saved from the action keeps them.
TEST(JobBatch, AJobsWeightsAreUsedStatedAndSaved) {
    ScratchFolder folder;
    writeFile(folder / "job.trv", instrumentExample());
    const ProgramRun r = run(folder, "--batch --job " + (folder / "job.trv") + " --report-text " +
                                         (folder / "report.txt") + " --save-job " + (folder / "saved.trv"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(fileContents(folder / "saved.trv"), instrumentExample());
    EXPECT_THAT(fileContents(folder / "report.txt"),
                HasSubstr("---\n            定权：测距 a=2 毫米，b=2 毫米/公里（线性），定向角 σ=2.5 秒\n\n\n"));
}

// Only a completed action has a job.
TEST(JobBatch, AnActionThatDoesNotCompleteSavesNoJob) {
    ScratchFolder folder;
    writeFile(folder / "job.trv", exampleJob());
    const std::string cases[][2] = {
        {golden("run_adjusted_triangle_fails.replies"), "1"},
        {"4\n3452118.406\n", "3"},
    };
    for (const auto& [replies, status] : cases) {
        const ProgramRun r = run(folder, "--batch --save-job " + (folder / "job.trv"), replies);
        EXPECT_EQ(std::to_string(r.status), status);
        EXPECT_EQ(fileContents(folder / "job.trv"), exampleJob());
    }
    EXPECT_EQ(run(folder, "--batch --job").status, 2);
}

// Every batch run that does not end with status 0 says why on standard error, in the
// words of the transcript's last `!` line; a usage error says what is wrong before
// the usage, and before any reply is read.
TEST(JobBatch, EveryFailingRunSaysWhyOnStandardError) {
    ScratchFolder folder;
    writeFile(folder / "refused.trv", example("1101.074", "0"));
    const std::string replies = golden("run_typed_n4.replies");
    struct Case {
        std::string arguments, input;
        int status;
        std::string reason;  // the stderr's first line starts with it
    } cases[] = {
        {"--batch", "4\n3452118.406\n", 3, "输入已结束"},
        {"--batch", golden("run_adjusted_triangle_fails.replies"), 1, "平差后第 1 个三角形"},
        {"--batch --report-text " + (folder / "none/report.txt"), replies, 4, "无法写入报告文件"},
        {"--batch --job " + (folder / "refused.trv"), "", 5, "作业文件"},
        {"--batch --report-text ''", replies, 2, "trelvan: --report-text needs a file name"},
        {"--report-text r.txt", replies, 2, "trelvan: the options that name a file need --batch"},
    };
    for (const Case& c : cases) {
        const ProgramRun r = run(folder, c.arguments, c.input);
        SCOPED_TRACE(c.arguments);
        EXPECT_EQ(r.status, c.status);
        const std::string firstLine = r.err.substr(0, r.err.find('\n'));
        EXPECT_EQ(firstLine.rfind(c.reason, 0), 0u) << r.err;
        if (c.status == 2) {
            EXPECT_EQ(r.out, "") << "a usage error reads no reply";
        } else {
            EXPECT_THAT("\n" + r.out, HasSubstr("\n! " + firstLine + "\n"));
        }
    }
}

}  // namespace
}  // namespace trelvan::testing
