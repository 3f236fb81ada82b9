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

// The single fields of a job: the known points, the orientation, the tolerance, the
// distance meter's stated accuracy (a mm + b mm/km) with the standard error of an
// orientation angle, and the chain's settings for reducing measured sides: the false
// easting, the height of the projection surface, the instrument's additive and
// multiplicative constants, its atmospheric formula's A and B, and the mean height of
// a side that gives none. A setting left empty is no part of the job: its default
// applies.
enum class SheetField {
    NameA, Xa, Ya, NameB, Xb, Yb, Xpa, Ypa, Xpb, Ypb, Ta, Tb, Qa, Qb, Tolerance,
    InstrumentA, InstrumentB, SigmaQ,
    FalseEasting, H0, ConstantK, ConstantR, MeteoA, MeteoB, DefaultHm
};
inline constexpr int sheetFieldCount = 25;

// How an end of the chain is oriented: by a typed external azimuth, by a direction
// point, or not at all. Only the fields of the chosen way are part of the job.
enum class EndOrientation { Azimuth, DirectionPoint, None };

// How the sheet weights the observations. A job that names no weights is weighted by
// the mean side and keeps naming none, so that it is written as it always was; once
// the operator chooses a model, the job names it. Only under the instrument are the
// instrument's fields part of the job.
enum class SheetWeights { Unnamed, MeanSide, Instrument };

// The ellipsoid the measured sides are reduced on. A job that names none is reduced on
// CGCS2000 and keeps naming none; one that names an ellipsoid this program does not
// know keeps that name (AsRead), to be refused until another is chosen.
enum class SheetEllipsoid { Unnamed, CGCS2000, Xian80, Beijing54, AsRead };
// Whether the measured sides are reduced on to the Gauss plane (the default) or kept
// on the projection surface, a local plane.
enum class SheetGauss { Unnamed, On, Off };

// The choices of the sheet, each among a few ways, that open or close fields or
// change what the job is.
enum class SheetChoice { OrientationA, OrientationB, Weights, Combine, Ellipsoid, Gauss };
inline constexpr int sheetChoiceCount = 6;

// How a side is given: a plane length typed by hand, or as the distance meter measured
// it, a slope or a horizontal distance, which is reduced to the plane.
enum class SideKind { Plane, Slope, Horizontal };

// The values of a measured side, in the order of the side table's columns: the
// distance shown, the height difference or the zenith angle, the mean height, and
// the atmosphere (ppm, or the temperature and the pressure).
enum class MeasurePart { D, dh, Z, Hm, ppm, t, p };
inline constexpr int measurePartCount = 7;

// A side's measurement as typed, each value a text (empty: not given, as a job file
// leaves it out), and what a job file said of it that the sheet shows elsewhere, so
// that a side not edited is written back as it was read: the word for its type
// ("" for a slope distance that names none, "slope", "horizontal", or a word a file
// used that is none of these) and whether it named its side of the route.
struct SheetMeasurement {
    std::array<std::string, measurePartCount> text;
    std::string type;
    std::optional<bool> rightAsRead;
    std::string& operator[](MeasurePart part) { return text[static_cast<std::size_t>(part)]; }
    const std::string& operator[](MeasurePart part) const { return text[static_cast<std::size_t>(part)]; }
    friend bool operator==(const SheetMeasurement&, const SheetMeasurement&) = default;
};

// The columns of the side table: the length (a measured side's reduced D4), the side
// of the route, the standard error, how the side is given, the parts of a
// measurement, and the four corrections of its reduction.
inline constexpr int sideKindColumn = 3;
inline constexpr int firstMeasureColumn = 4;
inline constexpr int firstCorrectionColumn = firstMeasureColumn + measurePartCount;
inline constexpr int sideColumnCount = firstCorrectionColumn + 4;

struct JobSheet {
    std::array<std::string, sheetFieldCount> field;
    EndOrientation orientationA = EndOrientation::Azimuth;
    EndOrientation orientationB = EndOrientation::Azimuth;
    std::vector<std::string> name;  // points 1..N at 0..N−1
    std::vector<std::string> side;  // S1..S(2N+1) at 0..2N; an even side without its sign
    std::vector<char> right;        // S(k) at k−1: an even side right of the route
    SheetWeights weights = SheetWeights::Unnamed;
    WeightModel::Combine combine = WeightModel::Combine::Linear;

    // The sides as the distance meter measured them. A measured side keeps its length
    // cell (the reduced length it was read with), to be used again if it is made a
    // plane length, and a plane side keeps the measurement it had, should it be
    // measured again. `measurement` is empty until a side has one, so that a chain
    // of typed sides carries nothing for it.
    std::vector<char> measured;                 // S(k) at k−1: given as measured
    std::vector<SheetMeasurement> measurement;  // S(k) at k−1, or empty
    // The chain's reduction settings besides its fields: the ellipsoid (and the name
    // a file gave that this program does not know), the Gauss step, and whether the
    // job had a "reduction" object, which it then keeps.
    SheetEllipsoid ellipsoid = SheetEllipsoid::Unnamed;
    std::string ellipsoidAsRead;
    SheetGauss gauss = SheetGauss::Unnamed;
    bool reductionNamed = false;

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
// it right of the route; a positive one keeps the side it lies on. A measured side
// typed over with another length becomes a plane length.
void typeSide(JobSheet& sheet, int k, std::string_view typed);

// The side of the route an even side lies on, from "左"/"右" (or L/R, left/right);
// false for anything else, which changes nothing. A route side that a job file put
// right of the route is put back on the route by "左" or "路线边".
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
// (column 1), a second cell in column 0 the side of the route. From the column of how
// a side is given on, the cells of a row fill that column and those to its right: a
// distance pasted into D measures the side, and so does one pasted where the way is
// chosen (a cell that names no way is taken for D). The chain grows by whole triangles where
// the rows run past its end. The standard errors of the sides (column 2) and the
// corrections of the reduction are worked out, not typed: nothing is pasted there.
// Returns the number of sides filled, or the reason nothing was.
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
    int column = 0;                        // for Side: the column of the side table
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
