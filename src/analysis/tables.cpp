#include "analysis/tables.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "state/chain_state.h"
#include "state/constants.h"
#include "state/number_format.h"
#include "state/text_width.h"
#include "state/units.h"

namespace trelvan::analysis {

namespace {

constexpr const char* seconds = "秒";
constexpr const char* millimetres = "毫米";
constexpr const char* noTolerance = "未给限差";   // Mb = 0: no a priori precision
constexpr const char* unchecked = "不可检测";     // no condition checks the observation

TableCell figure(double value, int decimals, const char* unit = "") {
    return {formatFixed(value, decimals) + unit, value};
}
TableCell words(std::string text) { return {std::move(text), std::nullopt}; }

// A misclosure as the window's boxes show it: w(1) rounded to two decimals, X and
// Y as the 32-bit product of the stored metres and 1000.
TableCell shownMisclosure(const Misclosure& m) {
    const bool azimuth = m.condition == Condition::Azimuth;
    const float shown = azimuth ? m.stored : millimetresOf(m.stored);
    return {roundedFixed(static_cast<double>(shown), 2, 2) + (azimuth ? seconds : millimetres), m.w};
}

Table closures(const ChainPrecision& p) {
    Table t{"闭合差与检验",
            {{"项目", false}, {"数值", true}, {"中误差", true}, {"限差", true}, {"结论", false}},
            {}};
    for (const Misclosure& m : p.misclosures) {
        const bool azimuth = m.condition == Condition::Azimuth;
        const char* unit = azimuth ? seconds : millimetres;
        const char* name = azimuth ? "方位角闭合差" : m.condition == Condition::X ? "纵座标闭合差" : "横座标闭合差";
        TableRow row{{words(name), shownMisclosure(m)}, false};
        if (m.sigma) {
            row.cells.push_back(figure(*m.sigma, 2, unit));
            row.cells.push_back(figure(*m.limit, 2, unit));
            row.cells.push_back(words(*m.withinLimit ? "合格" : "超限"));
            row.marked = !*m.withinLimit;
        } else {
            for (int k = 0; k < 3; ++k) row.cells.push_back(words(noTolerance));
        }
        t.rows.push_back(std::move(row));
    }
    const std::string degrees = digits(p.conditions);
    if (p.globalTest) {
        const GlobalTest& g = *p.globalTest;
        t.rows.push_back({{words("整体检验 [pvv]/σ0²（自由度 " + degrees + "）"), figure(g.statistic, 3),
                           words(""), figure(g.quantile, 3), words(g.passed ? "通过" : "未通过")},
                          !g.passed});
    } else {
        t.rows.push_back({{words("整体检验 [pvv]/σ0²（自由度 " + degrees + "）"), words(noTolerance),
                           words(""), words(""), words(noTolerance)},
                          false});
    }
    t.rows.push_back({{words("单位权中误差 σ0（先验）"),
                       p.sigma0 ? figure(*p.sigma0, 2, seconds) : words(noTolerance)},
                      false});
    // mb as the window shows it, rounded to two decimals first.
    t.rows.push_back({{words("单位权中误差 mb（后验）"),
                       TableCell{roundedFixed(p.mb, 2, 2) + seconds, p.mb}},
                      false});
    return t;
}

TableCell direction(double phi) { return {directionText(phi), phi}; }

Table points(const ChainPrecision& p) {
    Table t{"点位精度",
            {{"点号", true}, {"点名", false}, {"纵座标 X (米)", true}, {"横座标 Y (米)", true},
             {"mx (毫米)", true}, {"my (毫米)", true}, {"mp (毫米)", true}, {"E (毫米)", true},
             {"F (毫米)", true}, {"φ (度)", true}, {"备注", false}},
            {}};
    for (const PointPrecision& q : p.points) {
        const bool weakest = q.index == p.weakestPoint;
        // The coordinates as the listing shows them.
        t.rows.push_back({{figure(q.index, 0), words(q.name),
                           {roundedFixed(q.X, 3, 3), q.X}, {roundedFixed(q.Y, 3, 3), q.Y},
                           figure(q.mx, 2), figure(q.my, 2), figure(q.mp, 2), figure(q.E, 2),
                           figure(q.F, 2), direction(q.phi), words(weakest ? "最弱点" : "")},
                          weakest});
    }
    return t;
}

// The relative error as 1/T, T the adjusted length over its standard error.
TableCell relative(double r) {
    if (r == 0) return {"0", 0.0};
    return {"1/" + formatFixed(1 / r, 0), r};
}

Table sides(const ChainPrecision& p) {
    Table t{"边长精度",
            {{"边", false}, {"观测边长 (米)", true}, {"平差边长 (米)", true}, {"改正数 v (毫米)", true},
             {"中误差 m (毫米)", true}, {"相对中误差", true}, {"备注", false}},
            {}};
    for (const ObservationPrecision& o : p.observations) {
        if (o.kind != ObservationKind::Side) continue;
        const bool weakest = o.k == p.weakestSide;
        // The lengths as the report prints them.
        t.rows.push_back({{words(sideName(o.k)), {formatFixed(o.observed, 4), o.observed},
                           {roundedFixed(o.adjusted, 3, 4), o.adjusted}, figure(o.v, 2),
                           figure(o.m, 2), relative(o.relative), words(weakest ? "最弱边" : "")},
                          weakest});
    }
    return t;
}

Table reliability(const ChainPrecision& p) {
    Table t{"可靠性",
            {{"观测值", false}, {"改正数 v", true}, {"多余观测分量 r", true}, {"标准化改正数", true},
             {"粗差检验", false}, {"可发现的最小粗差", true}},
            {}};
    for (const ObservationPrecision& o : p.observations) {
        const bool side = o.kind == ObservationKind::Side;
        const char* unit = side ? millimetres : seconds;
        const std::string name = side ? sideName(o.k) : o.kind == ObservationKind::Qa ? "定向角 Qa" : "定向角 Qb";
        TableRow row{{words(name), figure(o.v, 2, unit), figure(o.redundancy, 4)}, false};
        if (o.normalized) {
            row.cells.push_back(figure(*o.normalized, 2));
            row.cells.push_back(words(*o.suspect ? "可疑" : ""));
            row.cells.push_back(figure(*o.mdb, 2, unit));
            row.marked = *o.suspect;
        } else {
            const char* why = o.redundancy < uncheckedBelow ? unchecked : noTolerance;
            for (int k = 0; k < 3; ++k) row.cells.push_back(words(why));
        }
        t.rows.push_back(std::move(row));
    }
    return t;
}

// An angle in degrees as surveyors read it, to the whole second: 35°07′12″.
std::string angleText(double degrees) {
    const auto seconds = static_cast<long long>(roundHalfEven(degrees * secondsPerDegree, 0));
    const auto twoDigits = [](long long n) { return (n < 10 ? "0" : "") + digits(n); };
    return digits(seconds / 3600) + "°" + twoDigits(seconds / 60 % 60) + "′" + twoDigits(seconds % 60) + "″";
}

// The figures a check against the grade tables asks, stated without a verdict; a
// triangle's angle under what the standard asks is marked.
Table summary(const ChainPrecision& p) {
    const GradeSummary& s = p.summary;
    Table t{"概要", {{"项目", false}, {"数值", true}, {"备注", false}}, {}};
    const auto metres = [](double x) { return TableCell{roundedFixed(x, 3, 3) + "米", x}; };
    const auto sideLength = [&p](int k) { return p.observations[static_cast<std::size_t>(k)].adjusted; };
    t.rows.push_back({{words("三角形个数"), figure(s.triangles, 0), words("")}, false});
    t.rows.push_back({{words("平均边长"), metres(s.meanSide), words("")}, false});
    t.rows.push_back({{words("最短边"), metres(sideLength(s.shortestSide)), words(sideName(s.shortestSide))}, false});
    t.rows.push_back({{words("最长边"), metres(sideLength(s.longestSide)), words(sideName(s.longestSide))}, false});
    std::string where = "三角形 " + digits(s.smallestAngleTriangle);
    const bool sharp = s.smallestAngle < smallestAngleAsked;
    if (sharp) {
        const double asked = s.smallestAngle < singleAngleAsked ? singleAngleAsked : smallestAngleAsked;
        where += "，小于 " + digits(static_cast<int>(asked)) + "°";
    }
    t.rows.push_back({{words("最小角"), {angleText(s.smallestAngle), s.smallestAngle}, words(where)}, sharp});
    t.rows.push_back({{words("最弱边相对中误差"), relative(s.weakestSideRelative), words(sideName(p.weakestSide))},
                      false});
    t.rows.push_back({{words("最大点位中误差 mp"), figure(s.largestMp, 2, millimetres),
                       words(p.points[static_cast<std::size_t>(s.largestMpPoint)].name)},
                      false});
    return t;
}

}  // namespace

std::string directionText(double phi) {
    std::string text = formatFixed(phi, 1);
    if (text == "180.0") text = "0.0";
    return text;
}

std::vector<Table> analysisTables(const ChainPrecision& precision) {
    return {closures(precision), points(precision), sides(precision), reliability(precision), summary(precision)};
}

std::string renderAnalysisText(const ChainPrecision& precision) {
    // Columns stand two cells apart; figures are right-aligned in theirs.
    constexpr int gap = 2;
    std::string out = "Trelvan 精度分析\n";
    for (const Table& table : analysisTables(precision)) {
        out += '\n';
        out += table.title;
        out += '\n';
        const std::size_t columns = table.columns.size();
        // The header and every row, with the display cells of each text counted once.
        std::vector<std::vector<std::pair<const std::string*, int>>> lines;
        lines.reserve(table.rows.size() + 1);
        std::vector<int> width(columns, 0);
        const auto add = [&](std::vector<std::pair<const std::string*, int>> line) {
            for (std::size_t c = 0; c < line.size() && c < columns; ++c)
                width[c] = std::max(width[c], line[c].second);
            lines.push_back(std::move(line));
        };
        std::vector<std::pair<const std::string*, int>> header;
        for (const TableColumn& c : table.columns) header.emplace_back(&c.header, displayCells(c.header));
        add(std::move(header));
        for (const TableRow& row : table.rows) {
            std::vector<std::pair<const std::string*, int>> line;
            for (const TableCell& cell : row.cells) line.emplace_back(&cell.text, displayCells(cell.text));
            add(std::move(line));
        }
        for (const auto& line : lines) {
            std::size_t start = out.size();
            int at = 0, column = 0;
            for (std::size_t c = 0; c < line.size() && c < columns; ++c) {
                const int pad = column - at + (table.columns[c].numeric ? width[c] - line[c].second : 0);
                out.append(static_cast<std::size_t>(pad), ' ');
                out += *line[c].first;
                at = column + (table.columns[c].numeric ? width[c] : line[c].second);
                column += width[c] + gap;
            }
            const auto last = out.find_last_not_of(' ');
            out.erase(last == std::string::npos || last < start ? start : last + 1);
            out += '\n';
        }
    }
    return out;
}

}  // namespace trelvan::analysis
