// The linearised condition equations at B and the weight functions of the weakest
// point. Every coefficient is the rate at which the propagation from A moves the
// closing azimuth (row 1, seconds), B's X and Y (rows 2 and 3, metres), or the
// weakest point's X and Y (rows 4 and 5, metres) per unit correction of one
// observation: Qa and Qb in seconds, the sides in metres.
//
// A change of a side changes the angle beta at the turning vertex of each triangle
// that holds it (through the cosines of the other two angles over the altitude); the
// route turns by sideSign·beta there, so everything beyond swings about that vertex.
// A route side that continues the route also moves what lies beyond along its own
// direction (dX/side, dY/side); in a fan the route does not continue from its end,
// and dX = dY = 0 there.

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include "adjustment/checks.h"
#include "adjustment/geometry.h"
#include "adjustment/stages.h"
#include "state/constants.h"
#include "state/number_format.h"

namespace trelvan {

namespace {

// The coefficients of the coordinates of a target point T (B in rows 2 and 3, the
// weakest point in rows 4 and 5) for the route sides S(2i−1) and even sides S(2i),
// i = 1..last, and for Qa.
struct CoordinateRows {
    std::vector<double>& x;  // row for T's X
    std::vector<double>& y;  // row for T's Y
};

void coordinateRows(const ChainState& state, const RunValues& run,
                    const std::vector<double>& cosA, const std::vector<double>& cosG,
                    double targetX, double targetY, int last, bool evenUpToLast,
                    CoordinateRows rows) {
    const auto& s = run.sideSign;
    const auto& px = state.pointX;
    const auto& py = state.pointY;

    // Qa turns the whole chain about A.
    rows.x[0] = -s[0] * (targetY - state.Ya) / rho;
    rows.y[0] = s[0] * (targetX - state.Xa) / rho;

    for (int i = 1; i <= last; ++i) {
        const int k = 2 * i - 1;
        const double dX = px[i] - px[i - 1];
        const double dY = py[i] - py[i - 1];
        rows.x[k] = dX / state.side[k] + s[i] * cosA[i] * (targetY - py[i]) +
                    s[i - 1] * cosG[i - 1] * (targetY - py[i - 1]);
        rows.y[k] = dY / state.side[k] - s[i] * cosA[i] * (targetX - px[i]) -
                    s[i - 1] * cosG[i - 1] * (targetX - px[i - 1]);
        if (i < last || evenUpToLast) {
            rows.x[k + 1] = -s[i] * (targetY - py[i]) / run.altitude[i];
            rows.y[k + 1] = s[i] * (targetX - px[i]) / run.altitude[i];
        }
    }
}

}  // namespace

void formConditions(ChainState& state, RunValues& run) {
    const int n = state.N;
    const int m = run.weakPoint;
    const int lastObservation = 2 * n + 2;
    const auto& s = run.sideSign;

    // Entries just outside the triangles, so that the loops may run one step beyond
    // the chain at either end. cos 90° taken with the program's pi is about 4.5e-11,
    // not zero; it is used as it comes out.
    run.gamma[0] = 90;
    run.alpha[n + 1] = 90;
    run.altitude[0] = 1;
    run.altitude[n + 1] = 1;

    for (int i = 1; i <= n; ++i) {
        if (!(run.altitude[i] > 0) || !std::isfinite(run.altitude[i]))
            checks::fail("第 " + digits(i) + " 个三角形的高为零，无法组成条件方程，平差计算中止。");
    }
    for (int k = 1; k <= 2 * n + 1; k += 2) {
        if (!(state.side[k] > 0))
            checks::fail("第 " + digits(checks::triangleOfSide(k, n)) + " 个三角形的边长 S" +
                         digits(k) + " 为零，无法组成条件方程，平差计算中止。");
    }

    // The provisional geometry the coefficients are formed at, kept with the record
    // for the precision analysis before the weakest point may be moved below.
    auto& kept = state.adjustment;
    kept.sideSign = run.sideSign;
    kept.pointX = state.pointX;
    kept.pointY = state.pointY;
    kept.routeAzimuth = run.routeAzimuth;
    kept.altitude = run.altitude;

    // cosA(i) = cos alpha(i) / altitude(i) and cosG(i) = cos gamma(i) / altitude(i):
    // the rate at which beta(i) shrinks per metre of S(2i+1) and of S(2i−1).
    auto& cosA = kept.cosA;
    auto& cosG = kept.cosG;
    cosA.assign(n + 2, 0.0);
    cosG.assign(n + 2, 0.0);
    for (int i = 1; i <= n + 1; ++i) cosA[i] = std::cos(run.alpha[i] * degToRad) / run.altitude[i];
    for (int i = 0; i <= n; ++i) cosG[i] = std::cos(run.gamma[i] * degToRad) / run.altitude[i];

    auto& a = run.conditionCoef;
    for (auto& row : a) std::fill(row.begin(), row.end(), 0.0);

    // The azimuth condition takes part only when both the closing azimuth and the
    // orientation angle at B were given.
    state.azimuthCondition = run.Tb != 0 && run.Qb != 0;
    if (state.azimuthCondition) {
        a[1][0] = s[0];
        a[1][lastObservation] = s[n + 1];
        for (int i = 1; i <= n; ++i) {
            a[1][2 * i] = static_cast<double>(rho) * s[i] / run.altitude[i];
            a[1][2 * i - 1] = -static_cast<double>(rho) * (s[i] * cosA[i] + s[i - 1] * cosG[i - 1]);
        }
        a[1][2 * n + 1] = -static_cast<double>(rho) * s[n] * cosG[n];
    }

    // X and Y of B, with the known coordinates of B as the far end. Qb does not move B.
    coordinateRows(state, run, cosA, cosG, state.Xb, state.Yb, n + 1, false, {a[2], a[3]});

    // The weakest point is the end of route side S(2m−1). When triangle m is a fan, the
    // turning vertex stored at index m is the pivot, not point m: carry the point out
    // from the pivot along S(2m−1), whose azimuth the propagation already holds.
    std::tie(state.pointX[m], state.pointY[m]) = geometry::ownRouteSideEnd(
        state.pointX, state.pointY, m, state.side[2 * m - 1], run.routeAzimuth[m]);

    // X and Y of the weakest point. It does not depend on the sides beyond S(2m−1);
    // its own even side S(2m) has coefficient zero.
    coordinateRows(state, run, cosA, cosG, state.pointX[m], state.pointY[m], m, true,
                   {a[4], a[5]});

    for (int r = 1; r <= 5; ++r) {
        for (int j = 0; j <= lastObservation; ++j) {
            if (!std::isfinite(a[r][j]))
                checks::outOfRange("条件方程第 " + digits(r) + " 行的系数");
        }
    }
}

}  // namespace trelvan
