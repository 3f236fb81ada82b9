// The precision analysis against a dense reference built independently from the
// typed observations, and against the geometry every error ellipse must have.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/analysed_chains.h"
#include "analysis/chain_precision.h"

namespace trelvan::testing {
namespace {

using analysis::ChainPrecision;

std::vector<Point> shifted(std::vector<Point> p, Point by) {
    for (auto& q : p) q = {q.x + by.x, q.y + by.y};
    return p;
}

// The chains every check runs on.
const std::vector<Analysed>& chains() {
    static const std::vector<Analysed> all = [] {
        const auto zigzag = turned(workedExample(), 23);
        const std::vector<int> zigzagSigns{-1, +1, -1};
        const Point grid{3452118.406, 512637.225};
        std::vector<Analysed> a;
        a.push_back(analysedFixture("zigzag, both orientations", zigzag, zigzagSigns, 30, -40, true,
                                    {{2, 0.004}, {5, -0.003}}));
        a.push_back(analysedFixture("fans before the weakest point", fanChain(), fanSigns, 25, 35, true,
                                    {{1, 0.002}, {6, -0.005}, {9, 0.003}}));
        a.push_back(analysedFixture("weakest point the first spoke of a fan", spokeChain(), spokeSigns,
                                    -20, 15, true, {{3, 0.004}, {4, 0.002}}));
        a.push_back(analysedFixture("one triangle", turned({{0, 0}, {800, 300}, {150, 950}}, 11), {-1},
                                    40, -30, true, {{2, 0.003}}));
        a.push_back(analysedFixture("two conditions, oriented at A", zigzag, zigzagSigns, 30, 0, false,
                                    {{2, 0.004}, {5, -0.003}}));
        a.push_back(analysedFixture("two conditions, closing azimuth but no Qb", fanChain(), fanSigns,
                                    -25, 0, true, {{4, 0.003}, {7, -0.002}}));
        a.push_back(analysedFixture("not oriented at A", zigzag, zigzagSigns, 0, 0, false,
                                    {{1, -0.002}, {6, 0.004}}));
        a.push_back(analysedFixture("national grid", shifted(zigzag, grid), zigzagSigns, 30, -40, true,
                                    {{2, 0.004}, {5, -0.003}}));
        a.push_back(analysedFixture("national grid, fans", shifted(fanChain(), grid), fanSigns, 25, 35, true,
                                    {{1, 0.002}, {6, -0.005}, {9, 0.003}}));
        // Sides from 2 km down to 560 m: ranked by m/S the weakest side is S5, by m²/S it
        // would be S3.
        a.push_back(analysedFixture("sides of very different lengths",
                                    turned({{0, 0}, {1050, 770}, {0, 1400}, {510, 2330}, {0, 4220}}, 17),
                                    zigzagSigns, 30, -40, true, {{2, 0.006}, {5, -0.003}, {7, 0.002}}));
        a.push_back(analysedGenerated("generated, 40 triangles with many fans",
                                      {.triangles = 40, .seed = 7, .sideNoiseMm = 3, .fanChance = 0.35}));
        a.push_back(analysedGenerated("generated, 200 triangles", {.triangles = 200, .seed = 3}));

        // Weighted by the instrument: 2 mm + 2 mm/km added, or 3 mm and 5 mm/km in
        // quadrature.
        const WeightModel linear{WeightModel::Kind::Instrument, 2, 2, 2.5, WeightModel::Combine::Linear};
        const WeightModel quadrature{WeightModel::Kind::Instrument, 3, 5, 1.5, WeightModel::Combine::Quadrature};
        a.push_back(analysedFixture("instrument, linear: zigzag, both orientations", zigzag, zigzagSigns, 30, -40,
                                    true, {{2, 0.004}, {5, -0.003}}, 6.0f, linear));
        a.push_back(analysedFixture("instrument, quadrature: fans before the weakest point", fanChain(), fanSigns,
                                    25, 35, true, {{1, 0.002}, {6, -0.005}, {9, 0.003}}, 6.0f, quadrature));
        a.push_back(analysedFixture("instrument, linear: weakest point the first spoke of a fan", spokeChain(),
                                    spokeSigns, -20, 15, true, {{3, 0.004}, {4, 0.002}}, 0.0f, linear));
        a.push_back(analysedFixture("instrument, quadrature: two conditions, oriented at A", zigzag, zigzagSigns,
                                    30, 0, false, {{2, 0.004}, {5, -0.003}}, 6.0f, quadrature));
        a.push_back(analysedFixture("instrument, quadrature: national grid, fans", shifted(fanChain(), grid),
                                    fanSigns, 25, 35, true, {{1, 0.002}, {6, -0.005}, {9, 0.003}}, 6.0f,
                                    quadrature));
        a.push_back(analysedGenerated("instrument, linear: generated, 40 triangles with many fans",
                                      {.triangles = 40, .seed = 7, .sideNoiseMm = 3, .fanChance = 0.35}, linear));
        return a;
    }();
    return all;
}

ChainPrecision analysed(const Analysed& a) {
    const auto p = analysis::analyse(a.record);
    if (!p) ADD_FAILURE() << a.name << ": no analysis";
    return p.value_or(ChainPrecision{});
}

// |actual − expected| within 1e-8 of the larger of |expected| and `scale`, the size
// below which a figure of this kind carries no meaning.
#define EXPECT_REFERENCE(actual, expected, scale, what)                                          \
    EXPECT_LE(std::fabs(static_cast<Real>(actual) - (expected)),                                 \
              1e-8L * std::max<Real>(std::fabs(expected), (scale)))                              \
        << (what) << ": " << (actual) << " against " << static_cast<double>(expected)

// The error ellipse (E, F, φ) as a covariance matrix, mm².
std::array<Real, 3> covariance(const analysis::PointPrecision& p) {
    const Real t = p.phi * std::numbers::pi_v<Real> / 180 * (degToRad * 180 / std::numbers::pi);
    const Real c = std::cos(t), s = std::sin(t), e2 = Real(p.E) * p.E, f2 = Real(p.F) * p.F;
    return {e2 * c * c + f2 * s * s, (e2 - f2) * c * s, e2 * s * s + f2 * c * c};
}

TEST(ChainPrecision, EveryFigureAgreesWithADenseReference) {
    for (const Analysed& a : chains()) {
        SCOPED_TRACE(a.name);
        const ChainPrecision p = analysed(a);
        const Dense d = denseReference(a.typed, a.record.w);
        const Real mb = a.record.mb;
        // Weighted by the instrument, the unit weight is one second a priori, whatever
        // the tolerance (0 for one of the chains).
        const Real sigma0 = a.typed.instrument ? 1 : std::fabs(Real(a.typed.tolerance)) / 2;

        // The corrections the adjustment applied are those of the reference, and so
        // is the unit-weight error formed from them.
        EXPECT_NEAR(mb, std::sqrt(d.pvv / d.c), 2e-7 * mb);
        ASSERT_EQ(p.conditions, d.c);
        ASSERT_TRUE(p.sigma0 && p.globalTest);
        EXPECT_EQ(*p.sigma0, static_cast<double>(sigma0));
        EXPECT_EQ(p.mb, static_cast<double>(mb));
        EXPECT_REFERENCE(p.globalTest->statistic, d.pvv / (sigma0 * sigma0), 0, "statistic");
        EXPECT_EQ(p.globalTest->quantile, d.c == 3 ? 7.815 : 5.991);

        ASSERT_EQ(p.misclosures.size(), static_cast<std::size_t>(d.c));
        for (int r = 0; r < d.c; ++r) {
            const auto& m = p.misclosures[r];
            const bool azimuth = d.c == 3 && r == 0;
            EXPECT_EQ(m.condition, azimuth ? analysis::Condition::Azimuth
                                           : (r == d.c - 2 ? analysis::Condition::X : analysis::Condition::Y));
            const Real unit = azimuth ? 1 : 1000;
            const Real sigma = sigma0 * std::sqrt(d.N[r][r]) * unit;
            EXPECT_REFERENCE(*m.sigma, sigma, 0, "sigma of misclosure " + std::to_string(r));
            EXPECT_REFERENCE(*m.limit, 2 * sigma, 0, "limit");
            EXPECT_EQ(*m.withinLimit, std::fabs(m.w) <= *m.limit);
        }

        // Points: A and B are fixed, the others as the reference's cofactors say.
        ASSERT_EQ(p.points.size(), static_cast<std::size_t>(d.n + 2));
        std::vector<Real> trace(d.n + 2, 0);
        for (int i = 0; i <= d.n + 1; ++i) {
            const auto& pt = p.points[i];
            const auto& q = d.Qp[i];
            const Real xx = q[0] * 1e6L, xy = q[1] * 1e6L, yy = q[2] * 1e6L;
            trace[i] = xx + yy;
            const Real mx = mb * std::sqrt(xx), my = mb * std::sqrt(yy);
            const Real mp = std::sqrt(mx * mx + my * my);
            const Real half = (xx + yy) / 2, radius = std::hypot((xx - yy) / 2, xy);
            const Real e = mb * std::sqrt(half + radius), f = mb * std::sqrt(std::max<Real>(half - radius, 0));
            const std::string at = " of point " + std::to_string(i);
            EXPECT_REFERENCE(pt.mx, mx, mp, "mx" + at);
            EXPECT_REFERENCE(pt.my, my, mp, "my" + at);
            EXPECT_REFERENCE(pt.mp, mp, 0, "mp" + at);
            EXPECT_REFERENCE(pt.E, e, 0, "E" + at);
            EXPECT_REFERENCE(pt.F, f, e, "F" + at);
            const auto c = covariance(pt);
            const Real scale = mp * mp;
            EXPECT_REFERENCE(c[0], mb * mb * xx, scale, "ellipse xx" + at);
            EXPECT_REFERENCE(c[1], mb * mb * xy, scale, "ellipse xy" + at);
            EXPECT_REFERENCE(c[2], mb * mb * yy, scale, "ellipse yy" + at);
            EXPECT_EQ(pt.name, a.record.pointName[i]);
            EXPECT_EQ(pt.X, a.record.pointX[i]);
            EXPECT_EQ(pt.Y, a.record.pointY[i]);
        }
        const auto top = std::max_element(trace.begin(), trace.end()) - trace.begin();
        EXPECT_EQ(p.weakestPoint, top);

        // Observations: corrections, redundancy, normalized corrections, blunders.
        ASSERT_EQ(p.observations.size(), static_cast<std::size_t>(d.m));
        // A correction is compared on the scale of the largest one in units of its own
        // standard error: v/√q.
        Real largestWeighted = 0;
        for (int j = 0; j < d.m; ++j) largestWeighted = std::max(largestWeighted, std::fabs(d.v[j]) / std::sqrt(d.q[j]));
        Real worstRelative = -1;
        int worstSide = 0;
        for (int j = 0; j < d.m; ++j) {
            const auto& o = p.observations[j];
            const bool angle = j == 0 || j == d.m - 1;
            const Real unit = angle ? 1 : 1000;  // seconds, or metres to millimetres
            const std::string at = " of observation " + std::to_string(j);
            EXPECT_REFERENCE(o.v, d.v[j] * unit, largestWeighted * std::sqrt(d.q[j]) * unit, "v" + at);
            const Real r = d.qvv[j] / d.q[j];
            EXPECT_NEAR(o.redundancy, static_cast<double>(r), 1e-8) << "redundancy" << at;
            if (!angle) {
                const Real adjusted = a.typed.side[j] + d.v[j];
                const Real m = mb * std::sqrt((d.q[j] - d.qvv[j]) * 1e6L);
                EXPECT_EQ(o.k, j);
                EXPECT_EQ(o.observed, a.typed.side[j]);
                EXPECT_REFERENCE(o.adjusted, adjusted, 0, "adjusted length" + at);
                // m = mb·√q·√(1 − r): compared as its square, to the redundancy's own 1e-8.
                const Real scale = mb * mb * d.q[j] * 1e6L;
                EXPECT_REFERENCE(o.m * o.m, m * m, scale, "m²" + at);
                EXPECT_REFERENCE(o.relative * adjusted * 1000, m, std::sqrt(scale), "relative" + at);
                if (m / adjusted > worstRelative) worstRelative = m / adjusted, worstSide = j;
            }
            if (r < 1e-4) {
                EXPECT_FALSE(o.normalized || o.suspect || o.mdb) << "unchecked" << at;
                continue;
            }
            ASSERT_TRUE(o.normalized && o.suspect && o.mdb) << at;
            const Real normalized = std::fabs(d.v[j]) / (sigma0 * std::sqrt(d.qvv[j]));
            EXPECT_REFERENCE(*o.normalized, normalized, 1, "normalized" + at);
            EXPECT_EQ(*o.suspect, *o.normalized > 3.29);
            EXPECT_REFERENCE(*o.mdb, 4.13L * sigma0 * std::sqrt(d.q[j]) * unit / std::sqrt(r), 0, "mdb" + at);
        }
        EXPECT_EQ(p.weakestSide, worstSide);
    }
}

// The middle point's figures are the ones the window shows for the weakest point:
// the analysis and the precision assessment agree on scale and weight functions.
TEST(ChainPrecision, TheMiddlePointHasTheShownStandardErrors) {
    for (const Analysed& a : chains()) {
        SCOPED_TRACE(a.name);
        const ChainPrecision p = analysed(a);
        const auto& middle = p.points[weakPointOf(a.record.N)];
        EXPECT_NEAR(middle.mx, a.record.mx, 1e-6 * a.record.md);
        EXPECT_NEAR(middle.my, a.record.my, 1e-6 * a.record.md);
    }
}

// The window's 1/px and 1/py are the reference's cofactors of the middle point, and
// ms is mb carried to a side of the mean length: 1000·mean/rho mm per second by the
// mean side, the instrument's a + b·D there otherwise. (Stored as 32-bit floats.)
TEST(ChainPrecision, TheWeightReciprocalsAndMsAgreeWithADenseReference) {
    for (const Analysed& a : chains()) {
        SCOPED_TRACE(a.name);
        const Dense d = denseReference(a.typed, a.record.w);
        const auto& q = d.Qp[weakPointOf(a.record.N)];
        EXPECT_NEAR(a.record.invPx, q[0] * 1e6L, 3e-7L * (q[0] + q[2]) * 1e6L);
        EXPECT_NEAR(a.record.invPy, q[2] * 1e6L, 3e-7L * (q[0] + q[2]) * 1e6L);
        Real mean = 0;
        for (int k = 1; k <= 2 * a.record.N + 1; ++k) mean += a.typed.side[k] / (2 * a.record.N + 1);
        const auto& w = a.typed.instrument;
        const Real sigma = !w ? 1000 * mean / 206265
                           : w->combine == WeightModel::Combine::Linear ? w->a + w->b * mean / 1000
                                                                       : std::hypot(Real(w->a), w->b * mean / 1000);
        EXPECT_NEAR(a.record.ms, a.record.mb * sigma, 3e-7L * a.record.ms);
    }
}

// Every ellipse: E ≥ F ≥ 0, mp² = E² + F², φ in [0, 180); A and B are fixed.
TEST(ChainPrecision, EllipsesAreWellFormedAndTheKnownPointsFixed) {
    for (const Analysed& a : chains()) {
        SCOPED_TRACE(a.name);
        const ChainPrecision p = analysed(a);
        for (const auto& pt : p.points) {
            EXPECT_GE(pt.E, pt.F) << pt.index;
            EXPECT_GE(pt.F, 0) << pt.index;
            EXPECT_NEAR(pt.mp * pt.mp, pt.E * pt.E + pt.F * pt.F, 1e-12 * pt.mp * pt.mp) << pt.index;
            EXPECT_GE(pt.phi, 0) << pt.index;
            EXPECT_LT(pt.phi, 180) << pt.index;
            EXPECT_FALSE(std::signbit(pt.phi)) << pt.index;
        }
        for (const auto& fixed : {p.points.front(), p.points.back()}) {
            for (double figure : {fixed.mx, fixed.my, fixed.mp, fixed.E, fixed.F, fixed.phi})
                EXPECT_EQ(figure, 0.0) << "point " << fixed.index;
        }
        // Each condition checks the observations once: the redundancies add up to the
        // number of conditions, and none exceeds one.
        double total = 0;
        for (const auto& o : p.observations) {
            EXPECT_LE(o.redundancy, 1 + 1e-9);
            total += o.redundancy;
        }
        EXPECT_NEAR(total, p.conditions, 1e-9);
    }
}

// A chain that is its own mirror image across the perpendicular bisector of A–B,
// oriented alike at both ends: the point on the axis has its ellipse along the axis
// or across it.
TEST(ChainPrecision, ThePointOnTheAxisOfASymmetricChainHasItsEllipseAlongTheAxis) {
    const double axis = 27;  // the mirror axis runs from south-west to north-east at 27°
    const auto points = turned({{0, 0}, {900, 500}, {0, 1000}, {900, 1500}, {0, 2000}}, axis - 90);
    // Sides lengthened alike on both halves, so that the chain has a unit-weight error.
    const Analysed a = analysedFixture("mirror", points, {-1, +1, -1}, 35, -35, true,
                                       {{1, 0.003}, {7, 0.003}, {2, -0.002}, {6, -0.002}, {4, 0.004}});
    const ChainPrecision p = analysed(a);
    const auto& onAxis = p.points[2];
    ASSERT_GT(onAxis.E - onAxis.F, 1e-3 * onAxis.E);
    const double fromAxis = std::fmod(onAxis.phi - axis + 360, 90);
    EXPECT_LT(std::min(fromAxis, 90 - fromAxis), 1e-3) << onAxis.phi;
    // The mirrored points 1 and 3 are as precise as each other, but for the few
    // millionths by which the misclosure bends the provisional chain.
    EXPECT_NEAR(p.points[1].mp, p.points[3].mp, 1e-5 * p.points[1].mp);
}

}  // namespace
}  // namespace trelvan::testing
