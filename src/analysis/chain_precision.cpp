// The precision of every point, side and observation of the adjusted chain.
//
// The adjustment solved v = Q Aᵀ k with k = −(A Q Aᵀ)⁻¹ w. With N = A Q Aᵀ:
//   - the cofactor of an adjusted point is Qp = G Q Gᵀ − (A Q Gᵀ)ᵀ N⁻¹ (A Q Gᵀ), where G
//     holds the rates at which the point's X and Y move per unit of each observation,
//     formed like the weight functions of the weakest point;
//   - the cofactor of a correction is Qvv = q² aᵀ N⁻¹ a, with a the observation's
//     column of A.
//
// Linear cost. Every column of G is the motion of a rigid part of the chain: lengthen
// a side (or turn an orientation angle) and everything beyond it translates and turns
// about a vertex, so the column at a target T is c + ω·perp(T − O) for some
// translation c, rate of turn ω and origin O. The sums Σ q·g·gᵀ and Σ q·a·gᵀ over a
// run of observations are therefore carried as a few moments of c and ω, point by
// point along the chain. The origin moves with the points, and the moments follow
// like the parallel-axis theorem, so national-grid coordinates are never squared:
// only differences of a few kilometres are.
//
// Sound numerics. Qp is a difference, and near B, which is fixed, it is far smaller
// than G Q Gᵀ seen from A. Adding any combination of the condition rows to G leaves
// Qp unchanged (the conditions take it straight back out). Subtracting the rows of
// B's X and Y, and turning by the azimuth row, describes the point from B instead:
// then the observations on A's side of the point only turn it about B (not at all
// when the closing azimuth holds it), and those on B's side move it as seen from B.
// Both descriptions are carried, one from each end, and each point takes the one
// with the smaller G Q Gᵀ, so every point is computed from the end it is closer to
// in precision and the difference keeps its digits.

#include "analysis/chain_precision.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>

#include "adjustment/geometry.h"
#include "state/constants.h"
#include "state/failure.h"
#include "state/units.h"

namespace trelvan::analysis {

namespace {

struct Vec2 {
    double x = 0, y = 0;
};
Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
Vec2 operator*(double s, Vec2 a) { return {s * a.x, s * a.y}; }

// A small turn ω about a centre C moves a point T by ω·perp(T − C) (X north, Y east,
// clockwise positive).
Vec2 perp(Vec2 d) { return {-d.y, d.x}; }

using Column = std::array<double, 3>;  // an observation's coefficients in the conditions used

// G Q Gᵀ (2 × 2, symmetric) and A Q Gᵀ (one 2-vector per condition) of one point.
struct Block {
    double xx = 0, xy = 0, yy = 0;
    std::array<Vec2, 3> w{};

