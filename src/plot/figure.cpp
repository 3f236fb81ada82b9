// The chain on the ground: every point where the adjusted computation put it, every
// side between the two points the chain numbering gives it, the orientation at
// each end, and the magnification that makes the ellipses visible.

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "adjustment/geometry.h"
#include "plot/plot.h"
#include "report/report.h"
#include "state/azimuth.h"
#include "state/constants.h"
#include "state/packed_angle.h"
#include "state/text_width.h"
#include "state/utf8.h"

namespace trelvan::plot {

namespace {

// The longest name drawn in full, in character cells; a longer one is cut and ends
// in an ellipsis, so that one pasted paragraph cannot blot out the plot.
constexpr int longestLabelCells = 40;

// The largest ellipse is drawn at most this fraction of the mean side.
constexpr double largestEllipseShare = 0.3;

// The name as the plot draws it: each undrawable character shown as U+FFFD, and a
// name wider than longestLabelCells cut short with "…".
std::string labelOf(const std::string& name) { return drawnText(sanitizeUtf8(name), longestLabelCells); }

bool holdsChain(const ChainState& s, std::size_t signs) {
    if (!s.hasResult()) return false;
    const auto n = static_cast<std::size_t>(s.N);
    return s.pointX.size() >= n + 2 && s.pointY.size() >= n + 2 && s.pointName.size() >= n + 2 &&
           s.side.size() >= 2 * n + 2 && signs >= n + 1;
}

double reduced(double azimuth) {
    azimuth = std::fmod(azimuth, 360.0);
    return azimuth < 0 ? azimuth + 360 : azimuth;
}

// The orientation at one end, as the dialogue took it: a direction point when both
// its coordinates are non-zero, else the azimuth typed when both are zero (a typed
// 0 means none), else none.
Orientation orientationAt(int point, Ground at, double xp, double yp, double typed,
                          const char* typedCaption, const char* pointCaption) {
    Orientation o;
    o.point = point;
    if (xp != 0 && yp != 0) {
        o.kind = OrientationKind::DirectionPoint;
        o.directionPoint = {xp, yp};
        o.distance = std::hypot(xp - at.x, yp - at.y);
        if (!(o.distance > 0) || !std::isfinite(o.distance)) return Orientation{};
        o.azimuthDegrees = reduced(azimuthTo(at.x, at.y, xp, yp));
        o.caption = pointCaption;
    } else if (xp == 0 && yp == 0 && typed != 0 && std::isfinite(typed)) {
        o.kind = OrientationKind::TypedAzimuth;
        o.azimuthDegrees = reduced(signedPackedToDegrees(typed));
        o.caption = typedCaption;
    }
    return o;
}

}  // namespace

bool hasEllipse(const PointPrecision& p) {
    return std::isfinite(p.E) && std::isfinite(p.F) && std::isfinite(p.phiDegrees) && p.E > 0 && p.F >= 0;
}

ChainFigure chainFigure(const PlotSource& source) {
    const ChainState& s = source.record;
    ChainFigure figure;
    if (!holdsChain(s, source.sideSign.size())) return figure;
    const int n = s.N;

    figure.points.resize(static_cast<std::size_t>(n) + 2);
    for (int i = 0; i <= n + 1; ++i) {
        FigurePoint& p = figure.points[static_cast<std::size_t>(i)];
        p.at = {s.pointX[static_cast<std::size_t>(i)], s.pointY[static_cast<std::size_t>(i)]};
        if (!std::isfinite(p.at.x) || !std::isfinite(p.at.y)) return ChainFigure{};
        p.kind = i == 0 || i == n + 1 ? PointKind::Known : PointKind::Unknown;
        p.name = s.pointName[static_cast<std::size_t>(i)];
        p.label = labelOf(p.name);
    }

    // The turning vertex of triangle i, where its route sides S(2i−1) and S(2i+1)
    // meet: point 1 for the first triangle, point i where the route zigzags, and the
    // previous turning vertex where the triangles fan about it. Triangle i then has
    // the vertices turn(i−1), i and i+1.
    const auto sign = source.sideSign;
    std::vector<int> turn(static_cast<std::size_t>(n) + 1);
    turn[0] = 0;
    turn[1] = 1;
    for (int i = 2; i <= n; ++i) {
        turn[static_cast<std::size_t>(i)] =
            geometry::isFan(sign, i) ? turn[static_cast<std::size_t>(i) - 1] : i;
    }
    // Route side S(2i−1) runs from turn(i−1) to point i. The even side S(2i) joins
    // the two vertices that are not the turning vertex: turn(i−1) and point i+1 in a
    // zigzag (and in triangle 1), points i and i+1 in a fan.
    figure.sides.resize(2 * static_cast<std::size_t>(n) + 1);
    for (int i = 1; i <= n + 1; ++i) {
        figure.sides[static_cast<std::size_t>(2 * i - 2)] = {2 * i - 1, turn[static_cast<std::size_t>(i) - 1],
                                                             i, SideKind::Route};
    }
    for (int i = 1; i <= n; ++i) {
        const bool fan = i >= 2 && geometry::isFan(sign, i);
        figure.sides[static_cast<std::size_t>(2 * i - 1)] = {
            2 * i, fan ? i : turn[static_cast<std::size_t>(i) - 1], i + 1, SideKind::Other};
    }

    double sum = 0;
    for (int k = 1; k <= 2 * n + 1; ++k) sum += s.side[static_cast<std::size_t>(k)];
    figure.meanSide = sum / (2 * n + 1);
    if (!(figure.meanSide > 0) || !std::isfinite(figure.meanSide)) return ChainFigure{};

    const Ground a = figure.points.front().at, b = figure.points.back().at;
    figure.ends[0] = orientationAt(0, a, s.Xpa, s.Ypa, s.taEntered, "Ta", "Pta");
    figure.ends[1] = orientationAt(n + 1, b, s.Xpb, s.Ypb, s.tbEntered, "Tb", "Ptb");

    if (source.precision.size() == figure.points.size()) {
        double largest = 0;
        for (std::size_t i = 0; i < figure.points.size(); ++i) {
            const PointPrecision& p = source.precision[i];
            figure.points[i].precision = p;
            if (hasEllipse(p)) largest = std::max(largest, p.E);
        }
        // E is in millimetres; on the ground the largest is largest/1000 metres.
        if (largest > 0) {
            const double wanted = largestEllipseShare * figure.meanSide / (largest / 1000);
            if (std::isfinite(wanted)) {
                figure.ellipseMagnification = wanted >= 1 ? niceBelow(wanted).value() : 1;
            }
        }
    }

    figure.title = reportTitle(s);
    return figure;
}

double orientationLength(const ChainFigure& figure, const Orientation& end) {
    // Long enough to read its direction beside the chain's sides; a direction
    // point nearer than that is reached.
    const double arrow = 1.2 * figure.meanSide;
    if (end.kind == OrientationKind::DirectionPoint) return std::min(arrow, end.distance);
    return end.kind == OrientationKind::TypedAzimuth ? arrow : 0;
}

}  // namespace trelvan::plot
