#pragma once
// Hand-built records of completed Compute actions, for the report's tests.

#include <cstdint>
#include <string>
#include <vector>

#include "state/chain_state.h"

namespace trelvan::testing {

// A chain of n triangles with plain, distinguishable values: points P0..P(n+1) at
// (1000 + 10i, 2000 + 10i), sides 100 + k, azimuths typed at both ends and no
// orientation angle at B, so adjusted on the coordinate conditions with A oriented.
inline ChainState chainOf(int n) {
    ChainState s;
    s.N = static_cast<std::int16_t>(n);
    const auto points = static_cast<std::size_t>(n) + 2, sides = 2 * static_cast<std::size_t>(n) + 2;
    s.pointX.assign(points, 0.0);
    s.pointY.assign(points, 0.0);
    s.pointName.assign(points, "");
    s.side.assign(sides, 0.0);
    s.observedSide.assign(sides, 0.0);
    for (std::size_t i = 0; i < points; ++i) {
        s.pointName[i] = "P" + std::to_string(i);
        s.pointX[i] = 1000.0 + 10.0 * static_cast<double>(i);
        s.pointY[i] = 2000.0 + 10.0 * static_cast<double>(i);
    }
    for (std::size_t k = 1; k < sides; ++k) s.observedSide[k] = s.side[k] = 100.0 + static_cast<double>(k);
    s.Xa = 1000.0, s.Ya = 2000.0, s.Xb = 1100.0, s.Yb = 2100.0;
    s.taEntered = 45.3, s.tbEntered = 120.1;
    s.orientedAtA = true;
    return s;
}

}  // namespace trelvan::testing
