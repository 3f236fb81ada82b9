// Writing job files: numbers that read back exactly, the values the dialogue
// accepted and no others, and saves that never lose the old file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>

#include "entry/dialogue.h"
#include "entry/entry.h"
#include "fuzz/job_input.h"
#include "job/job.h"
#include "job/job_support.h"
#include "state/number_format.h"
#include "support/scripted.h"

namespace trelvan::testing {
namespace {

using ::testing::HasSubstr;

std::uint64_t bits(double x) { return std::bit_cast<std::uint64_t>(x); }

Job exampleJobRecord() {
    const JobReading reading = parseJob(exampleJob());
    EXPECT_TRUE(reading.accepted());
    return reading.job;
}

// Every number goes into the file and into the dialogue as a text that reads back as
// the very same double, by the dialogue's own reading and by the job reader's.
TEST(JobWriting, NumbersReadBackExactlyAsWrittenAndAsReplies) {
    struct Row {
        double value;
        const char* written;
    };
    const Row rows[] = {
        {0.0, "0"},
        {-0.0, "-0.0"},
        {2.5, "2.5"},
        {796.97, "796.97"},
        {-848.482, "-848.482"},
        {0.1 + 0.2, "0.30000000000000004"},
        {3452118.406, "3452118.406"},
        {38123456.789, "38123456.789"},
        {9007199254740991.0, "9007199254740991"},
        {9007199254740992.0, "9.007199254740992e+15"},
        {1e21, "1e+21"},
        {1.7976931348623157e308, "1.7976931348623157e+308"},
        {5e-324, "5e-324"},
        {2.2250738585072014e-308, "2.2250738585072014e-308"},
        {-1e-7, "-1e-07"},
    };
    Job job = exampleJobRecord();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.written);
        job.Qb = row.value;
        const std::string text = jobText(job);
        EXPECT_THAT(text, HasSubstr("\"Qb\": " + std::string(row.written) + ",\n"));
        const auto asTyped = parseNumber(row.written);
        ASSERT_TRUE(asTyped);
        EXPECT_EQ(bits(*asTyped), bits(row.value));
        const JobReading reading = parseJob(text);
        ASSERT_TRUE(reading.accepted());
        EXPECT_EQ(bits(reading.job.Qb), bits(row.value));
        const auto asReply = parseNumber(replyNumber(row.value));
        ASSERT_TRUE(asReply);
        EXPECT_EQ(bits(*asReply), bits(row.value));
    }
}

TEST(JobWriting, TheTypedAzimuthIsWrittenExactlyWhenItsDirectionPointIsZero) {
    Job job = exampleJobRecord();
    job.Xpa = 3452000.5;   // oriented by a direction point
    job.Xpb = 3452700.25;  // one coordinate 0: not oriented
    const std::string text = jobText(job);
    EXPECT_THAT(text, HasSubstr("\"directionA\": {\n    \"X\": 3452000.5,\n    \"Y\": 0\n  },"));
    EXPECT_THAT(text, HasSubstr("\"directionB\": {\n    \"X\": 3452700.25,\n    \"Y\": 0\n  },\n  \"Qa\""));
    EXPECT_EQ(text.find("\"Ta\""), std::string::npos);
    EXPECT_EQ(text.find("\"Tb\""), std::string::npos);
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(fuzzing::runJobFile(text), "");
}

// The job of an action holds what the dialogue accepted: values confirmed after a
// "0", re-entered sides of a triangle that could not be formed, the tolerance as
// typed, N as the dialogue made it; never a refused reply or one typed over. The
// replies are those of the golden entry_reentry case, whose chain is entered whole.
TEST(JobWriting, TheJobOfAnActionHoldsOnlyTheAcceptedValues) {
    Harness h;
    std::ifstream in(std::string(TRELVAN_SOURCE_DIR) + "/tests/golden/entry_reentry.replies",
                     std::ios::binary);
    for (std::string line; std::getline(in, line);) h.prompter.add(line);
    h.prompter.add("");  // the last side's confirmation
    Dialogue dialogue(h.prompter, h.boxes, h.messages);
    ChainState state;
    RunValues run;
    enterTriangleCount(dialogue, state, run);
    enterKnownData(dialogue, state, run);
    enterNamesAndSides(dialogue, state, run);

    const TypedValues& typed = state.typed;
    EXPECT_EQ(typed.N, 2);
    const double known[] = {typed.Xa, typed.Ya, typed.Xb, typed.Yb, typed.Xpa, typed.Ypa, typed.Xpb,
                            typed.Ypb, typed.Ta, typed.Tb, typed.Qa, typed.Qb, typed.angleTolerance};
    const double accepted[] = {1002, 2000, 1800, 3501, 0, 0, 0, 0, 30.1, 100.3, -0.3016, 0, 2.5};
    for (std::size_t i = 0; i < std::size(accepted); ++i) EXPECT_EQ(known[i], accepted[i]) << i;
    EXPECT_EQ(typed.pointName, (std::vector<std::string>{"", "测站 甲", "P2", "B"}));
    EXPECT_EQ(typed.side, (std::vector<double>{0, 100.002, -80, 90.001, 70, 60.5}));
}

