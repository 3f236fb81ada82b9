// The whole Compute action in this process: the dialogue, the adjustment and the
// listing, with every prompt, reply and text-box write written out as a transcript
// line (to /dev/null). Without the program's start-up, its cost per triangle shows
// whether any step grows faster than the chain.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "adjustment/compute.h"
#include "bench_support.h"

namespace trelvan::bench {
namespace {

class NullTranscript : public Prompter, public TextBoxes, public Messages {
public:
    explicit NullTranscript(const std::vector<std::string>& replies)
        : replies_(replies), out_(std::fopen("/dev/null", "w")) {
        if (out_ != nullptr) std::setvbuf(out_, nullptr, _IOFBF, 1 << 16);
    }
    ~NullTranscript() override {
        if (out_ != nullptr) std::fclose(out_);
    }
    NullTranscript(const NullTranscript&) = delete;
    NullTranscript& operator=(const NullTranscript&) = delete;

    Reply ask(const std::string& prompt) override {
        line("? ", prompt);
        if (next_ == replies_.size()) return Reply::endOfInput();
        const std::string& reply = replies_[next_++];
        line("> ", reply);
        return Reply::typed(reply);
    }
    void setText(int box, const std::string& text) override { line((boxName(box) + ": ").c_str(), text); }
    void say(const std::string& message) override {
        line("! ", message);
        ++said_;
    }
    bool clean() const { return out_ != nullptr && said_ == 0 && next_ == replies_.size(); }

private:
    void line(const char* tag, const std::string& text) {
        std::fputs(tag, out_);
        std::fwrite(text.data(), 1, text.size(), out_);
        std::fputc('\n', out_);
    }
    const std::vector<std::string>& replies_;
    std::FILE* out_;
    std::size_t next_ = 0;
    int said_ = 0;
};

void BM_ComputeAction(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const GeneratedChain& chain = chainOf(n);
    for (auto _ : state) {
        ChainState record;
        NullTranscript transcript(chain.replies);
        const auto outcome = Command1_Click(record, transcript, transcript, transcript);
        if (outcome != ComputeOutcome::Completed || !transcript.clean()) {
            state.SkipWithError("the Compute action did not complete cleanly");
            break;
        }
    }
    state.counters["per_triangle"] =
        benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ComputeAction)->Arg(1000)->Arg(16382)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trelvan::bench
