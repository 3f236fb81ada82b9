#include "report/check_block.h"

#include <cstddef>

#include "state/number_format.h"
#include "state/units.h"

namespace trelvan {

namespace {

using Condition = CheckFindings::Condition;

// At most this many suspect observations are named; the rest are counted.
constexpr std::size_t suspectsNamed = 5;

const char* conditionName(Condition c) {
    switch (c) {
        case Condition::Azimuth: return "方位角条件";
        case Condition::X: return "纵座标条件";
        case Condition::Y: return "横座标条件";
    }
    return "";
}

// The box that shows a condition's misclosure.
int misclosureBox(Condition c) {
    switch (c) {
        case Condition::Azimuth: return 15;
        case Condition::X: return 16;
        case Condition::Y: return 17;
    }
    return 0;
}

// A figure as the report rounds it: half to even, then two decimals.
std::string twoDecimals(double x) { return roundedFixed(x, 2, 2); }

// The misclosure as the report's own lines give it: the azimuth in seconds, X and Y
// in millimetres as the 32-bit product of the stored metres.
std::string misclosureFigure(const CheckFindings::Misclosure& m) {
    if (m.condition == Condition::Azimuth) return twoDecimals(static_cast<double>(m.stored));
    return twoDecimals(static_cast<double>(millimetresOf(m.stored)));
}

std::string overLimitLine(const CheckFindings::Misclosure& m) {
    const char* unit = m.condition == Condition::Azimuth ? "秒" : "毫米";
    return std::string(conditionName(m.condition)) + "闭合差超限 : w= " + misclosureFigure(m) + " " + unit +
           "，限差 " + twoDecimals(m.limit) + " " + unit;
}

std::string globalTestLine(const CheckFindings& f) {
    return "χ² 检验 : 统计量 " + twoDecimals(f.statistic) + "，限值 " + generalNumber(f.quantile) + "，" +
           (f.passed ? "通过" : "未通过");
}

std::string suspectsLine(const CheckFindings& f) {
    std::string line = "可疑观测 : ";
    for (std::size_t i = 0; i < f.suspects.size() && i < suspectsNamed; ++i) {
        if (i > 0) line += "、";
        line += f.suspects[i].name + " (" + twoDecimals(f.suspects[i].normalized) + ")";
    }
    if (f.suspects.size() > suspectsNamed) line += "，共 " + digits(f.suspects.size()) + " 个";
    return line;
}

std::string missedBLine(const CheckFindings& f) {
    return "平差后推算的闭合点 " + f.closingPoint + " 与已知座标相差 " + roundedFixed(*f.missedB, 3, 3) +
           " 米，观测数据可能有粗差";
}

bool anyOver(const CheckFindings& f) {
    for (const auto& m : f.misclosures)
        if (m.over) return true;
    return false;
}

bool testFailed(const CheckFindings& f) { return f.checked == CheckFindings::Checked::Yes && !f.passed; }

bool anyFinding(const CheckFindings& f) { return anyOver(f) || testFailed(f) || f.missedB.has_value(); }

}  // namespace

bool CheckFindings::outsideLimits() const { return anyOver(*this) || missedB.has_value(); }

std::vector<std::string> checkLines(const CheckFindings& f) {
    std::vector<std::string> lines;
    std::string weakest = "以上最弱点为锁中点 " + f.middlePoint;
    if (f.weakest) weakest += "；全锁点位中误差最大的点为 " + f.weakest->name + "，mp= " + twoDecimals(f.weakest->mp) + " 毫米";
    lines.push_back(weakest);

    switch (f.checked) {
        case CheckFindings::Checked::NoTolerance: lines.emplace_back("未输入测角限差，闭合差未检核"); break;
        case CheckFindings::Checked::NotAnalysed: lines.emplace_back("精度分析无法完成，闭合差未检核"); break;
        case CheckFindings::Checked::Yes:
            for (const auto& m : f.misclosures)
                if (m.over) lines.push_back(overLimitLine(m));
            if (!anyOver(f)) lines.emplace_back("条件方程闭合差均未超过限差");
            lines.push_back(globalTestLine(f));
            if (!f.suspects.empty()) lines.push_back(suspectsLine(f));
            break;
    }
    if (f.missedB) lines.push_back(missedBLine(f));
    return lines;
}

std::vector<std::string> findingLines(const CheckFindings& f) {
    std::vector<std::string> lines;
    if (!anyFinding(f)) return lines;
    for (const auto& m : f.misclosures)
        if (m.over) lines.push_back(overLimitLine(m));
    if (testFailed(f)) lines.push_back(globalTestLine(f));
    if (f.checked == CheckFindings::Checked::Yes && !f.suspects.empty()) lines.push_back(suspectsLine(f));
    if (f.missedB) lines.push_back(missedBLine(f));
    return lines;
}

std::string findingsWarning(const CheckFindings& f) {
    const std::vector<std::string> lines = findingLines(f);
    if (lines.empty()) return {};
    std::string text = "平差计算已完成，但检核发现问题：\n";
    for (const std::string& line : lines) text += "\n" + line;
    text += "\n\n请检查观测数据";
    if (f.checked == CheckFindings::Checked::Yes && !f.suspects.empty()) text += "，先从可疑观测查起";
    text += "，找出有粗差的边，重新测量后再计算。";
    return text;
}

std::vector<std::pair<int, std::string>> overLimitTips(const CheckFindings& f) {
    std::vector<std::pair<int, std::string>> tips;
    for (const auto& m : f.misclosures)
        if (m.over) tips.emplace_back(misclosureBox(m.condition), overLimitLine(m));
    return tips;
}

std::vector<std::pair<int, std::string>> precisionTips(const CheckFindings& f) {
    static constexpr std::pair<int, const char*> figures[] = {
        {20, "纵座标权倒数 1/px"}, {21, "横座标权倒数 1/py"}, {22, "纵座标中误差 mx"},
        {23, "横座标中误差 my"},   {24, "点位中误差 md"},
    };
    std::string elsewhere;
    if (f.weakest)
        elsewhere = "\n全锁点位中误差最大的点为 " + f.weakest->name + "，mp= " + twoDecimals(f.weakest->mp) +
                    " 毫米（见精度分析）";
    std::vector<std::pair<int, std::string>> tips;
    for (const auto& [box, figure] : figures)
        tips.emplace_back(box, "锁中点 " + f.middlePoint + " 的" + figure + elsewhere);
    return tips;
}

}  // namespace trelvan
