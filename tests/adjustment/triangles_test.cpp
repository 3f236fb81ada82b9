#include <gtest/gtest.h>

#include <cmath>

#include "adjustment/chain_fixture.h"
#include "state/failure.h"

namespace trelvan::testing {
namespace {

constexpr double root3 = 1.7320508075688772;

// Chains of equilateral triangles with 100 m sides, S1 on azimuth 30 from A = (0, 0).
Chain equilateral(std::vector<int> signs) {
    Chain c;
    const int n = static_cast<int>(signs.size());
    sizeArrays(c.state, c.run, static_cast<std::int16_t>(n));
    for (int k = 1; k <= 2 * n + 1; ++k) c.state.side[k] = 100;
    for (int i = 1; i <= n; ++i) c.run.sideSign[i] = static_cast<std::int16_t>(signs[i - 1]);
    c.run.Ta = 30;
    return c;
}

TEST(TriangleSolution, EquilateralChainsTurnAndCarryAsDrawn) {
    struct Case {
        std::vector<int> signs;
        double lastAzimuth;
        Point turningVertex;  // of the last triangle
        Point b;
    };
    const Case cases[] = {
        {{-1}, 150, {50 * root3, 50}, {0, 100}},
        {{-1, +1}, 30, {0, 100}, {50 * root3, 150}},       // zigzag
        {{-1, -1}, 90, {50 * root3, 50}, {50 * root3, 150}},  // fan about point 1
    };
    for (const auto& tc : cases) {
        Chain c = equilateral(tc.signs);
        const int n = c.state.N;
        solveTriangles(c.state, c.run);
        for (int i = 1; i <= n; ++i) {
            EXPECT_NEAR(c.run.alpha[i], 60, 1e-8);
            EXPECT_NEAR(c.run.beta[i], 60, 1e-8);
            EXPECT_NEAR(c.run.gamma[i], 60, 1e-8);
            EXPECT_NEAR(c.run.altitude[i], 50 * root3, 1e-6);
        }
        EXPECT_NEAR(c.run.routeAzimuth[n + 1], tc.lastAzimuth, 1e-8) << n;
        EXPECT_NEAR(c.state.pointX[n], tc.turningVertex.x, 1e-6);
        EXPECT_NEAR(c.state.pointY[n], tc.turningVertex.y, 1e-6);
        EXPECT_NEAR(c.state.pointX[n + 1], tc.b.x, 1e-6);
        EXPECT_NEAR(c.state.pointY[n + 1], tc.b.y, 1e-6);
    }
}

TEST(TriangleSolution, RightAngleIsExactlyNinety) {
    Chain c = equilateral({+1});
    c.state.side[1] = 30, c.state.side[2] = 40, c.state.side[3] = 50;
    solveTriangles(c.state, c.run);
    EXPECT_EQ(c.run.alpha[1], 90.0);
    EXPECT_EQ(c.run.altitude[1], 30.0);
}

TEST(TriangleSolution, FirstAzimuthIsReducedOnceEachWay) {
    const struct {
        double ta, qa, expected;
    } cases[] = {{300, 60, 0}, {0, -10, 350}, {700, 25, 365}, {359, 0.5, 359.5}};
    for (const auto& tc : cases) {
        Chain c = equilateral({-1});
        c.run.Ta = tc.ta, c.run.Qa = tc.qa;
        solveTriangles(c.state, c.run);
        EXPECT_DOUBLE_EQ(c.run.routeAzimuth[1], tc.expected) << tc.ta << " + " << tc.qa;
    }
}

TEST(TriangleSolution, ChainsFromTrueCoordinatesCloseOnB) {
    const struct {
        std::vector<Point> points;
        std::vector<int> signs;
    } cases[] = {{workedExample(), {-1, +1, -1}}, {fanChain(), fanSigns}};
    for (const auto& tc : cases) {
        Chain c = makeChain(tc.points, tc.signs, 12.5, -20, true);
        const int n = c.state.N;
        solveTriangles(c.state, c.run);
        EXPECT_NEAR(c.state.pointX[n + 1], c.state.Xb, 1e-6);
        EXPECT_NEAR(c.state.pointY[n + 1], c.state.Yb, 1e-6);
        EXPECT_NEAR(c.run.computedTb, c.run.Tb, 1e-7);  // pi with ten decimals
        double sum = 0;
        for (int k = 1; k <= 2 * n + 1; ++k) {
            EXPECT_EQ(c.state.observedSide[k], c.state.side[k]);
            sum += c.state.side[k];
        }
        const double perSecond = 1000 * sum / (2 * n + 1) / 206265;
        EXPECT_NEAR(c.run.sideCofactor, perSecond * perSecond, 1e-12);
        EXPECT_EQ(c.run.cofactor[0], 1.0);
        EXPECT_EQ(c.run.cofactor[2 * n + 2], 1.0);
    }
}

TEST(TriangleSolution, SidesThatCannotCloseATriangleStopWithItsName) {
    const struct {
        double s3, s4, s5;
        const char* names;
        const char* reason;  // why it stopped
    } cases[] = {
        {100, 100, 250, "第 2 个三角形的观测边长 S3=100.0000、S4=100.0000、S5=250.0000",
         "不能构成三角形（最长边不短于另两边之和）"},
        {100, 100, 200, "第 2 个三角形的观测边长 S3=100.0000、S4=100.0000、S5=200.0000",
         "不能构成三角形（最长边不短于另两边之和）"},  // flat
        {100, 0, 100, "S4 为零", "为零，平差计算中止"},
        {100, 1e-9, 100, "第 2 个三角形", "过于狭长，无法解算其角度"},  // needle: no angle can be solved
    };
    for (const auto& tc : cases) {
        Chain c = equilateral({-1, +1});
        c.state.side[3] = tc.s3, c.state.side[4] = tc.s4, c.state.side[5] = tc.s5;
        try {
            solveTriangles(c.state, c.run);
            ADD_FAILURE() << "no failure for " << tc.s4;
        } catch (const ComputeFailure& failure) {
            EXPECT_NE(std::string(failure.what()).find(tc.names), std::string::npos)
                << failure.what();
            EXPECT_NE(std::string(failure.what()).find(tc.reason), std::string::npos)
                << failure.what();
        }
    }
}

}  // namespace
}  // namespace trelvan::testing
