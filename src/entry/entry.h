#pragma once
// The data-entry dialogue of the Compute action, in the order it runs.

#include "entry/dialogue.h"
#include "state/chain_state.h"

namespace trelvan {

// Asks for N, refusing values outside 1..16382, shows it in Text9, then sizes every
// array of the record and the run.
void enterTriangleCount(Dialogue& dialogue, ChainState& state, RunValues& run);

// Coordinates of A and B, the direction points, the external azimuths, the
// orientation angles, the case display in Text14 and the angle tolerance.
void enterKnownData(Dialogue& dialogue, ChainState& state, RunValues& run);

// The point names, then the observed sides S1..S(2N+1), checked as they come.
void enterNamesAndSides(Dialogue& dialogue, ChainState& state, RunValues& run);

}  // namespace trelvan
