#pragma once
// The adjustment, one plain function per stage, in the order the Compute action
// runs them. Each stage checks its arithmetic before it writes any text box and
// throws ComputeFailure with a Chinese message naming what failed and where.

#include <cstdint>

#include "entry/dialogue.h"
#include "entry/interfaces.h"
#include "state/chain_state.h"

namespace trelvan {

// Copy of the observed sides, mean side and cofactors; the angles of every
// triangle; azimuths and provisional coordinates carried from A to B.
void solveTriangles(ChainState& state, RunValues& run);

// The azimuth, X and Y misclosures at B, shown in Text15..Text17.
void computeMisclosures(ChainState& state, RunValues& run, TextBoxes& boxes);

// The coefficients of the condition equations and of the weight functions of the
// weakest point; decides the adjustment case.
void formConditions(ChainState& state, RunValues& run);

// Compact Gauss reduction of rows 2..3 of Q (normal matrix in columns 1..3, a
// right-hand column in column 4), k = −N⁻¹g by back substitution, and the sum
// Σ P(i, c)·k(i) over i = 1..3.
double scd(const Matrix6& P, Matrix6& Q, std::int16_t c);

// The extended normal matrix, the weight reciprocals of the weakest point, the
// correlates, and the corrections applied to the sides and orientation angles.
void solveNormals(ChainState& state, RunValues& run);

// mb, ms, 1/px, 1/py, mx, my, md, shown in Text18..Text24.
void assessPrecision(ChainState& state, RunValues& run, TextBoxes& boxes);

// The adjusted coordinates of every point, carried from A with the adjusted sides.
void adjustCoordinates(ChainState& state, RunValues& run);

// Lists every point in Text11..Text13, with a pause before each.
void listCoordinates(Dialogue& dialogue, const ChainState& state);

}  // namespace trelvan
