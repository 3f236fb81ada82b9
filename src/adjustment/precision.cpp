// Precision of the adjustment: the standard error of unit weight (one angle, in
// seconds), of one side, and of the weakest point in X, in Y and as a point error.

#include <cmath>
#include <string>

#include "adjustment/checks.h"
#include "adjustment/stages.h"
#include "adjustment/texts.h"
#include "state/number_format.h"

namespace trelvan {

namespace {

void requireStored(float value, const char* what) {
    checks::requireFinite(static_cast<double>(value), what);
}

std::string twoDecimals(float value) { return roundedFixed(value, 2, 2); }

}  // namespace

void assessPrecision(ChainState& state, RunValues& run, TextBoxes& boxes) {
    const int lastObservation = 2 * state.N + 2;
    const double vQa = run.correction[0];
    const double vQb = run.correction[lastObservation];

    // [pvv] in square seconds: the weighted squares of the side corrections in
    // millimetres over the cofactor of a side of the mean length in square
    // millimetres, the orientation angles' over theirs in square seconds.
    const double pvv = run.sideCorrectionSquareSum / run.sideCofactor +
                       vQa * vQa / run.cofactor[0] + vQb * vQb / run.cofactor[lastObservation];
    const int redundancy = state.azimuthCondition ? 3 : 2;

    if (!(state.invPx >= 0) || !(state.invPy >= 0))
        checks::fail("最弱点的权倒数为负或不是有限数，平差计算中止。");
    checks::requireFinite(pvv, "改正数的加权平方和");

    const float mb = static_cast<float>(std::sqrt(pvv / redundancy));
    const float ms = static_cast<float>(static_cast<double>(mb) * std::sqrt(run.sideCofactor));
    const float mx = static_cast<float>(static_cast<double>(mb) * std::sqrt(static_cast<double>(state.invPx)));
    const float my = static_cast<float>(static_cast<double>(mb) * std::sqrt(static_cast<double>(state.invPy)));
    const double mxd = mx, myd = my;
    const float md = static_cast<float>(std::sqrt(myd * myd + mxd * mxd));
    requireStored(mb, "单位权测角中误差");
    requireStored(ms, "单位权测边中误差");
    requireStored(state.invPx, "最弱点纵座标权倒数");
    requireStored(state.invPy, "最弱点横座标权倒数");
    requireStored(mx, "最弱点纵座标中误差");
    requireStored(my, "最弱点横座标中误差");
    requireStored(md, "最弱点点位中误差");

    // The typed angle tolerance gives way to the unit-weight angle error here; the
    // record keeps the typed value beside the weights and [pvv].
    state.adjustment.typedTolerance = state.mb;
    state.adjustment.sideCofactor = run.sideCofactor;
    state.adjustment.pvv = pvv;
    state.mb = mb;
    state.ms = ms;
    state.mx = mx;
    state.my = my;
    state.md = md;

    boxes.setText(18, generalNumber(roundHalfEven(mb, 2)) + adjustment_texts::seconds);
    boxes.setText(19, generalNumber(roundHalfEven(ms, 2)) + adjustment_texts::millimetres);
    boxes.setText(20, roundedFixed(state.invPx, 4, 4));
    boxes.setText(21, roundedFixed(state.invPy, 4, 4));
    boxes.setText(22, twoDecimals(mx) + adjustment_texts::millimetres);
    boxes.setText(23, twoDecimals(my) + adjustment_texts::millimetres);
    boxes.setText(24, twoDecimals(md) + adjustment_texts::millimetres);
}

}  // namespace trelvan
