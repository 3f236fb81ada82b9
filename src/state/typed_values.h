#pragma once
// The data of one Compute action as the operator typed it and the dialogue accepted
// it: the value of every reply that was confirmed, never one that was refused or
// typed over at a confirmation. It is what a job file keeps, so that the same chain
// can be computed again exactly.

#include <cstdint>
#include <string>
#include <vector>

namespace trelvan {

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
};

}  // namespace trelvan
