#pragma once
// Metres and millimetres, stated once. Coordinates and lengths are kept in metres;
// misclosures, corrections and standard errors of sides and points are shown in
// millimetres.

namespace trelvan {

inline constexpr double millimetresPerMetre = 1000.0;

// Side cofactors are kept for sides in millimetres; the conditions work in metres.
inline constexpr double squareMillimetresPerSquareMetre = 1e6;

// A misclosure stored in metres as a 32-bit float, in millimetres as the window and
// the report show it: the 32-bit product, rounded once to float.
inline float millimetresOf(float metres) { return metres * 1000.0f; }

}  // namespace trelvan
