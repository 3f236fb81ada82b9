#include "entry/entry.h"

#include "entry/value_checks.h"
#include "state/number_format.h"

namespace trelvan {

void enterTriangleCount(Dialogue& dialogue, ChainState& state, RunValues& run) {
    std::int16_t n = 0;
    for (;;) {
        const double value = dialogue.askNumber("请输入三角形个数 N:", 9);
        if (const auto converted = triangleCountOf(value)) {
            n = *converted;
            break;
        }
        dialogue.say(refusal::askAgain(triangleCountRangeReason()));
    }
    dialogue.setText(9, " 线性锁共有" + digits(n) + "个三角形");
    sizeArrays(state, run, n);
}

}  // namespace trelvan
