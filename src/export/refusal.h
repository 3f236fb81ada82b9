#pragma once
// Why a point's name cannot go into a file, in words that name the point.

#include <string>

#include "export/coordinates.h"

namespace trelvan::exports {

// "点号 3 的点名“D,3”" followed by `what`, with what to do about it.
std::string nameRefusal(const ListedPoint& point, const std::string& what);

// The name holds `unheld`, which `where` ("GB18030 编码") cannot hold, or a control
// character.
std::string unheldRefusal(const ListedPoint& point, char32_t unheld, const std::string& where);

}  // namespace trelvan::exports