    void add(double q, Vec2 g, const Column& a) {
        xx += q * g.x * g.x;
        xy += q * g.x * g.y;
        yy += q * g.y * g.y;
        for (int r = 0; r < 3; ++r) w[r] = w[r] + (q * a[r]) * g;
    }
    Block& operator+=(const Block& o) {
        xx += o.xx, xy += o.xy, yy += o.yy;
        for (int r = 0; r < 3; ++r) w[r] = w[r] + o.w[r];
        return *this;
    }
    double trace() const { return xx + yy; }
};

// Σ q·g·gᵀ and Σ q·a·gᵀ over observations whose columns of G are g(T) = c + rate·perp(T − O)
// about the current origin O.
class Moments {
public:
    void add(double q, Vec2 c, double rate, const Column& a) {
        sum_.add(q, c, a);
        m1_ = m1_ + (q * rate) * c;
        m2_ += q * rate * rate;
        for (int r = 0; r < 3; ++r) l_[r] += q * a[r] * rate;
    }
    // The origin moves by `shift`: every c becomes c + rate·perp(shift).
    void moveOrigin(Vec2 shift) {
        const Vec2 p = perp(shift);
        sum_.xx += 2 * m1_.x * p.x + m2_ * p.x * p.x;
        sum_.xy += m1_.x * p.y + m1_.y * p.x + m2_ * p.x * p.y;
        sum_.yy += 2 * m1_.y * p.y + m2_ * p.y * p.y;
        for (int r = 0; r < 3; ++r) sum_.w[r] = sum_.w[r] + l_[r] * p;
        m1_ = m1_ + m2_ * p;
    }
    // The sums at the target O + d.
    Block at(Vec2 d) const {
        Moments there = *this;
        there.moveOrigin(d);
        return there.sum_;
    }

private:
    Block sum_;             // Σ q c cᵀ and Σ q a c
    Vec2 m1_;               // Σ q·rate·c
    double m2_ = 0;         // Σ q·rate²
    std::array<double, 3> l_{};  // Σ q·a·rate
};

// How the part of the chain beyond an observation moves per unit of it: a
// translation and up to two turns about provisional points.
struct Motion {
    Vec2 shift;
    double rate1 = 0;
    int centre1 = 0;
    double rate2 = 0;
    int centre2 = 0;
    double rate() const { return rate1 + rate2; }
};

// The linearised model the adjustment solved, read from the record.
class Model {
public:
    explicit Model(const ChainState& record)
        : record_(record), kept_(record.adjustment), n_(record.N) {
        conditions_ = record.azimuthCondition ? 3 : 2;
        rows_ = record.azimuthCondition ? std::array<int, 3>{1, 2, 3} : std::array<int, 3>{2, 3, 0};
        // The cofactors the adjustment used, a side's from square millimetres to square
        // metres as the normal equations took it.
        cofactor_ = kept_.cofactor;
        for (int j = 1; j < lastObservation(); ++j) cofactor_[j] /= squareMillimetresPerSquareMetre;
        factorNormals();
    }

    int n() const { return n_; }
    int conditions() const { return conditions_; }
    int lastObservation() const { return 2 * n_ + 2; }
    int row(int condition) const { return rows_[condition]; }
    double normal(int condition) const { return kept_.normal[rows_[condition]][rows_[condition]]; }

    // Reciprocal weight: an orientation angle in s², a side in m².
    double cofactor(int j) const { return cofactor_[j]; }
    Column column(int j) const {
        Column a{};
        for (int r = 0; r < conditions_; ++r) a[r] = kept_.conditionCoef[rows_[r]][j];
        return a;
    }
    // How fast observation j turns the closing azimuth, in radians per unit: row 1
    // over rho. Zero without the azimuth condition.
    double azimuthRate(int j) const {
        return conditions_ == 3 ? kept_.conditionCoef[1][j] / rho : 0.0;
    }

    Vec2 vertex(int i) const { return {kept_.pointX[i], kept_.pointY[i]}; }
    Vec2 knownB() const { return {record_.Xb, record_.Yb}; }
    // Point p at the end of its own route side, as the weight functions take it.
    Vec2 target(int p) const {
        const auto [x, y] = geometry::ownRouteSideEnd(kept_.pointX, kept_.pointY, p,
                                                      record_.observedSide[2 * p - 1],
                                                      kept_.routeAzimuth[p]);
        return {x, y};
    }

