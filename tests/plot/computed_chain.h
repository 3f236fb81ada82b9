#pragma once
// Chains for the plot's tests, computed by the real Compute action. A chain is
// built forward on the ground from random sides and turning angles, zigzagging
// with some fans, and typed as the operator would type it; the record the action
// completes is what the plot draws. Signs and made-up ellipses come with it.

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "adjustment/compute.h"
#include "plot/plot.h"
#include "state/chain_state.h"
#include "state/number_format.h"
#include "support/scripted.h"

namespace trelvan::testing {

struct ComputedChain {
    ChainState record;
    std::vector<std::int16_t> sideSign;             // 0..N+1, 1..N the even sides' signs
    std::vector<plot::PointPrecision> precision;    // 0..N+1
    ComputeOutcome outcome = ComputeOutcome::Failed;

    plot::PlotSource source() const { return {record, sideSign, precision}; }
};

// Runs the Compute action on the replies; each listing pause is answered by the
// end of the input.
inline ComputeOutcome runReplies(ChainState& record, const std::vector<std::string>& replies) {
    Harness h;
    for (const std::string& r : replies) h.prompter.add(r);
    return Command1_Click(record, h.prompter, h.boxes, h.messages);
}

// A value reply followed by Enter at its confirmation.
inline void typed(std::vector<std::string>& replies, double value) {
    replies.push_back(generalNumber(value));
    replies.push_back("");
}

// Ellipses that grow towards the middle of the chain, turning along it; A and B,
// being fixed, have none.
inline std::vector<plot::PointPrecision> madeUpEllipses(int n) {
    std::vector<plot::PointPrecision> p(static_cast<std::size_t>(n) + 2);
    for (int i = 1; i <= n; ++i) {
        const double e = 1.5 + 2 * std::sqrt(std::min(i, n + 1 - i));
        const double f = 0.4 * e + 0.3;
        p[static_cast<std::size_t>(i)] = {0.8 * e, 0.7 * f, e, f, std::fmod(41.0 * i, 180.0)};
    }
    return p;
}

// A chain of n triangles from A near a national-grid point, S1 north (neither end
// oriented), sides of 0.6–1.4 km, turning angles of 40–140°, a fan with the given
// chance (never more than two in a row). Names are "P<i>", A and B "A" and "B",
// unless `names` gives them.
inline ComputedChain computeChain(int n, std::uint64_t seed, double fanChance = 0.2,
                                  std::vector<std::string> names = {}) {
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> length(600, 1400), turn(40, 140), chance(0, 1);
    struct Point { double x, y; };
    const auto distance = [](Point p, Point q) { return std::hypot(q.x - p.x, q.y - p.y); };
    const auto step = [](Point from, double azimuth, double d) {
        const double a = azimuth * std::numbers::pi / 180;
        return Point{from.x + d * std::cos(a), from.y + d * std::sin(a)};
    };

    ComputedChain c;
    c.sideSign.assign(static_cast<std::size_t>(n) + 2, 0);
    std::vector<double> side(2 * static_cast<std::size_t>(n) + 2);
    std::vector<Point> point(static_cast<std::size_t>(n) + 2), turnAt(static_cast<std::size_t>(n) + 1);
    point[0] = {3456000.0, 512000.0};
    side[1] = length(random);
    double azimuth = 0;  // of S1
    point[1] = step(point[0], azimuth, side[1]);
    turnAt[0] = point[0];
    int fansInARow = 0;
    for (int i = 1; i <= n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const bool fan = i >= 2 && fansInARow < 2 && chance(random) < fanChance;
        fansInARow = fan ? fansInARow + 1 : 0;
        const std::int16_t previous = i >= 2 ? c.sideSign[k - 1] : 1;
        c.sideSign[k] = static_cast<std::int16_t>(i == 1 ? (chance(random) < 0.5 ? 1 : -1)
                                                         : fan ? previous : -previous);
        // Triangle i turns at point i, or in a fan about the previous turning vertex,
        // by ±beta from the route side it arrived on (from its end, reversed).
        turnAt[k] = fan ? turnAt[k - 1] : point[k];
        azimuth += c.sideSign[k] * turn(random) + (fan ? 0 : 180);
        side[2 * k + 1] = length(random);
        point[k + 1] = step(turnAt[k], azimuth, side[2 * k + 1]);
        side[2 * k] = distance(fan ? point[k] : turnAt[k - 1], point[k + 1]);
    }

    std::vector<std::string> r;
    typed(r, n);
    const Point b = point[static_cast<std::size_t>(n) + 1];
    for (double v : {point[0].x, point[0].y, roundHalfEven(b.x, 3), roundHalfEven(b.y, 3)}) typed(r, v);
    for (int i = 0; i < 4; ++i) typed(r, 0);  // no direction points
    typed(r, 0);                             // Ta: none
    typed(r, 0);                             // Tb: none
    typed(r, 0);                             // Qa
    typed(r, 0);                             // Qb
    r.push_back("2.5");
    for (int i = 0; i <= n + 1; ++i) {
        const auto k = static_cast<std::size_t>(i);
        r.push_back(k < names.size() ? names[k] : i == 0 ? "A" : i == n + 1 ? "B" : "P" + std::to_string(i));
    }
    for (int k = 1; k <= 2 * n + 1; ++k) {
        const double s = roundHalfEven(side[static_cast<std::size_t>(k)], 4);
        typed(r, k % 2 == 0 && c.sideSign[static_cast<std::size_t>(k / 2)] < 0 ? -s : s);
    }
    c.outcome = runReplies(c.record, r);
    c.precision = madeUpEllipses(n);
    return c;
}

}  // namespace trelvan::testing
