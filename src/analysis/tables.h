#pragma once
// The analysis as five tables for reading: closures and tests, points, sides,
// reliability, and the summary a grade check asks for. The window shows them and the batch text file prints them; both get
// the same words and the same figures from here.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/chain_precision.h"

namespace trelvan::analysis {

struct TableCell {
    std::string text;             // as shown
    std::optional<double> value;  // the figure behind it, for sorting; empty for words
};

struct TableRow {
    std::vector<TableCell> cells;
    bool marked = false;  // over its limit, suspect, or the weakest: shown highlighted
};

struct TableColumn {
    std::string header;
    bool numeric = false;  // figures are right-aligned
};

struct Table {
    std::string title;
    std::vector<TableColumn> columns;
    std::vector<TableRow> rows;
};

// An ellipse's direction φ as the tables show it: to a tenth of a degree, and
// 179.96 as 0.0, the same direction.
std::string directionText(double phi);

// The five tables, in order.
std::vector<Table> analysisTables(const ChainPrecision& precision);

// The tables as UTF-8 text: a title line before each, columns aligned in display
// cells (a Chinese character takes two), trailing blanks stripped, a newline after
// every line.
std::string renderAnalysisText(const ChainPrecision& precision);

// The analysis as JSON: every figure at full precision in the shortest form that
// reads back as the same double, null where a figure cannot be given.
std::string analysisJson(const ChainPrecision& precision);

// The same, handed to `sink` a part at a time, so that a long chain's JSON is never
// held whole.
using JsonSink = std::function<void(std::string_view)>;
void writeAnalysisJson(const ChainPrecision& precision, const JsonSink& sink);

}  // namespace trelvan::analysis
