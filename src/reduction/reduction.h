#pragma once
// Sides as the distance meter measured them, reduced to the Gauss–Krüger plane
// (边长归算), each step with its correction kept:
//
//   1. constants and atmosphere   D1 = D + K/1000 + D·(R + ppm)·1e-6
//   2. horizontal                 D2 = √(D1² − dh²), D1·sin Z, or D1 for a horizontal distance
//   3. to the projection surface  D3 = D2·(1 − (Hm − H0) / Rα)
//   4. to the Gauss plane         D4 = D3·(1 + ym²/(2Rm²) + Δy²/(24Rm²))
//
// Rα = N / (1 + e′²·cos²B·cos²α) is the radius of the normal section along the side,
// Rm = √(M·N) the mean radius, both at B, the latitude of A. ym is the mean of the Y
// of the side's two ends less the false easting, Δy their difference, α the side's
// azimuth; they come from the chain itself, solved with the plane and horizontal
// lengths and turned and scaled about A onto the known B. The reduced D4, with a
// minus sign for an even side right of the route, is then adjusted exactly as a
// plane length typed by hand.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "state/typed_values.h"

namespace trelvan::reduction {

struct Ellipsoid {
    const char* name;
    double a;                // semi-major axis, m
    double inverseFlattening;
    double f() const { return 1 / inverseFlattening; }
};

// The ellipsoids a chain may name; the first is the default.
inline constexpr Ellipsoid ellipsoids[] = {
    {"CGCS2000", 6378137.0, 298.257222101},
    {"Xian80", 6378140.0, 298.257},
    {"Beijing54", 6378245.0, 298.3},
};
const Ellipsoid* ellipsoidNamed(std::string_view name);

// The settings in force: the chain's, and the defaults where it gives none.
struct Settings {
    Ellipsoid ellipsoid = ellipsoids[0];
    double falseEasting = 500000;
    double H0 = 0;
    bool gauss = true;
    double K = 0;  // mm
    double R = 0;  // mm/km
    std::optional<MeteoFormula> meteo;
    std::optional<double> Hm;
};
Settings settingsOf(const std::optional<ReductionSettings>& chain);

// Beyond this distance from the central meridian no Gauss–Krüger zone reaches: a Y
// so far out was written with its zone number in front and no matching false
// easting.
inline constexpr double farthestFromMeridian = 1000e3;

// Above this, the height and projection corrections of a side together ask for
// another zone or a compensating projection surface (2.5 cm/km).
inline constexpr double warnedPpm = 25;

// The steps, each on its own.
double atmospherePpm(const MeteoFormula& meteo, double t, double p);
double withConstants(double D, double K, double R, double ppm);           // D1
double horizontalOfSlope(double D1, double dh);                            // D2
double horizontalOfZenith(double D1, double zenithDegrees);                // D2
double onProjectionSurface(double D2, double Hm, double H0, double Ralpha);  // D3
double onGaussPlane(double D3, double ym, double dy, double Rm);            // D4

// The ellipsoid at the chain: the latitude of A and the radii of curvature there.
class Earth {
public:
    // `ya` is A's Y less the false easting.
    Earth(const Ellipsoid& ellipsoid, double Xa, double ya);
    double latitude() const { return latitude_; }  // degrees
    double Rm() const { return Rm_; }              // √(M·N), m
    // Rα, the radius of the normal section along a side that runs dX north and dY
    // east, m.
    double radiusAlong(double dX, double dY) const;

private:
    double latitude_ = 0;
    double N_ = 0;             // prime vertical
    double Rm_ = 0;
    double ep2cos2B_ = 0;      // e′²·cos²B
};

// One measured side through the four steps. D3 and D4 are there once the chain
// could be solved.
struct SideReduction {
    int k = 0;
    bool horizontal = false;  // measured as a horizontal distance
    bool right = false;
    double Hm = 0;            // the side's mean height, its own or the chain's
    double D = 0, D1 = 0, D2 = 0, D3 = 0, D4 = 0;
    bool warning = false;     // height and projection together over warnedPpm

    // The corrections, in millimetres.
    double constants() const { return (D1 - D) * 1000; }
    double slope() const { return (D2 - D1) * 1000; }
    double height() const { return (D3 - D2) * 1000; }
    double gauss() const { return (D4 - D3) * 1000; }
    // Height and projection together, parts per million of the horizontal length.
    double surfacePpm() const { return (D4 - D2) / D2 * 1e6; }
    // The side's value for the adjustment: D4, negative right of the route.
    double value() const { return right ? -D4 : D4; }
};

// What is wrong, in Chinese without a closing full stop, and where: a field path
// ("reduction.ellipsoid", "sides[6].dh") and, for a side, its index in the side
// list (k − 1), else −1.
struct Problem {
    std::string path;
    int index = -1;
    std::string what;
};

struct Reduction {
    Settings settings;
    double latitude = 0;  // B, degrees
    double Rm = 0;
    // The chain's settings first, then each measured side's, in the order of k.
    std::vector<Problem> problems;
    // Every measured side whose own values pass, in the order of k, at least to D2.
    std::vector<SideReduction> sides;
    // D3 and D4 of every side are there: nothing was wrong and the chain was solved.
    bool reduced = false;
};

// The version of GeographicLib the sides are reduced with: "2.1.2".
const char* geographicLibVersion();

// True when the job measures a side or gives reduction settings.
bool hasReduction(const JobOnlyValues& values);

// Reduces every measured side of the job. Typed sides are the job's own; the
// chain's geometry is solved only when every side, typed or measured, is a usable
// length and every triangle can be formed with the plane and horizontal lengths
// (the job's checks say why not).
Reduction reduce(const TypedValues& job);

// The job with each measured side's reduced value in its side list, from its
// reduction; nothing changes when the job could not be reduced.
void applyReduction(TypedValues& job, const Reduction& reduced);

}  // namespace trelvan::reduction
