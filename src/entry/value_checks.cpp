#include "entry/value_checks.h"

#include <cmath>

#include "state/chain_state.h"
#include "state/constants.h"
#include "state/number_format.h"

namespace trelvan {

namespace {

// A double of this magnitude or more rounds to an infinite float.
constexpr double floatLimit = 0x1.ffffffp127;

}  // namespace

std::optional<std::int16_t> triangleCountOf(double value) {
    const auto converted = toInt16HalfEven(value);
    if (converted && *converted >= 1 && *converted <= maxTriangles) return converted;
    return std::nullopt;
}

std::string triangleCountRangeReason() {
    return "三角形个数 N 必须在 1 到 " + digits(maxTriangles) + " 之间";
}

std::optional<std::string> replyLengthProblem(std::string_view reply) {
    if (reply.size() <= maxReplyBytes) return std::nullopt;
    return "输入过长（超过 " + digits(static_cast<long long>(maxReplyBytes)) + " 字节）";
}

std::optional<std::string> toleranceProblem(double seconds) {
    if (std::fabs(seconds) < floatLimit) return std::nullopt;
    return "测角限差的数值过大";
}

std::optional<std::string> sideProblem(int k, double typed) {
    if (typed == 0) return "边长 " + sideName(k) + " 不能为零";
    if (typed < 0 && k % 2 == 1)
        return "边长 " + sideName(k) + " 不能为负数：只有偶数边用负值表示位于推算路线的右侧";
    return std::nullopt;
}

std::optional<std::string> triangleProblem(int i, double a, double b, double c) {
    if (a < b + c && b < a + c && c < a + b) return std::nullopt;
    const double lengths[] = {a, b, c};
    std::string listed;
    for (int j = 0; j < 3; ++j) {
        if (j > 0) listed += "，";
        listed += sideName(2 * i - 1 + j) + "=" + generalNumber(lengths[j]);
    }
    return "第 " + digits(i) + " 个三角形的三条边 " + listed +
           " 构不成三角形：最长边不短于另外两边之和";
}

}  // namespace trelvan
