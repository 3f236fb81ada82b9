// The four steps of the reduction, the ellipsoid at the chain, and the chain's own
// geometry that gives each side its azimuth and the Y of its ends.

#include "reduction/reduction.h"

#include <cmath>
#include <complex>
#include <utility>

#include <GeographicLib/Config.h>
#include <GeographicLib/Ellipsoid.hpp>
#include <GeographicLib/Math.hpp>
#include <GeographicLib/TransverseMercator.hpp>

#include "adjustment/geometry.h"
#include "adjustment/stages.h"
#include "entry/value_checks.h"
#include "state/chain_state.h"
#include "state/failure.h"
#include "state/number_format.h"
#include "state/packed_angle.h"

namespace trelvan::reduction {

namespace {

constexpr double absoluteZero = -273.15;  // °C

std::string sideField(int k, const char* field = nullptr) {
    std::string path = "sides[" + digits(k - 1) + "]";
    if (field != nullptr) path += std::string(".") + field;
    return path;
}

bool usable(double length) { return std::isfinite(length) && length > 0; }

// The checks of one measured side on its own, and its first two steps.
class SideSteps {
public:
    SideSteps(const MeasuredSide& side, const Settings& settings, std::vector<Problem>& problems)
        : side_(side), settings_(settings), problems_(problems) {}

    std::optional<SideReduction> run() {
        const std::size_t before = problems_.size();
        const int k = side_.k;
        const std::pair<const char*, const std::optional<double>*> numbers[] = {
            {"dh", &side_.dh}, {"Z", &side_.Z}, {"Hm", &side_.Hm},
            {"ppm", &side_.ppm}, {"t", &side_.t}, {"p", &side_.p}};
        if (!(side_.D > 0) || !std::isfinite(side_.D)) fail("D", "实测距离 D 应为大于零的有限数值");
        for (const auto& [field, value] : numbers)
            if (*value && !std::isfinite(**value)) fail(field, "应为有限的数值");
        if (problems_.size() != before) return std::nullopt;

        const bool horizontal = side_.type && *side_.type == "horizontal";
        if (side_.type && !horizontal && *side_.type != "slope")
            fail("type", "应为 \"slope\"（斜距）或 \"horizontal\"（平距）");
        if (horizontal && (side_.dh || side_.Z))
            fail(side_.dh ? "dh" : "Z", "平距（type 为 \"horizontal\"）不用 dh 或 Z；若这条边是斜距，type 应为 \"slope\"");
        if (!horizontal && side_.dh && side_.Z) fail("Z", "斜距只能给 dh（高差）和 Z（天顶距）其中之一");
        if (!horizontal && !side_.dh && !side_.Z)
            fail(nullptr, "斜距需要 dh（高差）或 Z（天顶距）其中之一，才能化为平距");
        double zenith = 0;
        if (side_.Z) {
            zenith = *side_.Z > 0 ? packedToDegrees(*side_.Z) : 0;
            if (!(zenith > 0 && zenith < 180)) fail("Z", "天顶距 Z 应在 0° 与 180° 之间");
        }
        if (!side_.Hm && !settings_.Hm) fail("Hm", "缺少平均高程 Hm：这条边和 reduction 中都没有给出");
        const double ppm = atmosphere();
        if (side_.right.value_or(false) && k % 2 == 1)
            fail("right", "奇数边是推算路线本身，不能位于路线的右侧");
        if (problems_.size() != before) return std::nullopt;

        SideReduction s;
        s.k = k;
        s.horizontal = horizontal;
        s.right = side_.right.value_or(false);
        s.D = side_.D;
        s.Hm = side_.Hm ? *side_.Hm : *settings_.Hm;
        s.D1 = withConstants(side_.D, settings_.K, settings_.R, ppm);
        if (!usable(s.D1)) return failed("加常数、乘常数与气象改正后的距离 D1 不是正的有限数值");
        if (side_.dh && !(std::fabs(*side_.dh) < s.D1))
            return fail("dh", "高差 dh 的绝对值不小于改正后的斜距 D1 = " + formatFixed(s.D1, 4) + " 米"),
                   std::nullopt;
        s.D2 = horizontal ? s.D1 : side_.dh ? horizontalOfSlope(s.D1, *side_.dh) : horizontalOfZenith(s.D1, zenith);
        if (!usable(s.D2)) return failed("化为平距后的 D2 不是正的有限数值");
        return s;
    }

private:
    void fail(const char* field, std::string what) {
        problems_.push_back({sideField(side_.k, field), side_.k - 1, std::move(what)});
    }
    std::optional<SideReduction> failed(std::string what) {
        fail(nullptr, std::move(what));
        return std::nullopt;
    }

