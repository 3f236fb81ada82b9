#pragma once
// Packed angles: the operator types every angle as degrees.minutes-seconds,
// 123.4530 meaning 123° 45′ 30″.

namespace trelvan {

// Converts a non-negative packed angle to decimal degrees, on the value exactly as
// stored, truncating toward zero:
//   Fix(a) + (Fix(100a) − 100·Fix(a))/60 + (10000a − 100·Fix(100a))/3600
// 0.29 gives 0.49444… (100·0.29 is a little under 29: 28 minutes and 100 seconds).
double packedToDegrees(double a);

// Signed form for orientation angles: the sign of the typed value (−1, 0, +1) times
// the conversion of its absolute value.
double signedPackedToDegrees(double a);

int signOf(double x);

}  // namespace trelvan
