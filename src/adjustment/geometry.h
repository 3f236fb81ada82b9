#pragma once
// Pieces shared by the triangle solution and the two propagations along the azimuth
// route (observed sides first, adjusted sides at the end).

#include <cmath>
#include <utility>

#include "state/constants.h"

namespace trelvan::geometry {

// The angle, in degrees between 0 and 180, whose cosine is x (|x| < 1), formed
// through the arctangent: arctan(√(1 − x²) / x), plus 180 for an obtuse angle.
// A right angle (x exactly 0) is exactly 90 degrees.
inline double angleFromCosine(double x) {
    if (x == 0) return 90.0;
    double angle = std::atan(std::sqrt(1 - x * x) / x) / degToRad;
    if (x < 0) angle += 180;
    return angle;
}

// One correction of a full turn each way, never more: first down, then up.
inline double reduceDownThenUp(double azimuth) {
    if (azimuth >= 360) azimuth -= 360;
    if (azimuth < 0) azimuth += 360;
    return azimuth;
}

// The same with the two corrections the other way round: first up, then down.
// Used where the route turns at point 1 and the sum tends to fall below zero.
inline double reduceUpThenDown(double azimuth) {
    if (azimuth < 0) azimuth += 360;
    if (azimuth >= 360) azimuth -= 360;
    return azimuth;
}

// Cosine of the law of cosines for the angle between sides p and q, opposite r.
inline double cosineBetween(double p, double q, double r) {
    return (p * p + q * q - r * r) / (2 * p * q);
}

// True for a fan: triangle i turns about the same vertex as triangle i−1, because
// both even sides lie on the same side of the route.
template <class Signs>
inline bool isFan(const Signs& sideSign, int i) {
    return sideSign[i] == sideSign[i - 1];
}

// Point k as the end of its own route side S(2k−1), of length `routeSide` at the
// carried azimuth `azimuthDegrees`. Where triangle k turned about the same vertex as
// triangle k−1, the provisional coordinates at index k repeat that pivot, and the
// point lies out along S(2k−1) from it. The azimuth is used as the propagation
// carried it: recomputing it with a zigzag's +180 would mirror the point through
// the pivot.
template <class Coordinates>
inline std::pair<double, double> ownRouteSideEnd(const Coordinates& x, const Coordinates& y, int k,
                                                 double routeSide, double azimuthDegrees) {
    if (x[k] != x[k - 1] || y[k] != y[k - 1]) return {x[k], y[k]};
    const double a = azimuthDegrees * degToRad;
    return {x[k - 1] + routeSide * std::cos(a), y[k - 1] + routeSide * std::sin(a)};
}

}  // namespace trelvan::geometry