    // The atmospheric correction in ppm: as given, from the weather by the chain's
    // formula, or 0 where the instrument applied it.
    double atmosphere() {
        const bool t = side_.t.has_value(), p = side_.p.has_value();
        if (side_.ppm && (t || p)) {
            fail("ppm", "ppm 与 t、p 只能给其中一种");
            return 0;
        }
        if (side_.ppm) return *side_.ppm;
        if (t != p) {
            fail(t ? "p" : "t", t ? "给了温度 t，缺少气压 p" : "给了气压 p，缺少温度 t");
            return 0;
        }
        if (!t) return 0;
        if (!settings_.meteo) {
            fail("t", "给了 t 和 p，但 reduction 中没有仪器的气象改正公式 meteo");
            return 0;
        }
        if (!(*side_.t > absoluteZero)) fail("t", "温度 t 应高于 −273.15 °C");
        if (!(*side_.p > 0)) fail("p", "气压 p 应大于零");
        return atmospherePpm(*settings_.meteo, *side_.t, *side_.p);
    }

    const MeasuredSide& side_;
    const Settings& settings_;
    std::vector<Problem>& problems_;
};

void checkSettings(const TypedValues& job, Reduction& r) {
    if (!job.jobOnly.reduction) return;
    const ReductionSettings& chain = *job.jobOnly.reduction;
    if (chain.ellipsoid && ellipsoidNamed(*chain.ellipsoid) == nullptr)
        r.problems.push_back({"reduction.ellipsoid", -1, "未知的椭球：应为 \"CGCS2000\"、\"Xian80\" 或 \"Beijing54\""});
    const std::optional<double> meteoA = chain.meteo ? std::optional(chain.meteo->A) : std::nullopt;
    const std::optional<double> meteoB = chain.meteo ? std::optional(chain.meteo->B) : std::nullopt;
    const std::pair<const char*, const std::optional<double>*> numbers[] = {
        {"reduction.falseEasting", &chain.falseEasting}, {"reduction.H0", &chain.H0},
        {"reduction.K", &chain.K}, {"reduction.R", &chain.R},
        {"reduction.meteo.A", &meteoA}, {"reduction.meteo.B", &meteoB}, {"reduction.Hm", &chain.Hm}};
    for (const auto& [path, value] : numbers)
        if (*value && !std::isfinite(**value)) r.problems.push_back({path, -1, "应为有限的数值"});
}

// The chain solved with the plane and horizontal lengths by the adjustment's own
// triangle solution and propagation, then turned and scaled about A so that its end
// falls on the known B: the two ends of every side.
class ProvisionalChain {
public:
    ProvisionalChain(const TypedValues& job, const std::vector<double>& length, const std::vector<std::int16_t>& sign) {
        const std::int16_t n = job.N;
        sizeArrays(state_, run_, n);
        state_.Xa = job.Xa;
        state_.Ya = job.Ya;
        for (int k = 1; k <= 2 * n + 1; ++k) state_.side[k] = length[k];
        for (int i = 1; i <= n; ++i) run_.sideSign[i] = sign[i];
        solveTriangles(state_, run_);

        // Each point at the end of its own route side: a fan's outer points too.
        point_.resize(static_cast<std::size_t>(n) + 2);
        turning_.resize(static_cast<std::size_t>(n) + 1);
        point_[0] = turning_[0] = {state_.Xa, state_.Ya};
        for (int i = 1; i <= n; ++i) turning_[i] = {state_.pointX[i], state_.pointY[i]};
        for (int i = 1; i <= n + 1; ++i) {
            const auto [x, y] = i <= n ? geometry::ownRouteSideEnd(state_.pointX, state_.pointY, i, length[2 * i - 1],
                                                                   run_.routeAzimuth[i])
                                       : std::pair(state_.pointX[i], state_.pointY[i]);
            point_[i] = {x, y};
        }

        // Turned and scaled about A onto the known B. A chain that ends where it starts
        // has no such turn and keeps the orientation it was carried with.
        const Complex a(job.Xa, job.Ya);
        const Complex carried = point_[n + 1] - a, known = Complex(job.Xb, job.Yb) - a;
        if (std::abs(carried) > 0 && std::abs(known) > 0 && std::isfinite(std::abs(known))) {
            const Complex turn = known / carried;
            for (Complex& p : point_) p = a + (p - a) * turn;
            for (Complex& p : turning_) p = a + (p - a) * turn;
        }
        fan_.assign(static_cast<std::size_t>(n) + 1, false);
        for (int i = 2; i <= n; ++i) fan_[i] = geometry::isFan(run_.sideSign, i);
    }

