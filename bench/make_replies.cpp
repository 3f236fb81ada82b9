// Writes the replies for a generated chain of N triangles to standard output.
//
//   trelvan_make_replies N [SEED] [--noise MM] [--fans P] [--expect]
//
// --noise MM   standard deviation of the side noise in millimetres (default 2)
// --fans P     the chance that a triangle fans about the last vertex (default 0.03)
// --expect     also write the misclosures the observations carry to B on standard
//              error: "w1 <seconds> wx <mm> wy <mm>"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "chain_generator.h"
#include "state/constants.h"
#include "state/number_format.h"

namespace {

int usage() {
    std::fputs("usage: trelvan_make_replies N [SEED] [--noise MM] [--fans P] [--expect]\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace trelvan;
    bench::ChainOptions options;
    bool expect = false;
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--expect") {
            expect = true;
        } else if (arg == "--noise" && i + 1 < argc) {
            const auto noise = parseNumber(argv[++i]);
            if (!noise || *noise < 0) return usage();
            options.sideNoiseMm = *noise;
        } else if (arg == "--fans" && i + 1 < argc) {
            const auto fans = parseNumber(argv[++i]);
            if (!fans || *fans < 0 || *fans > 1) return usage();
            options.fanChance = *fans;
        } else if (positional == 0) {
            const auto n = parseNumber(arg);
            if (!n || *n < 1 || *n > maxTriangles || *n != std::trunc(*n)) return usage();
            options.triangles = static_cast<int>(*n);
            ++positional;
        } else if (positional == 1) {
            char* end = nullptr;
            options.seed = std::strtoull(arg.c_str(), &end, 10);
            if (arg.empty() || *end != '\0') return usage();
            ++positional;
        } else {
            return usage();
        }
    }
    if (positional == 0) return usage();

    try {
        const bench::GeneratedChain chain = bench::generateChain(options);
        const std::string file = bench::replyFile(chain);
        std::fwrite(file.data(), 1, file.size(), stdout);
        if (expect) {
            const auto w = bench::expectedMisclosures(chain);
            const std::string line = "w1 " + formatFixed(w.w1Seconds, 2) + " wx " + formatFixed(w.wxMm, 2) +
                                     " wy " + formatFixed(w.wyMm, 2) + "\n";
            std::fputs(line.c_str(), stderr);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "trelvan_make_replies: %s\n", e.what());
        return 2;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
