// The reduction's table, text, JSON and warning.

#include "reduction/reduction_table.h"

#include <algorithm>
#include <cmath>

#include "state/chain_state.h"
#include "state/number_format.h"
#include "state/text_width.h"

namespace trelvan::reduction {

namespace {

constexpr int mostNamed = 5;

// A figure with its sign always shown: "+31.2", "-4.0".
std::string signedFixed(double x, int decimals) {
    const std::string text = formatFixed(x, decimals);
    return text.front() == '-' || text.find_first_not_of("0.") == std::string::npos ? text : "+" + text;
}

std::string ppmText(const SideReduction& s) { return signedFixed(s.surfacePpm(), 1); }

std::vector<std::string> headingOf(const Reduction& r) {
    const Settings& s = r.settings;
    const std::string meteo =
        s.meteo ? "ppm = " + generalNumber(s.meteo->A) + " − " + generalNumber(s.meteo->B) + "·p / (273.15 + t)"
                : "未给";
    return {
        "椭球：" + std::string(s.ellipsoid.name) + "（a = " + generalNumber(s.ellipsoid.a) + " 米，f = 1/" +
            generalNumber(s.ellipsoid.inverseFlattening) + "）",
        "东伪偏移 falseEasting：" + generalNumber(s.falseEasting) + " 米；投影面高程 H0：" + generalNumber(s.H0) +
            " 米；高斯投影改化：" + (s.gauss ? "是" : "否（投影面上的独立平面）"),
        "测距仪加常数 K：" + generalNumber(s.K) + " 毫米；乘常数 R：" + generalNumber(s.R) +
            " 毫米/公里；气象改正公式：" + meteo,
        "未给高程之边的平均高程 Hm：" + (s.Hm ? generalNumber(*s.Hm) + " 米" : std::string("未给")),
        "起始点 A 的纬度 B：" + latitudeText(r.latitude) + "；平均曲率半径 Rm：" +
            (std::isfinite(r.Rm) ? formatFixed(r.Rm, 3) + " 米" : std::string("—")),
        "超限：高程与投影改正合计超过 25 ppm（2.5 厘米/公里），宜换投影带或采用抵偿高程面。",
    };
}

// A JSON number at full precision; null where there is no finite figure.
std::string jsonNumber(double x) { return std::isfinite(x) ? shortestNumber(x) : "null"; }

}  // namespace

std::string latitudeText(double degrees) {
    if (!std::isfinite(degrees)) return "—";
    const double hundredths = std::round(std::fabs(degrees) * 360000);
    const auto total = static_cast<long long>(hundredths);
    const long long d = total / 360000, m = total / 6000 % 60, cs = total % 6000;
    const std::string seconds = formatFixed(static_cast<double>(cs) / 100, 2);
    return (degrees < 0 && total > 0 ? "-" : "") + digits(d) + "°" + (m < 10 ? "0" : "") + digits(m) + "′" +
           (cs < 1000 ? "0" : "") + seconds + "″";
}

Table reductionTable(const Reduction& r) {
    Table t;
    t.title = "实测边长的归算";
    t.heading = headingOf(r);
    t.columns = {{"边", false},
                 {"类型", false},
                 {"实测距离 D (米)", true},
                 {"平均高程 Hm (米)", true},
                 {"加乘常数与气象 (毫米)", true},
                 {"倾斜改正 (毫米)", true},
                 {"归算到投影面 (毫米)", true},
                 {"高斯投影改化 (毫米)", true},
                 {"归算边长 D4 (米)", true},
                 {"高程与投影 (ppm)", true},
                 {"备注", false}};
    for (const SideReduction& s : r.sides) {
        t.rows.push_back({{sideName(s.k), s.horizontal ? "平距" : "斜距", formatFixed(s.D, 4), generalNumber(s.Hm),
                           formatFixed(s.constants(), 2), formatFixed(s.slope(), 2), formatFixed(s.height(), 2),
                           formatFixed(s.gauss(), 2), formatFixed(s.D4, 4), ppmText(s), s.warning ? "超限" : ""},
                          s.warning});
    }
    return t;
}

std::string reductionText(const Reduction& r) {
    const Table t = reductionTable(r);
    std::string out = "Trelvan 边长归算\n\n";
    for (const std::string& line : t.heading) out += line + "\n";
    out += '\n';
    if (t.rows.empty()) return out + "没有实测边长：所有边长都是输入的平面边长。\n";
    out += t.title + "\n";

    // Columns stand two cells apart; figures are right-aligned in theirs.
    constexpr int gap = 2;
    std::vector<const std::vector<std::string>*> lines;
    std::vector<std::string> header;
    for (const TableColumn& c : t.columns) header.push_back(c.header);
    lines.push_back(&header);
    for (const TableRow& row : t.rows) lines.push_back(&row.cells);
    std::vector<int> width(t.columns.size(), 0);
    for (const auto* line : lines)
        for (std::size_t c = 0; c < line->size(); ++c) width[c] = std::max(width[c], displayCells((*line)[c]));
    for (const auto* line : lines) {
        const std::size_t start = out.size();
        int at = 0, column = 0;
        for (std::size_t c = 0; c < line->size(); ++c) {
            const int cells = displayCells((*line)[c]);
            const int pad = column - at + (t.columns[c].numeric ? width[c] - cells : 0);
            out.append(static_cast<std::size_t>(pad), ' ');
            out += (*line)[c];
            at = column + (t.columns[c].numeric ? width[c] : cells);
            column += width[c] + gap;
        }
        const auto last = out.find_last_not_of(' ');
        out.erase(last == std::string::npos || last < start ? start : last + 1);
        out += '\n';
    }
    return out;
}

std::string reductionJson(const Reduction& r) {
    std::string out = "{\n  \"trelvan\": 2,\n  \"ellipsoid\": \"";
    out += r.settings.ellipsoid.name;
    out += "\",\n  \"latitude\": " + jsonNumber(r.latitude) + ",\n  \"Rm\": " + jsonNumber(r.Rm) + ",\n  \"sides\": [";
    for (std::size_t i = 0; i < r.sides.size(); ++i) {
        const SideReduction& s = r.sides[i];
        out += i == 0 ? "\n    " : ",\n    ";
        out += "{\"k\": " + digits(s.k) + ", \"D\": " + jsonNumber(s.D) + ", \"D1\": " + jsonNumber(s.D1) +
               ", \"D2\": " + jsonNumber(s.D2) + ", \"D3\": " + jsonNumber(s.D3) + ", \"D4\": " + jsonNumber(s.D4) +
               ", \"constants\": " + jsonNumber(s.constants()) + ", \"slope\": " + jsonNumber(s.slope()) +
               ", \"height\": " + jsonNumber(s.height()) + ", \"gauss\": " + jsonNumber(s.gauss()) +
               ", \"warning\": " + (s.warning ? "true" : "false") + "}";
    }
    out += r.sides.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

std::string reductionWarning(const Reduction& r) {
    std::vector<const SideReduction*> warned;
    for (const SideReduction& s : r.sides)
        if (s.warning) warned.push_back(&s);
    if (warned.empty()) return {};
    std::string named;
    for (std::size_t i = 0; i < warned.size() && i < mostNamed; ++i)
        named += (i == 0 ? "" : "、") + sideName(warned[i]->k) + "（" + ppmText(*warned[i]) + " ppm）";
    if (warned.size() > mostNamed) named += "等，共 " + digits(warned.size()) + " 条边";
    return "边长归算：" + named + "的高程与投影改正合计超过 25 ppm（2.5 厘米/公里），宜换投影带或采用抵偿高程面";
}

}  // namespace trelvan::reduction
