#pragma once
// The job editor's measured sides and the chain's reduction settings: how each side
// is given (a plane length, or a slope or horizontal distance as the distance meter
// showed it), the values of a measurement as typed, the job they make, and the
// reduction of the sheet as it stands, so that every measured side shows its reduced
// length D4 and its four corrections while it is being typed.
//
// The reduction shown is the very one the job is computed with: the sheet's texts
// read into a job, reduced by reduction::reduce. It is made whole on each change,
// which takes a few milliseconds for a chain of 16382 triangles measured throughout.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "job/job_sheet.h"
#include "reduction/reduction.h"

namespace trelvan {

// How side k is given.
SideKind sideKind(const JobSheet& sheet, int k);
// Gives side k the way `kind` says; its texts stay, so that going back restores them.
void setSideKind(JobSheet& sheet, int k, SideKind kind);
// The way from a word of the side table or a pasted cell: "平面", "斜距", "平距" (and
// their longer names, "plane", "slope", "horizontal"); false for anything else, which
// changes nothing.
bool typeSideKind(JobSheet& sheet, int k, std::string_view typed);

// Side k's measurement: an empty one when it has none.
const SheetMeasurement& measurementOf(const JobSheet& sheet, int k);
// The same to be changed, made there first if need be.
SheetMeasurement& measurementAt(JobSheet& sheet, int k);
// Whether any side is measured.
bool hasMeasuredSide(const JobSheet& sheet);

// Whether a part of side k's measurement is part of the job, and so open for typing:
// every part of a slope distance, a horizontal one's but dh and Z. A plane side's D
// is open too: a distance typed there measures the side.
bool partInJob(const JobSheet& sheet, int k, MeasurePart part);

// A part of side k's measurement typed as `typed`: a number is kept in the general
// number form, any other text as typed, to be corrected. A distance typed for a side
// given as a plane length measures it; a negative distance typed for an even side
// puts it right of the route, as a negative length does.
void typeMeasurement(JobSheet& sheet, int k, MeasurePart part, std::string_view typed);

// The measured sides and reduction settings of the sheet, put into `job` (whose side
// list is as long as the sheet's): `number` reads a text found at a job file's field
// path as the rest of the sheet is read, a text that is no number giving a value
// that is not finite, for the checks to find in its place.
using ReadNumber = std::function<double(const std::string& text, const std::string& path)>;
void putReduction(const JobSheet& sheet, Job& job, const ReadNumber& number);

// The sheet's settings and measured sides, from a job read or computed.
void takeReduction(JobSheet& sheet, const Job& job);

// What the editor says of a reduction problem, for a file's word the editor's: the
// settings are a group of the editor, not a "reduction" object.
std::string editorWording(std::string what);

// The reduction of the sheet as typed: made whole, from the sheet's texts.
struct SheetReduction {
    reduction::Reduction reduced;
    std::vector<int> row;  // side k at k: its entry in reduced.sides, or −1
    // The first problem of each measured side's own values, at k ("" for none).
    std::vector<std::string> problem;
};
SheetReduction reduceSheet(const JobSheet& sheet);

// How the row of a measured side reads in the side table's columns of its reduction.
struct MeasuredRow {
    std::string length;     // D4 to the tenth of a millimetre; empty until it is there
    std::string lengthTip;  // D4 in full, or why it is not there
    std::array<std::string, 4> correction;  // the four corrections, mm, signed
    bool warned = false;    // height and projection together over 25 ppm
    bool refused = false;   // its own values are refused
    std::optional<double> reduced;  // D4, for the standard error of the side
};
MeasuredRow measuredRow(const JobSheet& sheet, const SheetReduction& reduction, int k);

// The side table's headers of the columns from how a side is given on, and their
// tooltips; the way a side is given as the table shows it ("平面", "斜距", "平距") and
// as its tooltip says it.
std::string sideColumnHeader(int column);
std::string sideColumnTip(int column);
std::string sideKindText(SideKind kind);
std::string sideKindTip(const JobSheet& sheet, int k);
// A part as the editor labels it in messages: "高差 dh".
std::string measurePartLabel(MeasurePart part);
// The column of the side table a part of a job file's side is in ("dh", "right"),
// and the label of that column in messages; −1 and "" for the side as a whole.
int sideColumnOfField(std::string_view field);
std::string sideColumnLabel(int column);

// The ellipsoids the editor offers, in the order of SheetEllipsoid from CGCS2000,
// as the editor names them: "CGCS2000", "西安80", "北京54".
std::vector<std::string> ellipsoidNames();

}  // namespace trelvan
