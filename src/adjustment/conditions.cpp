#include "adjustment/stages.h"

namespace trelvan {

void formConditions(ChainState&, RunValues&) {}

}  // namespace trelvan
