// The adjusted coordinates: the propagation from A repeated with the adjusted sides
// and the adjusted orientation angle at A, every point at the end of its own route
// side; then the listing, one point at a time.

#include <cmath>

#include "adjustment/checks.h"
#include "adjustment/geometry.h"
#include "adjustment/stages.h"
#include "adjustment/texts.h"
#include "state/constants.h"
#include "state/number_format.h"

namespace trelvan {

void adjustCoordinates(ChainState& state, RunValues& run) {
    const int n = state.N;
    const auto& side = state.side;

    // The turning angles from the adjusted sides.
    for (int i = 1; i <= n; ++i) {
        const double a = side[2 * i - 1], b = side[2 * i], c = side[2 * i + 1];
        checks::requireTriangle(i, a, b, c, true);
        const double cosBeta = geometry::cosineBetween(a, c, b);
        if (!(std::fabs(cosBeta) < 1))
            checks::fail("平差后第 " + digits(i) + " 个三角形过于狭长，无法解算其角度，平差计算中止。");
        run.beta[i] = geometry::angleFromCosine(cosBeta);
    }

    // Azimuths along the route, with the adjusted Qa.
    run.routeAzimuth[1] = geometry::reduceDownThenUp(run.Ta + run.Qa);
    run.routeAzimuth[2] =
        geometry::reduceUpThenDown(run.routeAzimuth[1] + run.sideSign[1] * run.beta[1] - 180);
    for (int i = 2; i <= n; ++i) {
        double next = run.routeAzimuth[i] + run.sideSign[i] * run.beta[i];
        if (!geometry::isFan(run.sideSign, i)) next += 180;
        run.routeAzimuth[i + 1] = geometry::reduceDownThenUp(next);
    }

    // Points 1 and 2 follow S1 and S3 head to tail: triangle 1 turns at point 1.
    const double a1 = run.routeAzimuth[1] * degToRad;
    const double a2 = run.routeAzimuth[2] * degToRad;
    state.pointX[1] = state.Xa + side[1] * std::cos(a1);
    state.pointY[1] = state.Ya + side[1] * std::sin(a1);
    state.pointX[2] = state.pointX[1] + side[3] * std::cos(a2);
    state.pointY[2] = state.pointY[1] + side[3] * std::sin(a2);

    // Point i+1 is the end of S(2i+1). In a zigzag S(2i+1) leaves point i; in a fan it
    // leaves the pivot, reached from point i by stepping back along S(2i−1).
    for (int i = 2; i <= n; ++i) {
        const double ai = run.routeAzimuth[i] * degToRad;
        const double next = run.routeAzimuth[i + 1] * degToRad;
        if (geometry::isFan(run.sideSign, i)) {
            state.pointX[i + 1] = state.pointX[i] - side[2 * i - 1] * std::cos(ai) +
                                  side[2 * i + 1] * std::cos(next);
            state.pointY[i + 1] = state.pointY[i] - side[2 * i - 1] * std::sin(ai) +
                                  side[2 * i + 1] * std::sin(next);
        } else {
            state.pointX[i + 1] = state.pointX[i] + side[2 * i + 1] * std::cos(next);
            state.pointY[i + 1] = state.pointY[i] + side[2 * i + 1] * std::sin(next);
        }
    }

    for (int i = 1; i <= n + 1; ++i) {
        if (!std::isfinite(state.pointX[i]) || !std::isfinite(state.pointY[i]))
            checks::outOfRange("平差后第 " + digits(i) + " 点的座标");
    }
}

void listCoordinates(Dialogue& dialogue, const ChainState& state) {
    const int last = state.N + 1;
    for (int i = 0; i <= last; ++i) {
        if (!std::isfinite(state.pointX[i]) || !std::isfinite(state.pointY[i]))
            checks::outOfRange("第 " + digits(i) + " 点的座标");
    }
    for (int i = 0; i <= last; ++i) {
        // The operator reads and notes each point before the next is shown; whatever
        // is typed, the listing goes on.
        dialogue.pause(adjustment_texts::listingPrompt);
        dialogue.setText(11, " " + state.pointName[i]);
        dialogue.setText(12, roundedFixed(state.pointX[i], 3, 3));
        dialogue.setText(13, roundedFixed(state.pointY[i], 3, 3));
    }
}

}  // namespace trelvan
