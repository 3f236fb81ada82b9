#pragma once
// 检核 on the main window: the misclosure boxes over their limit painted red, each
// with its finding as its tip; the precision boxes each naming the point they
// describe; and, after a completed computation with findings, one warning.

#include "entry/interfaces.h"
#include "state/chain_state.h"
#include "window/qt_seams.h"

namespace trelvan {

// Marks the boxes for the result `record` holds (nothing when it holds none). With
// `warnings`, the findings that need acting on are also said there, once.
void showChecks(const LineEditBoxes& boxes, const ChainState& record, Messages* warnings);

// Takes a box's mark off: a new text in it is not the one that was found wanting.
void clearMark(QLineEdit* edit);

}  // namespace trelvan
