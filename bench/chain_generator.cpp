#include "chain_generator.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

#include "state/constants.h"
#include "state/number_format.h"
#include "state/packed_angle.h"

namespace trelvan::bench {

namespace {

// splitmix64: small, fast and the same on every platform, unlike the standard
// library's distributions.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }  // [0, 1)
    double uniform(double low, double high) { return low + (high - low) * uniform(); }
    std::int64_t integer(std::int64_t low, std::int64_t high) {  // [low, high]
        return low + static_cast<std::int64_t>(next() % static_cast<std::uint64_t>(high - low + 1));
    }
    double gaussian() {  // Box–Muller
        const double u1 = 1.0 - uniform();  // (0, 1]
        const double u2 = uniform();
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * 3.141592653589793 * u2);
    }

private:
    std::uint64_t state_;
};

constexpr std::int64_t tenthsPerDegree = 36000;
constexpr std::int64_t tenthsPerCircle = 360 * tenthsPerDegree;

double reduceDegrees(double a) {
    a = std::fmod(a, 360.0);
    return a < 0 ? a + 360.0 : a;
}

// An angle as the operator types it, and as the program reads it back.
struct TypedAngle {
    std::string text;
    double degrees = 0;
};

// Packed degrees.minutes-seconds to 0.1″ from a signed count of tenths of a second:
// 123°45′30.1″ is typed "123.45301". A packed value whose minutes or seconds would
// be misread by the truncating conversion (a binary value just below a whole
// number of minutes) is moved by 0.1″, as a surveyor's rounding might.
TypedAngle typeAngle(std::int64_t tenths) {
    for (int attempt = 0; attempt < 10; ++attempt, tenths += (tenths < 0 ? -1 : 1)) {
        const std::int64_t magnitude = std::llabs(tenths);
        const std::int64_t rest = magnitude % tenthsPerDegree;
        const std::int64_t packed =
            (magnitude / tenthsPerDegree) * 100000 + (rest / 600) * 1000 + rest % 600;
        TypedAngle angle;
        angle.text = tenths < 0 ? "-" : "";
        angle.text += formatFixed(static_cast<double>(packed) / 1e5, 5);
        angle.degrees = signedPackedToDegrees(*parseNumber(angle.text));
        const double intended = static_cast<double>(tenths) / tenthsPerDegree;
        if (std::fabs(angle.degrees - intended) < 1e-9) return angle;
    }
    throw std::logic_error("no packed angle reads back as intended");
}

// A length or coordinate typed to `decimals`, and its value as read back.
double typed(double value, int decimals, std::string& text) {
    text = formatFixed(value, decimals);
    return *parseNumber(text);
}

Point step(Point from, double length, double azimuthDegrees) {
    const double a = azimuthDegrees * degToRad;
    return {from.x + length * std::cos(a), from.y + length * std::sin(a)};
}

double distance(Point p, Point q) { return std::hypot(q.x - p.x, q.y - p.y); }

double headingDegrees(Point from, Point to) {
    return reduceDegrees(std::atan2(to.y - from.y, to.x - from.x) / degToRad);
}

double angleDifference(double a, double b) { return reduceDegrees(a - b + 180.0) - 180.0; }

// Route azimuth of S(2i+1) from that of S(2i−1), turning at the turning vertex by
// the angle beta: a zigzag turns from the back azimuth, a fan from the side itself.
double nextAzimuth(double azimuth, int sign, double beta, bool fan) {
    return reduceDegrees(azimuth + sign * beta + (fan ? 0.0 : 180.0));
}

// The turning angle the steering aims for: keeps the direction in which the chain
// advances (its even sides, in a zigzag) close to `target`, within well-shaped
// triangles, with a little randomness so that no two triangles are alike.
double steeredBeta(Random& random, Point back, Point turning, double azimuth, int sign, double length,
                   double target) {
    double best = 60.0, bestMiss = 1e9;
    for (double beta = 45.0; beta <= 75.0; beta += 1.0) {
        const Point next = step(turning, length, nextAzimuth(azimuth, sign, beta, false));
        const double miss = std::fabs(angleDifference(headingDegrees(back, next), target));
        if (miss < bestMiss) bestMiss = miss, best = beta;
    }
    return std::clamp(best + 2.0 * random.gaussian(), 45.0, 75.0);
}

}  // namespace

