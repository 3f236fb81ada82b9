#include "analysis/findings.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "state/failure.h"

namespace trelvan::analysis {

namespace {

CheckFindings::Condition conditionOf(Condition c) {
    switch (c) {
        case Condition::Azimuth: return CheckFindings::Condition::Azimuth;
        case Condition::X: return CheckFindings::Condition::X;
        case Condition::Y: return CheckFindings::Condition::Y;
    }
    return CheckFindings::Condition::X;
}

// What the analysis does not need: the middle point, and how far the listed B lies
// from the known one.
CheckFindings plainFindings(const ChainState& record) {
    CheckFindings f;
    const auto b = static_cast<std::size_t>(record.N) + 1;
    if (record.N < 1 || record.pointName.size() <= b || record.pointX.size() <= b || record.pointY.size() <= b)
        return f;  // no chain: nothing to find, and no report to close
    f.middlePoint = record.pointName[static_cast<std::size_t>(weakPointOf(record.N))];
    f.closingPoint = record.pointName[b];
    const double missed = std::hypot(record.pointX[b] - record.Xb, record.pointY[b] - record.Yb);
    if (!(missed <= closingPointTolerance)) f.missedB = missed;
    return f;
}

}  // namespace

CheckFindings checkFindings(const ChainState& record, const ChainPrecision& precision) {
    CheckFindings f = plainFindings(record);
    const PointPrecision& weakest = precision.points[static_cast<std::size_t>(precision.weakestPoint)];
    if (precision.weakestPoint != weakPointOf(record.N)) f.weakest = CheckFindings::Point{weakest.name, weakest.mp};

    if (!precision.sigma0 || !precision.globalTest) {
        f.checked = CheckFindings::Checked::NoTolerance;
        return f;
    }
    for (const Misclosure& m : precision.misclosures)
        f.misclosures.push_back({conditionOf(m.condition), m.stored, m.limit.value_or(0), !m.withinLimit.value_or(true)});
    f.statistic = precision.globalTest->statistic;
    f.quantile = precision.globalTest->quantile;
    f.passed = precision.globalTest->passed;
    for (const ObservationPrecision& o : precision.observations) {
        if (!o.suspect.value_or(false)) continue;
        const char* angle = o.kind == ObservationKind::Qa ? "Qa" : "Qb";
        f.suspects.push_back({o.kind == ObservationKind::Side ? sideName(o.k) : angle, *o.normalized});
    }
    // The most suspect first; on a tie, in the order of the chain.
    std::stable_sort(f.suspects.begin(), f.suspects.end(),
                     [](const auto& a, const auto& b) { return a.normalized > b.normalized; });
    return f;
}

CheckFindings checkFindings(const ChainState& record) {
    try {
        if (const auto precision = analyse(record)) return checkFindings(record, *precision);
    } catch (const ComputeFailure&) {
        // The report still closes with what can be said without the analysis.
    }
    CheckFindings f = plainFindings(record);
    f.checked = CheckFindings::Checked::NotAnalysed;
    return f;
}

Report printedReport(const ChainState& record) {
    if (!record.hasResult()) return {};
    return buildReport(record, checkFindings(record));
}

}  // namespace trelvan::analysis
