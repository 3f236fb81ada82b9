#pragma once
// 检核 of a completed computation: its misclosures against their limits, the global
// test, the suspect observations, the weakest point and whether the listed closing
// point lands on the known one, found by the precision analysis of the same
// adjustment; and the printed report closed by them.

#include "analysis/chain_precision.h"
#include "report/report.h"
#include "state/chain_state.h"

namespace trelvan::analysis {

// The listed B may lie this far from the known B (m) before the chain is said to
// miss it: the listing's last millimetre, and a margin.
inline constexpr double closingPointTolerance = 0.005;

// The findings of `record` from its analysis `precision`.
CheckFindings checkFindings(const ChainState& record, const ChainPrecision& precision);

// The findings of `record`, analysed here. An analysis that cannot be made leaves the
// misclosures unchecked and says so. `record` must hold a completed computation.
CheckFindings checkFindings(const ChainState& record);

// The report as every printer, PDF and text file gets it: the report of `record`
// closed by its 检核 block. Empty when the record holds no completed computation.
Report printedReport(const ChainState& record);

}  // namespace trelvan::analysis