TEST(JobWriting, TheJobOfACompletedActionOutlivesLaterAbandonedOnes) {
    ChainState record;
    Harness first;
    ASSERT_EQ(computeJob(exampleJobRecord(), record, first.boxes, first.messages),
              ComputeOutcome::Completed);
    EXPECT_EQ(jobText(jobOf(record)), exampleJob());

    // A second action typed as far as the names, then cancelled.
    Harness second;
    for (const char* reply : {"1", "1", "", "2", "", "3", "", "4", "", "0", "", "0", "", "0", "", "0",
                              "", "45", "", "0", "", "0", "", "0", "", "7.5"})
        second.prompter.add(reply);
    second.prompter.cancel();
    EXPECT_EQ(Command1_Click(record, second.prompter, second.boxes, second.messages),
              ComputeOutcome::Cancelled);
    EXPECT_EQ(jobText(jobOf(record)), exampleJob());
}

// ---- Saving -----------------------------------------------------------------

const std::string oldJob = "{\"an old job\": true}\n";

struct Save {
    const char* failure;
    std::function<std::string(ScratchFolder&)> target;  // makes the folder, names the file
    FileOps ops = FileOps::system();
    const char* says;
};

FileOps failing(std::function<ssize_t(int, const void*, std::size_t)> write,
                std::function<int(int)> fsync = nullptr,
                std::function<int(const char*, const char*)> rename = nullptr) {
    FileOps ops = FileOps::system();
    if (write) ops.write = std::move(write);
    if (fsync) ops.fsync = std::move(fsync);
    if (rename) ops.rename = std::move(rename);
    return ops;
}

TEST(JobSaving, AFailedSaveNamesTheFailureAndLeavesTheOldFileByteForByte) {
    const auto existing = [](ScratchFolder& f) {
        writeFile(f / "job.trv", oldJob);
        return f / "job.trv";
    };
    const std::vector<Save> rows = {
        {"the disk fills up half way", existing,
         failing([](int fd, const void* data, std::size_t size) -> ssize_t {
             static std::size_t written = 0;
             if (written > 100) {
                 errno = ENOSPC;
                 return -1;
             }
             const ssize_t n = ::write(fd, data, std::min<std::size_t>(size, 64));
             written += static_cast<std::size_t>(n);
             return n;
         }),
         "磁盘空间不足"},
        {"the disk takes nothing", existing,
         failing([](int, const void*, std::size_t) -> ssize_t { return 0; }), "磁盘空间不足"},
        {"the data does not reach the disk", existing,
         failing(nullptr, [](int) {
             errno = EIO;
             return -1;
         }),
         "输入输出错误"},
        {"the rename fails", existing,
         failing(nullptr, nullptr, [](const char*, const char*) {
             errno = EXDEV;
             return -1;
         }),
         "系统错误"},
        {"a path under a regular file",
         [](ScratchFolder& f) {
             writeFile(f / "notes.txt", oldJob);
             return f / "notes.txt/job.trv";
         },
         FileOps::system(), "路径中有一段不是文件夹"},
        {"a folder that is not there", [](ScratchFolder& f) { return f / "gone/job.trv"; },
         FileOps::system(), "文件或文件夹不存在"},
        {"a folder as the file",
         [](ScratchFolder& f) {
             std::filesystem::create_directory(f / "job.trv");
             return f / "job.trv";
         },
         FileOps::system(), "这是一个文件夹"},
        {"a pipe as the file, which stays a pipe",
         [](ScratchFolder& f) {
             ::mkfifo((f / "job.trv").c_str(), 0666);
             return f / "job.trv";
         },
         FileOps::system(), "不是普通文件"},
    };
    const Job job = exampleJobRecord();
    for (const Save& row : rows) {
        SCOPED_TRACE(row.failure);
        ScratchFolder folder;
        const std::string file = row.target(folder);
        const auto before = folder.names();
        const auto kindBefore = std::filesystem::symlink_status(folder / "job.trv").type();
        const auto failure = saveJob(file, job, row.ops);
        ASSERT_TRUE(failure);
        EXPECT_THAT(*failure, HasSubstr("无法保存作业文件 " + file + "："));
        EXPECT_THAT(*failure, HasSubstr(row.says));
        EXPECT_EQ(folder.names(), before);  // no temporary file stays
        EXPECT_EQ(std::filesystem::symlink_status(folder / "job.trv").type(), kindBefore);
        if (std::filesystem::is_regular_file(folder / "job.trv")) {
            EXPECT_EQ(fileContents(folder / "job.trv"), oldJob);
        }
        if (std::filesystem::is_regular_file(folder / "notes.txt")) {
            EXPECT_EQ(fileContents(folder / "notes.txt"), oldJob);
        }
    }
}

