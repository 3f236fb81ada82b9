// The normal equations of the condition adjustment, the weight reciprocals of the
// weakest point, the correlates and the corrections.
//
// Units. The cofactor array holds the reciprocal weight of a side in square
// millimetres per square second, because the side errors are quoted in millimetres.
// The condition coefficients, however, are per metre of side and the corrections
// come out in metres, so inside the normal equations a side's cofactor is that value
// divided by 1e6, in square metres. The orientation angles keep theirs in square
// seconds. The weight reciprocals of the weakest point then come out in square
// metres and are turned into square millimetres for display and for the standard
// errors in millimetres.

#include <cmath>
#include <vector>

#include "adjustment/checks.h"
#include "adjustment/stages.h"
#include "state/constants.h"
#include "state/number_format.h"
#include "state/units.h"

namespace trelvan {

namespace {

// Compact Gauss reduction of rows 2 and 3 of the upper triangle of Q (normal matrix
// in columns 1..3, right-hand column in column 4), then back substitution
// k(r) = −(Q(r, 4) + Σ k(j)·Q(r, j)) / Q(r, r), so that k = −N⁻¹g. Row 1 and the
// lower triangle are never written.
void reduceAndSolve(Matrix6& q, std::array<double, 4>& k) {
    checks::requirePivot(q[1][1], 1);
    for (int r = 2; r <= 3; ++r) {
        for (int j = r; j <= 4; ++j) {
            double t = q[r][j];
            for (int i = 1; i <= r - 1; ++i) t = t - (q[i][j] * q[i][r]) / q[i][i];
            q[r][j] = t;
        }
        checks::requirePivot(q[r][r], r);
    }
    for (int r = 3; r >= 1; --r) {
        double t = q[r][4];
        for (int j = r + 1; j <= 3; ++j) t = t + k[j] * q[r][j];
        k[r] = -t / q[r][r];
    }
}

// A weight reciprocal of the weakest point, from square metres to square millimetres.
// It cannot be negative for a positive definite normal matrix; a negative value means
// the geometry does not fix the point and no standard error can be formed.
float weightReciprocal(double squareMetres, const char* coordinate) {
    const double squareMillimetres = squareMetres * squareMillimetresPerSquareMetre;
    const float stored = static_cast<float>(squareMillimetres);
    if (!std::isfinite(squareMillimetres) || !std::isfinite(stored))
        checks::outOfRange(std::string("最弱点") + coordinate + "权倒数");
    if (squareMillimetres < 0)
        checks::fail(std::string("最弱点") + coordinate + "权倒数为负（" +
                     formatFixed(squareMillimetres, 6) + "），法方程病态，平差计算中止。");
    return stored;
}

}  // namespace

double scd(const Matrix6& P, Matrix6& Q, std::int16_t c) {
    std::array<double, 4> k{};
    reduceAndSolve(Q, k);
    double s = 0;
    for (int i = 1; i <= 3; ++i) s = s + k[i] * P[i][c];
    return s;
}

void solveNormals(ChainState& state, RunValues& run) {
    const int n = state.N;
    const int lastObservation = 2 * n + 2;
    const auto& a = run.conditionCoef;

    // Every observation's cofactor in the units of the conditions: a side's in square
    // metres, the millimetre value divided by 1e6; an orientation angle's in square
    // seconds.
    std::vector<double> q(run.cofactor.size());
    q[0] = run.cofactor[0];
    for (int j = 1; j < lastObservation; ++j) q[j] = run.cofactor[j] / squareMillimetresPerSquareMetre;
    q[lastObservation] = run.cofactor[lastObservation];

    // The extended normal matrix: the conditions (1..3) with each other and with the
    // weight functions of the weakest point (4, 5).
    auto& w1 = run.workMatrix1;
    auto& w2 = run.workMatrix2;
    for (int r = 1; r <= 5; ++r) {
        for (int c = 1; c <= 5; ++c) {
            double sum = 0;
            for (int j = 0; j <= lastObservation; ++j) sum += a[r][j] * q[j] * a[c][j];
            w1[r][c] = w1[c][r] = w2[r][c] = w2[c][r] = sum;
        }
    }
    const Matrix6 normal = w1;
    for (int r = 1; r <= 5; ++r) {
        for (int c = 1; c <= 5; ++c) {
            if (!std::isfinite(normal[r][c])) checks::outOfRange("法方程系数");
        }
    }

    auto& k = run.k;
    k = {};
    double invPxSquareMetres = 0;
    double invPySquareMetres = 0;
    if (state.azimuthCondition) {
        // 1/px = n(4,4) − gᵀN⁻¹g with g the X weight function's column.
        invPxSquareMetres = normal[4][4] + scd(w1, w2, 4);
        // The Y weight function's column, untouched by the reduction, moves into
        // column 4, and the working copy gets back its unreduced rows.
        for (int i = 1; i <= 3; ++i) w1[i][4] = w2[i][5];
        for (int i = 1; i <= 3; ++i) {
            for (int j = 1; j <= 4; ++j) {
                w2[i][j] = w1[i][j];
                w2[j][i] = w1[j][i];
            }
        }
        invPySquareMetres = normal[5][5] + scd(w1, w2, 5);
        // The correlates, k = −N⁻¹w.
        for (int i = 1; i <= 3; ++i) w1[i][4] = static_cast<double>(state.w[i]);
        reduceAndSolve(w1, k);
    } else {
        // Only the X and Y conditions: the azimuth misclosure takes no part.
        state.w[1] = 0;
        const double det = normal[2][2] * normal[3][3] - normal[2][3] * normal[2][3];
        if (!std::isfinite(det)) checks::outOfRange("法方程系数行列式");
        if (!(det > 0))
            checks::fail(std::string("法方程系数行列式") + (det == 0 ? "为零" : "为负") +
                         "，法方程无法求解，平差计算中止。");
        const double w2m = state.w[2];
        const double w3m = state.w[3];
        k[1] = 0;
        k[2] = (w3m * normal[2][3] - w2m * normal[3][3]) / det;
        k[3] = (w2m * normal[2][3] - w3m * normal[2][2]) / det;
        auto& qx = run.qx;
        auto& qy = run.qy;
        qx[2] = (normal[3][4] * normal[2][3] - normal[2][4] * normal[3][3]) / det;
        qx[3] = (normal[2][4] * normal[2][3] - normal[3][4] * normal[2][2]) / det;
        qy[2] = (normal[3][5] * normal[2][3] - normal[2][5] * normal[3][3]) / det;
        qy[3] = (normal[2][5] * normal[2][3] - normal[3][5] * normal[2][2]) / det;
        invPxSquareMetres = normal[4][4] + normal[2][4] * qx[2] + normal[3][4] * qx[3];
        invPySquareMetres = normal[5][5] + normal[2][5] * qy[2] + normal[3][5] * qy[3];
    }
    for (int i = 1; i <= 3; ++i) checks::requireFinite(k[i], "法方程的联系数");
    state.invPx = weightReciprocal(invPxSquareMetres, "纵座标");
    state.invPy = weightReciprocal(invPySquareMetres, "横座标");

    // The corrections v = Q Aᵀ k: seconds for the orientation angles, metres for the
    // sides.
    auto& v = run.correction;
    for (int j = 0; j <= lastObservation; ++j) v[j] = (k[1] * a[1][j] + k[2] * a[2][j] + k[3] * a[3][j]) * q[j];
    for (int j = 0; j <= lastObservation; ++j) {
        if (!std::isfinite(v[j])) checks::outOfRange("改正数");
    }

    // The corrections are of the measured magnitudes of the orientation angles; the
    // signed angles move by the angle's sign times the correction.
    run.Qa = run.Qa + run.sideSign[0] * v[0] / secondsPerDegree;
    if (state.azimuthCondition)
        run.Qb = run.Qb + run.sideSign[n + 1] * v[lastObservation] / secondsPerDegree;

    // The squares of the side corrections in millimetres, each weighted against a side
    // of the mean length (all alike by the mean side, whose weight is exactly 1).
    run.sideCorrectionSquareSum = 0;
    for (int j = 1; j <= 2 * n + 1; ++j) {
        state.side[j] = state.side[j] + v[j];
        const double millimetres = 1000 * v[j];
        const double weight = run.sideCofactor / run.cofactor[j];
        run.sideCorrectionSquareSum = run.sideCorrectionSquareSum + millimetres * millimetres * weight;
    }
    checks::requireFinite(run.sideCorrectionSquareSum, "边长改正数的平方和");

    // The adjusted sides must still close every triangle; otherwise there would be
    // precision figures for a chain that cannot be drawn.
    for (int i = 1; i <= n; ++i)
        checks::requireTriangle(i, state.side[2 * i - 1], state.side[2 * i], state.side[2 * i + 1],
                                true);

    // The weights, the conditions, their normal matrix and the corrections stay with
    // the record.
    auto& kept = state.adjustment;
    kept.cofactor = run.cofactor;
    for (int r = 1; r <= 3; ++r) kept.conditionCoef[r] = a[r];
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c) kept.normal[r][c] = normal[r][c];
    kept.correction = v;
}

}  // namespace trelvan
