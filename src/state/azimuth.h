#pragma once
// The azimuth from a station to an external direction point.

namespace trelvan {

// Azimuth in decimal degrees, clockwise from north (+X), from the station (x, y) to
// the direction point (xp, yp), normally in [0, 360). It is the arcsine of ΔY/D,
// taken through an arctangent and turned into its quadrant, with the ten-decimal
// pi: due north-east gives 45.00000000128619. The axis directions are exact: due
// north 0, due east 90, due south 180, due west 270, and the station itself 270.
double azimuthTo(double x, double y, double xp, double yp);

}  // namespace trelvan
