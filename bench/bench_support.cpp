#include "bench_support.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <locale>
#include <map>
#include <stdexcept>
#include <string_view>

#include "adjustment/compute.h"
#include "entry/dialogue.h"
#include "entry/entry.h"

extern char** environ;

namespace trelvan::bench {

namespace {

class ScratchFolder {
public:
    ScratchFolder() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") +
                              "/trelvan-bench-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no scratch folder");
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

ScratchFolder& scratch() {
    static ScratchFolder folder;
    return folder;
}

const std::string& runnerProgram() {
    static const std::string path = TRELVAN_BENCH_RUNNER;
    return path;
}

}  // namespace

std::string scratchPath(const std::string& name) { return scratch().path() + "/" + name; }

const GeneratedChain& chainOf(int triangles) {
    static std::map<int, GeneratedChain> chains;
    auto found = chains.find(triangles);
    if (found == chains.end()) {
        ChainOptions options;
        options.triangles = triangles;
        found = chains.emplace(triangles, generateChain(options)).first;
    }
    return found->second;
}

const std::string& replyFileOf(int triangles) {
    static std::map<int, std::string> files;
    auto found = files.find(triangles);
    if (found == files.end()) {
        const std::string path = scratchPath("chain-" + std::to_string(triangles) + ".replies");
        const std::string text = replyFile(chainOf(triangles));
        std::ofstream out(path, std::ios::binary);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        if (!out) throw std::runtime_error("cannot write " + path);
        found = files.emplace(triangles, path).first;
    }
    return found->second;
}

EnteredChain enterChain(const GeneratedChain& chain) {
    ListPrompter prompter(chain.replies);
    LastTexts boxes;
    CollectedMessages messages;
    Dialogue dialogue(prompter, boxes, messages);
    EnteredChain entered;
    enterTriangleCount(dialogue, entered.state, entered.run);
    enterKnownData(dialogue, entered.state, entered.run);
    enterNamesAndSides(dialogue, entered.state, entered.run);
    if (!messages.said.empty()) throw std::runtime_error("the dialogue refused a reply: " + messages.said[0]);
    return entered;
}

ChainState completedRecord(const GeneratedChain& chain, LastTexts* boxes) {
    ListPrompter prompter(chain.replies);
    LastTexts ownBoxes;
    CollectedMessages messages;
    ChainState record;
    const auto outcome = Command1_Click(record, prompter, boxes != nullptr ? *boxes : ownBoxes, messages);
    if (outcome != ComputeOutcome::Completed || !messages.said.empty())
        throw std::runtime_error("the Compute action did not complete: " +
                                 (messages.said.empty() ? std::string("?") : messages.said.back()));
    if (prompter.used() != chain.replies.size())
        throw std::runtime_error("the Compute action left replies unread");
    return record;
}

ChildRun runChild(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& input, const std::string& output,
                  const std::vector<std::string>& environment) {
    const std::string resultFile = scratchPath("child.result");
    std::vector<char*> argv;
    const std::string* leading[] = {&runnerProgram(), &resultFile, &program};
    for (const std::string* a : leading) argv.push_back(const_cast<char*>(a->c_str()));
    for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    // The given entries replace any of the same name.
    const auto overridden = [&environment](std::string_view entry) {
        const auto name = entry.substr(0, entry.find('=') + 1);
        for (const auto& e : environment)
            if (std::string_view(e).substr(0, e.find('=') + 1) == name) return true;
        return false;
    };
    std::vector<char*> envp;
    for (char** e = environ; *e != nullptr; ++e)
        if (!overridden(*e)) envp.push_back(*e);
    for (const auto& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.empty() ? "/dev/null" : input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, output.empty() ? "/dev/null" : output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start " + runnerProgram());
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) throw std::runtime_error("lost the child " + program);
    }

    ChildRun result;
    long peakKb = 0;
    std::ifstream in(resultFile);
    in.imbue(std::locale::classic());  // the runner writes a full stop
    if (!(WIFEXITED(status) && WEXITSTATUS(status) == 0) ||
        !(in >> result.wallSeconds >> result.cpuSeconds >> peakKb >> result.exitStatus))
        throw std::runtime_error("no measurement of " + program);
    result.peakRssMb = static_cast<double>(peakKb) / 1024.0;
    return result;
}

}  // namespace trelvan::bench
