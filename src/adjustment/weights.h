#pragma once
// The weights of the observations (定权): the reciprocal weight of every side and
// orientation angle, under the chain's weight model, relative to an angle of one
// second of unit weight.

#include "state/chain_state.h"
#include "state/weight_model.h"

namespace trelvan {

// The standard error of a side of `length` metres as the instrument's stated
// accuracy gives it, in millimetres: a + b·D, or √(a² + (b·D)²), D in kilometres.
double instrumentSideError(const WeightModel& weights, double length);

// The observed sides copied aside and their mean; the reciprocal weight of a side of
// the mean length (sideCofactor) and of every observation (cofactor: square seconds
// for the orientation angles, square millimetres for the sides), by the weight model
// of the job (the mean side when it names none). Throws ComputeFailure, naming the
// side, for a side or a weight that is not a positive finite number.
void weighObservations(ChainState& state, RunValues& run);

}  // namespace trelvan
