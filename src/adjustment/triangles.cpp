// Triangle solution and the propagation of azimuths and provisional coordinates
// from A along the azimuth route to B.

#include <cmath>

#include "adjustment/checks.h"
#include "adjustment/geometry.h"
#include "adjustment/stages.h"
#include "adjustment/weights.h"
#include "state/constants.h"
#include "state/number_format.h"

namespace trelvan {

namespace {

// The three angles and the altitude of triangle i from its observed sides: alpha
// between S(2i−1) and S(2i), beta at the turning vertex between the two route sides,
// gamma at point i+1; the altitude drops from the turning vertex onto S(2i).
void solveTriangle(const ChainState& state, RunValues& run, int i) {
    const double a = state.side[2 * i - 1];
    const double b = state.side[2 * i];
    const double c = state.side[2 * i + 1];
    checks::requireTriangle(i, a, b, c, false);

    const double cosAlpha = geometry::cosineBetween(a, b, c);
    const double cosBeta = geometry::cosineBetween(a, c, b);
    // Rounding can still push a needle-thin triangle onto a cosine of ±1.
    if (!(std::fabs(cosAlpha) < 1) || !(std::fabs(cosBeta) < 1))
        checks::fail("第 " + digits(i) + " 个三角形过于狭长，无法解算其角度，平差计算中止。");

    run.alpha[i] = geometry::angleFromCosine(cosAlpha);
    run.beta[i] = geometry::angleFromCosine(cosBeta);
    run.gamma[i] = 180 - run.alpha[i] - run.beta[i];
    run.altitude[i] = std::sin(run.alpha[i] * degToRad) * a;
    if (!(run.altitude[i] > 0) || !std::isfinite(run.altitude[i]))
        checks::fail("第 " + digits(i) + " 个三角形的高为零，平差计算中止。");
}

}  // namespace

void solveTriangles(ChainState& state, RunValues& run) {
    const int n = state.N;
    weighObservations(state, run);

    state.pointX[0] = state.Xa;
    state.pointY[0] = state.Ya;

    for (int i = 1; i <= n; ++i) solveTriangle(state, run, i);

    // Triangle 1 always turns at point 1, the end of S1.
    run.routeAzimuth[1] = geometry::reduceDownThenUp(run.Ta + run.Qa);
    const double a1 = run.routeAzimuth[1] * degToRad;
    state.pointX[1] = state.Xa + state.side[1] * std::cos(a1);
    state.pointY[1] = state.Ya + state.side[1] * std::sin(a1);
    run.routeAzimuth[2] =
        geometry::reduceUpThenDown(run.routeAzimuth[1] + run.sideSign[1] * run.beta[1] - 180);

    // pointX(i) holds the turning vertex of triangle i: point i in a zigzag, a copy of
    // the previous turning vertex in a fan, where S(2i−1) and S(2i+1) leave the same
    // vertex and the route only swings about it.
    for (int i = 2; i <= n; ++i) {
        const double turn = run.sideSign[i] * run.beta[i];
        if (geometry::isFan(run.sideSign, i)) {
            run.routeAzimuth[i + 1] = run.routeAzimuth[i] + turn;
            state.pointX[i] = state.pointX[i - 1];
            state.pointY[i] = state.pointY[i - 1];
        } else {
            run.routeAzimuth[i + 1] = run.routeAzimuth[i] + turn + 180;
            const double ai = run.routeAzimuth[i] * degToRad;
            state.pointX[i] = state.pointX[i - 1] + state.side[2 * i - 1] * std::cos(ai);
            state.pointY[i] = state.pointY[i - 1] + state.side[2 * i - 1] * std::sin(ai);
        }
        run.routeAzimuth[i + 1] = geometry::reduceDownThenUp(run.routeAzimuth[i + 1]);
    }

    // The external direction at B, turned from the back azimuth of the last route
    // side by the orientation angle Qb.
    run.computedTb = geometry::reduceDownThenUp(run.routeAzimuth[n + 1] + run.Qb - 180);

    // B as the observed chain carries it, from the turning vertex of triangle N.
    const double last = run.routeAzimuth[n + 1] * degToRad;
    state.pointX[n + 1] = state.pointX[n] + state.side[2 * n + 1] * std::cos(last);
    state.pointY[n + 1] = state.pointY[n] + state.side[2 * n + 1] * std::sin(last);

    checks::requireFinite(run.computedTb, "推算的闭合方位角");
    for (int i = 1; i <= n + 1; ++i) {
        if (!std::isfinite(state.pointX[i]) || !std::isfinite(state.pointY[i]))
            checks::outOfRange("推算的第 " + digits(i) + " 点座标");
    }
}

}  // namespace trelvan
