#include "adjustment/stages.h"

namespace trelvan {

void solveTriangles(ChainState&, RunValues&) {}

}  // namespace trelvan
