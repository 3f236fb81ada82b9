#include "report/report.h"

#include <cstddef>
#include <utility>

#include "state/constants.h"
#include "state/number_format.h"
#include "state/text_width.h"
#include "state/units.h"

namespace trelvan {

namespace {

// The three kinds of adjustment, named in the title: with the azimuth condition;
// on the coordinate conditions only, with A oriented; on the coordinate conditions
// only, in a free orientation.
constexpr const char* bothAzimuthsTitle = "有方位角和纵横座标条件";
constexpr const char* startAzimuthTitle = "由方位角起算的只有纵横座标条件";
constexpr const char* unorientedTitle = "只有纵横座标条件的无定向锁";

const char* titleOf(const ChainState& s) {
    if (s.azimuthCondition) return bothAzimuthsTitle;
    return s.orientedAtA ? startAzimuthTitle : unorientedTitle;
}

// True when the record holds a chain of N triangles with every array it needs.
bool holdsChain(const ChainState& s) {
    if (s.N < 1) return false;
    const std::size_t points = static_cast<std::size_t>(s.N) + 2;
    const std::size_t sides = 2 * static_cast<std::size_t>(s.N) + 2;
    return s.pointName.size() >= points && s.pointX.size() >= points && s.pointY.size() >= points &&
           s.side.size() >= sides && s.observedSide.size() >= sides;
}

// The side number as the report prints a number: a blank for the plus sign before
// it and a blank after it, "s( 10 )=".
std::string sideNumber(int i) { return " " + digits(i) + " "; }

std::string fixed(double x, int decimals) { return formatFixed(x, decimals); }

// A misclosure in millimetres, as the window shows it.
std::string millimetres(float metres) {
    return roundedFixed(static_cast<double>(millimetresOf(metres)), 2, 2);
}

// The weights taken from the instrument's stated accuracy, as the report states them
// under its title: "定权：测距 a=2 毫米，b=2 毫米/公里（线性），定向角 σ=2.5 秒".
std::string weightsLine(const WeightModel& w) {
    const bool linear = w.combine == WeightModel::Combine::Linear;
    return "定权：测距 a=" + generalNumber(w.a) + " 毫米，b=" + generalNumber(w.b) + " 毫米/公里" +
           (linear ? "（线性）" : "（平方和根）") + "，定向角 σ=" + generalNumber(w.sigmaQ) + " 秒";
}

class Builder {
public:
    explicit Builder(Report& report) : report_(report) {}
    // A line of items in the body font.
    void line(std::vector<ReportItem> items) { report_.push_back({bodyFontSize, std::move(items)}); }
    void empty() { report_.push_back({bodyFontSize, {}}); }

private:
    static constexpr int bodyFontSize = 10;
    Report& report_;
};

}  // namespace

std::string reportTitle(const ChainState& s) {
    return std::string("--- ") + programTitle + " ( " + titleOf(s) + " ) ---";
}

Report buildReport(const ChainState& s) {
    Report report;
    if (!holdsChain(s)) return report;

    const int n = s.N;
    const std::size_t b = static_cast<std::size_t>(n) + 1;  // point B

    report.push_back({12, {{13, reportTitle(s)}}});
    if (s.adjustment.weights.byInstrument())
        report.push_back({10, {{13, weightsLine(s.adjustment.weights)}}, true});

    Builder r(report);
    r.empty();
    r.empty();
    r.line({{22, "起始点座标 :"}});
    r.empty();
    r.line({{27, "点名"}, {40, "X"}, {55, "Y"}});
    r.line({{27, s.pointName[0]}, {0, ":"}, {35, fixed(s.Xa, 3)}, {50, fixed(s.Ya, 3)}});
    if (s.Xb != 0 && s.Yb != 0) {
        r.line({{27, s.pointName[b]}, {0, ":"}, {35, fixed(s.Xb, 3)}, {50, fixed(s.Yb, 3)}});
    }

    // Orientation at each end: the direction point when both its coordinates were
    // given, else the azimuth as typed, degrees.minutes-seconds in full (0 when none
    // was typed): 312.2415 stays 312.2415, where three decimals would lose 10″.
    if (s.Xpa == 0 || s.Ypa == 0) {
        r.line({{22, "方位角 B(a) :"}, {35, generalNumber(s.taEntered)}, {0, "(度,分,秒)"}});
    } else {
        r.line({{22, "方位点 A :"}, {35, fixed(s.Xpa, 3)}, {50, fixed(s.Ypa, 3)}});
    }
    r.empty();
    if (s.Xpb != 0 && s.Ypb != 0) {
        r.line({{22, "方位点 B :"}, {35, fixed(s.Xpb, 3)}, {50, fixed(s.Ypb, 3)}});
    } else {
        r.line({{22, "方位角 B(b) :"}, {35, generalNumber(s.tbEntered)}, {0, "(度,分,秒)"}});
    }
    r.empty();

    // Observed sides as measured; adjusted sides to the millimetre.
    r.line({{22, "观测边长 (米) :"}, {45, "平差边长 (米) :"}});
    r.empty();
    for (int i = 1; i <= 2 * n + 1; ++i) {
        const auto k = static_cast<std::size_t>(i);
        r.line({{24, "s("}, {0, sideNumber(i)}, {0, ")="}, {0, fixed(s.observedSide[k], 4)},
                {47, "S("}, {0, sideNumber(i)}, {0, ")="}, {0, roundedFixed(s.side[k], 3, 4)}});
    }
    r.empty();

    r.line({{22, "条件方程闭合差 :"}});
    r.empty();
    if (s.azimuthCondition) {
        r.line({{24, "方位角条件 : w(1)="}, {0, " "}, {0, roundedFixed(static_cast<double>(s.w[1]), 2, 3)}, {0, " 秒"}});
    } else {
        r.line({{24, "方位角条件 : w(1)="}, {0, " "}, {0, " 没有方位角条件"}});
    }
    r.line({{24, "纵座标条件 : w(2)="}, {0, " "}, {0, millimetres(s.w[2])}, {0, " 毫米"}});
    r.line({{24, "横座标条件 : w(3)="}, {0, " "}, {0, millimetres(s.w[3])}, {0, " 毫米"}});
    r.empty();

    r.line({{22, "平差结果 :"}});
    r.empty();
    r.line({{24, "点名"}, {40, "X"}, {55, "Y"}});
    for (std::size_t i = 0; i <= b; ++i) {
        r.line({{25, s.pointName[i]}, {0, ";"}, {35, roundedFixed(s.pointX[i], 3, 3)},
                {50, roundedFixed(s.pointY[i], 3, 3)}});
    }
    r.empty();

    const auto figure = [](float x) { return roundedFixed(static_cast<double>(x), 2, 2); };
    r.line({{22, "精度统计 :"}});
    r.empty();
    r.line({{24, "       单位权测角中误差 :    mb="}, {0, " "}, {0, figure(s.mb)}, {0, " 秒"}});
    r.line({{24, "       单位权测边中误差 :    ms="}, {0, " "}, {0, figure(s.ms)}, {0, " 毫米"}});
    r.empty();
    // Weight reciprocals are shown as computed, without rounding first.
    r.line({{24, "      最弱点纵座标权倒数 :   1/px="}, {0, " "}, {0, fixed(static_cast<double>(s.invPx), 4)}});
    r.line({{24, "      最弱点横座标权倒数 :   1/py="}, {0, " "}, {0, fixed(static_cast<double>(s.invPy), 4)}});
    r.line({{24, "最弱点纵座标单位权中误差 :    mx="}, {0, " "}, {0, figure(s.mx)}, {0, " 毫米"}});
    r.line({{24, "最弱点横座标单位权中误差 :    my="}, {0, " "}, {0, figure(s.my)}, {0, " 毫米"}});
    r.line({{24, "  最弱点单位权点位中误差 :    md="}, {0, " "}, {0, figure(s.md)}, {0, " 毫米"}});
    return report;
}

Report buildReport(const ChainState& s, const CheckFindings& findings) {
    Report report = buildReport(s);
    if (report.empty()) return report;
    Builder r(report);
    r.empty();
    r.line({{22, "检核 :"}});
    r.empty();
    for (std::string& line : checkLines(findings)) r.line({{24, std::move(line)}});
    return report;
}

std::string renderText(const Report& report) {
    std::string out;
    std::string current;
    int position = 1;  // the next free cell, counted from 1
    const auto endLine = [&] {
        const auto last = current.find_last_not_of(' ');
        current.erase(last == std::string::npos ? 0 : last + 1);
        out += current;
        out += '\n';
        current.clear();
        position = 1;
    };
    for (const ReportLine& line : report) {
        for (const ReportItem& item : line.items) {
            if (item.tab > 0) {
                const int column = item.tab;
                if (position > column) endLine();
                current.append(static_cast<std::size_t>(column - position), ' ');
                position = column;
            }
            current += item.text;
            position += displayCells(item.text);
        }
        endLine();
    }
    return out;
}

}  // namespace trelvan
