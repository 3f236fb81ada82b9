#pragma once
// Units and conventions, stated once.
//
// Coordinates: X is the north coordinate (纵座标), Y the east coordinate (横座标),
// in metres. Azimuths run clockwise from +X, so a step of length d along azimuth a
// adds d·cos a to X and d·sin a to Y.
//
// Angles: every working angle is in decimal degrees, in double precision. Radians
// occur only at the trigonometric calls: an angle is multiplied by degToRad before
// sin/cos, an arctangent is divided by degToRad. Angles typed by the operator are
// packed degrees.minutes-seconds (see packed_angle.h).
//
// pi is the ten-decimal value 3.1415926535, not full-precision π. Every conversion
// between degrees and radians uses it, and the published figures depend on it
// (a direction exactly north-east comes out as 45.00000000128619 degrees).

#include <cstdint>

namespace trelvan {

inline constexpr double pi = 3.1415926535;
inline constexpr std::int32_t rho = 206265;  // seconds of arc per radian
inline constexpr double degToRad = pi / 180.0;

inline constexpr double secondsPerDegree = 3600.0;

// The largest chain: 2N+2 must fit a 16-bit signed integer.
inline constexpr int maxTriangles = 16382;

// A reply longer than this many bytes is refused whole.
inline constexpr std::size_t maxReplyBytes = 65536;

// The program's title: window caption, input boxes, report title.
inline constexpr const char* programTitle = "Trelvan";

}  // namespace trelvan
