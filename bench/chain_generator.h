#pragma once
// A synthetic but realistic trilateration chain, written out as the replies a
// surveyor would type into the Compute action's input boxes.
//
// The chain starts near a national-grid point (X ≈ 3 456 000, Y ≈ 512 000), has
// sides of roughly 0.6–1.9 km, zigzags with an occasional fan, and slowly curves
// so that even the largest chain stays within some hundred kilometres of A. The
// true points are built first; every observed side is the true distance plus
// Gaussian noise, rounded to 0.1 mm as a distance meter shows it. Ta, Qa, Qb and
// the closing azimuth Tb are typed as packed angles to 0.1″; B is the true end
// point, to the millimetre. Output is deterministic for a given seed.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace trelvan::bench {

struct ChainOptions {
    int triangles = 10;
    std::uint64_t seed = 1;
    double sideNoiseMm = 2.0;   // standard deviation of the side noise
    double fanChance = 0.03;    // chance that a triangle fans about the last vertex
};

struct Point {
    double x = 0;  // north
    double y = 0;  // east
};

// What the operator types, and what the chain truly is.
struct GeneratedChain {
    int triangles = 0;
    std::vector<std::string> replies;   // one reply a line, in dialogue order
    std::vector<Point> truePoint;       // 0..N+1, point k at the end of route side 2k−1
    std::vector<double> observedSide;   // 1..2N+1 as typed (even sides positive), m
    std::vector<int> sideSign;          // 1..N: −1 right of the route, +1 left
    double Ta = 0, Qa = 0, Tb = 0, Qb = 0;  // as the program converts the typed angles, degrees
    Point A, B;                         // as typed
};

GeneratedChain generateChain(const ChainOptions& options);

// The replies as a file: one line each, LF line ends.
std::string replyFile(const GeneratedChain& chain);

// The misclosures the typed observations carry to B, found by walking the chain
// with plain trigonometry: w1 in seconds (reduced to ±180°), wx and wy in mm.
struct Misclosures {
    double w1Seconds = 0;
    double wxMm = 0;
    double wyMm = 0;
};
Misclosures expectedMisclosures(const GeneratedChain& chain);

// The number of a figure as a text box shows it: -1.63 from "-1.63毫米"; empty for a
// text without a leading number ("不存在").
std::optional<double> shownFigure(const std::string& text);

}  // namespace trelvan::bench
