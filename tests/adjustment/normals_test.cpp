#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "adjustment/chain_fixture.h"
#include "state/failure.h"
#include "state/number_format.h"
#include "support/scripted.h"

namespace trelvan::testing {
namespace {

using Dense = std::vector<std::vector<long double>>;

// x = M⁻¹ b by Gauss–Jordan elimination with partial pivoting.
std::vector<long double> solve(Dense m, std::vector<long double> b) {
    const std::size_t n = b.size();
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t p = c;
        for (std::size_t r = c + 1; r < n; ++r)
            if (std::fabs(m[r][c]) > std::fabs(m[p][c])) p = r;
        std::swap(m[c], m[p]);
        std::swap(b[c], b[p]);
        for (std::size_t r = 0; r < n; ++r) {
            if (r == c) continue;
            const long double f = m[r][c] / m[c][c];
            for (std::size_t j = c; j < n; ++j) m[r][j] -= f * m[c][j];
            b[r] -= f * b[c];
        }
    }
    for (std::size_t c = 0; c < n; ++c) b[c] /= m[c][c];
    return b;
}

// The condition adjustment written out densely: k = −(AQAᵀ)⁻¹w, v = QAᵀk, and the
// weight reciprocal of a function f, fQfᵀ − (AQfᵀ)ᵀ(AQAᵀ)⁻¹(AQfᵀ), in mm².
struct Reference {
    std::vector<long double> v;
    long double invPx, invPy, mb;
};

Reference referenceAdjustment(const Chain& formed) {
    const auto& a = formed.run.conditionCoef;
    const int last = 2 * formed.state.N + 2;
    std::vector<long double> q(last + 1, formed.run.sideCofactor / 1e6L);
    q[0] = q[last] = 1;
    std::vector<int> rows = {2, 3};
    if (formed.state.azimuthCondition) rows.insert(rows.begin(), 1);
    const std::size_t r = rows.size();

    auto product = [&](int i, int j) {
        long double s = 0;
        for (int o = 0; o <= last; ++o) s += a[i][o] * q[o] * a[j][o];
        return s;
    };
    Dense normal(r, std::vector<long double>(r));
    std::vector<long double> w(r);
    for (std::size_t i = 0; i < r; ++i) {
        for (std::size_t j = 0; j < r; ++j) normal[i][j] = product(rows[i], rows[j]);
        w[i] = -static_cast<long double>(formed.state.w[rows[i]]);
    }
    const auto k = solve(normal, w);

    Reference ref;
    ref.v.assign(last + 1, 0);
    for (int o = 0; o <= last; ++o)
        for (std::size_t i = 0; i < r; ++i) ref.v[o] += q[o] * a[rows[i]][o] * k[i];

    auto weightReciprocal = [&](int f) {
        std::vector<long double> g(r);
        for (std::size_t i = 0; i < r; ++i) g[i] = product(rows[i], f);
        const auto x = solve(normal, g);
        long double s = product(f, f);
        for (std::size_t i = 0; i < r; ++i) s -= g[i] * x[i];
        return s * 1e6L;
    };
    ref.invPx = weightReciprocal(4);
    ref.invPy = weightReciprocal(5);
    long double pvv = 0;
    for (int o = 0; o <= last; ++o) pvv += ref.v[o] * ref.v[o] / q[o];
    ref.mb = std::sqrt(pvv / r);
    return ref;
}

// A chain with misclosures of a few millimetres and seconds.
Chain disturbedChain(std::vector<Point> points, std::vector<int> signs, double qa, double qb,
                     bool closingAzimuth) {
    Chain c = makeChain(points, signs, qa, qb, closingAzimuth);
    const double mm[] = {3.1, -4.2, 2.5, 5.0, -1.7, 3.3, -2.8, 4.4, -3.9, 1.2, 2.2};
    for (int k = 1; k <= 2 * c.state.N + 1; ++k) c.state.side[k] += mm[(k - 1) % 11] / 1000;
    c.run.Qa += c.run.sideSign[0] * 4.0 / 3600;
    if (closingAzimuth) c.run.Tb -= 6.0 / 3600;
    return c;
}

struct Scenario {
    const char* name;
    Chain chain;
};

std::vector<Scenario> scenarios() {
    return {{"zigzag, three conditions", disturbedChain(workedExample(), {-1, +1, -1}, 15, 25, true)},
            {"fans, three conditions", disturbedChain(fanChain(), fanSigns, -5.5, -30, true)},
            {"fans, Tb without Qb", disturbedChain(fanChain(), fanSigns, 20, 0, true)},
            {"zigzag, no closing azimuth", disturbedChain(workedExample(), {-1, +1, -1}, 15, 0, false)}};
}

TEST(NormalEquations, MatchADenseReferenceSolve) {
    for (auto& sc : scenarios()) {
        SCOPED_TRACE(sc.name);
        Chain& c = sc.chain;
        Harness h;
        solveTriangles(c.state, c.run);
        computeMisclosures(c.state, c.run, h.boxes);
        formConditions(c.state, c.run);
        const Reference ref = referenceAdjustment(c);
        const double qa = c.run.Qa, qb = c.run.Qb;
        const std::vector<double> observed = c.state.side;
        solveNormals(c.state, c.run);
        assessPrecision(c.state, c.run, h.boxes);

        const int last = 2 * c.state.N + 2;
        for (int j = 0; j <= last; ++j) {
            const double tolerance = (j == 0 || j == last) ? 1e-9 : 1e-12;
            EXPECT_NEAR(c.run.correction[j], static_cast<double>(ref.v[j]), tolerance) << j;
            if (j > 0 && j < last) {
                EXPECT_NEAR(c.state.side[j], observed[j] + static_cast<double>(ref.v[j]), 1e-12);
            }
        }
        EXPECT_NEAR(c.run.Qa, qa + c.run.sideSign[0] * static_cast<double>(ref.v[0]) / 3600, 1e-12);
        if (c.state.azimuthCondition) {
            const double turn = c.run.sideSign[c.state.N + 1] * static_cast<double>(ref.v[last]);
            EXPECT_NEAR(c.run.Qb, qb + turn / 3600, 1e-12);
        } else {
            EXPECT_EQ(c.run.Qb, qb);
        }
        EXPECT_NEAR(c.state.invPx, static_cast<double>(ref.invPx), 2e-6 * ref.invPx);
        EXPECT_NEAR(c.state.invPy, static_cast<double>(ref.invPy), 2e-6 * ref.invPy);
        EXPECT_NEAR(c.state.mb, static_cast<double>(ref.mb), 2e-6 * ref.mb);
        EXPECT_GT(ref.mb, 0.1L);  // the disturbances are really there
        if (!c.state.azimuthCondition) {
            EXPECT_EQ(c.state.w[1], 0.0f);
        }
    }
}

TEST(NormalEquations, AdjustedChainClosesOnBFarBetterThanTheObservedOne) {
    for (auto& sc : scenarios()) {
        SCOPED_TRACE(sc.name);
        Chain& c = sc.chain;
        Harness h;
        adjust(c, h.boxes);
        const double observedB = std::hypot(c.state.w[2], c.state.w[3]);
        const double observedAzimuth = std::fabs(c.state.w[1]);
        adjustCoordinates(c.state, c.run);
        const int n = c.state.N;
        ASSERT_GT(observedB, 0.003);
        const double residualB =
            std::hypot(c.state.pointX[n + 1] - c.state.Xb, c.state.pointY[n + 1] - c.state.Yb);
        EXPECT_LT(residualB, 1e-3 * observedB);
        if (c.state.azimuthCondition) {
            ASSERT_GT(observedAzimuth, 1.0);
            double closing = c.run.routeAzimuth[n + 1] + c.run.Qb - 180;
            if (closing < 0) closing += 360;
            EXPECT_LT(std::fabs(closing - c.run.Tb) * 3600, 1e-3 * observedAzimuth);
        }
    }
}

TEST(NormalEquations, ZeroMisclosuresGiveZeroCorrections) {
    Chain c = makeChain(fanChain(), fanSigns, 10, 20, true);
    Chain probe = c;
    solveTriangles(probe.state, probe.run);
    const int n = c.state.N;
    c.state.Xb = probe.state.pointX[n + 1];
    c.state.Yb = probe.state.pointY[n + 1];
    c.run.Tb = probe.run.computedTb;
    const std::vector<double> observed = c.state.side;

    Harness h;
    adjust(c, h.boxes);
    for (double v : c.run.correction) EXPECT_EQ(v, 0.0);
    EXPECT_EQ(c.state.side, observed);
    EXPECT_EQ(h.boxes.text(15), "0.00秒");
    EXPECT_EQ(h.boxes.text(16), "0.00毫米");
    EXPECT_EQ(h.boxes.text(18), "0秒");
    EXPECT_EQ(h.boxes.text(19), "0毫米");
    for (int box : {22, 23, 24}) EXPECT_EQ(h.boxes.text(box), "0.00毫米");
    EXPECT_GT(c.state.invPx, 0.0f);  // geometry alone
    EXPECT_EQ(h.boxes.text(20), formatFixed(roundHalfEven(c.state.invPx, 4), 4));
}

TEST(Scd, AgreesWithAPlainSolveAndTouchesOnlyRowsTwoAndThree) {
    const double n[3][3] = {{4, 1, -0.5}, {1, 3, 0.25}, {-0.5, 0.25, 2}};
    const double g[3] = {0.7, -1.3, 2.1}, f[3] = {-0.4, 0.9, 0.3};
    Matrix6 P{}, Q{};
    for (int i = 1; i <= 3; ++i) {
        for (int j = 1; j <= 3; ++j) P[i][j] = Q[i][j] = n[i - 1][j - 1];
        P[i][4] = Q[i][4] = g[i - 1];
        P[i][5] = f[i - 1];
    }
    const Matrix6 before = Q;
    const auto k = solve({{4, 1, -0.5}, {1, 3, 0.25}, {-0.5, 0.25, 2}}, {-0.7, 1.3, -2.1});
    EXPECT_NEAR(scd(P, Q, 4), static_cast<double>(g[0] * k[0] + g[1] * k[1] + g[2] * k[2]), 1e-14);
    EXPECT_EQ(Q[1], before[1]);
    for (int r = 2; r <= 3; ++r)
        for (int c = 1; c < r; ++c) EXPECT_EQ(Q[r][c], before[r][c]);  // lower triangle
    for (int r = 4; r <= 5; ++r) EXPECT_EQ(Q[r], before[r]);

    Matrix6 fresh = before;
    EXPECT_NEAR(scd(P, fresh, 5), static_cast<double>(f[0] * k[0] + f[1] * k[1] + f[2] * k[2]), 1e-14);

    Matrix6 singular = before;
    singular[2][2] = 0.25;  // N(2,2) = N(1,2)²/N(1,1): the reduced pivot vanishes
    EXPECT_THROW(scd(P, singular, 4), ComputeFailure);
}

std::string failureOf(Chain& c) {
    try {
        solveNormals(c.state, c.run);
    } catch (const ComputeFailure& failure) {
        return failure.what();
    }
    return "no failure";
}

TEST(NormalEquations, DegenerateNormalEquationsStopWithTheirName) {
    Harness h;
    Chain formed = makeChain(workedExample(), {-1, +1, -1}, 15, 25, true);
    solveTriangles(formed.state, formed.run);
    computeMisclosures(formed.state, formed.run, h.boxes);
    formConditions(formed.state, formed.run);

    Chain zeroPivot = formed;  // an X condition with no coefficients
    std::fill(zeroPivot.run.conditionCoef[2].begin(), zeroPivot.run.conditionCoef[2].end(), 0.0);
    EXPECT_NE(failureOf(zeroPivot).find("法方程第 2 行的主元为零"), std::string::npos);

    Chain zeroDeterminant = formed;
    zeroDeterminant.state.azimuthCondition = false;
    std::fill(zeroDeterminant.run.conditionCoef[3].begin(), zeroDeterminant.run.conditionCoef[3].end(), 0.0);
    EXPECT_NE(failureOf(zeroDeterminant).find("行列式为零"), std::string::npos);

    Chain negative = formed;  // a negative cofactor makes 1/px negative
    auto& row4 = negative.run.conditionCoef[4];
    std::fill(row4.begin(), row4.end(), 0.0);
    row4[0] = 1;
    for (int r = 1; r <= 3; ++r) negative.run.conditionCoef[r][0] = 0;
    negative.run.cofactor[0] = -1;
    EXPECT_NE(failureOf(negative).find("纵座标权倒数为负"), std::string::npos);

    Chain broken = formed;  // a misclosure of 100 km tears the triangles apart
    broken.state.w[2] = 1e5;
    const std::string brokenMessage = failureOf(broken);
    EXPECT_NE(brokenMessage.find("平差后第"), std::string::npos) << brokenMessage;
}

TEST(Precision, ANegativeWeightReciprocalIsFoundBeforeAnyFigureIsShown) {
    Chain c = makeChain(workedExample(), {-1, +1, -1}, 15, 25, true);
    Harness h;
    solveTriangles(c.state, c.run);
    computeMisclosures(c.state, c.run, h.boxes);
    formConditions(c.state, c.run);
    solveNormals(c.state, c.run);
    c.state.invPy = -1e-7f;
    const auto writes = h.boxes.writes.size();
    EXPECT_THROW(assessPrecision(c.state, c.run, h.boxes), ComputeFailure);
    EXPECT_EQ(h.boxes.writes.size(), writes);
    EXPECT_EQ(c.state.mb, 6.0f);  // the tolerance is still in place
}

}  // namespace
}  // namespace trelvan::testing
