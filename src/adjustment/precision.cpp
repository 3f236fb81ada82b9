#include "adjustment/stages.h"

namespace trelvan {

void assessPrecision(ChainState&, RunValues&, TextBoxes&) {}

}  // namespace trelvan
