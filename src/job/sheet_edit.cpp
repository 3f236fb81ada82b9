// The job editor's edits, recorded as what changed.

#include "job/sheet_edit.h"

#include <algorithm>

#include "job/sheet_reduction.h"
#include "state/number_format.h"

namespace trelvan {

namespace {

std::size_t at(int k) { return static_cast<std::size_t>(k - 1); }

// The chain `triangles` long: cells cut off go, cells added are empty.
void resize(JobSheet& sheet, int triangles) {
    const auto n = static_cast<std::size_t>(triangles);
    sheet.name.resize(n);
    sheet.side.resize(2 * n + 1);
    sheet.right.resize(2 * n + 1, false);
    if (!sheet.measured.empty()) sheet.measured.resize(2 * n + 1, 0);
    if (!sheet.measurement.empty()) sheet.measurement.resize(2 * n + 1);
}

// The sheet at the other end of the edit: its length, then its texts and choices.
void apply(const SheetEdit& edit, JobSheet& sheet, bool forward) {
    resize(sheet, forward ? edit.trianglesAfter : edit.trianglesBefore);
    for (const SheetEdit::Field& f : edit.fields) sheet[f.field] = forward ? f.after : f.before;
    for (const SheetEdit::Choice& c : edit.choices) setChoice(sheet, c.choice, forward ? c.after : c.before);
    for (const SheetEdit::Side& s : edit.sides) {
        if (s.k > sheet.sides()) continue;  // in a triangle the chain does not have at this end
        sheet.side[at(s.k)] = forward ? s.after : s.before;
        sheet.right[at(s.k)] = forward ? s.rightAfter : s.rightBefore;
    }
    for (const SheetEdit::Name& n : edit.names) {
        if (n.i > sheet.triangles()) continue;
        sheet.name[at(n.i)] = forward ? n.after : n.before;
    }
    for (const SheetEdit::Measure& m : edit.measures) {
        if (m.k > sheet.sides()) continue;
        sheet.measured.resize(static_cast<std::size_t>(sheet.sides()), 0);
        sheet.measured[at(m.k)] = forward ? m.measuredAfter : m.measuredBefore;
        measurementAt(sheet, m.k) = forward ? m.after : m.before;
    }
}

// The reduction settings among the fields.
bool isReductionSetting(SheetField f) {
    return f == SheetField::FalseEasting || f == SheetField::H0 || f == SheetField::ConstantK ||
           f == SheetField::ConstantR || f == SheetField::MeteoA || f == SheetField::MeteoB ||
           f == SheetField::DefaultHm;
}

bool reachesSettings(const SheetEdit& edit) {
    return std::any_of(edit.fields.begin(), edit.fields.end(),
                       [](const SheetEdit::Field& f) { return isReductionSetting(f.field); }) ||
           std::any_of(edit.choices.begin(), edit.choices.end(), [](const SheetEdit::Choice& c) {
               return c.choice == SheetChoice::Ellipsoid || c.choice == SheetChoice::Gauss;
           });
}

// The cells a measured side's edit changed: each part, or its way of being given
// when nothing else (a distance typed measures a side: one cell).
std::size_t measuredCells(const SheetEdit& edit) {
    std::size_t cells = 0;
    for (const SheetEdit::Measure& m : edit.measures) {
        std::size_t parts = 0;
        for (std::size_t p = 0; p < measurePartCount; ++p) parts += m.before.text[p] != m.after.text[p] ? 1 : 0;
        cells += std::max<std::size_t>(parts, 1);
    }
    return cells;
}

// The one column of the side table a measured side's edit changed; its way of being
// given when that changed, else the only part that did; 0 for more.
int measuredColumn(const SheetEdit::Measure& m) {
    int column = 0, changed = 0;
    for (int p = 0; p < measurePartCount; ++p)
        if (m.before.text[static_cast<std::size_t>(p)] != m.after.text[static_cast<std::size_t>(p)]) {
            column = firstMeasureColumn + p;
            ++changed;
        }
    if (m.measuredBefore != m.measuredAfter || m.before.type != m.after.type) {
        // Typing a distance measures a side: the distance is what was typed.
        if (changed == 1 && column == firstMeasureColumn) return column;
        return changed == 0 ? sideKindColumn : 0;
    }
    return changed == 1 ? column : 0;
}

}  // namespace

bool SheetEdit::empty() const {
    return fields.empty() && choices.empty() && sides.empty() && names.empty() && measures.empty() &&
           trianglesBefore == trianglesAfter;
}

void SheetEdit::redo(JobSheet& sheet) const { apply(*this, sheet, true); }

void SheetEdit::undo(JobSheet& sheet) const { apply(*this, sheet, false); }

SheetEdit editBetween(const JobSheet& before, const JobSheet& after) {
    SheetEdit edit;
    edit.trianglesBefore = before.triangles();
    edit.trianglesAfter = after.triangles();
    for (int f = 0; f < sheetFieldCount; ++f) {
        const auto field = static_cast<SheetField>(f);
        if (before[field] != after[field]) edit.fields.push_back({field, before[field], after[field]});
    }
    for (int c = 0; c < sheetChoiceCount; ++c) {
        const auto choice = static_cast<SheetChoice>(c);
        if (choiceOf(before, choice) != choiceOf(after, choice))
            edit.choices.push_back({choice, choiceOf(before, choice), choiceOf(after, choice)});
    }

    // A cell only one of the two has is empty in the other.
    static const std::string none;
    const int sides = std::max(before.sides(), after.sides());
    for (int k = 1; k <= sides; ++k) {
        const bool inBefore = k <= before.sides(), inAfter = k <= after.sides();
        const std::string& a = inBefore ? before.side[at(k)] : none;
        const std::string& b = inAfter ? after.side[at(k)] : none;
        const bool ra = inBefore && before.right[at(k)], rb = inAfter && after.right[at(k)];
        if (a != b || ra != rb) edit.sides.push_back({k, a, b, ra, rb});
    }
    const int names = std::max(before.triangles(), after.triangles());
    for (int i = 1; i <= names; ++i) {
        const std::string& a = i <= before.triangles() ? before.name[at(i)] : none;
        const std::string& b = i <= after.triangles() ? after.name[at(i)] : none;
        if (a != b) edit.names.push_back({i, a, b});
    }
    const auto measured = [](const JobSheet& sheet, int k) {
        return k <= static_cast<int>(sheet.measured.size()) && sheet.measured[at(k)] != 0;
    };
    if (!before.measured.empty() || !after.measured.empty() || !before.measurement.empty() ||
        !after.measurement.empty()) {
        for (int k = 1; k <= sides; ++k) {
            const bool ma = measured(before, k), mb = measured(after, k);
            const SheetMeasurement& a = measurementOf(before, k);
            const SheetMeasurement& b = measurementOf(after, k);
            if (ma != mb || a != b) edit.measures.push_back({k, ma, mb, a, b});
        }
    }
    return edit;
}

SheetEdit editOf(const JobSheet& sheet, const std::function<void(JobSheet&)>& change) {
    JobSheet after = sheet;
    change(after);
    return editBetween(sheet, after);
}

SheetEdit fieldEdit(const JobSheet& sheet, SheetField field, std::string typed) {
    SheetEdit edit;
    edit.trianglesBefore = edit.trianglesAfter = sheet.triangles();
    if (sheet[field] != typed) edit.fields.push_back({field, sheet[field], std::move(typed)});
    return edit;
}

bool editReaches(const SheetEdit& edit, const SheetPlace& place) {
    using Kind = SheetPlace::Kind;
    switch (place.kind) {
        case Kind::Field:
        case Kind::Group: {
            // A's coordinates fix the zone of a measured chain, with the false easting.
            if (place.kind == Kind::Field && (place.field == SheetField::Xa || place.field == SheetField::Ya) &&
                reachesSettings(edit))
                return true;
            const std::vector<SheetField> fields = placeFields(place);
            const std::vector<SheetChoice> choices = placeChoices(place);
            const auto among = [](const auto& list, auto item) {
                return std::find(list.begin(), list.end(), item) != list.end();
            };
            return std::any_of(edit.fields.begin(), edit.fields.end(),
                               [&](const SheetEdit::Field& f) { return among(fields, f.field); }) ||
                   std::any_of(edit.choices.begin(), edit.choices.end(),
                               [&](const SheetEdit::Choice& c) { return among(choices, c.choice); });
        }
        case Kind::Side: {
            // A side that closes a triangle stands for the triangle too.
            const int first = place.index % 2 == 1 && place.index >= 3 ? place.index - 2 : place.index;
            return std::any_of(edit.sides.begin(), edit.sides.end(),
                               [&](const SheetEdit::Side& s) { return s.k >= first && s.k <= place.index; }) ||
                   std::any_of(edit.measures.begin(), edit.measures.end(),
                               [&](const SheetEdit::Measure& m) { return m.k >= first && m.k <= place.index; }) ||
                   reachesSettings(edit);
        }
        case Kind::Name:
            return std::any_of(edit.names.begin(), edit.names.end(),
                               [&](const SheetEdit::Name& n) { return n.i == place.index; });
        case Kind::Sides:
            // The chain as a whole, which a measured chain is solved with.
            if (!edit.sides.empty() || !edit.measures.empty() || reachesSettings(edit)) return true;
            return edit.trianglesBefore != edit.trianglesAfter;
        case Kind::Names:
        case Kind::Count: return edit.trianglesBefore != edit.trianglesAfter;
        case Kind::None: break;
    }
    return false;
}

std::string editSubject(const SheetEdit& edit) {
    const int longer = std::max(edit.trianglesBefore, edit.trianglesAfter);
    const int shorter = std::min(edit.trianglesBefore, edit.trianglesAfter);
    const std::size_t cells = edit.fields.size() + edit.sides.size() + edit.names.size() + edit.choices.size() +
                              measuredCells(edit);
    // One triangle added or removed with nothing but its own cells: the triangle.
    const bool ownCellsOnly =
        edit.fields.empty() && edit.choices.empty() &&
        std::all_of(edit.sides.begin(), edit.sides.end(), [&](const SheetEdit::Side& s) { return s.k > 2 * shorter + 1; }) &&
        std::all_of(edit.measures.begin(), edit.measures.end(),
                    [&](const SheetEdit::Measure& m) { return m.k > 2 * shorter + 1; }) &&
        std::all_of(edit.names.begin(), edit.names.end(), [&](const SheetEdit::Name& n) { return n.i > shorter; });
    if (longer != shorter && ownCellsOnly)
        return longer - shorter == 1 ? "第 " + digits(longer) + " 个三角形" : digits(longer - shorter) + " 个三角形";
    // One cell of a measured side, or its side as a whole when it changed more.
    if (edit.fields.empty() && edit.choices.empty() && edit.names.empty() && !edit.measures.empty() &&
        edit.measures.size() == 1 && longer == shorter &&
        std::all_of(edit.sides.begin(), edit.sides.end(),
                    [&](const SheetEdit::Side& s) { return s.k == edit.measures.front().k; })) {
        const SheetEdit::Measure& m = edit.measures.front();
        SheetPlace place{SheetPlace::Kind::Side, SheetField::NameA, m.k, 0};
        if (edit.sides.empty()) place.column = measuredColumn(m);
        return placeLabel(place);
    }
    if (cells == 1 && !edit.fields.empty()) return placeLabel({SheetPlace::Kind::Field, edit.fields.front().field, 0});
    if (cells == 1 && !edit.sides.empty())
        return placeLabel({SheetPlace::Kind::Side, SheetField::NameA, edit.sides.front().k});
    if (cells == 1 && !edit.names.empty())
        return placeLabel({SheetPlace::Kind::Name, SheetField::NameA, edit.names.front().i});
    if (cells == 1) return choiceLabel(edit.choices.front().choice);
    return digits(static_cast<long long>(cells)) + " 格";
}

bool editReachesReduction(const SheetEdit& edit) {
    const auto known = [](SheetField f) {
        return f == SheetField::Xa || f == SheetField::Ya || f == SheetField::Xb || f == SheetField::Yb;
    };
    return !edit.measures.empty() || !edit.sides.empty() || edit.trianglesBefore != edit.trianglesAfter ||
           reachesSettings(edit) ||
           std::any_of(edit.fields.begin(), edit.fields.end(), [&](const SheetEdit::Field& f) { return known(f.field); });
}

bool editReachesSideErrors(const SheetEdit& edit) {
    return std::any_of(edit.fields.begin(), edit.fields.end(),
                       [](const SheetEdit::Field& f) {
                           return f.field == SheetField::InstrumentA || f.field == SheetField::InstrumentB;
                       }) ||
           std::any_of(edit.choices.begin(), edit.choices.end(), [](const SheetEdit::Choice& c) {
               return c.choice == SheetChoice::Weights || c.choice == SheetChoice::Combine;
           });
}

}  // namespace trelvan
