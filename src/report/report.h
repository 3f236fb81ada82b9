#pragma once
// The printed report of the last completed Compute action, as data: lines of items
// placed at tab columns. The text renderer and the painter each walk the same list.

#include <string>
#include <vector>

#include "report/check_block.h"
#include "state/chain_state.h"
#include "state/text_width.h"

namespace trelvan {

struct ReportItem {
    int tab = 0;       // column to move to before the item (1 = left edge); 0 = none
    std::string text;  // printed unchanged
};

struct ReportLine {
    int fontSize = 10;  // points
    std::vector<ReportItem> items;  // none: an empty line
    // On paper, the line starts where the report's first line started (the print
    // set-up position) rather than at its first item's column.
    bool underTitle = false;
};

using Report = std::vector<ReportLine>;

// The report's title line: the program's title and the kind of chain, as
// "--- Trelvan ( 有方位角和纵横座标条件 ) ---": the kind of adjustment that was made.
std::string reportTitle(const ChainState& state);

// The report of `state`, which must hold a completed Compute action. A record that
// holds no chain (no N, or arrays shorter than N asks for) gives an empty report.
Report buildReport(const ChainState& state);

// The report as it is printed: the report of `state`, closed by the 检核 block of
// `findings`, the precision analysis of the same computation.
Report buildReport(const ChainState& state, const CheckFindings& findings);

// Plain text: tab columns counted in display cells (East Asian Wide and Fullwidth
// characters take two), Tab(n) past column n starts a new line, trailing blanks
// stripped, a newline at the end of every line.
std::string renderText(const Report& report);

}  // namespace trelvan
