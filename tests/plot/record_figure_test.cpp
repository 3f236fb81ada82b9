// The plot of a completed computation: drawn with the side signs the adjustment
// kept and the ellipses of the precision analysis; what a point's tooltip says;
// which point the cursor is on.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/chain_precision.h"
#include "plot/computed_chain.h"
#include "plot/plot.h"

namespace trelvan::plot {
namespace {

using testing::computeChain;
using testing::ComputedChain;
using testing::runReplies;

// The record's own side signs draw every side between the same points as the signs
// the chain was built with, and every point carries its analysed ellipse.
TEST(RecordFigure, DrawsTheKeptSignsAndTheAnalysedEllipses) {
    for (std::uint64_t seed : {3u, 11u, 29u}) {
        const ComputedChain c = computeChain(30, seed, 0.35);
        ASSERT_EQ(c.outcome, ComputeOutcome::Completed);
        const ChainFigure built = chainFigure({c.record, c.sideSign, {}});
        std::string failure;
        const ChainFigure f = recordFigure(c.record, &failure);
        EXPECT_EQ(failure, "");
        ASSERT_EQ(f.sides.size(), built.sides.size());
        for (std::size_t k = 0; k < f.sides.size(); ++k) {
            EXPECT_EQ(f.sides[k].from, built.sides[k].from) << "seed " << seed << " S" << k + 1;
            EXPECT_EQ(f.sides[k].to, built.sides[k].to) << "seed " << seed << " S" << k + 1;
        }
        const auto analysed = analysis::analyse(c.record);
        ASSERT_TRUE(analysed);
        ASSERT_EQ(f.points.size(), analysed->points.size());
        for (std::size_t i = 0; i < f.points.size(); ++i) {
            const PointPrecision& p = f.points[i].precision;
            const analysis::PointPrecision& q = analysed->points[i];
            EXPECT_EQ(p.E, q.E);
            EXPECT_EQ(p.F, q.F);
            EXPECT_EQ(p.phiDegrees, q.phi);
            EXPECT_EQ(p.mx, q.mx);
            EXPECT_EQ(p.my, q.my);
            // A and B are fixed: no ellipse; every unknown point has one.
            EXPECT_EQ(hasEllipse(p), i != 0 && i + 1 != f.points.size()) << i;
        }
        EXPECT_GT(f.ellipseMagnification, 0);
    }
    EXPECT_TRUE(recordFigure(ChainState{}).empty());
}

// The worked example, read against the figures its analysis text prints: the
// coordinates as listed, mx, my and the ellipse as the tables show them.
TEST(DescribePoint, SaysTheNameCoordinatesStandardErrorsAndEllipse) {
    ChainState record;
    ASSERT_EQ(runReplies(record, {"4", "", "3452118.406", "", "512637.225", "", "3452701.525", "", "515088.829",
                                  "", "0", "", "0", "", "0", "", "0", "", "312.2415", "", "160.23026", "",
                                  "77.43016", "", "-63.29474", "", "2.5", "K07", "D1", "D2", "D3", "D4", "K08",
                                  "601.544", "", "-848.482", "", "769.475", "", "1101.074", "", "796.970", "",
                                  "-1049.501", "", "735.633", "", "1049.576", "", "799.645", ""}),
              ComputeOutcome::Completed);
    const ChainFigure f = recordFigure(record);
    EXPECT_EQ(describePoint(f, 1),
              "D1（点 1）\nX = 3452638.721 米\nY = 512939.098 米\nmx = 2.69 毫米，my = 1.94 毫米\n"
              "误差椭圆 E = 2.82 毫米，F = 1.76 毫米，φ = 22.0°");
    EXPECT_EQ(describePoint(f, 0), "K07（已知点）\nX = 3452118.406 米\nY = 512637.225 米");
    EXPECT_EQ(describePoint(f, 5), "K08（已知点）\nX = 3452701.525 米\nY = 515088.829 米");
    EXPECT_EQ(describePoint(f, 6), "");
    EXPECT_EQ(describePoint(f, -1), "");

    // Without an analysis the point still says where it is.
    const ChainFigure bare = chainFigure({record, record.adjustment.sideSign, {}});
    EXPECT_EQ(describePoint(bare, 3), "D3（点 3）\nX = 3452669.499 米\nY = 514039.741 米\n没有精度数据");
}

TEST(PointNear, TheNearestPointWithinReachOrNone) {
    const ComputedChain c = computeChain(12, 5);
    ASSERT_EQ(c.outcome, ComputeOutcome::Completed);
    const ChainFigure f = chainFigure(c.source());
    const Transform t = fitTransform(f, PageSetup{});
    for (int i = 0; i < static_cast<int>(f.points.size()); ++i) {
        const PagePoint p = t.toPage(f.points[static_cast<std::size_t>(i)].at);
        EXPECT_EQ(pointNear(f, t, {p.x + 0.3, p.y - 0.4}, 1.0), i);
    }
    // Far from every point: none.
    EXPECT_EQ(pointNear(f, t, {-100, -100}, 3.0), -1);
    // Half-way between two points 2d apart, within d of both: the nearer one wins.
    const PagePoint a = t.toPage(f.points[3].at), b = t.toPage(f.points[4].at);
    const PagePoint nearerA{a.x + 0.45 * (b.x - a.x), a.y + 0.45 * (b.y - a.y)};
    EXPECT_EQ(pointNear(f, t, nearerA, std::hypot(b.x - a.x, b.y - a.y)), 3);
}

}  // namespace
}  // namespace trelvan::plot
