#include "state/packed_angle.h"

#include <cmath>

namespace trelvan {

double packedToDegrees(double a) {
    const double degrees = std::trunc(a);
    // A whole-minute value such as 0.29 is stored a hair below 29 hundredths; the
    // plain Fix would read 28 minutes and 100 seconds. Within 1e-7 of the next whole
    // number the operator meant that number. A value with seconds (under 60″, so
    // at most .6 of a hundredth) never comes that close, and reads as before.
    const double hundredths = 100.0 * a;
    const double above = std::ceil(hundredths);
    const double minutesWhole = above - hundredths <= 1e-7 ? above : std::trunc(hundredths);
    return degrees + (minutesWhole - 100.0 * degrees) / 60.0 +
           (10000.0 * a - 100.0 * minutesWhole) / 3600.0;
}

int signOf(double x) { return (x > 0) - (x < 0); }

double signedPackedToDegrees(double a) { return signOf(a) * packedToDegrees(std::fabs(a)); }

}  // namespace trelvan
