#include "adjustment/stages.h"

namespace trelvan {

void adjustCoordinates(ChainState&, RunValues&) {}

void listCoordinates(Dialogue&, const ChainState&) {}

}  // namespace trelvan
