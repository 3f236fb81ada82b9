#include "adjustment/checks.h"

#include <algorithm>
#include <cmath>

#include "state/failure.h"
#include "state/number_format.h"

namespace trelvan::checks {

namespace {

const char* const abandoned = "，平差计算中止。";

std::string sideText(int k, double length) {
    return "S" + digits(k) + "=" + formatFixed(length, 4);
}

}  // namespace

void fail(const std::string& message) { throw ComputeFailure(message); }

int triangleOfSide(int k, int n) { return std::min((k + 1) / 2, n); }

void requireObservedSide(double length, int k, int n) {
    if (length > 0 && std::isfinite(length)) return;
    const std::string where =
        "第 " + digits(triangleOfSide(k, n)) + " 个三角形的观测边长 S" + digits(k);
    if (!std::isfinite(length)) fail(where + " 不是有限数" + abandoned);
    if (length == 0) fail(where + " 为零" + abandoned);
    if (length < 0) fail(where + " 为负数" + abandoned);
}

void requireTriangle(int i, double a, double b, double c, bool adjusted) {
    const double longest = std::max({a, b, c});
    const bool positive = a > 0 && b > 0 && c > 0;
    const bool finite = std::isfinite(a) && std::isfinite(b) && std::isfinite(c);
    const double others = longest == a ? b + c : longest == b ? a + c : a + b;
    if (positive && finite && longest < others) return;
    std::string message = adjusted ? "平差后第 " : "第 ";
    message += digits(i) + " 个三角形的" + (adjusted ? "边长 " : "观测边长 ");
    if (!finite) {
        message += "不是有限数";
    } else {
        message += sideText(2 * i - 1, a) + "、" + sideText(2 * i, b) + "、" +
                   sideText(2 * i + 1, c) +
                   (positive ? " 不能构成三角形（最长边不短于另两边之和）"
                             : " 中有不大于零的边长，不能构成三角形");
    }
    fail(message + abandoned);
}

void requireFinite(double value, const char* what) {
    if (!std::isfinite(value)) outOfRange(what);
}

void outOfRange(const std::string& what) { fail(what + "超出数值范围" + abandoned); }

void requirePivot(double pivot, int r) {
    const std::string where = "法方程第 " + digits(r) + " 行的主元";
    if (!std::isfinite(pivot)) fail(where + "超出数值范围" + abandoned);
    if (pivot == 0) fail(where + "为零，法方程无法求解" + abandoned);
    if (pivot < 0) fail(where + "为负，法方程无法求解" + abandoned);
}

}  // namespace trelvan::checks
