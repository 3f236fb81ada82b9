#include "entry/entry.h"

namespace trelvan {

void enterKnownData(Dialogue&, ChainState&, RunValues&) {}

}  // namespace trelvan
