#pragma once
// Chains adjusted and ready for the precision analysis, each with the observations
// the operator typed, for the dense reference.

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "adjustment/chain_fixture.h"
#include "adjustment/compute.h"
#include "analysis/dense_reference.h"
#include "chain_generator.h"
#include "support/scripted.h"

namespace trelvan::testing {

struct Analysed {
    std::string name;
    Observations typed;
    ChainState record;
};

// A fixture chain with some sides lengthened by `disturb` (side, metres), so that it
// has misclosures, adjusted through every stage of the Compute action; weighted by
// the mean side, or by `instrument` when given.
inline Analysed analysedFixture(std::string name, const std::vector<Point>& points,
                                const std::vector<int>& signs, double qa, double qb, bool closingAzimuth,
                                const std::vector<std::pair<int, double>>& disturb, float tolerance = 6.0f,
                                const std::optional<WeightModel>& instrument = std::nullopt) {
    Chain c = makeChain(points, signs, qa, qb, closingAzimuth);
    for (const auto& [k, metres] : disturb) c.state.side[k] += metres;
    c.state.mb = tolerance;
    c.state.typed.jobOnly.weights = instrument;
    Analysed a{std::move(name), {}, {}};
    Observations& o = a.typed;
    o.n = c.state.N;
    o.Xa = c.state.Xa, o.Ya = c.state.Ya, o.Xb = c.state.Xb, o.Yb = c.state.Yb;
    o.Ta = c.run.Ta, o.Qa = c.run.Qa, o.Qb = c.run.Qb;
    o.azimuthCondition = c.run.Tb != 0 && c.run.Qb != 0;
    o.sign.assign(c.run.sideSign.begin(), c.run.sideSign.end());
    o.side = c.state.side;
    o.tolerance = tolerance;
    o.instrument = instrument;
    EventLog log;
    RecordingBoxes boxes(log);
    adjust(c, boxes);
    adjustCoordinates(c.state, c.run);
    a.record = c.state;
    return a;
}

// A generated chain (national-grid coordinates, typed azimuths and both orientation
// angles) computed by the Compute action from its replies, weighted as a job says.
inline Analysed analysedGenerated(std::string name, const bench::ChainOptions& options,
                                  const std::optional<WeightModel>& instrument = std::nullopt) {
    const bench::GeneratedChain chain = bench::generateChain(options);
    Harness h;
    for (const auto& reply : chain.replies) h.prompter.add(reply);
    Analysed a{std::move(name), {}, {}};
    JobOnlyValues weighted;
    weighted.weights = instrument;
    if (Command1_Click(a.record, h.prompter, h.boxes, h.messages, weighted) !=
        ComputeOutcome::Completed)
        return a;
    Observations& o = a.typed;
    o.n = chain.triangles;
    o.Xa = chain.A.x, o.Ya = chain.A.y, o.Xb = chain.B.x, o.Yb = chain.B.y;
    o.Ta = chain.Ta, o.Qa = chain.Qa, o.Qb = chain.Qb;
    o.azimuthCondition = chain.Tb != 0 && chain.Qb != 0;
    o.sign.assign(chain.sideSign.begin(), chain.sideSign.end());
    o.side = chain.observedSide;
    o.tolerance = 2.5f;  // as the generator types it
    o.instrument = instrument;
    return a;
}

}  // namespace trelvan::testing
