// Runs one program and writes its wall time, CPU time, peak resident memory and
// exit status to a file:
//
//   trelvan_bench_runner RESULT_FILE PROGRAM [ARGUMENTS...]
//
// RESULT_FILE gets one line: "<wall s> <user+system s> <peak KB> <exit status>"
// (exit status −1 when the program did not exit normally).
//
// The benchmark starts its children through this small program because Linux
// counts in a child's peak resident memory the memory of the process that started
// it (the peak of the address space that exec replaced). Started from here, that
// is this program's few hundred kilobytes, not the benchmark's tens of megabytes.

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <string>

extern char** environ;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: trelvan_bench_runner RESULT_FILE PROGRAM [ARGUMENTS...]\n", stderr);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[2], nullptr, nullptr, argv + 2, environ) != 0) {
        std::perror(argv[2]);
        return 1;
    }
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            std::perror("wait4");
            return 1;
        }
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto seconds = [](timeval t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    std::FILE* result = std::fopen(argv[1], "w");
    if (result == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    // Written with a full stop whatever the locale, for the parent to read back.
    const auto fixed6 = [](double x) {
        char text[64];
        return std::string(text, std::to_chars(text, text + sizeof text, x, std::chars_format::fixed, 6).ptr);
    };
    std::fprintf(result, "%s %s %ld %d\n", fixed6(wall).c_str(),
                 fixed6(seconds(usage.ru_utime) + seconds(usage.ru_stime)).c_str(), usage.ru_maxrss,
                 WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return std::fclose(result) == 0 ? 0 : 1;
}
