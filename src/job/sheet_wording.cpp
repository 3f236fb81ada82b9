// The job editor's words.

#include "job/sheet_wording.h"

#include <cmath>

#include "adjustment/weights.h"
#include "job/sheet_reduction.h"
#include "state/chain_state.h"
#include "state/number_format.h"

namespace trelvan {

namespace {

// The first `count` characters of a UTF-8 text.
std::string leading(const std::string& text, std::size_t count) {
    std::size_t i = 0;
    for (std::size_t seen = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (seen++ == count) break;
    }
    return text.substr(0, i);
}

// The distance meter's stated accuracy as typed, when a side's standard error can be
// worked out from it: a and b numbers, neither negative, not both zero.
std::optional<WeightModel> typedInstrument(const JobSheet& sheet) {
    if (!showsSideErrors(sheet)) return std::nullopt;
    const auto a = parseNumber(sheet[SheetField::InstrumentA]);
    const auto b = parseNumber(sheet[SheetField::InstrumentB]);
    if (!a || !b || *a < 0 || *b < 0 || (*a == 0 && *b == 0)) return std::nullopt;
    WeightModel instrument;
    instrument.model = WeightModel::Kind::Instrument;
    instrument.a = *a;
    instrument.b = *b;
    instrument.combine = sheet.combine;
    return instrument;
}

}  // namespace

bool showsSideErrors(const JobSheet& sheet) { return sheet.weights == SheetWeights::Instrument; }

SideRow sideRow(const JobSheet& sheet, int k, std::optional<double> reduced) {
    SideRow row;
    if (k < 1 || k > sheet.sides()) return row;
    const std::size_t at = static_cast<std::size_t>(k - 1);
    const std::string& text = sheet.side[at];
    const bool measured = sideKind(sheet, k) != SideKind::Plane;
    const std::optional<double> length = measured ? reduced : parseNumber(text);
    if (!measured && !text.empty() && !length) row.lengthTip = notANumberReason(text);
    if (const auto instrument = typedInstrument(sheet); instrument && length) {
        const double sigma = instrumentSideError(*instrument, *length);
        if (std::isfinite(sigma)) row.sigma = formatFixed(sigma, 2);
    }
    if (showsSideErrors(sheet))
        row.sigmaTip = sideName(k) + " 的测距中误差 σ = " +
                       (sheet.combine == WeightModel::Combine::Quadrature ? "√(a² + (b·D)²)" : "a + b·D") +
                       "，D 为边长（公里）";
    if (k % 2 == 1 && sheet.right[at]) {
        // A route side a job file put right of the route, to be put back.
        row.position = "右";
        row.positionTip = sideName(k) + " 是推算路线上的边，不能位于路线的右侧：请选“路线边”";
        return row;
    }
    if (k % 2 == 1) {
        row.position = "路线边";
        row.positionTip = sideName(k) + " 是方位角推算路线上的边";
        return row;
    }
    const bool right = sheet.right[at];
    row.position = right ? "右" : "左";
    row.positionTip = sideName(k) + (right ? " 位于方位角推算路线的右侧" : " 位于方位角推算路线的左侧");
    return row;
}

std::string triangleCountText(int triangles) { return "三角形个数 N = " + digits(triangles); }

std::string removeTriangleQuestion(int n) {
    return "删除第 " + digits(n) + " 个三角形，连同点 " + digits(n) + " 的点名和边长 S" + digits(2 * n) + "、S" +
           digits(2 * n + 1) + " 吗？";
}

std::string dropEditsQuestion() { return "作业数据已修改，还没有计算或保存。关闭编辑器并放弃这些修改吗？"; }

std::string pastedMessage(int rows, int trianglesBefore, int trianglesAfter) {
    std::string message = "粘贴了 " + digits(rows) + " 行";
    if (trianglesAfter > trianglesBefore) message += "；锁加长到 " + digits(trianglesAfter) + " 个三角形";
    return message + "。";
}

std::string pasteRefusedMessage(const std::string& reason) { return reason + "，没有粘贴。"; }

std::string savedMessage(const std::string& fileName) { return "作业已保存：" + fileName; }

std::string lastJobSummary(const Job& job, std::chrono::system_clock::time_point computedAt) {
    const std::string a = job.pointName.empty() ? std::string() : job.pointName.front();
    const std::string b = job.pointName.size() < 2 ? std::string() : job.pointName.back();
    const std::string computed = dateTimeText(computedAt).substr(0, 16);  // to the minute
    return leading(a, 20) + " 至 " + leading(b, 20) + "，" + digits(job.N) + " 个三角形，" + computed;
}

}  // namespace trelvan
