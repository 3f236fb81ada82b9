#pragma once
// The Compute action: the whole dialogue, the adjustment and the listing, in one
// strictly sequential run. The window's Compute button and batch mode both run it.

#include "entry/interfaces.h"
#include "state/chain_state.h"

namespace trelvan {

enum class ComputeOutcome { Completed, Failed, Cancelled, InputEnded };

// Runs the Compute action on a working copy of `record`. Only when every stage has
// finished does the copy replace `record`; a failure, a Cancel or the end of the
// input leave the last completed record untouched (taEntered and tbEntered
// included) and are reported through `messages`. Either way `boxes` hear how the
// action ended (TextBoxes::actionEnded).
//
// A job's values that no input box asks for come in `jobOnly`; the action keeps them
// in the record's typed values. A chain typed into the input boxes has none.
ComputeOutcome Command1_Click(ChainState& record, Prompter& prompter, TextBoxes& boxes,
                              Messages& messages, const JobOnlyValues& jobOnly = {});

}  // namespace trelvan
