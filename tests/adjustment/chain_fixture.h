#pragma once
// Chains for the adjustment tests, built from the true coordinates of their points.
// The sides are the exact distances, so the observed chain closes on B, and a test
// can disturb sides or B afterwards to make misclosures.

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "adjustment/stages.h"
#include "state/chain_state.h"
#include "state/constants.h"

namespace trelvan::testing {

struct Point {
    double x, y;  // X north, Y east, metres
};

inline double azimuthDegrees(Point from, Point to) {
    double a = std::atan2(to.y - from.y, to.x - from.x) / degToRad;
    return a < 0 ? a + 360 : a;
}

inline double distance(Point p, Point q) { return std::hypot(q.x - p.x, q.y - p.y); }

struct Chain {
    ChainState state;
    RunValues run;
};

// points: A, the unknown points in route order, B. signs: sideSign(1..N), which fix
// where the route turns (a fan where two consecutive signs agree). qa, qb: signed
// orientation angles in degrees (0 = none); Ta is chosen so that S1 points at P1, and
// Tb (when wanted) so that the chain closes on it.
inline Chain makeChain(const std::vector<Point>& p, const std::vector<int>& signs, double qa = 0,
                       double qb = 0, bool closingAzimuth = false) {
    Chain c;
    const int n = static_cast<int>(signs.size());
    sizeArrays(c.state, c.run, static_cast<std::int16_t>(n));
    auto& s = c.state;
    s.Xa = p[0].x, s.Ya = p[0].y, s.Xb = p[n + 1].x, s.Yb = p[n + 1].y;
    s.mb = 6.0f;
    for (int i = 0; i <= n + 1; ++i) s.pointName[i] = "P" + std::to_string(i);

    auto& r = c.run;
    r.sideSign[0] = static_cast<std::int16_t>((qa > 0) - (qa < 0));
    r.sideSign[n + 1] = static_cast<std::int16_t>((qb > 0) - (qb < 0));
    for (int i = 1; i <= n; ++i) r.sideSign[i] = static_cast<std::int16_t>(signs[i - 1]);

    // Turning vertices: point 1 for triangle 1; point i in a zigzag, the previous
    // turning vertex in a fan.
    std::vector<Point> turn(n + 1);
    turn[0] = p[0];
    turn[1] = p[1];
    for (int i = 2; i <= n; ++i) turn[i] = signs[i - 1] == signs[i - 2] ? turn[i - 1] : p[i];
    for (int i = 1; i <= n + 1; ++i) s.side[2 * i - 1] = distance(turn[i - 1], p[i]);
    for (int i = 1; i <= n; ++i) {
        const bool fan = i >= 2 && signs[i - 1] == signs[i - 2];
        s.side[2 * i] = distance(fan ? p[i] : turn[i - 1], p[i + 1]);
    }

    r.Qa = qa;
    r.Qb = qb;
    r.Ta = azimuthDegrees(p[0], p[1]) - qa;
    if (r.Ta < 0) r.Ta += 360;
    if (closingAzimuth) {
        r.Tb = azimuthDegrees(turn[n], p[n + 1]) + qb - 180;
        if (r.Tb < 0) r.Tb += 360;
        if (r.Tb >= 360) r.Tb -= 360;
    }
    return c;
}

// The worked zigzag chain: S2 and S6 right of the route, S4 left.
inline std::vector<Point> workedExample() {
    return {{0, 0}, {900, 500}, {0, 1000}, {1000, 1600}, {50, 2100}};
}

// The chain turned clockwise about A. Test chains keep their route sides off north:
// with a ten-decimal pi a full turn is not exactly 2π, so a direction jumps by about
// 2e-10 rad where a small change carries its azimuth across 0/360.
inline std::vector<Point> turned(std::vector<Point> p, double degrees) {
    const double c = std::cos(degrees * std::numbers::pi / 180);
    const double s = std::sin(degrees * std::numbers::pi / 180);
    for (auto& q : p) q = {p[0].x + (q.x - p[0].x) * c - (q.y - p[0].y) * s,
                           p[0].y + (q.x - p[0].x) * s + (q.y - p[0].y) * c};
    return p;
}

// A chain whose weakest point (point 3) lies after two fans about point 1, with an
// obtuse turn at point 4. Signs (−1, −1, −1, +1, −1).
inline std::vector<Point> fanChain() {
    const double h = 500 * std::numbers::sqrt3;
    return turned({{0, 0}, {800, 600}, {800 - h, 1100}, {800, 1600}, {800 + h, 1100},
                   {1800 + h, 1100}, {1300 + h, 1100 + h}},
                  7);
}
inline const std::vector<int> fanSigns{-1, -1, -1, +1, -1};

// Point 2 as the first spoke of a fan about point 1. Signs (+1, +1, −1).
inline std::vector<Point> spokeChain() {
    return turned({{0, 0}, {1000, 0}, {1500, -866}, {2000, 0}, {2500, 866}}, 20);
}
inline const std::vector<int> spokeSigns{+1, +1, -1};

// The stages from the triangles to the precision figures.
template <class Boxes>
void adjust(Chain& c, Boxes& boxes) {
    solveTriangles(c.state, c.run);
    computeMisclosures(c.state, c.run, boxes);
    formConditions(c.state, c.run);
    solveNormals(c.state, c.run);
    assessPrecision(c.state, c.run, boxes);
}

}  // namespace trelvan::testing
