#pragma once
// Packed angles: the operator types every angle as degrees.minutes-seconds,
// 123.4530 meaning 123° 45′ 30″.

namespace trelvan {

// Converts a non-negative packed angle to decimal degrees, on the value as stored:
//   Fix(a) + (M − 100·Fix(a))/60 + (10000a − 100·M)/3600
// where M is the whole number of hundredths, Fix(100a), except that 100a lying at
// most 1e-7 below a whole number m counts as m. So 0.29, stored as 0.28999999…,
// reads 0°29′ exactly as typed and not 0°28′100″; 123.4530 reads 123.758333….
double packedToDegrees(double a);

// Signed form for orientation angles: the sign of the typed value (−1, 0, +1) times
// the conversion of its absolute value.
double signedPackedToDegrees(double a);

int signOf(double x);

}  // namespace trelvan
