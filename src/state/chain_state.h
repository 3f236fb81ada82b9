#pragma once
// The one shared record of the program, and the working values of one Compute run.

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "state/adjustment_record.h"
#include "state/typed_values.h"

namespace trelvan {

// Chain numbering: points 0..N+1 along the azimuth route (0 = A, 1..N the unknown
// points, N+1 = B); sides 1..2N+1, triangle i has sides S(2i−1), S(2i), S(2i+1);
// the odd sides form the azimuth route, route side S(2k−1) ends at point k.
// Observation numbering of the adjustment: 0 = Qa, 1..2N+1 the sides, 2N+2 = Qb.
// Every array has lower bound 0; index 0 of the side-indexed arrays is not used.

// The record the Compute action builds and the Print action reads.
struct ChainState {
    std::vector<double> pointX;            // 0..N+1, m
    std::vector<double> pointY;            // 0..N+1, m
    std::array<float, 4> w{};              // 1..3: w(1) seconds, w(2), w(3) metres
    std::vector<std::string> pointName;    // 0..N+1, UTF-8
    std::vector<double> side;              // 0..2N+1, m: observed, then adjusted
    std::vector<double> observedSide;      // 0..2N+1, m
    double Xa = 0, Ya = 0, Xb = 0, Yb = 0;
    // Direction points are kept in double precision, exactly as typed: as 32-bit
    // floats a national-grid coordinate would move by up to metres.
    double Xpa = 0, Ypa = 0, Xpb = 0, Ypb = 0;
    // The external azimuths as typed in this action's dialogue, packed angles; 0 where
    // the azimuth was not typed (a direction point, or no orientation at that end).
    double taEntered = 0;
    double tbEntered = 0;                  // 0 also when Tb was typed 0: no closing azimuth
    float mb = 0;                          // angle tolerance, then unit-weight angle error (s)
    float ms = 0;                          // unit-weight side error (mm)
    float invPx = 0, invPy = 0;            // weight reciprocals of the weakest point (mm²)
    float mx = 0, my = 0, md = 0;          // standard errors of the weakest point (mm)
    std::int16_t N = 0;                    // number of triangles

    // The adjustment case of this run: true when the azimuth condition was used
    // (closing azimuth Tb and closing orientation angle Qb both non-zero).
    bool azimuthCondition = false;
    // A was oriented in this action: by a typed azimuth other than 0, or by a
    // direction point. Without it the chain lies in a free orientation.
    bool orientedAtA = false;

    // The model and solution of the last adjustment, for the precision analysis.
    AdjustmentRecord adjustment;

    // What was typed and accepted, value by value: the job of this action.
    TypedValues typed;

    // When the Compute action that filled this record completed: the date and time
    // a printed result is dated by.
    std::chrono::system_clock::time_point computedAt{};

    // True once a Compute action has completed into this record.
    bool hasResult() const { return N > 0 && !pointX.empty(); }
};

using Matrix6 = std::array<std::array<double, 6>, 6>;

// Working values of one Compute run. Created at the start of the run, dropped at its end.
struct RunValues {
    double Ta = 0;   // external azimuth at A, decimal degrees; 0 = none
    double Tb = 0;   // external azimuth at B, decimal degrees; 0 = no closing azimuth
    double Qa = 0;   // orientation angle at A, signed decimal degrees
    double Qb = 0;   // orientation angle at B, signed decimal degrees; 0 = not measured

    std::vector<std::int16_t> sideSign;  // 0..N+1: (0) sign of Qa, (i) even side, (N+1) sign of Qb
    std::vector<double> routeAzimuth;    // 0..N+2, degrees
    std::vector<double> alpha;           // 0..N+1, degrees
    std::vector<double> beta;            // 0..N, degrees
    std::vector<double> gamma;           // 0..N, degrees
    std::vector<double> altitude;        // 0..N+1, m
    std::vector<double> cofactor;        // 0..2N+2
    std::vector<double> correction;      // 0..2N+2: (0), (2N+2) seconds; sides metres
    std::array<std::vector<double>, 6> conditionCoef;  // [row 0..5][observation 0..2N+2]
    Matrix6 workMatrix1{};
    Matrix6 workMatrix2{};
    int weakPoint = 0;
    std::string confirmReply;

    // Scalars the stages hand on to each other.
    double meanSide = 0;
    double equivalentSideError = 0;
    double sideCofactor = 0;             // (1000·meanSide/rho)², for sides in millimetres
    double computedTb = 0;               // azimuth of the external direction at B, carried
    std::array<double, 4> k{};           // correlates, 1..3
    std::array<double, 4> qx{}, qy{};    // two-condition auxiliary solutions, 2..3
    double sideCorrectionSquareSum = 0;  // Σ (1000·v)² over the sides, mm²
};

// The name of side k, "S7".
std::string sideName(int k);

// The middle point of the chain, whose precision is reported.
int weakPointOf(int n);

// Re-creates every array of the record and of the run for n triangles, dropping
// all old contents (what the last adjustment kept included), and sets weakPoint.
// Scalars of the record are left alone; the typed values start afresh.
void sizeArrays(ChainState& state, RunValues& run, std::int16_t n);

}  // namespace trelvan
