#include <cmath>
#include <optional>
#include <string>

#include "entry/entry.h"
#include "entry/value_checks.h"
#include "state/number_format.h"
#include "state/packed_angle.h"

namespace trelvan {

namespace {

// Text28 says which side is due, Text27 shows the last route (odd) side, Text29 the
// last even side.
constexpr int dueBox = 28;
constexpr int routeBox = 27;
constexpr int evenBox = 29;

constexpr const char* sideConfirmation =
    "确认边长输入是否正确 ?   输入正确单击 Enter 键 ; 输入错误按零 ( 即为:0 )";

std::string dueText(int k) { return "现在请输入S" + digits(k) + "边长"; }

// The side's own check at its confirmation: refused, it is asked again.
bool sideRefused(Dialogue& dialogue, int k, double typed) {
    const auto problem = sideProblem(k, typed);
    if (problem) dialogue.say(refusal::askAgain(*problem));
    return problem.has_value();
}

// A route side of the azimuth route. The last one, which arrives at B, shows the
// due side anew on every attempt and echoes three decimals.
void enterRouteSide(Dialogue& dialogue, ChainState& state, RunValues& run, int k, bool last) {
    if (!last) dialogue.setText(dueBox, dueText(k));
    const std::string prompt = "请输入第 " + digits(k) + " 条观测边长 S" + digits(k) + " :";
    for (;;) {
        dialogue.setText(routeBox, "");
        if (last) dialogue.setText(dueBox, dueText(k));
        const double length = dialogue.askNumber(prompt, routeBox);
        state.side[k] = length;
        dialogue.setText(evenBox, "");
        dialogue.setText(routeBox, sideName(k) + "=" + formatFixed(length, last ? 3 : 4));
        if (!dialogue.confirm(sideConfirmation, run.confirmReply, routeBox)) continue;
        if (sideRefused(dialogue, k, length)) continue;
        state.typed.side[k] = length;
        return;
    }
}

// The even side of triangle i, typed negative when it lies right of the route. It is
// kept as a length, its side of the route in sideSign(i).
void enterEvenSide(Dialogue& dialogue, ChainState& state, RunValues& run, int i) {
    const int k = 2 * i;
    dialogue.setText(dueBox, dueText(k));
    const std::string prompt =
        "请输入第 " + digits(k) + " 条观测的边长 S" + digits(k) +
        " : 如果这条边位于方位角推算路线的右側,则此条偶数边 S(2*n) 请输负值 ( 即为:-s(2*n)之数值 ";
    double length = 0;
    for (;;) {
        dialogue.setText(evenBox, "");
        length = dialogue.askNumber(prompt, evenBox);
        state.side[k] = length;
        dialogue.setText(routeBox, "");
        dialogue.setText(evenBox, "s" + digits(k) + "=" + formatFixed(length, 4));
        if (!dialogue.confirm(sideConfirmation, run.confirmReply, evenBox)) continue;
        if (sideRefused(dialogue, k, length)) continue;
        break;
    }
    state.typed.side[k] = length;
    run.sideSign[i] = static_cast<std::int16_t>(signOf(length));
    state.side[k] = std::fabs(length);
}

// Why triangle i, as entered, cannot be formed; empty when it can.
std::optional<std::string> triangleRefusal(const ChainState& state, int i) {
    return triangleProblem(i, state.side[2 * i - 1], state.side[2 * i], state.side[2 * i + 1]);
}

}  // namespace

void enterNamesAndSides(Dialogue& dialogue, ChainState& state, RunValues& run) {
    const int n = state.N;

    state.pointName[0] = dialogue.askText("请输入起始点 A 的点名 :");
    for (int i = 1; i <= n; ++i)
        state.pointName[i] =
            dialogue.askText("请按方位角推算路线依次输入第 " + digits(i) + " 个待定点的点名 :");
    state.pointName[n + 1] = dialogue.askText("请输入闭合点 B 的点名 :");
    state.typed.pointName = state.pointName;

    // S1, then for each triangle its even side and the route side that closes it. A
    // triangle that cannot be formed has both entered again; the route side it
    // shares with the triangle before stays.
    enterRouteSide(dialogue, state, run, 1, false);
    for (int i = 1; i <= n; ++i) {
        for (;;) {
            enterEvenSide(dialogue, state, run, i);
            enterRouteSide(dialogue, state, run, 2 * i + 1, i == n);
            const auto problem = triangleRefusal(state, i);
            if (!problem) break;
            dialogue.say(*problem + "。请重新输入 " + sideName(2 * i) + " 和 " +
                         sideName(2 * i + 1) + "。");
        }
    }
}

}  // namespace trelvan
