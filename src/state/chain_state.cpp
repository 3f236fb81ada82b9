#include "state/chain_state.h"

#include "state/number_format.h"

namespace trelvan {

std::string sideName(int k) { return "S" + digits(k); }

int weakPointOf(int n) { return (n % 2 == 0) ? n / 2 : (n + 1) / 2; }

void sizeArrays(ChainState& state, RunValues& run, std::int16_t n) {
    const std::size_t points = static_cast<std::size_t>(n) + 2;      // 0..N+1
    const std::size_t sides = 2 * static_cast<std::size_t>(n) + 2;   // 0..2N+1
    const std::size_t observations = sides + 1;                      // 0..2N+2

    state.N = n;
    state.w = {};
    state.pointName.assign(points, std::string());
    state.side.assign(sides, 0.0);
    state.observedSide.assign(sides, 0.0);
    state.pointX.assign(points, 0.0);
    state.pointY.assign(points, 0.0);
    state.adjustment = AdjustmentRecord{};
    state.typed = TypedValues{};  // nothing of an earlier action's typing stays
    state.typed.N = n;
    state.typed.pointName.assign(points, std::string());
    state.typed.side.assign(sides, 0.0);

    run.routeAzimuth.assign(points + 1, 0.0);  // 0..N+2
    run.alpha.assign(points, 0.0);             // 0..N+1
    run.altitude.assign(points, 0.0);
    run.sideSign.assign(points, 0);
    run.gamma.assign(points - 1, 0.0);         // 0..N
    run.beta.assign(points - 1, 0.0);
    run.correction.assign(observations, 0.0);
    run.cofactor.assign(observations, 0.0);
    for (auto& row : run.conditionCoef) row.assign(observations, 0.0);
    run.workMatrix1 = {};
    run.workMatrix2 = {};
    run.weakPoint = weakPointOf(n);
}

}  // namespace trelvan
