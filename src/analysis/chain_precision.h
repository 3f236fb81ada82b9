#pragma once
// The precision of the whole adjusted chain, derived from the last completed
// adjustment with its own conditions, weights, misclosures and corrections: every
// misclosure against its limit, a global test of the observations, the error
// ellipse of every point, the precision of every side, and how well each
// observation is checked by the others.
//
// Units: seconds for angles and the azimuth misclosure, millimetres for corrections
// of sides, coordinate misclosures and standard errors, metres for coordinates and
// lengths, degrees for ellipse directions. Unit weight is one angle of one second.

#include <optional>
#include <string>
#include <vector>

#include "state/chain_state.h"

namespace trelvan::analysis {

// A limit is twice the standard error; a normalized correction above 3.29 is
// suspect at α = 0.1 %; 4.13 standard errors of a correction are found with a
// power of 80 % at that α. An observation whose redundancy is below 1e-4 is checked
// by no condition, and no blunder in it can be found.
inline constexpr double suspectAbove = 3.29;
inline constexpr double detectableFactor = 4.13;
inline constexpr double uncheckedBelow = 1e-4;

enum class Condition { Azimuth, X, Y };

struct Misclosure {
    Condition condition = Condition::X;
    double w = 0;                     // seconds (azimuth) or millimetres
    float stored = 0;                 // as the record holds it: seconds or metres
    std::optional<double> sigma;      // a priori standard error; empty without Mb
    std::optional<double> limit;      // twice that
    std::optional<bool> withinLimit;  // |w| ≤ limit
};

struct GlobalTest {
    double statistic = 0;  // [pvv] / σ0²
    double quantile = 0;   // χ² at 95 % with as many degrees of freedom as conditions
    bool passed = false;   // statistic ≤ quantile
};

struct PointPrecision {
    int index = 0;
    std::string name;
    double X = 0, Y = 0;           // adjusted coordinates, m
    double mx = 0, my = 0, mp = 0;  // mm
    double E = 0, F = 0;           // semi-axes of the standard error ellipse, mm, E ≥ F
    double phi = 0;                // azimuth of E, degrees clockwise from north, [0, 180)
};

enum class ObservationKind { Qa, Side, Qb };

struct ObservationPrecision {
    ObservationKind kind = ObservationKind::Side;
    int k = 0;                    // side number S(k); 0 for the orientation angles
    double observed = 0;          // m, sides only
    double adjusted = 0;          // m, sides only
    double v = 0;                 // correction: mm for a side, seconds for an angle
    double m = 0;                 // standard error of the adjusted side, mm
    double relative = 0;          // m / adjusted length
    double redundancy = 0;        // the share of the correction's cofactor in q
    std::optional<double> normalized;  // |v| / (σ0·√Qvv)
    std::optional<bool> suspect;       // normalized > 3.29
    std::optional<double> mdb;         // smallest detectable blunder, mm or seconds
};

// What a check of the chain against the grade tables of a survey standard asks,
// from the adjusted sides: each triangle's angles by the cosine rule, the mean over
// all 2N+1 sides, the first side, triangle or point on a tie. The figures are stated
// as they are; no grade is claimed from them.
struct GradeSummary {
    int triangles = 0;
    double meanSide = 0;             // m
    int shortestSide = 1;            // k of S(k)
    int longestSide = 1;
    double smallestAngle = 0;        // degrees, the smallest angle of any triangle
    int smallestAngleTriangle = 1;   // i of the triangle that holds it
    double weakestSideRelative = 0;  // m / S of the weakest side
    double largestMp = 0;            // mm, of the weakest point
    int largestMpPoint = 0;          // its index
};

// A triangle's angle under this many degrees is marked; the standard asks at least
// 30°, and 25° for a single angle.
inline constexpr double smallestAngleAsked = 30;
inline constexpr double singleAngleAsked = 25;

struct ChainPrecision {
    int conditions = 0;                  // 3 with the azimuth condition, else 2
    // A priori, s: 1 when weighted by the instrument, else |Mb| / 2; empty when
    // weighted by the mean side and Mb = 0.
    std::optional<double> sigma0;
    double mb = 0;                       // a posteriori unit-weight error, s
    std::optional<GlobalTest> globalTest;
    std::vector<Misclosure> misclosures;  // the conditions used, in order
    std::vector<PointPrecision> points;   // 0..N+1
    int weakestPoint = 0;
    std::vector<ObservationPrecision> observations;  // Qa, S1..S(2N+1), Qb
    int weakestSide = 1;                 // k of the side with the largest relative error
    GradeSummary summary;
};

// The analysis of the last completed Compute action in `record`; empty when the
// record holds none. Changes nothing. Throws ComputeFailure, with a message that
// says why, if the kept normal equations are not positive definite.
std::optional<ChainPrecision> analyse(const ChainState& record);

// The grade figures of the record's adjusted chain, with the weakest side and point
// of `precision`, its analysis.
GradeSummary gradeSummary(const ChainState& record, const ChainPrecision& precision);

}  // namespace trelvan::analysis
