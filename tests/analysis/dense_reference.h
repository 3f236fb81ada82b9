#pragma once
// An independent, plain and slow reference for the precision analysis: the chain is
// walked again in long double, every derivative is a central difference of that walk
// (with Richardson's extrapolation), and every figure comes from dense matrices.
//
// Conventions it shares with the adjustment, because they define the figures: a
// second of arc is 1/rho radian (rho = 206265) wherever an angle meets a length, and
// the azimuth condition counts the closing azimuth's turn times rho; the conditions
// for X and Y describe the known point B as held rigidly to the end of the chain.
// The rows also take the angle at A outside the chain as a right angle formed with
// the ten-decimal pi: its cosine, about 4.5e-11, turns the chain about A by that many
// radians per metre of S1 whenever Qa was measured. And the propagation brings every
// azimuth into 0..360° by a whole turn of that pi, 2·3.1415926535 rad, which turns
// the direction by 1.8e-10 rad each time: after a few hundred triangles the
// provisional points have moved by millimetres, and the walk makes the same turns.

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "state/constants.h"
#include "state/weight_model.h"

namespace trelvan::testing {

using Real = long double;

// What the operator typed, as the program converts it.
struct Observations {
    int n = 0;
    double Xa = 0, Ya = 0, Xb = 0, Yb = 0;
    double Ta = 0, Qa = 0, Qb = 0;        // degrees; Qa, Qb signed, 0 = not measured
    bool azimuthCondition = false;        // a closing azimuth and Qb both given
    std::vector<int> sign;                // 1..N: the even sides' side of the route
    std::vector<double> side;             // 1..2N+1, positive, m
    float tolerance = 0;                  // Mb, seconds
    // The instrument's stated accuracy, when the chain is weighted by it; otherwise
    // every side is weighted by the mean side.
    std::optional<WeightModel> instrument;
};

struct Dense {
    int n = 0, m = 0, c = 0;               // triangles, observations, conditions
    std::vector<Real> q;                   // cofactors: s² for angles, m² for sides
    std::vector<std::vector<Real>> A;      // c × m condition rows
    std::vector<std::vector<Real>> Ninv;   // (A Q Aᵀ)⁻¹
    std::vector<std::vector<Real>> N;      // A Q Aᵀ
    std::vector<std::vector<Real>> G;      // 2N × m: X and Y of points 1..N
    std::vector<Real> v;                   // corrections: s for angles, m for sides
    std::vector<Real> qvv;                 // diagonal of Q Aᵀ N⁻¹ A Q
    std::vector<std::array<Real, 3>> Qp;   // xx, xy, yy of points 0..N+1, m²
    Real pvv = 0;
};

namespace reference {

inline int signOf(double x) { return (x > 0) - (x < 0); }

// The end of the chain as the walk carries it: the carried B and the azimuth of the
// last route side; and the whole turns the walk without changes took off each azimuth.
struct End {
    Real x = 0, y = 0, azimuth = 0;
    std::vector<int> turns;
};

// The chain walked from A in a frame with A at the origin. `delta` holds a change of
// every observation: seconds for Qa and Qb (of their magnitudes), metres for sides.
// Returns X, Y of points 1..N, of the known B held rigidly to the end of the chain
// (which the walk without changes ends at `base`), and rho times the closing
// azimuth. `end` receives the end of this walk.
inline std::vector<Real> walk(const Observations& o, const std::vector<Real>& delta, const End& base,
                              End* end = nullptr) {
    const int n = o.n;
    const Real toRad = static_cast<Real>(degToRad);
    const Real halfTurn = 180 * toRad;  // the program's 180° in radians
    const Real r = rho;
    auto S = [&](int k) { return static_cast<Real>(o.side[k]) + delta[k]; };
    std::vector<Real> az(n + 2), px(n + 2), py(n + 2);
    std::vector<int> turns(n + 2, 0);
    // A whole turn off azimuth k: decided by the walk without changes, repeated by
    // every other walk, so that a small change never jumps by 1.8e-10 rad.
    const auto bringIntoCircle = [&](int k, bool upFirst) {
        int t = 0;
        if (end && base.turns.empty()) {
            const Real circle = 2 * halfTurn;
            Real value = az[k];
            if (upFirst && value < 0) value += circle, ++t;
            if (value >= circle) value -= circle, --t;
            if (!upFirst && value < 0) value += circle, ++t;
        } else {
            t = base.turns[k];
        }
        turns[k] = t;
        az[k] += t * 2 * halfTurn;
    };
    az[1] = (static_cast<Real>(o.Ta) + static_cast<Real>(o.Qa)) * toRad + signOf(o.Qa) * delta[0] / r -
            signOf(o.Qa) * static_cast<Real>(std::cos(90 * degToRad)) * delta[1];
    bringIntoCircle(1, false);
    for (int i = 1; i <= n; ++i) {
        const Real a = S(2 * i - 1), b = S(2 * i), c = S(2 * i + 1);
        const Real beta = std::acos((a * a + c * c - b * b) / (2 * a * c));
        const bool fan = i >= 2 && o.sign[i] == o.sign[i - 1];
        az[i + 1] = az[i] + o.sign[i] * beta + (i == 1 ? -halfTurn : fan ? 0 : halfTurn);
        bringIntoCircle(i + 1, i == 1);
    }
    // Point k ends route side S(2k−1), which leaves the turning vertex of triangle k−1.
    Real tx = 0, ty = 0;
    for (int k = 1; k <= n + 1; ++k) {
        px[k] = tx + S(2 * k - 1) * std::cos(az[k]);
        py[k] = ty + S(2 * k - 1) * std::sin(az[k]);
        const bool fan = k >= 2 && k <= n && o.sign[k] == o.sign[k - 1];
        if (!fan) tx = px[k], ty = py[k];
    }
    if (end) *end = {px[n + 1], py[n + 1], az[n + 1], turns};
    std::vector<Real> out;
    for (int k = 1; k <= n; ++k) out.push_back(px[k]), out.push_back(py[k]);
    const Real lx = static_cast<Real>(o.Xb) - o.Xa - base.x, ly = static_cast<Real>(o.Yb) - o.Ya - base.y;
    const Real turn = az[n + 1] - base.azimuth;
    out.push_back(px[n + 1] + lx * std::cos(turn) - ly * std::sin(turn));
    out.push_back(py[n + 1] + lx * std::sin(turn) + ly * std::cos(turn));
    out.push_back(r * (az[n + 1] + signOf(o.Qb) * delta[2 * n + 2] / r));
    return out;
}

// The derivatives of the walk with respect to every observation, [observation][value].
inline std::vector<std::vector<Real>> derivatives(const Observations& o) {
    const int m = 2 * o.n + 3;
    std::vector<Real> zero(m, 0);
    End base, first;
    walk(o, zero, first, &base);
    std::vector<std::vector<Real>> d(m);
    for (int j = 0; j < m; ++j) {
        const bool angle = j == 0 || j == m - 1;
        const Real h = angle ? 10 : 0.5;  // seconds, metres
        auto at = [&](Real step) {
            std::vector<Real> nudged = zero;
            nudged[j] = step;
            return walk(o, nudged, base);
        };
        const auto p1 = at(h), m1 = at(-h), p2 = at(2 * h), m2 = at(-2 * h);
        d[j].resize(p1.size());
        for (std::size_t k = 0; k < p1.size(); ++k)
            d[j][k] = (8 * (p1[k] - m1[k]) - (p2[k] - m2[k])) / (12 * h);
    }
    return d;
}

// Solves the small symmetric system by Gauss–Jordan elimination with pivoting.
inline std::vector<std::vector<Real>> inverse(std::vector<std::vector<Real>> a) {
    const int n = static_cast<int>(a.size());
    std::vector<std::vector<Real>> inv(n, std::vector<Real>(n, 0));
    for (int i = 0; i < n; ++i) inv[i][i] = 1;
    for (int col = 0; col < n; ++col) {
        int pivot = col;
        for (int r = col + 1; r < n; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        std::swap(a[col], a[pivot]);
        std::swap(inv[col], inv[pivot]);
        const Real p = a[col][col];
        for (int k = 0; k < n; ++k) a[col][k] /= p, inv[col][k] /= p;
        for (int r = 0; r < n; ++r) {
            if (r == col) continue;
            const Real f = a[r][col];
            for (int k = 0; k < n; ++k) a[r][k] -= f * a[col][k], inv[r][k] -= f * inv[col][k];
        }
    }
    return inv;
}

}  // namespace reference

// The dense model of the chain, and its solution for the misclosures `w` (w(1) in
// seconds, w(2), w(3) in metres, as the record stores them).
inline Dense denseReference(const Observations& o, const std::array<float, 4>& w) {
    Dense d;
    d.n = o.n;
    d.m = 2 * o.n + 3;
    d.c = o.azimuthCondition ? 3 : 2;
    const auto der = reference::derivatives(o);
    const int values = 2 * o.n;  // then B's X, Y, and the closing azimuth

    Real mean = 0;
    for (int k = 1; k <= 2 * o.n + 1; ++k) mean += o.side[k];
    mean /= 2 * o.n + 1;
    const Real sideQ = (mean / rho) * (mean / rho);  // (1000·mean/rho)² mm², in m²
    d.q.assign(d.m, sideQ);
    d.q[0] = d.q[d.m - 1] = 1;
    if (o.instrument) {
        // σ in millimetres from the length in kilometres; the cofactor in m², s².
        const Real a = o.instrument->a, b = o.instrument->b, sq = o.instrument->sigmaQ;
        const bool quadrature = o.instrument->combine == WeightModel::Combine::Quadrature;
        for (int k = 1; k <= 2 * o.n + 1; ++k) {
            const Real bd = b * static_cast<Real>(o.side[k]) / 1000;
            const Real sigma = quadrature ? std::sqrt(a * a + bd * bd) : a + bd;
            d.q[k] = sigma * sigma / 1e6L;
        }
        d.q[0] = d.q[d.m - 1] = sq * sq;
    }

    std::vector<int> rows;
    if (o.azimuthCondition) rows.push_back(values + 2);
    rows.push_back(values);
    rows.push_back(values + 1);
    d.A.assign(d.c, std::vector<Real>(d.m));
    for (int r = 0; r < d.c; ++r)
        for (int j = 0; j < d.m; ++j) d.A[r][j] = der[j][rows[r]];
    d.G.assign(2 * o.n, std::vector<Real>(d.m));
    for (int k = 0; k < 2 * o.n; ++k)
        for (int j = 0; j < d.m; ++j) d.G[k][j] = der[j][k];

    d.N.assign(d.c, std::vector<Real>(d.c, 0));
    for (int r = 0; r < d.c; ++r)
        for (int s = 0; s < d.c; ++s)
            for (int j = 0; j < d.m; ++j) d.N[r][s] += d.A[r][j] * d.q[j] * d.A[s][j];
    d.Ninv = reference::inverse(d.N);

    // k = −N⁻¹ w, v = Q Aᵀ k.
    std::vector<Real> wv;
    if (o.azimuthCondition) wv.push_back(w[1]);
    wv.push_back(w[2]);
    wv.push_back(w[3]);
    std::vector<Real> k(d.c, 0);
    for (int r = 0; r < d.c; ++r)
        for (int s = 0; s < d.c; ++s) k[r] -= d.Ninv[r][s] * wv[s];
    d.v.assign(d.m, 0);
    d.qvv.assign(d.m, 0);
    for (int j = 0; j < d.m; ++j) {
        for (int r = 0; r < d.c; ++r) d.v[j] += d.q[j] * d.A[r][j] * k[r];
        for (int r = 0; r < d.c; ++r)
            for (int s = 0; s < d.c; ++s)
                d.qvv[j] += d.q[j] * d.A[r][j] * d.Ninv[r][s] * d.A[s][j] * d.q[j];
        d.pvv += d.v[j] * d.v[j] / d.q[j];
    }

    // Qp = F Q Fᵀ with F = G − (A Q Gᵀ)ᵀ N⁻¹ A, the rates of the adjusted point.
    d.Qp.assign(o.n + 2, {0, 0, 0});
    for (int p = 1; p <= o.n; ++p) {
        std::vector<Real> f[2];
        for (int axis = 0; axis < 2; ++axis) {
            const auto& g = d.G[2 * (p - 1) + axis];
            std::vector<Real> aqg(d.c, 0);
            for (int r = 0; r < d.c; ++r)
                for (int j = 0; j < d.m; ++j) aqg[r] += d.A[r][j] * d.q[j] * g[j];
            f[axis] = g;
            for (int r = 0; r < d.c; ++r)
                for (int s = 0; s < d.c; ++s)
                    for (int j = 0; j < d.m; ++j) f[axis][j] -= aqg[r] * d.Ninv[r][s] * d.A[s][j];
        }
        auto& out = d.Qp[p];
        for (int j = 0; j < d.m; ++j) {
            out[0] += f[0][j] * d.q[j] * f[0][j];
            out[1] += f[0][j] * d.q[j] * f[1][j];
            out[2] += f[1][j] * d.q[j] * f[1][j];
        }
    }
    return d;
}

}  // namespace trelvan::testing
