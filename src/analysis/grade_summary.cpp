// The figures an inspector sets against the grade tables of the survey standard:
// how many triangles, how long the sides, how sharp the sharpest angle, how weak the
// weakest side and point.

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "analysis/chain_precision.h"
#include "state/constants.h"

namespace trelvan::analysis {

namespace {

// The angle opposite side a of a triangle with sides a, b and c, in degrees, by the
// cosine rule. The adjusted sides of a completed computation close every triangle;
// a cosine rounded a hair past ±1 is taken as ±1.
double angleOpposite(double a, double b, double c) {
    const double cosine = (b * b + c * c - a * a) / (2 * b * c);
    return std::acos(std::clamp(cosine, -1.0, 1.0)) / degToRad;
}

}  // namespace

GradeSummary gradeSummary(const ChainState& record, const ChainPrecision& precision) {
    GradeSummary s;
    const int n = record.N;
    s.triangles = n;
    const auto side = [&record](int k) { return std::fabs(record.side[static_cast<std::size_t>(k)]); };

    double sum = 0;
    for (int k = 1; k <= 2 * n + 1; ++k) {
        sum += side(k);
        if (side(k) < side(s.shortestSide)) s.shortestSide = k;
        if (side(k) > side(s.longestSide)) s.longestSide = k;
    }
    s.meanSide = sum / (2 * n + 1);

    s.smallestAngle = 180;
    for (int i = 1; i <= n; ++i) {
        const double a = side(2 * i - 1), b = side(2 * i), c = side(2 * i + 1);
        const double smallest = std::min({angleOpposite(a, b, c), angleOpposite(b, c, a), angleOpposite(c, a, b)});
        if (smallest < s.smallestAngle) {
            s.smallestAngle = smallest;
            s.smallestAngleTriangle = i;
        }
    }

    s.weakestSideRelative = precision.observations[static_cast<std::size_t>(precision.weakestSide)].relative;
    s.largestMpPoint = precision.weakestPoint;
    s.largestMp = precision.points[static_cast<std::size_t>(precision.weakestPoint)].mp;
    return s;
}

}  // namespace trelvan::analysis
