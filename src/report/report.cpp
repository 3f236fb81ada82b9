#include "report/report.h"

namespace trelvan {

Report buildReport(const ChainState&) { return {}; }

std::string renderText(const Report&) { return {}; }

}  // namespace trelvan
