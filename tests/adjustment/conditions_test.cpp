#include <gtest/gtest.h>

#include <cmath>

#include "adjustment/chain_fixture.h"

namespace trelvan::testing {
namespace {

// What the propagation carries: the closing azimuth (degrees), B, and the weakest
// point, which is the end of route side S(2m−1).
struct Carried {
    double azimuth, bx, by, wx, wy;
};

Carried carry(Chain c) {
    solveTriangles(c.state, c.run);
    const int n = c.state.N, m = c.run.weakPoint;
    const double am = c.run.routeAzimuth[m] * degToRad;
    return {c.run.computedTb, c.state.pointX[n + 1], c.state.pointY[n + 1],
            c.state.pointX[m - 1] + c.state.side[2 * m - 1] * std::cos(am),
            c.state.pointY[m - 1] + c.state.side[2 * m - 1] * std::sin(am)};
}

// Lengthens side j (metres) or turns orientation angle j (seconds, on its magnitude).
Chain disturbed(const Chain& base, int j, double h) {
    Chain c = base;
    const int last = 2 * c.state.N + 2;
    if (j == 0) c.run.Qa += c.run.sideSign[0] * h / 3600;
    else if (j == last) c.run.Qb += c.run.sideSign[c.state.N + 1] * h / 3600;
    else c.state.side[j] += h;
    return c;
}

double turnSeconds(double to, double from) {
    double d = std::fmod(to - from, 360.0);
    if (d > 180) d -= 360;
    if (d <= -180) d += 360;
    return d * 3600;
}

// Every coefficient of rows 1..5 against a central difference of the propagation.
void expectCoefficientsAreDerivatives(const Chain& base) {
    Chain c = base;
    solveTriangles(c.state, c.run);
    formConditions(c.state, c.run);
    const auto& a = c.run.conditionCoef;
    const int last = 2 * c.state.N + 2;
    for (int j = 0; j <= last; ++j) {
        const bool angle = j == 0 || j == last;
        const double h = angle ? 1.0 : 1e-3;
        const Carried up = carry(disturbed(base, j, h));
        const Carried down = carry(disturbed(base, j, -h));
        const double rate[6] = {0,
                                turnSeconds(up.azimuth, down.azimuth) / (2 * h),
                                (up.bx - down.bx) / (2 * h),
                                (up.by - down.by) / (2 * h),
                                (up.wx - down.wx) / (2 * h),
                                (up.wy - down.wy) / (2 * h)};
        for (int r = 1; r <= 5; ++r) {
            // rho = 206265 against 3600·180/pi: the two differ by 1 part in 1e6. The
            // guard cosines of 90° taken with a ten-decimal pi (4.5e-11 per metre of
            // lever arm) add up to 2e-7 in the coordinate rows.
            const double tolerance = 3e-6 * std::fabs(rate[r]) + (r == 1 ? 1e-5 : 5e-7);
            EXPECT_NEAR(a[r][j], rate[r], tolerance) << "row " << r << ", observation " << j;
        }
    }
}

TEST(ConditionCoefficients, AreTheDerivativesOfThePropagation) {
    // Worked zigzag chain, weakest point 2.
    expectCoefficientsAreDerivatives(makeChain(workedExample(), {-1, +1, -1}, 15, 25, true));
    // Weakest point 3 after two fans about point 1, an obtuse turn at point 4,
    // Qa and Qb turned counter-clockwise.
    expectCoefficientsAreDerivatives(makeChain(fanChain(), fanSigns, -5.5, -30, true));
    // A single triangle.
    expectCoefficientsAreDerivatives(
        makeChain({{100, 100}, {600, 900}, {-300, 1200}}, {-1}, 40, 10, true));
    // The weakest point as the pivot's first spoke: triangle 2 fans about point 1.
    expectCoefficientsAreDerivatives(makeChain(spokeChain(), spokeSigns, 0, 5, true));
}

TEST(ConditionCoefficients, WorkedExampleRows) {
    Chain c = makeChain(workedExample(), {-1, +1, -1}, 15, 25, true);
    solveTriangles(c.state, c.run);
    formConditions(c.state, c.run);
    const double azimuthRow[] = {111.30, -229.18, 22.69, 219.06, -11.89, -212.27, 90.23};
    const double xRow[] = {0.0108, 1.7778, -1.2650, -1.1683, 1.2623, 0.5145, -1.1036};
    for (int j = 1; j <= 7; ++j) {
        EXPECT_NEAR(c.run.conditionCoef[1][j], azimuthRow[j - 1], 0.005) << "S" << j;
        EXPECT_NEAR(c.run.conditionCoef[2][j], xRow[j - 1], 0.00005) << "S" << j;
    }
}

TEST(ConditionCoefficients, CaseDecidesTheAzimuthRowAndAbsentAnglesHaveNoColumn) {
    const struct {
        double qa, qb;
        bool closingAzimuth, threeConditions;
    } cases[] = {{10, 20, true, true}, {10, 0, true, false}, {10, 20, false, false},
                 {0, 20, true, true}};
    for (const auto& tc : cases) {
        Chain c = makeChain(fanChain(), fanSigns, tc.qa, tc.qb, tc.closingAzimuth);
        solveTriangles(c.state, c.run);
        formConditions(c.state, c.run);
        const auto& a = c.run.conditionCoef;
        const int last = 2 * c.state.N + 2, m = c.run.weakPoint;
        EXPECT_EQ(c.state.azimuthCondition, tc.threeConditions);
        double rowOne = 0;
        for (int j = 0; j <= last; ++j) rowOne += std::fabs(a[1][j]);
        EXPECT_EQ(rowOne > 0, tc.threeConditions);
        for (int r = 2; r <= 5; ++r) EXPECT_EQ(a[r][last], 0.0);
        if (tc.qa == 0) {
            for (int r = 1; r <= 5; ++r) EXPECT_EQ(a[r][0], 0.0) << r;
        }
        // The weakest point depends on nothing beyond its own route side.
        for (int j = 2 * m; j <= last; ++j) EXPECT_EQ(a[4][j] == 0 && a[5][j] == 0, true) << j;
    }
}

}  // namespace
}  // namespace trelvan::testing
