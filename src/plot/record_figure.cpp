// The plot of a completed computation: the chain as the adjustment left it, the
// error ellipses of the precision analysis, and what the plot says of a point.

#include <cmath>
#include <cstddef>
#include <optional>

#include "analysis/chain_precision.h"
#include "analysis/tables.h"
#include "plot/plot.h"
#include "state/failure.h"
#include "state/number_format.h"

namespace trelvan::plot {

std::vector<PointPrecision> plotPrecision(const analysis::ChainPrecision& precision) {
    std::vector<PointPrecision> points;
    points.reserve(precision.points.size());
    for (const analysis::PointPrecision& p : precision.points) points.push_back({p.mx, p.my, p.E, p.F, p.phi});
    return points;
}

ChainFigure recordFigure(const ChainState& record, const analysis::ChainPrecision& precision) {
    if (!record.hasResult()) return {};
    return chainFigure({record, record.adjustment.sideSign, plotPrecision(precision)});
}

ChainFigure recordFigure(const ChainState& record, std::string* analysisFailure) {
    if (!record.hasResult()) return {};
    std::optional<analysis::ChainPrecision> analysed;
    try {
        analysed = analysis::analyse(record);
    } catch (const ComputeFailure& failure) {
        if (analysisFailure) *analysisFailure = failure.what();
    }
    if (analysed) return recordFigure(record, *analysed);
    return chainFigure({record, record.adjustment.sideSign, {}});
}

std::string describePoint(const ChainFigure& figure, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= figure.points.size()) return {};
    const FigurePoint& p = figure.points[static_cast<std::size_t>(index)];
    const bool known = p.kind == PointKind::Known;
    std::string text = p.label + (known ? "（已知点）" : "（点 " + digits(index) + "）");
    text += "\nX = " + roundedFixed(p.at.x, 3, 3) + " 米";
    text += "\nY = " + roundedFixed(p.at.y, 3, 3) + " 米";
    if (known) return text;
    const PointPrecision& q = p.precision;
    if (!hasEllipse(q)) return text + "\n没有精度数据";
    text += "\nmx = " + formatFixed(q.mx, 2) + " 毫米，my = " + formatFixed(q.my, 2) + " 毫米";
    const std::string phi = analysis::directionText(q.phiDegrees);
    text += "\n误差椭圆 E = " + formatFixed(q.E, 2) + " 毫米，F = " + formatFixed(q.F, 2) + " 毫米，φ = " + phi + "°";
    return text;
}

int pointNear(const ChainFigure& figure, const Transform& transform, PagePoint at, double reach) {
    int nearest = -1;
    double best = reach * reach;
    for (std::size_t i = 0; i < figure.points.size(); ++i) {
        const PagePoint p = transform.toPage(figure.points[i].at);
        const double d = (p.x - at.x) * (p.x - at.x) + (p.y - at.y) * (p.y - at.y);
        if (d <= best) best = d, nearest = static_cast<int>(i);
    }
    return nearest;
}

}  // namespace trelvan::plot
