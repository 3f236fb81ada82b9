#include "state/azimuth.h"

#include <algorithm>
#include <cmath>

#include "state/constants.h"

namespace trelvan {

double azimuthTo(double x, double y, double xp, double yp) {
    double dx = xp - x;
    double dy = yp - y;
    if (dx == 0) return dy > 0 ? 90.0 : 270.0;
    if (dy == 0) return dx < 0 ? 180.0 : 0.0;

    // Differences that overflow, or whose squares overflow or vanish, are brought to
    // a workable scale first; the direction does not change. Coordinates of any real
    // survey never take this path.
    if (!std::isfinite(dx) || !std::isfinite(dy)) {
        dx = xp / 2 - x / 2;
        dy = yp / 2 - y / 2;
    }
    double d = std::sqrt(dx * dx + dy * dy);
    if (!(d > 0) || !std::isfinite(d)) {
        const double scale = std::max(std::fabs(dx), std::fabs(dy));
        dx /= scale;
        dy /= scale;
        d = std::sqrt(dx * dx + dy * dy);
    }

    const double t = dy / d;
    double alpha = std::atan(t / std::sqrt(1 - t * t)) / degToRad;  // −90 .. +90
    if (dx < 0) {
        alpha = 180 - alpha;
    } else if (dy < 0) {
        alpha += 360;
    }
    return alpha;
}

}  // namespace trelvan
