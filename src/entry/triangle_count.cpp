#include "entry/entry.h"

#include <cmath>

#include "state/constants.h"
#include "state/number_format.h"

namespace trelvan {

void enterTriangleCount(Dialogue& dialogue, ChainState& state, RunValues& run) {
    std::int16_t n = 0;
    for (;;) {
        const double value = dialogue.askNumber("请输入三角形个数 N:", 9);
        const auto converted = toInt16HalfEven(value);
        if (converted && *converted >= 1 && *converted <= maxTriangles) {
            n = *converted;
            break;
        }
        dialogue.say("三角形个数 N 必须在 1 到 16382 之间，请重新输入。");
    }
    dialogue.setText(9, " 线性锁共有" + digits(n) + "个三角形");
    sizeArrays(state, run, n);
}

}  // namespace trelvan
