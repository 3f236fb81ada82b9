#pragma once
// A job as the job editor holds it: the text of every field and cell as the operator
// typed it, so that a value can be left empty, half typed or mistyped without being
// lost, and the job that the texts make, checked with the dialogue's own checks.
//
// Numbers are read with the dialogue's reading (parseNumber: a full stop, whatever
// the desktop's language) and shown in the general number form. An even side is
// held as its length and the side of the route it lies on: typed negative, it lies
// right of the route, as in the dialogue.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "job/job.h"

namespace trelvan {

// The single fields of a job.
enum class SheetField { NameA, Xa, Ya, NameB, Xb, Yb, Xpa, Ypa, Xpb, Ypb, Ta, Tb, Qa, Qb, Tolerance };
inline constexpr int sheetFieldCount = 15;

// How an end of the chain is oriented: by a typed external azimuth, by a direction
// point, or not at all. Only the fields of the chosen way are part of the job.
enum class EndOrientation { Azimuth, DirectionPoint, None };

struct JobSheet {
    std::array<std::string, sheetFieldCount> field;
    EndOrientation orientationA = EndOrientation::Azimuth;
    EndOrientation orientationB = EndOrientation::Azimuth;
    std::vector<std::string> name;  // points 1..N at 0..N−1
    std::vector<std::string> side;  // S1..S(2N+1) at 0..2N; an even side without its sign
    std::vector<char> right;        // S(k) at k−1: an even side right of the route
    // What the job holds besides the fields and cells above (its weights, measured
    // sides, reduction settings), kept as it was read so that a job opened and saved
    // again keeps it. A measured side's cell shows its reduced length (its measured
    // distance when it could not be reduced); typed over, the side becomes a typed
    // side, and a side whose triangle was removed goes with it. `measuredCell` holds
    // the text each measured side's cell was given, in the order of
    // jobOnly.measuredSides.
    JobOnlyValues jobOnly;
    std::vector<std::string> measuredCell;

    int triangles() const { return static_cast<int>(name.size()); }
    int sides() const { return static_cast<int>(side.size()); }
    std::string& operator[](SheetField f) { return field[static_cast<std::size_t>(f)]; }
    const std::string& operator[](SheetField f) const { return field[static_cast<std::size_t>(f)]; }
};

// A new chain of one triangle, every value still to be typed.
JobSheet newSheet();

// The sheet of a job, also of a refused one: as many triangles as its N or its lists
// need (nothing read is left out), list entries it lacks left empty.
JobSheet sheetOf(const Job& job);

// What a typed number is shown as: the general number form of a number, any other
// text as it is, blanks trimmed.
std::string shownNumber(std::string_view typed);

// Side k (1..2N+1) typed as `typed`. A negative number typed for an even side puts
// it right of the route; a positive one keeps the side it lies on.
void typeSide(JobSheet& sheet, int k, std::string_view typed);

// The side of the route an even side lies on, from "左"/"右" (or L/R, left/right);
// false for anything else, which changes nothing.
bool typeSidePosition(JobSheet& sheet, int k, std::string_view typed);

// Adds `count` empty triangles at the end of the chain; false when the chain would
// then have more than the largest number of triangles.
bool addTriangles(JobSheet& sheet, int count);
// Removes the last triangle, never the only one.
bool removeLastTriangle(JobSheet& sheet);
// True when nothing is typed in what the last triangle would take with it.
bool lastTriangleIsEmpty(const JobSheet& sheet);

// Text pasted from a spreadsheet: one row a line, the cells of a row separated by
// tabs; a final line break ends the last row.
std::vector<std::vector<std::string>> pastedRows(std::string_view text);

// Fills consecutive sides from side `first` (1-based) with the rows of a pasted
// text: the first cell of a row is the length (column 0) or the side of the route
// (column 1), a second cell in column 0 the side of the route. The chain grows by
// whole triangles where the rows run past its end. Returns the number of sides
// filled, or the reason nothing was.
struct Pasted {
    int count = 0;
    std::optional<std::string> refusal;
};
Pasted pasteSides(JobSheet& sheet, int first, int column, std::string_view text);
// Fills consecutive point names from point `first` (1-based), the first cell of
// each row; the chain grows where the rows run past its end.
Pasted pasteNames(JobSheet& sheet, int first, std::string_view text);

// The job the sheet makes, and the first thing wrong with it in the order the
// dialogue asks for the values: an empty field or one that is not a number, then
// whatever the dialogue would refuse.
struct SheetCheck {
    Job job;
    std::optional<JobProblem> problem;
};
SheetCheck checkSheet(const JobSheet& sheet);

// Where a problem lies on the sheet.
struct SheetPlace {
    enum class Kind { None, Field, Name, Side, Names, Sides, Count };
    Kind kind = Kind::None;
    SheetField field = SheetField::NameA;  // for Field
    int index = 0;                         // point 1..N for Name, side 1..2N+1 for Side
};
SheetPlace sheetPlaceOf(const JobProblem& problem);

// The problem as the editor says it: where, in the words the editor labels it with,
// and what. "第 7 条边 S7：边长 S7 不能为零。"
std::string sheetMessage(const JobProblem& problem);

// A place as the editor labels it: "起始点 A 的 X 纵座标", "第 7 条边 S7", "点 3 的点名".
std::string placeLabel(const SheetPlace& place);

// Why a typed text is no number: nothing typed, or not a number; a number typed with
// a decimal comma is told to use a full stop, with the number as it should be typed.
std::string notANumberReason(std::string_view typed);

// Whether the problem is still there once the sheet has changed: the problem the
// sheet now has at the same place, if any. A problem that names no place on the
// sheet stays as it was.
std::optional<JobProblem> problemStillAt(const JobSheet& sheet, const JobProblem& problem);

// The job file's field path of a field: "A.X", "directionB.Y", "angleTolerance".
const char* fieldPath(SheetField field);

}  // namespace trelvan
