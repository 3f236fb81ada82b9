#pragma once
// What a completed adjustment keeps of itself: the linearised model it solved and
// its solution, so that the precision of every point, side and observation can be
// derived afterwards from exactly the same conditions, weights and corrections.

#include <array>
#include <cstdint>
#include <vector>

#include "state/weight_model.h"

namespace trelvan {

// Indices follow the chain numbering of ChainState: points 0..N+1, observations
// 0 = Qa, 1..2N+1 the sides, 2N+2 = Qb.
struct AdjustmentRecord {
    // The angle tolerance Mb as typed (seconds). The record's mb holds the unit-weight
    // error after the adjustment, so the typed value is kept here.
    float typedTolerance = 0;
    // How the observations were weighted.
    WeightModel weights;
    // The reciprocal weight of a side of the mean length in square millimetres,
    // relative to an angle of one second of unit weight: (1000·meanSide/rho)² by the
    // mean side, the square of the instrument's standard error at that length.
    double sideCofactor = 0;
    // The reciprocal weight of every observation, 0..2N+2: square seconds for the
    // orientation angles, square millimetres for the sides.
    std::vector<double> cofactor;

    std::vector<std::int16_t> sideSign;  // 0..N+1: sign of Qa, of each even side, of Qb
    // The provisional turning vertices as carried from A with the observed sides
    // (index N+1: B as carried), before any point was moved off a repeated vertex.
    std::vector<double> pointX, pointY;  // 0..N+1, m
    std::vector<double> routeAzimuth;    // 0..N+2, degrees, as carried with the observed sides
    std::vector<double> altitude;        // 0..N+1, m, with the guard entries 0 and N+1
    // cos alpha(i) / altitude(i) and cos gamma(i) / altitude(i): how fast the turning
    // angle of triangle i shrinks per metre of S(2i+1) and of S(2i−1).
    std::vector<double> cosA, cosG;      // 0..N+1, 1/m

    // The condition rows as the normal equations used them: [1] azimuth (seconds),
    // [2] X and [3] Y of B (metres); row 1 is all zero without the azimuth condition.
    std::array<std::vector<double>, 4> conditionCoef;
    // A Q Aᵀ of rows 1..3, with a side's cofactor in square metres.
    std::array<std::array<double, 4>, 4> normal{};
    std::vector<double> correction;      // 0..2N+2: Qa, Qb seconds; sides metres
    double pvv = 0;                      // [pvv] in square seconds, as mb was formed from it
};

}  // namespace trelvan
