#pragma once
// The reduction as the surveyor reads it: the settings in force, the latitude and
// mean radius, and a row for every measured side with D, each of the four
// corrections in millimetres and D4; as text, as JSON, and as the lines of a page.

#include <string>
#include <vector>

#include "reduction/reduction.h"

namespace trelvan::reduction {

struct TableColumn {
    std::string header;
    bool numeric = false;  // figures are right-aligned
};

struct TableRow {
    std::vector<std::string> cells;
    bool marked = false;  // warned: height and projection over warnedPpm
};

struct Table {
    std::string title;                 // of the table of sides
    std::vector<std::string> heading;  // the settings, B and Rm, what a marked row means
    std::vector<TableColumn> columns;
    std::vector<TableRow> rows;        // empty when no side was measured
};

// The table of a reduced chain.
Table reductionTable(const Reduction& r);

// The table as UTF-8 text: a title line, the heading, then the columns aligned in
// display cells (a Chinese character takes two), trailing blanks stripped, a
// newline after every line.
std::string reductionText(const Reduction& r);

// The reduction as JSON: {"trelvan": 2, "ellipsoid", "latitude" (degrees), "Rm" (m),
// "sides": [{"k", "D", "D1", "D2", "D3", "D4", "constants", "slope", "height",
// "gauss" (the corrections in mm), "warning"}, …]}, every number at full precision
// in the shortest form that reads back as the same double.
std::string reductionJson(const Reduction& r);

// The warning of the sides whose height and projection corrections together are
// over warnedPpm, naming at most five of them with their parts per million; empty
// when there is none.
std::string reductionWarning(const Reduction& r);

// A latitude in degrees, minutes and seconds to a hundredth of a second:
// "31°11′22.35″", with a minus sign south of the equator.
std::string latitudeText(double degrees);

}  // namespace trelvan::reduction