    // X as the real part, Y as the imaginary part.
    using Complex = std::complex<double>;

    // The two ends of side k.
    std::pair<Complex, Complex> ends(int k) const {
        const int i = k / 2;
        if (k % 2 == 1) return {turning_[i], point_[i + 1]};  // S(2i+1) leaves the turning vertex of triangle i
        if (fan_[i]) return {point_[i], point_[i + 1]};
        return {turning_[i - 1], point_[i + 1]};
    }

private:
    ChainState state_;
    RunValues run_;
    std::vector<Complex> point_;    // 0..N+1: A, each point at the end of its route side, B
    std::vector<Complex> turning_;  // 0..N: A, the turning vertex of each triangle
    std::vector<bool> fan_;         // 1..N: triangle i turns about the vertex of triangle i−1
};

// Steps 3 and 4 of every side, on the chain's geometry.
void reduceOnTheChain(const TypedValues& job, Reduction& r, const Earth& earth) {
    const int n = job.N;
    std::vector<double> length(static_cast<std::size_t>(2 * n) + 2, 0.0);
    std::vector<std::int16_t> sign(static_cast<std::size_t>(n) + 1, 1);
    for (int k = 1; k <= 2 * n + 1; ++k) {
        const double typed = job.side[static_cast<std::size_t>(k)];
        length[k] = std::fabs(typed);
        if (k % 2 == 0) sign[k / 2] = std::signbit(typed) ? -1 : 1;
    }
    for (const SideReduction& s : r.sides) {
        length[s.k] = s.D2;
        if (s.k % 2 == 0) sign[s.k / 2] = s.right ? -1 : 1;
    }
    // Sides the dialogue would refuse, and triangles it could not form, are the job's
    // checks to name; the chain then has no geometry to reduce on.
    for (int k = 1; k <= 2 * n + 1; ++k) {
        const double typed = job.side[static_cast<std::size_t>(k)];
        if (!usable(length[k]) || (k % 2 == 1 && typed < 0)) return;
    }
    for (int i = 1; i <= n; ++i)
        if (triangleProblem(i, length[2 * i - 1], length[2 * i], length[2 * i + 1])) return;

    std::optional<ProvisionalChain> chain;
    try {
        chain.emplace(job, length, sign);
    } catch (const ComputeFailure& failure) {
        std::string what = failure.what();
        if (what.size() >= 3 && what.compare(what.size() - 3, 3, "。") == 0) what.resize(what.size() - 3);
        r.problems.push_back({"sides", -1, "以平距解算的锁无法用于边长归算：" + what});
        return;
    }

    const Settings& settings = r.settings;
    for (SideReduction& s : r.sides) {
        const auto [from, to] = chain->ends(s.k);
        const ProvisionalChain::Complex d = to - from;
        s.D3 = onProjectionSurface(s.D2, s.Hm, settings.H0, earth.radiusAlong(d.real(), d.imag()));
        const double ym = (from.imag() + to.imag()) / 2 - settings.falseEasting;
        s.D4 = settings.gauss ? onGaussPlane(s.D3, ym, d.imag(), earth.Rm()) : s.D3;
        if (!usable(s.D3) || !usable(s.D4)) {
            r.problems.push_back({sideField(s.k), s.k - 1,
                                  std::string(usable(s.D3) ? "高斯投影改化后的 D4" : "归算到投影面后的 D3") +
                                      " 不是正的有限数值"});
            continue;
        }
        s.warning = std::fabs(s.surfacePpm()) > warnedPpm;
    }
    r.reduced = r.problems.empty();
}

}  // namespace

const Ellipsoid* ellipsoidNamed(std::string_view name) {
    for (const Ellipsoid& e : ellipsoids)
        if (name == e.name) return &e;
    return nullptr;
}

Settings settingsOf(const std::optional<ReductionSettings>& chain) {
    Settings s;
    if (!chain) return s;
    if (chain->ellipsoid)
        if (const Ellipsoid* e = ellipsoidNamed(*chain->ellipsoid)) s.ellipsoid = *e;
    s.falseEasting = chain->falseEasting.value_or(s.falseEasting);
    s.H0 = chain->H0.value_or(s.H0);
    s.gauss = chain->gauss.value_or(s.gauss);
    s.K = chain->K.value_or(s.K);
    s.R = chain->R.value_or(s.R);
    s.meteo = chain->meteo;
    s.Hm = chain->Hm;
    return s;
}

double atmospherePpm(const MeteoFormula& meteo, double t, double p) {
    return meteo.A - meteo.B * p / (273.15 + t);
}

double withConstants(double D, double K, double R, double ppm) { return D + K / 1000 + D * (R + ppm) * 1e-6; }

double horizontalOfSlope(double D1, double dh) { return std::sqrt(D1 * D1 - dh * dh); }

double horizontalOfZenith(double D1, double zenithDegrees) { return D1 * GeographicLib::Math::sind(zenithDegrees); }

double onProjectionSurface(double D2, double Hm, double H0, double Ralpha) { return D2 * (1 - (Hm - H0) / Ralpha); }

double onGaussPlane(double D3, double ym, double dy, double Rm) {
    const double rm2 = Rm * Rm;
    return D3 * (1 + ym * ym / (2 * rm2) + dy * dy / (24 * rm2));
}

Earth::Earth(const Ellipsoid& ellipsoid, double Xa, double ya) {
    // The inverse projection with central meridian 0 and scale 1: GeographicLib takes
    // the easting first.
    const GeographicLib::TransverseMercator projection(ellipsoid.a, ellipsoid.f(), 1);
    double longitude = 0;
    projection.Reverse(0, ya, Xa, latitude_, longitude);
    const GeographicLib::Ellipsoid shape(ellipsoid.a, ellipsoid.f());
    const double M = shape.MeridionalCurvatureRadius(latitude_);
    N_ = shape.TransverseCurvatureRadius(latitude_);
    Rm_ = std::sqrt(M * N_);
    const double cosB = GeographicLib::Math::cosd(latitude_);
    ep2cos2B_ = shape.SecondEccentricitySq() * cosB * cosB;
}

double Earth::radiusAlong(double dX, double dY) const {
    const double d2 = dX * dX + dY * dY;
    const double cos2Alpha = d2 > 0 ? dX * dX / d2 : 1;
    return N_ / (1 + ep2cos2B_ * cos2Alpha);
}

const char* geographicLibVersion() { return GEOGRAPHICLIB_VERSION_STRING; }

bool hasReduction(const JobOnlyValues& values) { return !values.measuredSides.empty() || values.reduction; }

Reduction reduce(const TypedValues& job) {
    Reduction r;
    r.settings = settingsOf(job.jobOnly.reduction);
    checkSettings(job, r);
    const bool located = std::isfinite(job.Xa) && std::isfinite(job.Ya) && std::isfinite(r.settings.falseEasting);
    const double ya = job.Ya - r.settings.falseEasting;
    if (located && r.settings.gauss && !job.jobOnly.measuredSides.empty() && std::fabs(ya) > farthestFromMeridian)
        r.problems.push_back({"A.Y", -1,
                              "离中央子午线 " + formatFixed(std::fabs(ya), 3) +
                                  " 米（Y 减去假东 falseEasting），超出任何高斯投影带：带号写在 Y 前面时，"
                                  "reduction.falseEasting 应为带号 × 1000000 + 500000"});

    for (const MeasuredSide& side : job.jobOnly.measuredSides) {
        if (side.k < 1 || side.k > 2 * job.N + 1) continue;
        if (auto s = SideSteps(side, r.settings, r.problems).run()) r.sides.push_back(*s);
    }
    if (!located || !r.problems.empty() || job.side.size() != static_cast<std::size_t>(2 * job.N) + 2) return r;

    const Earth earth(r.settings.ellipsoid, job.Xa, ya);
    r.latitude = earth.latitude();
    r.Rm = earth.Rm();
    if (r.sides.empty()) {
        r.reduced = true;
        return r;
    }
    reduceOnTheChain(job, r, earth);
    return r;
}

void applyReduction(TypedValues& job, const Reduction& reduced) {
    if (!reduced.reduced) return;
    for (const SideReduction& s : reduced.sides) job.side[static_cast<std::size_t>(s.k)] = s.value();
}

}  // namespace trelvan::reduction
