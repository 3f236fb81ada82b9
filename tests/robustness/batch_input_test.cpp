// Batch mode reading hostile input: lines far over the length bound, ill-formed
// UTF-8, CR LF line ends. Runs the real program.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "fuzz/reply_stream.h"

extern char** environ;

namespace trelvan::testing {
namespace {

struct BatchRun {
    int status = -1;
    long peakKilobytes = 0;  // the program's own peak resident memory, before its last reply
    std::string transcript;
};

std::string scratch(const std::string& name) {
    return ::testing::TempDir() + "robustness_" + std::to_string(::getpid()) + "_" + name;
}

void writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

std::string procField(pid_t pid, const char* file, const std::string& key) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/" + file);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key, 0) == 0) return line.substr(key.size());
    return {};
}

// The state letter of /proc/PID/stat: 'S' while the program waits for input.
char stateOf(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() ? stat[close + 2] : '?';
}

// Runs `trelvan --batch` with `input` on standard input through a pipe. Before the
// last line is written, while the program waits for it, its peak memory is read
// from /proc (the peak of its own image, not of the process that started it).
BatchRun runBatch(const std::string& input, const std::string& name) {
    const std::string out = scratch(name + ".out");
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return {};
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_adddup2(&files, pipeFds[0], 0);
    posix_spawn_file_actions_addclose(&files, pipeFds[1]);
    posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    char program[] = TRELVAN_PROGRAM, batch[] = "--batch";
    char* argv[] = {program, batch, nullptr};
    BatchRun run;
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program, &files, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&files);
    ::close(pipeFds[0]);
    if (spawned != 0) {
        ::close(pipeFds[1]);
        return run;
    }
    const std::size_t lastLine = input.rfind('\n', input.size() - 2) + 1;
    writeAll(pipeFds[1], std::string_view(input).substr(0, lastLine));
    for (int i = 0, sleeping = 0; i < 1000 && sleeping < 3; ++i) {
        sleeping = stateOf(pid) == 'S' ? sleeping + 1 : 0;
        ::usleep(10000);
    }
    run.peakKilobytes = std::atol(procField(pid, "status", "VmHWM:").c_str());
    writeAll(pipeFds[1], std::string_view(input).substr(lastLine));
    ::close(pipeFds[1]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ostringstream text;
    text << std::ifstream(out, std::ios::binary).rdbuf();
    run.transcript = text.str();
    std::remove(out.c_str());
    return run;
}

std::string goldenInput(const std::string& name) {
    std::ostringstream text;
    text << std::ifstream(std::string(TRELVAN_SOURCE_DIR) + "/tests/golden/" + name + ".replies",
                          std::ios::binary)
                .rdbuf();
    return text.str();
}

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// A 10 MB line is refused like any over-long reply, without being held whole: the
// run costs no more memory than the same run without it.
TEST(BatchInput, ATenMegabyteLineIsRefusedWithoutBeingHeldWhole) {
    const std::string replies = goldenInput("run_single_triangle");
    const BatchRun plain = runBatch(replies, "plain");
    const BatchRun flooded = runBatch(std::string(10 << 20, '7') + "\n" + replies, "flooded");
    ASSERT_EQ(plain.status, 0);
    EXPECT_EQ(flooded.status, 0);
    EXPECT_EQ(count(flooded.transcript, "! 输入过长"), 1u);
    EXPECT_EQ(count(flooded.transcript, "? 请输入三角形个数 N:"), 2u);
    EXPECT_LT(flooded.transcript.size(), plain.transcript.size() + 70000);
    EXPECT_LT(flooded.peakKilobytes, plain.peakKilobytes + 4096)
        << "peak " << flooded.peakKilobytes << " kB against " << plain.peakKilobytes << " kB";
}

// Ill-formed UTF-8 reads as U+FFFD, so the transcript is well-formed whatever comes
// in; CR LF line ends read as LF.
TEST(BatchInput, IllFormedUtf8AndCrLfLineEnds) {
    std::string replies = goldenInput("run_single_triangle");
    const BatchRun plain = runBatch(replies, "lf");
    std::string crlf;
    for (char c : replies) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(runBatch(crlf, "crlf").transcript, plain.transcript);

    replies.replace(replies.find("G1"), 2, "G\xff\xc0\xe4\xb8");
    replies.insert(0, "\xed\xa0\x80\n");  // an encoded surrogate, not a number
    const BatchRun bad = runBatch(replies, "bad");
    EXPECT_EQ(bad.status, 0);
    EXPECT_TRUE(fuzzing::isWellFormedUtf8(bad.transcript));
    EXPECT_NE(bad.transcript.find("Text11:  G\xEF\xBF\xBD"), std::string::npos);
    EXPECT_EQ(count(bad.transcript, "! 输入的不是一个数"), 1u);
}

}  // namespace
}  // namespace trelvan::testing
