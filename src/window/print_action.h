#pragma once
// The Print action: the report of the last completed Compute action on the default
// printer, or, with no printer, as a PDF file the operator chooses.

#include "entry/interfaces.h"
#include "state/chain_state.h"

class QWidget;

namespace trelvan {

// Prints `record`. Before any completed Compute action it prints nothing and says
// so. Failures are said through `messages`; nothing here ends the program, and the
// record is not changed.
void Command3_Click(QWidget* parent, const ChainState& record, Messages& messages);

}  // namespace trelvan
