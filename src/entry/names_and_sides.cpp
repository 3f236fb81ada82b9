#include "entry/entry.h"

namespace trelvan {

void enterNamesAndSides(Dialogue&, ChainState&, RunValues&) {}

}  // namespace trelvan
