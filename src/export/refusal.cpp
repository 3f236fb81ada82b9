#include "export/refusal.h"

#include "export/encoding.h"
#include "state/number_format.h"
#include "state/text_width.h"
#include "state/utf8.h"

namespace trelvan::exports {

namespace {

// The longest name a message quotes in full, in character cells.
constexpr int quotedCells = 40;

}  // namespace

std::string nameRefusal(const ListedPoint& point, const std::string& what) {
    return "点号 " + digits(point.index) + " 的点名“" + drawnText(sanitizeUtf8(point.name), quotedCells) + "”" + what +
           "；请在作业中修改点名后重新计算";
}

std::string unheldRefusal(const ListedPoint& point, char32_t unheld, const std::string& where) {
    if (isControl(unheld)) return nameRefusal(point, "含有换行符或其他控制字符 " + characterName(unheld));
    return nameRefusal(point, "含有 " + where + "无法表示的字符 " + characterName(unheld));
}

}  // namespace trelvan::exports
