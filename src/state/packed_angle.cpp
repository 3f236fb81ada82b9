#include "state/packed_angle.h"

#include <cmath>

namespace trelvan {

double packedToDegrees(double a) {
    const double degrees = std::trunc(a);
    const double minutesWhole = std::trunc(100.0 * a);
    return degrees + (minutesWhole - 100.0 * degrees) / 60.0 +
           (10000.0 * a - 100.0 * minutesWhole) / 3600.0;
}

int signOf(double x) { return (x > 0) - (x < 0); }

double signedPackedToDegrees(double a) { return signOf(a) * packedToDegrees(std::fabs(a)); }

}  // namespace trelvan