// Runs `work` in a child process and returns what it writes to the pipe.
std::string inChild(const std::function<std::string()>& work) {
    int fds[2];
    if (::pipe(fds) != 0) return "no pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const std::string said = work();
        (void)!::write(fds[1], said.data(), said.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string said;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) said.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    ::waitpid(pid, nullptr, 0);
    return said;
}

// A folder without write permission. Root may write anywhere, so as root the save
// runs as an ordinary user.
TEST(JobSaving, AFolderWithoutWritePermission) {
    ScratchFolder folder;
    writeFile(folder / "job.trv", oldJob);
    ::chmod((folder / "job.trv").c_str(), 0644);
    ::chmod(folder.path().c_str(), 0555);
    const std::string said = inChild([&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return std::string("skip");
        return saveJob(folder / "job.trv", exampleJobRecord()).value_or("saved");
    });
    ::chmod(folder.path().c_str(), 0755);
    if (said == "skip") GTEST_SKIP() << "cannot drop root privileges";
    EXPECT_THAT(said, HasSubstr("没有权限"));
    EXPECT_EQ(fileContents(folder / "job.trv"), oldJob);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"job.trv"});
}

// A disk that is really full: a small memory file system of its own, mounted in a
// private mount namespace where that is allowed (root).
TEST(JobSaving, ARealFullDisk) {
    ScratchFolder folder;
    const std::string said = inChild([&]() -> std::string {
        if (::unshare(CLONE_NEWNS) != 0) return "skip";
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return "skip";
        if (::mount("tmpfs", folder.path().c_str(), "tmpfs", 0, "size=8k") != 0) return "skip";
        writeFile(folder / "job.trv", oldJob);
        Job big = exampleJobRecord();
        big.pointName[1] = std::string(60000, 'x');
        std::string result = saveJob(folder / "job.trv", big).value_or("saved");
        const std::string kept = fileContents(folder / "job.trv");
        std::size_t files = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder.path())) ++files;
        if (kept != oldJob) result += " | the old file changed";
        if (files != 1) result += " | a temporary file stayed";
        ::umount(folder.path().c_str());
        return result;
    });
    if (said == "skip") GTEST_SKIP() << "cannot mount a small file system here";
    EXPECT_THAT(said, HasSubstr("磁盘空间不足"));
    EXPECT_THAT(said, ::testing::Not(HasSubstr("|")));
}

TEST(JobSaving, ASaveReplacesTheFileKeepingItsPermissionsAndLinks) {
    ScratchFolder folder;
    writeFile(folder / "job.trv", oldJob);
    ::chmod((folder / "job.trv").c_str(), 0640);
    std::filesystem::create_symlink("job.trv", folder / "link.trv");

    ASSERT_EQ(saveJob(folder / "link.trv", exampleJobRecord()), std::nullopt);
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.trv"));
    EXPECT_EQ(fileContents(folder / "job.trv"), exampleJob());
    struct stat info {};
    ASSERT_EQ(::stat((folder / "job.trv").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"job.trv", "link.trv"}));
}

}  // namespace
}  // namespace trelvan::testing
