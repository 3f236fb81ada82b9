#pragma once
// The analysis tables in a chosen order and in the forms they leave the program in:
// tab-separated text for the clipboard and CSV for a spreadsheet. Cells keep the
// texts the tables show, so that what is pasted or exported reads exactly as on the
// screen and in the text file.

#include <string>
#include <vector>

#include "analysis/tables.h"

namespace trelvan::analysis {

// Whether `a` stands before `b` in a column sorted ascending (or, with `descending`,
// descending). Figures compare by the value behind them, never by their text; words
// by their text, with a run of digits compared as the number it spells, so that S2
// comes before S10 and D9 before D10. Words ("不可检测", "未给限差") stand after every
// figure in either direction, so that a descending column starts at its largest
// figure. Equal cells are not before each other.
bool cellBefore(const TableCell& a, const TableCell& b, bool descending);

// The cells of `rows` (indices into table.rows, in the order wanted) and `columns`
// (indices into table.columns): cells separated by a tab, a newline after every
// line, with the column headers as the first line when `withHeader`. A tab or line
// break inside a text becomes a blank, so that every line keeps its columns.
std::string tableTsv(const Table& table, const std::vector<int>& rows, const std::vector<int>& columns,
                     bool withHeader);

// Every column of `rows` with the header first, as CSV for a spreadsheet: UTF-8 with
// a byte-order mark (so that a spreadsheet reads the Chinese as such), fields
// separated by commas, lines ended by CR LF, and a field quoted, its quotes doubled,
// when it holds a comma, a quote or a line break. A word that a spreadsheet would
// take for a formula (a point name starting with = + - @, a tab or a CR) gets a
// leading apostrophe, so that opening the file can never run what a name holds.
std::string tableCsv(const Table& table, const std::vector<int>& rows);

// Every row of `table` in its own order: 0, 1, 2, ...
std::vector<int> tableOrder(const Table& table);

}  // namespace trelvan::analysis
