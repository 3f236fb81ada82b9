#include "window/print_action.h"

namespace trelvan {

void Command3_Click(QWidget*, const ChainState& record, Messages& messages) {
    if (!record.hasResult()) {
        messages.say("还没有完成的平差计算结果，无法打印。");
        return;
    }
    messages.say("打印功能尚未完成。");
}

}  // namespace trelvan