    // The motion of everything beyond observation j, per unit of j. The orientation
    // angle at A turns the whole chain about A; a route side S(2i−1) carries what lies
    // beyond along itself (unless the route fans about its start) and changes the
    // turning angles at both its ends; an even side changes the turning angle of its
    // own triangle. Qb moves no point.
    Motion motion(int j) const {
        const auto& s = kept_.sideSign;
        Motion m;
        if (j == 0) {
            m.rate1 = static_cast<double>(s[0]) / rho;
        } else if (j == lastObservation()) {
            return m;  // Qb turns only the closing direction
        } else if (j % 2 == 1) {
            const int i = (j + 1) / 2;
            const double length = record_.observedSide[j];
            m.shift = {(kept_.pointX[i] - kept_.pointX[i - 1]) / length,
                       (kept_.pointY[i] - kept_.pointY[i - 1]) / length};
            m.rate1 = -s[i] * kept_.cosA[i];
            m.centre1 = i;
            m.rate2 = -s[i - 1] * kept_.cosG[i - 1];
            m.centre2 = i - 1;
        } else {
            const int i = j / 2;
            m.rate1 = s[i] / kept_.altitude[i];
            m.centre1 = i;
        }
        return m;
    }
    // Column S(2p−1) of point p's own weight functions: the point moves along its own
    // route side and turns with the angle at the side's start; the turn at the point
    // itself does not move it.
    Vec2 routeColumn(int p, Vec2 t) const {
        const int j = 2 * p - 1;
        const double length = record_.observedSide[j];
        const Vec2 start = vertex(p - 1);
        return Vec2{(t.x - start.x) / length, (t.y - start.y) / length} +
               motion(j).rate2 * perp(t - start);
    }
    // That motion seen at T.
    Vec2 motionAt(const Motion& m, Vec2 t) const {
        return m.shift + m.rate1 * perp(t - vertex(m.centre1)) + m.rate2 * perp(t - vertex(m.centre2));
    }

    // aᵀ N⁻¹ a for one column.
    double inverseNormalForm(const Column& a) const {
        const Column z = whiten(a);
        double sum = 0;
        for (int r = 0; r < conditions_; ++r) sum += z[r] * z[r];
        return sum;
    }
    // Qp = S − Wᵀ N⁻¹ W for a block, in m².
    Block reduced(const Block& b) const {
        Column wx{}, wy{};
        for (int r = 0; r < conditions_; ++r) wx[r] = b.w[r].x, wy[r] = b.w[r].y;
        const Column zx = whiten(wx), zy = whiten(wy);
        Block q = b;
        for (int r = 0; r < conditions_; ++r) {
            q.xx -= zx[r] * zx[r];
            q.xy -= zx[r] * zy[r];
            q.yy -= zy[r] * zy[r];
        }
        return q;
    }

private:
    // N is factored after scaling it to a unit diagonal (the azimuth row is in
    // seconds, the coordinate rows in metres): N = D⁻¹ L Lᵀ D⁻¹.
    void factorNormals() {
        for (int r = 0; r < conditions_; ++r) {
            const double diagonal = normal(r);
            if (!(diagonal > 0) || !std::isfinite(diagonal)) notPositiveDefinite();
            scale_[r] = 1 / std::sqrt(diagonal);
        }
        for (int r = 0; r < conditions_; ++r) {
            for (int c = 0; c <= r; ++c) {
                double sum = kept_.normal[rows_[r]][rows_[c]] * scale_[r] * scale_[c];
                for (int k = 0; k < c; ++k) sum -= factor_[r][k] * factor_[c][k];
                if (r == c) {
                    if (!(sum > 0)) notPositiveDefinite();
                    factor_[r][r] = std::sqrt(sum);
                } else {
                    factor_[r][c] = sum / factor_[c][c];
                }
            }
        }
    }
    [[noreturn]] static void notPositiveDefinite() {
        throw ComputeFailure("法方程系数矩阵不是正定的，无法进行精度分析。");
    }
    // z = L⁻¹ D a, so that aᵀ N⁻¹ a = zᵀ z.
    Column whiten(const Column& a) const {
        Column z{};
        for (int r = 0; r < conditions_; ++r) {
            double sum = a[r] * scale_[r];
            for (int k = 0; k < r; ++k) sum -= factor_[r][k] * z[k];
            z[r] = sum / factor_[r][r];
        }
        return z;
    }

