#pragma once
// The data of one Compute action as the operator typed it and the dialogue accepted
// it: the value of every reply that was confirmed, never one that was refused or
// typed over at a confirmation. It is what a job file keeps, so that the same chain
// can be computed again exactly.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "state/weight_model.h"

namespace trelvan {

// A side as the distance meter measured it (实测边长), exactly as the job gives it: a
// value the job leaves out stays absent, so that the side is written back as it was
// read and a corrected setting of the chain recomputes it.
struct MeasuredSide {
    int k = 0;                        // the side, S1 … S(2N+1)
    double D = 0;                     // the distance the instrument showed, m
    std::optional<std::string> type;  // "slope" (斜距, the default) or "horizontal" (平距)
    std::optional<double> dh;         // reflector centre above the instrument centre, m
    std::optional<double> Z;          // zenith angle, packed degrees.minutes-seconds
    std::optional<double> Hm;         // mean height of the side above the height datum, m
    std::optional<double> ppm;        // atmospheric correction as the instrument gives it
    std::optional<double> t, p;       // temperature (°C) and pressure (hPa)
    std::optional<bool> right;        // an even side right of the route
};

// The instrument's atmospheric formula, ppm = A − B·p / (273.15 + t).
struct MeteoFormula {
    double A = 0;
    double B = 0;
};

// The chain's reduction settings (the job's "reduction" object), as written; the
// defaults of whatever is left out are the reduction's to apply.
struct ReductionSettings {
    std::optional<std::string> ellipsoid;  // "CGCS2000", "Xian80" or "Beijing54"
    std::optional<double> falseEasting;    // m
    std::optional<double> H0;              // height of the projection surface, m
    std::optional<bool> gauss;             // reduce to the Gauss plane
    std::optional<double> K;               // additive constant, mm
    std::optional<double> R;               // multiplicative constant, mm/km
    std::optional<MeteoFormula> meteo;
    std::optional<double> Hm;              // mean height of a side that gives none, m
};

// What a job may hold beyond the replies to the input boxes. The dialogue never asks
// for these; a job's values ride with the Compute action that computes the job, so
// that the completed record keeps them and a job saved from it writes them back as
// they were read. Empty for a chain typed into the input boxes.
struct JobOnlyValues {
    // The sides as the distance meter measured them, and the chain's reduction
    // settings (边长归算). The sides are in increasing k; a side not among them was
    // typed as a plane length. The side list of the job holds each measured side's
    // reduced plane length D4, negative when it lies right of the route.
    std::vector<MeasuredSide> measuredSides;
    std::optional<ReductionSettings> reduction;

    // The weights of the observations (定权); empty when the job names none, and
    // the chain is then weighted by the mean side.
    std::optional<WeightModel> weights;
};

struct TypedValues {
    std::int16_t N = 0;                    // the number of triangles the dialogue made
    double Xa = 0, Ya = 0, Xb = 0, Yb = 0;
    double Xpa = 0, Ypa = 0, Xpb = 0, Ypb = 0;
    // The external azimuths as typed packed angles. Typed only where the direction
    // point is 0 and 0; 0 there means that end is not oriented by an azimuth.
    double Ta = 0, Tb = 0;
    double Qa = 0, Qb = 0;                 // signed packed orientation angles
    double angleTolerance = 0;             // seconds, as typed (not as stored in float)
    std::vector<std::string> pointName;    // 0..N+1: A, the unknown points, B
    std::vector<double> side;              // 0..2N+1, index 0 unused; even sides signed
    JobOnlyValues jobOnly;
};

}  // namespace trelvan
