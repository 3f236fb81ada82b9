#pragma once
// The printed report of the last completed Compute action, as data: lines of items
// placed at tab columns. The text renderer and the painter each walk the same list.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "state/chain_state.h"

namespace trelvan {

struct ReportItem {
    int tab = 0;       // column to move to before the item (1 = left edge); 0 = none
    std::string text;  // printed unchanged
};

struct ReportLine {
    int fontSize = 10;  // points
    std::vector<ReportItem> items;  // none: an empty line
};

using Report = std::vector<ReportLine>;

// The report's title line: the program's title and the kind of chain, as
// "--- Trelvan ( 有方位角和纵横座标条件 ) ---": the kind of adjustment that was made.
std::string reportTitle(const ChainState& state);

// The report of `state`, which must hold a completed Compute action. A record that
// holds no chain (no N, or arrays shorter than N asks for) gives an empty report.
Report buildReport(const ChainState& state);

// Plain text: tab columns counted in display cells (East Asian Wide and Fullwidth
// characters take two), Tab(n) past column n starts a new line, trailing blanks
// stripped, a newline at the end of every line.
std::string renderText(const Report& report);

// The cells a UTF-8 text takes on a character-cell line: two for each East Asian
// Wide or Fullwidth character (Unicode 15), one for any other.
int displayCells(std::string_view text);

// The width in millimetres that `text` takes at an em of `em` millimetres.
using TextWidth = std::function<double(std::string_view text, double em)>;

// Half an em for each display cell, a full em for a wide (CJK) character: the
// measure of a Song face whose Latin glyphs are half an em wide.
double estimatedTextWidth(std::string_view text, double em);

// A text as a drawing shows it: each character no drawing shows and no XML text
// may hold (the C0 and C1 controls, a tab included, U+FFFE and U+FFFF) and each
// ill-formed byte as U+FFFD; a text wider than `maxCells` display cells cut short,
// ending in "…".
std::string drawnText(std::string_view text, int maxCells);

}  // namespace trelvan
