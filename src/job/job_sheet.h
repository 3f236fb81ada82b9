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

// The single fields of a job: the known points, the orientation, the tolerance, and
// the distance meter's stated accuracy (a mm + b mm/km) with the standard error of an
// orientation angle.
enum class SheetField {
    NameA, Xa, Ya, NameB, Xb, Yb, Xpa, Ypa, Xpb, Ypb, Ta, Tb, Qa, Qb, Tolerance,
    InstrumentA, InstrumentB, SigmaQ
};
inline constexpr int sheetFieldCount = 18;

// How an end of the chain is oriented: by a typed external azimuth, by a direction
// point, or not at all. Only the fields of the chosen way are part of the job.
enum class EndOrientation { Azimuth, DirectionPoint, None };

// How the sheet weights the observations. A job that names no weights is weighted by
// the mean side and keeps naming none, so that it is written as it always was; once
// the operator chooses a model, the job names it. Only under the instrument are the
// instrument's fields part of the job.
enum class SheetWeights { Unnamed, MeanSide, Instrument };

// The choices of the sheet, each among a few ways, that open or close fields or
// change what the job is.
enum class SheetChoice { OrientationA, OrientationB, Weights, Combine };
inline constexpr int sheetChoiceCount = 4;

struct JobSheet {
    std::array<std::string, sheetFieldCount> field;
    EndOrientation orientationA = EndOrientation::Azimuth;
    EndOrientation orientationB = EndOrientation::Azimuth;
    std::vector<std::string> name;  // points 1..N at 0..N−1
    std::vector<std::string> side;  // S1..S(2N+1) at 0..2N; an even side without its sign
    std::vector<char> right;        // S(k) at k−1: an even side right of the route
    SheetWeights weights = SheetWeights::Unnamed;
    WeightModel::Combine combine = WeightModel::Combine::Linear;
    // What the job holds besides the fields, choices and cells above (its measured
    // sides, reduction settings), kept as it was read so that a job opened and saved
    // again keeps it; its weights are held in the fields and choices above, never
    // here. A measured side's cell shows its reduced length (its measured distance
    // when it could not be reduced); typed over, the side becomes a typed side, and a
    // side whose triangle was removed goes with it. `measuredCell` holds the text
    // each measured side's cell was given, in the order of jobOnly.measuredSides.
    JobOnlyValues jobOnly;
    std::vector<std::string> measuredCell;

    int triangles() const { return static_cast<int>(name.size()); }
    int sides() const { return static_cast<int>(side.size()); }
    std::string& operator[](SheetField f) { return field[static_cast<std::size_t>(f)]; }
    const std::string& operator[](SheetField f) const { return field[static_cast<std::size_t>(f)]; }
};

// A new chain of one triangle, every value still to be typed.
JobSheet newSheet();

// A choice as a number (the value of its enumeration), and set from one.
int choiceOf(const JobSheet& sheet, SheetChoice choice);
void setChoice(JobSheet& sheet, SheetChoice choice, int way);

// The choice that decides whether a field is part of the job (the way its end is
// oriented, the weights); none for a field that always is.
std::optional<SheetChoice> governingChoice(SheetField field);
// Whether the field is part of the job the sheet makes under the sheet's choices, so
// that the editor opens it for typing.
bool fieldInJob(const JobSheet& sheet, SheetField field);
// Whether the combination of a and b is part of the job: under the instrument.
bool combineInJob(const JobSheet& sheet);

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
// whole triangles where the rows run past its end. The standard errors of the sides
// (column 2) are worked out, not typed: nothing is pasted there. Returns the number
// of sides filled, or the reason nothing was.
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

// Where a problem lies on the sheet. A group is a place of more than one field, or of
// a choice: the instrument's a and b together, the weight model, the combination.
struct SheetPlace {
    enum class Kind { None, Field, Name, Side, Names, Sides, Count, Group };
    Kind kind = Kind::None;
    SheetField field = SheetField::NameA;  // for Field
    int index = 0;                         // point 1..N for Name, side 1..2N+1 for Side; the group
};
SheetPlace sheetPlaceOf(const JobProblem& problem);

// The fields a place takes in (a field, a group's fields), to be marked, and the
// choices that may mend a fault there (the choice that governs the field or group).
std::vector<SheetField> placeFields(const SheetPlace& place);
std::vector<SheetChoice> placeChoices(const SheetPlace& place);

// The problem as the editor says it: where, in the words the editor labels it with,
// and what. "第 7 条边 S7：边长 S7 不能为零。"
std::string sheetMessage(const JobProblem& problem);

// A place as the editor labels it: "起始点 A 的 X 纵座标", "第 7 条边 S7", "点 3 的点名".
std::string placeLabel(const SheetPlace& place);
// A choice as the editor labels it: "A 端的定向方式", "定权方式".
std::string choiceLabel(SheetChoice choice);

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
