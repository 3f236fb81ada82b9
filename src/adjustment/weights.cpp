#include "adjustment/weights.h"

#include <cmath>
#include <string>

#include "adjustment/checks.h"
#include "state/constants.h"
#include "state/number_format.h"
#include "state/units.h"

namespace trelvan {

namespace {

// By the mean side. The weight of a side is tied to the weight of an angle: an angle
// error of Mb seconds at the mean side length moves the far end by
// Mb·meanSide·1000/rho millimetres. The cofactor of a side in millimetres, relative
// to an angle in seconds of unit weight, is therefore (1000·meanSide/rho)², whatever
// Mb is, the same for every side; an orientation angle has unit weight.
struct MeanSideWeights {
    double sideCofactor = 0;
    double side(double) const { return sideCofactor; }
    double orientationAngle() const { return 1; }
};

// By the instrument: a side's cofactor is the square of its stated standard error in
// millimetres, an orientation angle's the square of its standard error in seconds.
struct InstrumentWeights {
    const WeightModel& model;
    double side(double length) const {
        const double sigma = instrumentSideError(model, length);
        return sigma * sigma;
    }
    double orientationAngle() const { return model.sigmaQ * model.sigmaQ; }
};

void requireWeight(double cofactor, const std::string& what) {
    if (cofactor > 0 && std::isfinite(cofactor)) return;
    checks::fail(what + "的权倒数" + (cofactor == 0 ? "为零" : "超出数值范围") +
                 "（定权：测距 a、b 与定向角 σ），平差计算中止。");
}

template <class Weights>
void fillCofactors(RunValues& run, const ChainState& state, const Weights& weights) {
    const int sides = 2 * state.N + 1;
    for (int k = 1; k <= sides; ++k) {
        run.cofactor[k] = weights.side(state.side[k]);
        requireWeight(run.cofactor[k], "边长 " + sideName(k));
    }
    run.cofactor[0] = run.cofactor[sides + 1] = weights.orientationAngle();
    requireWeight(run.cofactor[0], "定向角");
}

}  // namespace

double instrumentSideError(const WeightModel& weights, double length) {
    const double constant = weights.a;
    const double proportional = weights.b * (std::fabs(length) / millimetresPerMetre);  // b·D, D in km
    if (weights.combine == WeightModel::Combine::Quadrature) return std::hypot(constant, proportional);
    return constant + proportional;
}

void weighObservations(ChainState& state, RunValues& run) {
    const int sides = 2 * state.N + 1;
    double sum = 0;
    for (int k = 1; k <= sides; ++k) {
        checks::requireObservedSide(state.side[k], k, state.N);
        state.observedSide[k] = state.side[k];
        sum += state.side[k];
    }
    run.meanSide = sum / sides;
    checks::requireFinite(run.meanSide, "平均边长");
    run.equivalentSideError = static_cast<double>(state.mb) * run.meanSide * 1000 / rho;

    const WeightModel model = state.typed.jobOnly.weights.value_or(WeightModel{});
    state.adjustment.weights = model;
    if (model.byInstrument()) {
        const InstrumentWeights weights{model};
        run.sideCofactor = weights.side(run.meanSide);
        requireWeight(run.sideCofactor, "平均边长 " + formatFixed(run.meanSide, 4) + " 米的边");
        fillCofactors(run, state, weights);
        return;
    }
    const double sideErrorPerSecond = 1000 * run.meanSide / rho;
    const MeanSideWeights weights{sideErrorPerSecond * sideErrorPerSecond};
    run.sideCofactor = weights.sideCofactor;
    if (!(run.sideCofactor > 0) || !std::isfinite(run.sideCofactor))
        checks::fail("边长的权倒数超出数值范围（平均边长 " + formatFixed(run.meanSide, 4) +
                     "），平差计算中止。");
    fillCofactors(run, state, weights);
}

}  // namespace trelvan