GeneratedChain generateChain(const ChainOptions& options) {
    const int n = options.triangles;
    if (n < 1 || n > maxTriangles) throw std::invalid_argument("triangles must lie in 1..16382");
    Random random(options.seed);

    GeneratedChain chain;
    chain.triangles = n;
    std::string xa, ya, xb, yb;
    chain.A.x = typed(3456000.0 + static_cast<double>(random.integer(0, 999999)) / 1000.0, 3, xa);
    chain.A.y = typed(512000.0 + static_cast<double>(random.integer(0, 999999)) / 1000.0, 3, ya);

    const auto orientation = [&random] {  // 20°..160° either way
        const std::int64_t tenths = random.integer(20 * tenthsPerDegree, 160 * tenthsPerDegree);
        return random.uniform() < 0.5 ? -tenths : tenths;
    };
    const TypedAngle ta = typeAngle(random.integer(1, tenthsPerCircle - 1));
    const TypedAngle qa = typeAngle(orientation());
    const TypedAngle qb = typeAngle(orientation());
    chain.Ta = ta.degrees;
    chain.Qa = qa.degrees;
    chain.Qb = qb.degrees;

    // The true chain. point[k] ends route side k; turning[i] is where triangle i turns.
    auto& point = chain.truePoint;
    point.assign(n + 2, Point{});
    std::vector<Point> turning(n + 1);
    std::vector<bool> fans(n + 1, false);
    chain.sideSign.assign(n + 1, 0);
    std::vector<double> routeLength(n + 2);
    point[0] = turning[0] = chain.A;

    double azimuth = reduceDegrees(chain.Ta + chain.Qa);
    routeLength[1] = random.uniform(900.0, 1400.0);
    point[1] = step(chain.A, routeLength[1], azimuth);
    // The chain curves through a full circle every 720 triangles, either way.
    const double curvature = random.uniform() < 0.5 ? -0.5 : 0.5;
    double targetHeading = 0;

    for (int i = 1; i <= n; ++i) {
        const bool fan = i >= 2 && random.uniform() < options.fanChance;
        fans[i] = fan;
        const int sign = i == 1 ? -1 : (fan ? chain.sideSign[i - 1] : -chain.sideSign[i - 1]);
        chain.sideSign[i] = sign;
        turning[i] = fan ? turning[i - 1] : point[i];
        routeLength[i + 1] = random.uniform(900.0, 1400.0);
        double beta;
        if (fan) {
            beta = random.uniform(45.0, 70.0);
        } else if (i == 1) {
            beta = random.uniform(50.0, 70.0);
        } else {
            targetHeading += curvature;
            beta = steeredBeta(random, turning[i - 1], turning[i], azimuth, sign, routeLength[i + 1],
                               targetHeading);
        }
        azimuth = nextAzimuth(azimuth, sign, beta, fan);
        point[i + 1] = step(turning[i], routeLength[i + 1], azimuth);
        if (i == 1) targetHeading = headingDegrees(chain.A, point[2]);
    }
    chain.B.x = typed(point[n + 1].x, 3, xb);
    chain.B.y = typed(point[n + 1].y, 3, yb);

    // The closing azimuth: the last route side seen from B, turned by Qb.
    const double lastRoute = headingDegrees(turning[n], point[n + 1]);
    std::int64_t tbTenths =
        std::llround(reduceDegrees(lastRoute + chain.Qb - 180.0) * tenthsPerDegree) % tenthsPerCircle;
    if (tbTenths == 0) tbTenths = 1;
    const TypedAngle tb = typeAngle(tbTenths);
    chain.Tb = tb.degrees;

    // The observed sides: true lengths plus noise, to 0.1 mm.
    const int sides = 2 * n + 1;
    chain.observedSide.assign(sides + 1, 0.0);
    std::vector<std::string> sideText(sides + 1);
    const auto observe = [&](int k, double trueLength) {
        const double noisy = trueLength + options.sideNoiseMm / 1000.0 * random.gaussian();
        const double sign = (k % 2 == 0) ? chain.sideSign[k / 2] : 1;
        chain.observedSide[k] = std::fabs(typed(sign * noisy, 4, sideText[k]));
    };
    observe(1, distance(turning[0], point[1]));
    for (int i = 1; i <= n; ++i) {
        // The even side joins the two vertices that are not the turning vertex.
        observe(2 * i, fans[i] ? distance(point[i], point[i + 1]) : distance(turning[i - 1], point[i + 1]));
        observe(2 * i + 1, distance(turning[i], point[i + 1]));
    }

    // The dialogue, in order. Every confirmation is answered with Enter.
    auto& r = chain.replies;
    r.reserve(static_cast<std::size_t>(6 * n + 40));
    const auto confirmed = [&r](const std::string& value) {
        r.push_back(value);
        r.emplace_back();
    };
    r.push_back(digits(n));
    for (const auto* value : {&xa, &ya, &xb, &yb}) confirmed(*value);
    for (int k = 0; k < 4; ++k) confirmed("0");  // no direction points: azimuths are typed
    confirmed(ta.text);
    confirmed(tb.text);
    confirmed(qa.text);
    confirmed(qb.text);
    r.push_back("2.5");  // angle tolerance, seconds
    r.push_back("A");
    for (int i = 1; i <= n; ++i) r.push_back(std::string("P").append(digits(i)));
    r.push_back("B");
    for (int k = 1; k <= sides; ++k) confirmed(sideText[k]);
    for (int i = 0; i < n + 2; ++i) r.emplace_back();  // the listing pauses
    return chain;
}

std::string replyFile(const GeneratedChain& chain) {
    std::size_t size = 0;
    for (const auto& line : chain.replies) size += line.size() + 1;
    std::string file;
    file.reserve(size);
    for (const auto& line : chain.replies) {
        file += line;
        file += '\n';
    }
    return file;
}

Misclosures expectedMisclosures(const GeneratedChain& chain) {
    const int n = chain.triangles;
    const auto& s = chain.observedSide;
    double azimuth = reduceDegrees(chain.Ta + chain.Qa);
    Point turning = chain.A;
    Point end = step(chain.A, s[1], azimuth);
    for (int i = 1; i <= n; ++i) {
        const double a = s[2 * i - 1], b = s[2 * i], c = s[2 * i + 1];
        const double beta = std::acos((a * a + c * c - b * b) / (2 * a * c)) / degToRad;
        const bool fan = i >= 2 && chain.sideSign[i] == chain.sideSign[i - 1];
        if (!fan) turning = end;
        azimuth = nextAzimuth(azimuth, chain.sideSign[i], beta, fan);
        end = step(turning, c, azimuth);
    }
    Misclosures w;
    w.w1Seconds = angleDifference(azimuth + chain.Qb - 180.0, chain.Tb) * 3600.0;
    w.wxMm = (end.x - chain.B.x) * 1000.0;
    w.wyMm = (end.y - chain.B.y) * 1000.0;
    return w;
}

std::optional<double> shownFigure(const std::string& text) {
    std::size_t end = 0;
    while (end < text.size() && static_cast<unsigned char>(text[end]) < 0x80) ++end;
    return parseNumber(std::string_view(text).substr(0, end));
}

}  // namespace trelvan::bench
