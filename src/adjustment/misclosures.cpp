#include "adjustment/stages.h"

namespace trelvan {

void computeMisclosures(ChainState&, RunValues&, TextBoxes&) {}

}  // namespace trelvan