    const ChainState& record_;
    const AdjustmentRecord& kept_;
    int n_;
    int conditions_ = 2;
    std::array<int, 3> rows_{};
    std::vector<double> cofactor_;
    Column scale_{};
    std::array<Column, 3> factor_{};
};

// The cofactor matrix Qp (m²) of every unknown point 1..N.
std::vector<Block> pointCofactors(const Model& model) {
    const int n = model.n();
    const Vec2 b = model.knownB();

    // Seen from B. An observation on B's side of the point moves it by the inverse of
    // its own motion, and, without the azimuth condition, turns it about B; an
    // observation on A's side only turns it about B by what the azimuth condition
    // leaves free. kappa is that turn: the azimuth row's rate less the motion's own.
    auto kappa = [&](int j, const Motion& m) { return model.azimuthRate(j) - m.rate(); };

    std::vector<Block> fromB(static_cast<std::size_t>(n) + 1);
    {
        Moments beyond;  // the observations after point p: j ≥ 2p+1
        Vec2 origin = model.vertex(n);
        auto addBeyond = [&](int j) {
            const Motion m = model.motion(j);
            const Vec2 c = kappa(j, m) * perp(b - origin) - model.motionAt(m, origin);
            beyond.add(model.cofactor(j), c, -model.azimuthRate(j), model.column(j));
        };
        addBeyond(model.lastObservation());
        addBeyond(2 * n + 1);
        for (int p = n; p >= 1; --p) {
            const Vec2 o = model.vertex(p - 1);
            beyond.moveOrigin(o - origin);
            origin = o;
            fromB[p] = beyond.at(model.target(p) - origin);
            addBeyond(2 * p);
            addBeyond(2 * p - 1);
        }
    }

    std::vector<Block> cofactors(static_cast<std::size_t>(n) + 1);
    Moments before;     // the observations before point p, j ≤ 2p−2, seen from A
    Moments beforeB;    // the same, seen from B
    Vec2 origin = model.vertex(0);
    auto addBefore = [&](int j) {
        const Motion m = model.motion(j);
        const double turn = kappa(j, m);
        const Column a = model.column(j);
        before.add(model.cofactor(j), model.motionAt(m, origin), m.rate(), a);
        beforeB.add(model.cofactor(j), turn * perp(b - origin), -turn, a);
    };
    addBefore(0);
    for (int p = 1; p <= n; ++p) {
        const Vec2 o = model.vertex(p - 1);
        before.moveOrigin(o - origin);
        beforeB.moveOrigin(o - origin);
        origin = o;

        // The point's own route side S(2p−1) and even side S(2p), as the weight
        // functions take them: the point lies at the end of S(2p−1), so S(2p) and the
        // turn at the point itself do not move it.
        const Vec2 t = model.target(p);
        const int route = 2 * p - 1, even = 2 * p;
        const Motion routeMotion = model.motion(route), evenMotion = model.motion(even);
        Block seenFromA = before.at(t - origin);
        Block seenFromB = beforeB.at(t - origin);
        seenFromB += fromB[p];
        const Vec2 gRoute = model.routeColumn(p, t);
        seenFromA.add(model.cofactor(route), gRoute, model.column(route));
        const Vec2 bRoute = gRoute - model.motionAt(routeMotion, t) +
                            kappa(route, routeMotion) * perp(b - t);
        const Vec2 bEven = kappa(even, evenMotion) * perp(b - t) - model.motionAt(evenMotion, t);
        seenFromB.add(model.cofactor(route), bRoute, model.column(route));
        seenFromB.add(model.cofactor(even), bEven, model.column(even));

        cofactors[p] = model.reduced(seenFromA.trace() <= seenFromB.trace() ? seenFromA : seenFromB);
        addBefore(route);
        addBefore(even);
    }
    return cofactors;
}

}  // namespace

namespace {

// True when the record holds a completed chain and everything its adjustment kept.
bool holdsAdjustment(const ChainState& r) {
    if (!r.hasResult()) return false;
    const std::size_t points = static_cast<std::size_t>(r.N) + 2;
    const std::size_t sides = points * 2 - 2;
    const std::size_t observations = sides + 1;
    const AdjustmentRecord& k = r.adjustment;
    bool rows = true;
    for (int row = 1; row <= 3; ++row) rows = rows && k.conditionCoef[row].size() == observations;
    return rows && r.pointX.size() == points && r.pointY.size() == points &&
           r.pointName.size() == points && r.side.size() == sides && r.observedSide.size() == sides &&
           k.sideSign.size() == points && k.pointX.size() == points && k.pointY.size() == points &&
           k.routeAzimuth.size() > points - 1 && k.altitude.size() == points &&
           k.cosA.size() == points && k.cosG.size() == points && k.correction.size() == observations &&
           k.cofactor.size() == observations;
}

// The error ellipse of a point from its cofactor matrix (mm²) and the unit-weight
// error: semi-axes from the eigenvalues, the major axis as an azimuth.
void ellipse(const Block& q, double mb, PointPrecision& p) {
    const double half = (q.xx + q.yy) / 2;
    const double radius = std::hypot((q.xx - q.yy) / 2, q.xy);
    p.mx = mb * std::sqrt(std::max(q.xx, 0.0));
    p.my = mb * std::sqrt(std::max(q.yy, 0.0));
    p.mp = std::sqrt(p.mx * p.mx + p.my * p.my);
    p.E = mb * std::sqrt(std::max(half + radius, 0.0));
    p.F = mb * std::sqrt(std::max(half - radius, 0.0));
    if (p.E == p.F) {
        p.phi = 0;
        return;
    }
    // tan 2φ = 2Qxy / (Qxx − Qyy), measured from X (north) towards Y (east).
    double phi = std::atan2(2 * q.xy, q.xx - q.yy) / 2 / degToRad;
    if (phi < 0) phi += 180;
    if (phi >= 180) phi -= 180;
    p.phi = phi + 0.0;  // no negative zero
}

[[noreturn]] void notFinite() {
    throw ComputeFailure("精度分析的结果超出数值范围，无法给出。");
}

void requireFinite(double x) {
    if (!std::isfinite(x)) notFinite();
}

}  // namespace

std::optional<ChainPrecision> analyse(const ChainState& record) {
    if (!holdsAdjustment(record)) return std::nullopt;
    const Model model(record);
    const AdjustmentRecord& kept = record.adjustment;
    const int n = record.N;

    ChainPrecision result;
    result.conditions = model.conditions();
    result.mb = static_cast<double>(record.mb);
    const double mb = result.mb;
    const double typed = static_cast<double>(kept.typedTolerance);
    // Weighted by the instrument, every observation has its true standard error and
    // the unit weight is one second a priori. Weighted by the mean side, only the
    // tolerance typed for the chain says how well it was measured: a limit is twice
    // the standard error, so the a priori unit-weight error is half the tolerance.
    const std::optional<double> sigma0 =
        kept.weights.byInstrument() ? std::optional<double>(1.0)
        : typed != 0                ? std::optional<double>(std::fabs(typed) / 2)
                                    : std::nullopt;
    result.sigma0 = sigma0;

    // The misclosures, each with its a priori standard error σ0·√N(i,i).
    for (int c = 0; c < model.conditions(); ++c) {
        Misclosure m;
        const int row = model.row(c);
        m.condition = row == 1 ? Condition::Azimuth : row == 2 ? Condition::X : Condition::Y;
        m.stored = record.w[row];
        const double toShown = row == 1 ? 1.0 : millimetresPerMetre;
        m.w = static_cast<double>(m.stored) * toShown;
        if (sigma0) {
            m.sigma = *sigma0 * std::sqrt(model.normal(c)) * toShown;
            m.limit = 2 * *m.sigma;
            m.withinLimit = std::fabs(m.w) <= *m.limit;
        }
        result.misclosures.push_back(m);
    }
    if (sigma0) {
        GlobalTest test;
        test.statistic = kept.pvv / (*sigma0 * *sigma0);
        test.quantile = model.conditions() == 3 ? 7.815 : 5.991;
        test.passed = test.statistic <= test.quantile;
        result.globalTest = test;
    }

    // Every point: A and B are fixed.
    const std::vector<Block> cofactors = pointCofactors(model);
    result.points.resize(static_cast<std::size_t>(n) + 2);
    double largestTrace = -1;
    for (int i = 0; i <= n + 1; ++i) {
        PointPrecision& p = result.points[i];
        p.index = i;
        p.name = record.pointName[i];
        p.X = record.pointX[i];
        p.Y = record.pointY[i];
        Block q;
        if (i >= 1 && i <= n) {
            q = cofactors[i];
            q.xx *= squareMillimetresPerSquareMetre;
            q.xy *= squareMillimetresPerSquareMetre;
            q.yy *= squareMillimetresPerSquareMetre;
            ellipse(q, mb, p);
        }
        if (q.trace() > largestTrace) {
            largestTrace = q.trace();
            result.weakestPoint = i;
        }
    }

    // Every observation: the redundancy r = Qvv / q = q·aᵀN⁻¹a.
    const int last = model.lastObservation();
    result.observations.resize(static_cast<std::size_t>(last) + 1);
    double largestRelative = -1;
    for (int j = 0; j <= last; ++j) {
        ObservationPrecision& o = result.observations[j];
        const bool side = j != 0 && j != last;
        o.kind = j == 0 ? ObservationKind::Qa : side ? ObservationKind::Side : ObservationKind::Qb;
        const double q = model.cofactor(j);
        o.redundancy = q * model.inverseNormalForm(model.column(j));
        // The correction and √q in millimetres for a side, in seconds for an angle.
        const double v = kept.correction[j] * (side ? millimetresPerMetre : 1.0);
        const double rootQ = std::sqrt(kept.cofactor[j]);
        o.v = v;
        if (side) {
            o.k = j;
            o.observed = record.observedSide[j];
            o.adjusted = record.side[j];
            const double unchecked = std::max(1 - o.redundancy, 0.0);  // (q − Qvv) / q
            o.m = mb * rootQ * std::sqrt(unchecked);
            o.relative = o.m / (o.adjusted * millimetresPerMetre);
            // Ranked by the cofactor, so that a chain with mb = 0 still names one.
            const double rank = unchecked / (o.adjusted * o.adjusted);
            if (rank > largestRelative) {
                largestRelative = rank;
                result.weakestSide = j;
            }
        }
        if (sigma0 && o.redundancy >= uncheckedBelow) {
            o.normalized = std::fabs(v) / (*sigma0 * rootQ * std::sqrt(o.redundancy));
            o.suspect = *o.normalized > suspectAbove;
            o.mdb = detectableFactor * *sigma0 * rootQ / std::sqrt(o.redundancy);
        }
    }

    result.summary = gradeSummary(record, result);

    // Nothing the analysis says may be infinite or not a number.
    for (const auto& m : result.misclosures) {
        requireFinite(m.w);
        if (m.sigma) requireFinite(*m.sigma);
    }
    if (result.globalTest) requireFinite(result.globalTest->statistic);
    for (const auto& p : result.points)
        for (double x : {p.mx, p.my, p.mp, p.E, p.F, p.phi}) requireFinite(x);
    for (const auto& o : result.observations) {
        for (double x : {o.v, o.m, o.relative, o.redundancy}) requireFinite(x);
        if (o.normalized) requireFinite(*o.normalized);
        if (o.mdb) requireFinite(*o.mdb);
    }
    for (double x : {result.summary.meanSide, result.summary.smallestAngle}) requireFinite(x);
    return result;
}

}  // namespace trelvan::analysis
