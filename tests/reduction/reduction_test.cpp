// Sides reduced to the Gauss plane: each step against the figures surveyors quote,
// the Gauss correction against the projection's exact scale, the chain's geometry
// that places every side, and the warning of sides over 25 ppm.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include <GeographicLib/TransverseMercatorExact.hpp>

#include "reduction/reduction.h"

namespace trelvan::reduction {
namespace {

const Ellipsoid& cgcs2000 = ellipsoids[0];

// Parts per million by which a step changes a length.
double ppm(double corrected, double length) { return (corrected / length - 1) * 1e6; }

struct Magnitude {
    const char* what;
    double ppm;       // as the step gives it
    double expected;  // as surveyors quote it, or worked out by hand
    double within;
};

TEST(ReductionSteps, GiveTheMagnitudesSurveyorsQuote) {
    const Earth earth(cgcs2000, 3452118.406, 12637.225);  // about 31°N
    const double Rm = earth.Rm();
    const double R = earth.radiusAlong(1, 1);  // a side running north-east
    const MeteoFormula meteo{281.8, 79.39};    // a distance meter's formula, p in hPa
    const std::vector<Magnitude> rows = {
        // 1: the instrument's constants and the atmosphere.
        {"K = +5 mm and R = +2 mm/km on 1 km: 7 mm", ppm(withConstants(1000, 5, 2, 0), 1000), 7, 1e-9},
        {"a correction of 4.2 ppm on 1 km", ppm(withConstants(1000, 0, 0, 4.2), 1000), 4.2, 1e-9},
        {"its standard atmosphere, 12 °C and 1013.25 hPa: about nothing", atmospherePpm(meteo, 12, 1013.25), 0, 0.5},
        {"30 °C at 1013.25 hPa: about 1 ppm per degree warmer", atmospherePpm(meteo, 30, 1013.25), 16.4, 0.1},
        {"12 °C at 913.25 hPa: about 0.28 ppm per hPa lower", atmospherePpm(meteo, 12, 913.25), 27.5, 0.5},
        // 2: slope to horizontal.
        {"1 km with 10 m of height: dh²/2D = 50 mm", ppm(horizontalOfSlope(1000, 10), 1000), -50.001, 0.001},
        {"1 km at a zenith angle of 88°: 1000·(1 − cos 2°) = 609.2 mm", ppm(horizontalOfZenith(1000, 88), 1000),
         -609.173, 0.001},
        {"a level sight, zenith 90°", ppm(horizontalOfZenith(1000, 90), 1000), 0, 1e-9},
        // 3: to the projection surface, H/R.
        {"500 m above the projection surface", ppm(onProjectionSurface(1000, 500, 0, R), 1000), -78.5, 0.7},
        {"1 km above it: 1/6371 of the side", ppm(onProjectionSurface(1000, 1000, 0, R), 1000), -157, 1.5},
        {"ground at 500 m on a compensating surface at 400 m: only the 100 m between",
         ppm(onProjectionSurface(1000, 500, 400, R), 1000), -15.7, 0.15},
        {"ground at 500 m on a surface at 500 m: nothing", ppm(onProjectionSurface(1000, 500, 500, R), 1000), 0,
         1e-9},
        {"200 m below sea level", ppm(onProjectionSurface(1000, -200, 0, R), 1000), 31.4, 0.3},
        // 4: to the Gauss plane, y²/2R².
        {"Y 100 km from the central meridian", ppm(onGaussPlane(1000, 100e3, 0, Rm), 1000), 123, 1.5},
        {"Y 50 km: a quarter of that", ppm(onGaussPlane(1000, -50e3, 0, Rm), 1000), 30.8, 0.4},
        {"on the central meridian", ppm(onGaussPlane(1000, 0, 0, Rm), 1000), 0, 1e-9},
        {"10 km across the meridian: Δy²/24R² = 0.1 ppm", ppm(onGaussPlane(10e3, 0, 10e3, Rm), 10e3), 0.103,
         0.002},
    };
    for (const Magnitude& row : rows) EXPECT_NEAR(row.ppm, row.expected, row.within) << row.what;
}

// The latitude of A and the mean radius there, against the ellipsoid worked out
// independently: on the central meridian the Gauss–Krüger X is the meridian arc (its
// length integrated numerically), away from it the footpoint latitude less
// t·y²/(2MN); at the equator √(M·N) = a·√(1 − e²).
TEST(ReductionSteps, TheEllipsoidAtTheChain) {
    struct Row {
        const char* what;
        const Ellipsoid& ellipsoid;
        double X, y, latitude, Rm;
    };
    const std::vector<Row> rows = {
        {"the equator", cgcs2000, 0, 0, 0, 6356752.314},
        {"the meridian arc to 45° on CGCS2000", cgcs2000, 4984944.378, 0, 45, 6378101.030},
        {"the arc to 45° on the Beijing 1954 ellipsoid", ellipsoids[2], 4985032.290, 0, 45, 6378209.040},
        // West or east of the meridian alike: the projection is symmetric about it.
        {"30 km east of the meridian", cgcs2000, 3452118.406, 30000, 31.1903238, 6368186.063},
        {"30 km west of it", cgcs2000, 3452118.406, -30000, 31.1903238, 6368186.063},
    };
    for (const Row& row : rows) {
        const Earth earth(row.ellipsoid, row.X, row.y);
        EXPECT_NEAR(earth.latitude(), row.latitude, 1e-7) << row.what;
        EXPECT_NEAR(earth.Rm(), row.Rm, 0.01) << row.what;
    }
}

// The plane length of a side is the ellipsoid's length times the projection's scale
// along it. Integrating 1/k of the exact transverse Mercator by Simpson's rule over
// the straight side gives the length on the ellipsoid that a plane length stands
// for; the correction must give the plane length back.
TEST(ReductionSteps, GaussCorrectionAgreesWithTheExactProjectionScale) {
    const GeographicLib::TransverseMercatorExact exact(cgcs2000.a, cgcs2000.f(), 1);
    struct Side {
        double X, y;            // the start, north and east of the central meridian, m
        double length, azimuth; // m, degrees
    };
    const std::vector<Side> rows = {
        {3452118.406, 0, 1000, 90},        {3452118.406, 12637.225, 2500, 60},
        {3452118.406, 50e3, 5000, 0},      {2200000, 100e3, 10000, 90},
        {3452118.406, 150e3, 8000, 135},   {5000000, 199e3, 2000, 270},
        {3452118.406, -200e3, 3000, 90},   {5500000, -195e3, 10000, 90},
        {1000000, 190e3, 10000, 80},       {3452118.406, -5000, 10000, 90},
    };
    for (const Side& s : rows) {
        const double a = s.azimuth * std::numbers::pi / 180;
        const double dX = s.length * std::cos(a), dY = s.length * std::sin(a);
        const auto scale = [&](double t) {
            double lat = 0, lon = 0, gamma = 0, k = 0;
            exact.Reverse(0, s.y + t * dY, s.X + t * dX, lat, lon, gamma, k);
            return k;
        };
        constexpr int intervals = 20;
        double sum = 1 / scale(0) + 1 / scale(1);
        for (int i = 1; i < intervals; ++i) sum += (i % 2 == 1 ? 4 : 2) / scale(static_cast<double>(i) / intervals);
        const double onEllipsoid = s.length * sum / (3 * intervals);

        const Earth earth(cgcs2000, s.X, s.y);
        const double ym = s.y + dY / 2;
        EXPECT_NEAR(onGaussPlane(onEllipsoid, ym, dY, earth.Rm()), s.length, 1e-7 * s.length)
            << "y " << s.y << ", length " << s.length << ", azimuth " << s.azimuth;
    }
}

// A chain whose points are known on the plane, measured as horizontal distances on
// the projection surface: each side is its plane length shrunk by the projection's
// scale at its own ends. Reduced, every side must come back to its plane length: a
// wrong end, a fan's outer point taken for its pivot, or a chain not turned onto B
// would put a side at another Y, and 150 km from the meridian a kilometre east or
// west changes a side by 37 ppm.
struct KnownChain {
    const char* what;
    std::vector<std::array<double, 2>> point;  // A, 1 … N, B: X and Y
    std::vector<std::int16_t> sign;            // triangles 1 … N
    double Ta = 0;                             // packed; 0: a free orientation
};

TypedValues measuredChain(const KnownChain& c, std::vector<double>& plane) {
    const int n = static_cast<int>(c.sign.size());
    TypedValues job;
    job.N = static_cast<std::int16_t>(n);
    job.Xa = c.point.front()[0], job.Ya = c.point.front()[1];
    job.Xb = c.point.back()[0], job.Yb = c.point.back()[1];
    job.Ta = c.Ta;
    job.side.assign(static_cast<std::size_t>(2 * n) + 2, 0.0);
    job.jobOnly.reduction = ReductionSettings{};
    job.jobOnly.reduction->Hm = 0;
    // The ends of each side: a triangle turns at its own point, a fan about the
    // vertex of the triangle before it.
    std::vector<int> turning(static_cast<std::size_t>(n) + 1, 0);
    for (int i = 1; i <= n; ++i) turning[i] = i == 1 || c.sign[i - 1] != c.sign[i - 2] ? i : turning[i - 1];
    std::vector<std::array<int, 2>> ends(static_cast<std::size_t>(2 * n) + 2);
    for (int i = 0; i <= n; ++i) ends[2 * i + 1] = {turning[i], i + 1};
    for (int i = 1; i <= n; ++i) ends[2 * i] = turning[i] == i ? std::array{turning[i - 1], i + 1} : std::array{i, i + 1};

    const Settings settings;
    const Earth earth(settings.ellipsoid, job.Xa, job.Ya - settings.falseEasting);
    plane.assign(job.side.size(), 0.0);
    for (int k = 1; k <= 2 * n + 1; ++k) {
        const auto& p = c.point[ends[k][0]];
        const auto& q = c.point[ends[k][1]];
        plane[k] = std::hypot(q[0] - p[0], q[1] - p[1]);
        const double ym = (p[1] + q[1]) / 2 - settings.falseEasting;
        MeasuredSide side;
        side.k = k;
        side.type = "horizontal";
        side.D = plane[k] / onGaussPlane(1, ym, q[1] - p[1], earth.Rm());
        if (k % 2 == 0) side.right = c.sign[k / 2 - 1] < 0;
        job.jobOnly.measuredSides.push_back(side);
    }
    return job;
}

TEST(ReducedChain, EachSideLiesWhereTheChainPutsIt) {
    const double x = 3.4e6, y = 650e3;
    const std::vector<std::array<double, 2>> zigzag = {
        {x, y}, {x + 1000, y + 20}, {x + 700, y + 900}, {x + 1800, y + 850}, {x + 1500, y + 1700}};
    const std::vector<KnownChain> rows = {
        {"a zigzag, oriented at A", zigzag, {-1, 1, -1}, 1.0845},
        {"the same chain in a free orientation", zigzag, {-1, 1, -1}, 0},
        {"a fan about point 1, then a zigzag",
         {{x, y}, {x + 1000, y}, {x + 300, y + 800}, {x + 1300, y + 950}, {x + 1900, y + 600}},
         {-1, -1, 1}, 0},
    };
    for (const KnownChain& c : rows) {
        std::vector<double> plane;
        const Reduction r = reduce(measuredChain(c, plane));
        ASSERT_TRUE(r.reduced) << c.what << (r.problems.empty() ? "" : ": " + r.problems.front().what);
        ASSERT_EQ(r.sides.size(), plane.size() - 1) << c.what;
        for (const SideReduction& s : r.sides) EXPECT_NEAR(s.D4, plane[s.k], 1e-6) << c.what << ", S" << s.k;
    }
}

// Height and projection together: warned over 25 ppm (2.5 cm/km), whichever way;
// a compensating surface, or a height that offsets the projection, keeps a side
// under it.
TEST(ReducedChain, WarnsOfSidesOverTwentyFivePartsPerMillion) {
    struct Row {
        const char* what;
        double y;      // of the triangle, east of the meridian
        double Hm, H0;
        bool warned;
    };
    const std::vector<Row> rows = {
        {"10 km from the meridian, on the height datum: +1.2 ppm", 10e3, 0, 0, false},
        {"10 km out, 180 m high: −27 ppm", 10e3, 180, 0, true},
        {"10 km out, 180 m high on a surface at 150 m: −3.5 ppm", 10e3, 180, 150, false},
        {"50 km out on the height datum: +31 ppm", 50e3, 0, 0, true},
        {"50 km west, 40 m high: +30.5 − 6.3 = +24.2 ppm", -50e3, 40, 0, false},
    };
    for (const Row& row : rows) {
        TypedValues job;
        job.N = 1;
        job.Xa = 3452118.406, job.Ya = 500e3 + row.y;
        job.Xb = job.Xa, job.Yb = job.Ya + 1000;
        job.side = {0, 1000, -1000, 1000};
        job.jobOnly.reduction = ReductionSettings{};
        job.jobOnly.reduction->H0 = row.H0;
        MeasuredSide side;
        side.k = 1, side.D = 1000, side.type = "horizontal", side.Hm = row.Hm;
        job.jobOnly.measuredSides = {side};
        const Reduction r = reduce(job);
        ASSERT_TRUE(r.reduced) << row.what;
        EXPECT_EQ(r.sides.front().warning, row.warned) << row.what << ": " << r.sides.front().surfacePpm() << " ppm";
    }
}

}  // namespace
}  // namespace trelvan::reduction
