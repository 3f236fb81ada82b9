// The chain on the ground: sides between the right points, fans included; the
// orientation at each end; the ellipses' magnification; names as drawn; and
// records that cannot be drawn.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "plot/computed_chain.h"
#include "plot/plot.h"
#include "report/report.h"
#include "state/packed_angle.h"

namespace trelvan::plot {
namespace {

using testing::computeChain;
using testing::ComputedChain;

double groundDistance(const ChainFigure& f, int p, int q) {
    const Ground a = f.points[static_cast<std::size_t>(p)].at, b = f.points[static_cast<std::size_t>(q)].at;
    return std::hypot(b.x - a.x, b.y - a.y);
}

// The worked chain of four triangles, azimuths typed at both ends.
const std::vector<std::string> typedN4 = {
    "4", "", "3452118.406", "", "512637.225", "", "3452701.525", "", "515088.829", "", "0", "", "0", "",
    "0", "", "0", "", "312.2415", "", "160.23026", "", "77.43016", "", "-63.29474", "", "2.5",
    "K07", "D1", "D2", "D3", "D4", "K08", "601.544", "", "-848.482", "", "769.475", "", "1101.074", "",
    "796.970", "", "-1049.501", "", "735.633", "", "1049.576", "", "799.645", ""};
const std::vector<std::int16_t> typedN4Signs = {0, -1, 1, -1, 1, 0};

// Every drawn side joins two points exactly its adjusted length apart: the
// vertices come from the chain numbering, with the route leaving the pivot of a
// fan, and the adjustment put the points where its sides say.
TEST(ChainFigure, EverySideJoinsPointsItsAdjustedLengthApartInZigzagsAndFans) {
    int fans = 0;
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        const int n = 1 + static_cast<int>(seed * 7 % 60);
        const ComputedChain c = computeChain(n, seed, 0.3);
        ASSERT_EQ(c.outcome, ComputeOutcome::Completed) << "seed " << seed;
        const ChainFigure f = chainFigure(c.source());
        ASSERT_EQ(f.points.size(), static_cast<std::size_t>(n) + 2);
        ASSERT_EQ(f.sides.size(), 2 * static_cast<std::size_t>(n) + 1);
        for (int i = 2; i <= n; ++i) fans += c.sideSign[static_cast<std::size_t>(i)] == c.sideSign[static_cast<std::size_t>(i) - 1];
        for (const FigureSide& s : f.sides) {
            EXPECT_EQ(s.kind, s.k % 2 == 1 ? SideKind::Route : SideKind::Other);
            EXPECT_NE(s.from, s.to);
            EXPECT_NEAR(groundDistance(f, s.from, s.to), c.record.side[static_cast<std::size_t>(s.k)], 1e-6)
                << "seed " << seed << " S" << s.k;
        }
        // Route side S(2k−1) ends at point k.
        for (int k = 1; k <= n + 1; ++k) EXPECT_EQ(f.sides[static_cast<std::size_t>(2 * k - 2)].to, k);
    }
    EXPECT_GT(fans, 100);  // the fans were really tried
}

TEST(ChainFigure, FanSidesLeaveTheSharedVertex) {
    // Signs −, −, −: triangles 2 and 3 fan about point 1.
    const ComputedChain c = [] {
        for (std::uint64_t seed = 1;; ++seed) {
            ComputedChain t = computeChain(3, seed, 1.0);
            if (t.sideSign[1] == t.sideSign[2] && t.sideSign[2] == t.sideSign[3]) return t;
        }
    }();
    const ChainFigure f = chainFigure(c.source());
    struct Expected { int k, from, to; };
    for (const Expected e : {Expected{1, 0, 1}, {2, 0, 2}, {3, 1, 2}, {4, 2, 3}, {5, 1, 3}, {6, 3, 4}, {7, 1, 4}}) {
        const FigureSide& s = f.sides[static_cast<std::size_t>(e.k) - 1];
        EXPECT_EQ(s.k, e.k);
        EXPECT_EQ(s.from, e.from) << "S" << e.k;
        EXPECT_EQ(s.to, e.to) << "S" << e.k;
    }
}

TEST(ChainFigure, PointsNamesKindsAndTitleComeFromTheRecord) {
    ChainState record;
    ASSERT_EQ(testing::runReplies(record, typedN4), ComputeOutcome::Completed);
    const ChainFigure f = chainFigure({record, typedN4Signs, {}});
    ASSERT_EQ(f.points.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(f.points[i].at.x, record.pointX[i]);
        EXPECT_EQ(f.points[i].at.y, record.pointY[i]);
        EXPECT_EQ(f.points[i].name, record.pointName[i]);
        EXPECT_EQ(f.points[i].kind, i == 0 || i == 5 ? PointKind::Known : PointKind::Unknown);
    }
    EXPECT_EQ(f.title, reportTitle(record));
    EXPECT_EQ(f.title, "--- Trelvan ( 有方位角和纵横座标条件 ) ---");
    EXPECT_EQ(f.ellipseMagnification, 0);  // no ellipses given
    double sum = 0;
    for (int k = 1; k <= 9; ++k) sum += record.side[static_cast<std::size_t>(k)];
    EXPECT_DOUBLE_EQ(f.meanSide, sum / 9);
}

TEST(ChainFigure, TypedAzimuthsPointAlongTheirDirectionFromEachEnd) {
    ChainState record;
    ASSERT_EQ(testing::runReplies(record, typedN4), ComputeOutcome::Completed);
    const ChainFigure f = chainFigure({record, typedN4Signs, {}});
    EXPECT_EQ(f.ends[0].kind, OrientationKind::TypedAzimuth);
    EXPECT_EQ(f.ends[0].point, 0);
    EXPECT_NEAR(f.ends[0].azimuthDegrees, 312 + 24 / 60.0 + 15 / 3600.0, 1e-9);
    EXPECT_EQ(f.ends[0].caption, "Ta");
    EXPECT_EQ(f.ends[1].kind, OrientationKind::TypedAzimuth);
    EXPECT_EQ(f.ends[1].point, 5);
    EXPECT_NEAR(f.ends[1].azimuthDegrees, 160 + 23 / 60.0 + 2.6 / 3600.0, 1e-9);
    EXPECT_EQ(f.ends[1].caption, "Tb");
}

TEST(ChainFigure, OrientationFollowsTheDirectionPointsAsTheDialogueTookThem) {
    ChainState record = [] {
        ChainState r;
        testing::runReplies(r, typedN4);
        return r;
    }();
    const Ground a{record.pointX[0], record.pointY[0]};
    struct Case {
        double xp, yp, typed;
        OrientationKind kind;
        double azimuth;  // expected, when oriented
    };
    const Case cases[] = {
        {a.x + 300, a.y + 300, 0, OrientationKind::DirectionPoint, 45},
        {a.x - 1000, a.y, 0, OrientationKind::DirectionPoint, 180},
        {a.x + 10, a.y - 10, 99.3, OrientationKind::DirectionPoint, 315},  // the point wins over a stale typed value
        {a.x + 300, 0, 45.3, OrientationKind::None, 0},                    // one coordinate 0: none
        {0, 0, 0, OrientationKind::None, 0},                               // nothing typed
        {0, 0, 359.5959, OrientationKind::TypedAzimuth, 359 + 59 / 60.0 + 59 / 3600.0},
        {0, 0, 0.3, OrientationKind::TypedAzimuth, 0.5},
    };
    for (const Case& k : cases) {
        record.Xpa = k.xp, record.Ypa = k.yp, record.taEntered = k.typed;
        const ChainFigure f = chainFigure({record, typedN4Signs, {}});
        EXPECT_EQ(f.ends[0].kind, k.kind) << k.xp << " " << k.yp << " " << k.typed;
        if (k.kind == OrientationKind::None) continue;
        EXPECT_NEAR(f.ends[0].azimuthDegrees, k.azimuth, 1e-7);
        if (k.kind == OrientationKind::DirectionPoint) {
            EXPECT_EQ(f.ends[0].caption, "Pta");
            EXPECT_NEAR(f.ends[0].distance, std::hypot(k.xp - a.x, k.yp - a.y), 1e-9);
            EXPECT_EQ(orientationLength(f, f.ends[0]), std::min(1.2 * f.meanSide, f.ends[0].distance));
        }
    }
}

// The largest ellipse is drawn between a little over a tenth and three tenths of
// the mean side, by a factor of the 1-2-5 series.
TEST(ChainFigure, MagnificationMakesTheLargestEllipseClearlyVisible) {
    const ComputedChain c = computeChain(12, 3);
    for (const double scale : {1e-4, 0.01, 1.0, 37.0, 1e4, 1e5}) {
        std::vector<PointPrecision> p = c.precision;
        for (auto& e : p) e.E *= scale, e.F *= scale;
        const ChainFigure f = chainFigure({c.record, c.sideSign, p});
        double largest = 0;
        for (const auto& e : p) largest = std::max(largest, e.E);
        const double drawn = largest / 1000 * f.ellipseMagnification;
        if (f.ellipseMagnification > 1) {
            EXPECT_LE(drawn, 0.3 * f.meanSide * (1 + 1e-12)) << scale;
            EXPECT_GT(drawn, 0.3 / 2.5 * f.meanSide) << scale;
        } else {
            EXPECT_EQ(f.ellipseMagnification, 1) << scale;  // never drawn smaller than true
        }
        const NiceNumber n = niceBelow(f.ellipseMagnification);
        EXPECT_EQ(n.value(), f.ellipseMagnification) << scale;
    }
}

TEST(ChainFigure, EllipsesLeftOutWhenNoneCanBeDrawn) {
    const ComputedChain c = computeChain(5, 4);
    std::vector<PointPrecision> zero(7);
    EXPECT_EQ(chainFigure({c.record, c.sideSign, zero}).ellipseMagnification, 0);
    std::vector<PointPrecision> tooFew(c.precision.begin(), c.precision.end() - 1);
    EXPECT_EQ(chainFigure({c.record, c.sideSign, tooFew}).ellipseMagnification, 0);
    // A point whose figures are not numbers is left out; the others still count.
    std::vector<PointPrecision> odd = c.precision;
    odd[3].E = std::nan("");
    odd[2].F = -1;
    odd[1].E = std::numeric_limits<double>::infinity();
    const ChainFigure f = chainFigure({c.record, c.sideSign, odd});
    EXPECT_GT(f.ellipseMagnification, 0);
    const Plot plot = layoutPlot(f, PageSetup{});
    EXPECT_EQ(plot.ellipses.size(), 2u);  // points 4 and 5 of 1..5
}

TEST(ChainFigure, RecordsThatHoldNoDrawableChainGiveAnEmptyFigure) {
    const ComputedChain c = computeChain(3, 5);
    EXPECT_TRUE(chainFigure({ChainState{}, c.sideSign, c.precision}).empty());
    const std::vector<std::int16_t> shortSigns(3);  // covers triangles 1 and 2 only
    EXPECT_TRUE(chainFigure({c.record, shortSigns, c.precision}).empty());
    ChainState cut = c.record;
    cut.pointX.pop_back();
    EXPECT_TRUE(chainFigure({cut, c.sideSign, c.precision}).empty());
    ChainState lost = c.record;
    lost.pointY[2] = std::nan("");
    EXPECT_TRUE(chainFigure({lost, c.sideSign, c.precision}).empty());
    EXPECT_TRUE(layoutPlot(ChainFigure{}, PageSetup{}).empty());
}

// Names are drawn as typed, except what no drawing can show: control characters
// become U+FFFD, and a name of a pasted paragraph is cut short.
TEST(ChainFigure, LabelsShowNamesSafely) {
    const std::string longName(200, 'x');
    const std::string cjk = std::string(30, 'a') + "北山东岗西岭南坡";  // 30 + 16 cells
    const std::vector<std::string> names = {"K07", "a\tb\x01" "c\x7f", "北山", "", longName, cjk, "\xff" "q", "B"};
    const ComputedChain c = computeChain(6, 9, 0.2, names);
    ASSERT_EQ(c.outcome, ComputeOutcome::Completed);
    const ChainFigure f = chainFigure(c.source());
    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_EQ(f.points[0].label, "K07");
    EXPECT_EQ(f.points[1].label, "a" + fffd + "b" + fffd + "c" + fffd);
    EXPECT_EQ(f.points[2].label, "北山");
    EXPECT_EQ(f.points[3].label, "");
    EXPECT_EQ(f.points[4].label, std::string(40, 'x') + "…");
    EXPECT_EQ(f.points[5].label, std::string(30, 'a') + "北山东岗西" + "…");
    EXPECT_EQ(f.points[6].label, fffd + "q");
    EXPECT_EQ(f.points[4].name, longName);  // the record's name is kept whole
}

}  // namespace
}  // namespace trelvan::plot
