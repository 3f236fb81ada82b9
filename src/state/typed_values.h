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

// What a job may hold beyond the replies to the input boxes. The dialogue never asks
// for these; a job's values ride with the Compute action that computes the job, so
// that the completed record keeps them and a job saved from it writes them back as
// they were read. Empty for a chain typed into the input boxes.
struct JobOnlyValues {
    // The sides as the distance meter measured them, and the chain's reduction
    // settings (边长归算).

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
