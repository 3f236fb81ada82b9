// The generated replies must carry a surveyor's chain through the real Compute
// action: every reply answers the prompt it was written for, no reply is refused,
// and the chain the program computes is the chain that was generated.

#include "chain_generator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <stdexcept>
#include <string>

#include "adjustment/compute.h"
#include "support/scripted.h"

namespace trelvan::bench {
namespace {

struct ChainCase {
    int triangles;
    std::uint64_t seed;
    double fanChance;
    double sideNoiseMm;
};

// How a case reads in test listings.
void PrintTo(const ChainCase& c, std::ostream* os) {
    *os << c.triangles << " triangles, seed " << c.seed << ", fan chance " << c.fanChance
        << ", side noise " << c.sideNoiseMm << " mm";
}

int fansIn(const GeneratedChain& chain) {
    int fans = 0;
    for (int i = 2; i <= chain.triangles; ++i) fans += chain.sideSign[i] == chain.sideSign[i - 1];
    return fans;
}

class GeneratedChainRun : public ::testing::TestWithParam<ChainCase> {};

TEST_P(GeneratedChainRun, CompletesAndClosesAsGenerated) {
    const ChainCase c = GetParam();
    ChainOptions options;
    options.triangles = c.triangles;
    options.seed = c.seed;
    options.fanChance = c.fanChance;
    options.sideNoiseMm = c.sideNoiseMm;
    const GeneratedChain chain = generateChain(options);
    if (c.fanChance >= 0.2) {
        ASSERT_GT(fansIn(chain), 0) << "the case is meant to have fans";
    }

    testing::Harness h;
    for (const auto& reply : chain.replies) h.prompter.add(reply);
    ChainState record;
    ASSERT_EQ(Command1_Click(record, h.prompter, h.boxes, h.messages), ComputeOutcome::Completed);
    EXPECT_TRUE(h.messages.said.empty()) << h.messages.said.front();
    EXPECT_EQ(h.prompter.remaining(), 0u);
    EXPECT_EQ(h.prompter.prompts.size(), chain.replies.size()) << "a reply was read by the wrong prompt";

    // The misclosures the program shows are those the observations carry to B, in
    // seconds and millimetres, to the shown digit.
    const Misclosures w = expectedMisclosures(chain);
    const double expected[3] = {w.w1Seconds, w.wxMm, w.wyMm};
    for (int k = 0; k < 3; ++k) {
        const auto shown = shownFigure(h.boxes.text(15 + k));
        ASSERT_TRUE(shown) << h.boxes.text(15 + k);
        EXPECT_NEAR(*shown, expected[k], 0.006 + std::fabs(expected[k]) * 2e-7) << "Text" << 15 + k;
    }
    if (c.sideNoiseMm == 0) {
        // True sides typed to 0.1 mm, Tb to 0.1″, B to the millimetre: what is left
        // is rounding, where a chain built wrongly would miss by metres.
        EXPECT_LT(std::fabs(w.w1Seconds), 0.5);
        EXPECT_LT(std::hypot(w.wxMm, w.wyMm), 10.0);
    }
    if (c.triangles <= 10) {
        // A short chain is adjusted to within a few centimetres of the truth.
        for (int k = 0; k <= c.triangles + 1; ++k) {
            EXPECT_NEAR(record.pointX[k], chain.truePoint[k].x, 0.05) << "point " << k;
            EXPECT_NEAR(record.pointY[k], chain.truePoint[k].y, 0.05) << "point " << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Chains, GeneratedChainRun,
                         ::testing::Values(ChainCase{1, 1, 0.03, 2.0}, ChainCase{2, 5, 0.03, 2.0},
                                           ChainCase{9, 2, 0.5, 2.0}, ChainCase{9, 2, 0.5, 0.0},
                                           ChainCase{60, 3, 0.2, 0.0}, ChainCase{300, 4, 0.03, 2.0},
                                           ChainCase{16382, 1, 0.03, 2.0}),
                         [](const ::testing::TestParamInfo<ChainCase>& info) {
                             const ChainCase& c = info.param;
                             return "N" + std::to_string(c.triangles) + "_seed" + std::to_string(c.seed) +
                                    (c.fanChance >= 0.2 ? "_fans" : "") +
                                    (c.sideNoiseMm == 0 ? "_exact" : "_noisy");
                         });

TEST(GeneratedChain, IsTheSameForTheSameSeedOnly) {
    ChainOptions options;
    options.triangles = 25;
    const std::string first = replyFile(generateChain(options));
    EXPECT_EQ(first, replyFile(generateChain(options)));
    options.seed = 2;
    EXPECT_NE(first, replyFile(generateChain(options)));
}

TEST(GeneratedChain, AcceptsOnlyChainsTheProgramAccepts) {
    ChainOptions options;
    for (const int n : {0, -1, 16383}) {
        options.triangles = n;
        EXPECT_THROW(generateChain(options), std::invalid_argument) << n;
    }
}

TEST(ShownFigure, ReadsTheNumberBeforeTheUnit) {
    EXPECT_EQ(shownFigure("-1.63毫米"), -1.63);
    EXPECT_EQ(shownFigure("0.14秒"), 0.14);
    EXPECT_EQ(shownFigure("不存在"), std::nullopt);
}

}  // namespace
}  // namespace trelvan::bench
