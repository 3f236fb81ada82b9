#pragma once
// One edit of the job editor's sheet, kept so that it can be taken back (undo) and
// made again (redo): every text and choice it changed, as it was before and after,
// and the length of the chain before and after. An edit holds only what changed, so
// that a long history of a chain of 16382 triangles costs little.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "job/job_sheet.h"

namespace trelvan {

struct SheetEdit {
    struct Field {
        SheetField field;
        std::string before, after;
    };
    // A choice: the way an end is oriented, the weights, … as choiceOf gives it.
    struct Choice {
        SheetChoice choice;
        int before, after;
    };
    // Side k (1..2N+1): its length as typed and whether it lies right of the route.
    struct Side {
        int k;
        std::string before, after;
        bool rightBefore, rightAfter;
    };
    // The name of point i (1..N).
    struct Name {
        int i;
        std::string before, after;
    };
    // How side k (1..2N+1) is given, and its measurement.
    struct Measure {
        int k;
        bool measuredBefore, measuredAfter;
        SheetMeasurement before, after;
    };

    std::vector<Field> fields;
    std::vector<Choice> choices;
    int trianglesBefore = 0, trianglesAfter = 0;
    // The cells that changed. A triangle removed keeps here what it held, a triangle
    // added what it was given; their empty cells are left out.
    std::vector<Side> sides;
    std::vector<Name> names;
    std::vector<Measure> measures;

    bool empty() const;
    // Makes the edit on a sheet as it was before it (redo), or takes it back from a
    // sheet as it was after it (undo).
    void redo(JobSheet& sheet) const;
    void undo(JobSheet& sheet) const;
};

// The edit that makes `before` into `after`.
SheetEdit editBetween(const JobSheet& before, const JobSheet& after);

// The edit that `change` would make to `sheet`, which is left as it was.
SheetEdit editOf(const JobSheet& sheet, const std::function<void(JobSheet&)>& change);

// A field's text typed anew.
SheetEdit fieldEdit(const JobSheet& sheet, SheetField field, std::string typed);

// Whether an edit reaches the place a problem names, so that it may have mended it:
// the field, the cell or the list itself; for a side that closes a triangle, any of
// the triangle's three sides; for a field or group that a choice opens (an end's
// orientation, the weights), that choice. A side, the list of sides and A's
// coordinates are also reached by the reduction settings, which measured sides
// depend on.
bool editReaches(const SheetEdit& edit, const SheetPlace& place);

// What an edit changed, as undo and redo name it: the one field, cell or choice by its
// label, "第 5 个三角形" for one triangle added or removed, else "12 格".
std::string editSubject(const SheetEdit& edit);

// Whether an edit changes the standard errors of the sides as the instrument states
// them (a, b, the combination or the weights chosen), beyond the sides it retypes.
bool editReachesSideErrors(const SheetEdit& edit);

// Whether an edit may change the reduction of the measured sides: a measurement, how
// a side is given, a length or side of the route (the chain's geometry), a triangle
// added or removed, A's or B's coordinates, a reduction setting.
bool editReachesReduction(const SheetEdit& edit);

}  // namespace trelvan
