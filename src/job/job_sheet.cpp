// The job editor's texts, and the job they make.

#include "job/job_sheet.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

#include "entry/value_checks.h"
#include "job/sheet_reduction.h"
#include "state/constants.h"
#include "state/number_format.h"

namespace trelvan {

namespace {

// Each field, in the order of SheetField: its path in a job file, how the editor
// labels it (the group, then the field within it), and the choice and the way of it
// under which it is part of the job. A group of fields added to the editor adds its
// rows here.
struct FieldSpec {
    const char* path;
    const char* label;
    std::optional<SheetChoice> governedBy = std::nullopt;
    int openWhen = 0;
};
constexpr int azimuth = static_cast<int>(EndOrientation::Azimuth);
constexpr int directionPoint = static_cast<int>(EndOrientation::DirectionPoint);
constexpr int instrument = static_cast<int>(SheetWeights::Instrument);
const FieldSpec fieldSpecs[] = {
    {"A.name", "起始点 A 的点名"},
    {"A.X", "起始点 A 的 X 纵座标"},
    {"A.Y", "起始点 A 的 Y 横座标"},
    {"B.name", "闭合点 B 的点名"},
    {"B.X", "闭合点 B 的 X 纵座标"},
    {"B.Y", "闭合点 B 的 Y 横座标"},
    {"directionA.X", "A 端外方向点 Pta 的 X 纵座标", SheetChoice::OrientationA, directionPoint},
    {"directionA.Y", "A 端外方向点 Pta 的 Y 横座标", SheetChoice::OrientationA, directionPoint},
    {"directionB.X", "B 端外方向点 Ptb 的 X 纵座标", SheetChoice::OrientationB, directionPoint},
    {"directionB.Y", "B 端外方向点 Ptb 的 Y 横座标", SheetChoice::OrientationB, directionPoint},
    {"Ta", "A 端外方位角 Ta", SheetChoice::OrientationA, azimuth},
    {"Tb", "B 端外方位角 Tb", SheetChoice::OrientationB, azimuth},
    {"Qa", "A 端定向角 Qa"},
    {"Qb", "B 端定向角 Qb"},
    {"angleTolerance", "测角限差"},
    {"weights.a", "测距精度 a", SheetChoice::Weights, instrument},
    {"weights.b", "测距精度 b", SheetChoice::Weights, instrument},
    {"weights.sigmaQ", "定向角中误差 σQ", SheetChoice::Weights, instrument},
    {"reduction.falseEasting", "东伪偏移"},
    {"reduction.H0", "投影面高程 H0"},
    {"reduction.K", "测距仪加常数 K"},
    {"reduction.R", "测距仪乘常数 R"},
    {"reduction.meteo.A", "气象改正公式的 A"},
    {"reduction.meteo.B", "气象改正公式的 B"},
    {"reduction.Hm", "边长归算设置的平均高程 Hm"},
};
static_assert(std::size(fieldSpecs) == sheetFieldCount);

// Places of more than one field, or of a choice alone: a fault of values that are
// wrong only together, or of a choice a job file names in a way the editor cannot.
struct GroupSpec {
    const char* path;
    const char* label;
    std::vector<SheetField> fields;
    std::optional<SheetChoice> choice;
};
const GroupSpec groupSpecs[] = {
    {"weights", "测距精度 a 与 b", {SheetField::InstrumentA, SheetField::InstrumentB}, SheetChoice::Weights},
    {"weights.model", "定权方式", {}, SheetChoice::Weights},
    {"weights.combine", "测距精度的组合方式", {}, SheetChoice::Combine},
    {"reduction", "边长归算设置",
     {SheetField::FalseEasting, SheetField::H0, SheetField::ConstantK, SheetField::ConstantR, SheetField::MeteoA,
      SheetField::MeteoB, SheetField::DefaultHm},
     std::nullopt},
    {"reduction.ellipsoid", "椭球", {}, SheetChoice::Ellipsoid},
    {"reduction.gauss", "高斯投影改化", {}, SheetChoice::Gauss},
    {"reduction.meteo", "气象改正公式的 A 与 B", {SheetField::MeteoA, SheetField::MeteoB}, std::nullopt},
};

// How the editor names each choice, in the order of SheetChoice.
const char* const choiceLabels[] = {"A 端的定向方式", "B 端的定向方式", "定权方式", "测距精度的组合方式", "椭球",
                                    "高斯投影改化"};
static_assert(std::size(choiceLabels) == sheetChoiceCount);

const FieldSpec& specOf(SheetField field) { return fieldSpecs[static_cast<std::size_t>(field)]; }

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}


std::size_t at(int k) { return static_cast<std::size_t>(k - 1); }

// The chain long enough for `triangles`; false, changing nothing, past the largest.
bool growTo(JobSheet& sheet, int triangles) {
    if (triangles <= sheet.triangles()) return true;
    return addTriangles(sheet, triangles - sheet.triangles());
}

std::string tooManyRows(int rows) {
    return "粘贴的 " + digits(rows) + " 行超出了最多 " + digits(maxTriangles) + " 个三角形的锁";
}

}  // namespace

const char* fieldPath(SheetField field) { return specOf(field).path; }

JobSheet newSheet() {
    JobSheet sheet;
    addTriangles(sheet, 1);
    return sheet;
}

int choiceOf(const JobSheet& sheet, SheetChoice choice) {
    switch (choice) {
        case SheetChoice::OrientationA: return static_cast<int>(sheet.orientationA);
        case SheetChoice::OrientationB: return static_cast<int>(sheet.orientationB);
        case SheetChoice::Weights: return static_cast<int>(sheet.weights);
        case SheetChoice::Combine: return static_cast<int>(sheet.combine);
        case SheetChoice::Ellipsoid: return static_cast<int>(sheet.ellipsoid);
        case SheetChoice::Gauss: return static_cast<int>(sheet.gauss);
    }
    return 0;
}

void setChoice(JobSheet& sheet, SheetChoice choice, int way) {
    switch (choice) {
        case SheetChoice::OrientationA: sheet.orientationA = static_cast<EndOrientation>(way); break;
        case SheetChoice::OrientationB: sheet.orientationB = static_cast<EndOrientation>(way); break;
        case SheetChoice::Weights: sheet.weights = static_cast<SheetWeights>(way); break;
        case SheetChoice::Combine: sheet.combine = static_cast<WeightModel::Combine>(way); break;
        case SheetChoice::Ellipsoid: sheet.ellipsoid = static_cast<SheetEllipsoid>(way); break;
        case SheetChoice::Gauss: sheet.gauss = static_cast<SheetGauss>(way); break;
    }
}

std::optional<SheetChoice> governingChoice(SheetField field) { return specOf(field).governedBy; }

bool fieldInJob(const JobSheet& sheet, SheetField field) {
    const FieldSpec& spec = specOf(field);
    return !spec.governedBy || choiceOf(sheet, *spec.governedBy) == spec.openWhen;
}

bool combineInJob(const JobSheet& sheet) { return sheet.weights == SheetWeights::Instrument; }

std::string shownNumber(std::string_view typed) {
    typed = trimmed(typed);
    if (const auto value = parseNumber(typed)) return replyNumber(*value);
    return std::string(typed);
}

JobSheet sheetOf(const Job& job) {
    JobSheet sheet;
    const std::size_t listedPoints = job.pointName.size() >= 2 ? job.pointName.size() - 2 : 0;
    const std::size_t listedSides = job.side.empty() ? 0 : job.side.size() - 1;
    int n = job.N >= 1 && job.N <= maxTriangles ? job.N : 0;
    n = std::max({n, static_cast<int>(std::min<std::size_t>(listedPoints, maxTriangles)),
                  static_cast<int>(std::min<std::size_t>(listedSides / 2, maxTriangles)), 1});
    addTriangles(sheet, n);

    if (!job.pointName.empty()) sheet[SheetField::NameA] = job.pointName.front();
    if (job.pointName.size() >= 2) sheet[SheetField::NameB] = job.pointName.back();
    for (int i = 1; i <= n && static_cast<std::size_t>(i) <= listedPoints; ++i)
        sheet.name[at(i)] = job.pointName[static_cast<std::size_t>(i)];

    const std::pair<SheetField, double> numbers[] = {{SheetField::Xa, job.Xa}, {SheetField::Ya, job.Ya},
                                                     {SheetField::Xb, job.Xb}, {SheetField::Yb, job.Yb},
                                                     {SheetField::Qa, job.Qa}, {SheetField::Qb, job.Qb},
                                                     {SheetField::Tolerance, job.angleTolerance}};
    for (const auto& [field, value] : numbers) sheet[field] = replyNumber(value);

    // A direction point of 0 and 0 leaves the typed azimuth, and an azimuth of 0 no
    // orientation; a direction point with one coordinate 0 is kept as typed.
    const auto orient = [&](double xp, double yp, double t, SheetField fx, SheetField fy, SheetField ft) {
        if (xp == 0 && yp == 0) {
            if (t == 0) return EndOrientation::None;
            sheet[ft] = replyNumber(t);
            return EndOrientation::Azimuth;
        }
        sheet[fx] = replyNumber(xp);
        sheet[fy] = replyNumber(yp);
        return EndOrientation::DirectionPoint;
    };
    sheet.orientationA = orient(job.Xpa, job.Ypa, job.Ta, SheetField::Xpa, SheetField::Ypa, SheetField::Ta);
    sheet.orientationB = orient(job.Xpb, job.Ypb, job.Tb, SheetField::Xpb, SheetField::Ypb, SheetField::Tb);

    for (int k = 1; k <= sheet.sides() && static_cast<std::size_t>(k) <= listedSides; ++k) {
        const double typed = job.side[static_cast<std::size_t>(k)];
        const bool right = k % 2 == 0 && std::signbit(typed);
        sheet.right[at(k)] = right;
        sheet.side[at(k)] = replyNumber(right ? -typed : typed);
    }
    // The measured sides, each length cell keeping the reduced length it was read with.
    takeReduction(sheet, job);

    // The weights the job names, in the fields and choices of the sheet.
    if (const std::optional<WeightModel>& weights = job.jobOnly.weights) {
        sheet.weights = weights->byInstrument() ? SheetWeights::Instrument : SheetWeights::MeanSide;
        if (weights->byInstrument()) {
            sheet[SheetField::InstrumentA] = replyNumber(weights->a);
            sheet[SheetField::InstrumentB] = replyNumber(weights->b);
            sheet[SheetField::SigmaQ] = replyNumber(weights->sigmaQ);
            sheet.combine = weights->combine;
        }
    }
    return sheet;
}

void typeSide(JobSheet& sheet, int k, std::string_view typed) {
    if (k < 1 || k > sheet.sides()) return;
    typed = trimmed(typed);
    const auto value = parseNumber(typed);
    const std::string before = sheet.side[at(k)];
    if (value && k % 2 == 0 && std::signbit(*value)) {
        sheet.right[at(k)] = true;
        sheet.side[at(k)] = replyNumber(-*value);
    } else {
        sheet.side[at(k)] = value ? replyNumber(*value) : std::string(typed);
    }
    // Another length typed over a measured side makes it a plane length.
    if (sheet.side[at(k)] != before && sideKind(sheet, k) != SideKind::Plane) setSideKind(sheet, k, SideKind::Plane);
}

bool typeSidePosition(JobSheet& sheet, int k, std::string_view typed) {
    if (k < 1 || k > sheet.sides()) return false;
    // A route side a file put right of the route goes back on the route.
    const bool strayRoute = k % 2 == 1 && sheet.right[at(k)];
    if (k % 2 == 1 && !strayRoute) return false;
    std::string word(trimmed(typed));
    std::transform(word.begin(), word.end(), word.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    const auto among = [&](std::initializer_list<const char*> words) {
        return std::any_of(words.begin(), words.end(), [&](const char* w) { return word == w; });
    };
    const bool left = among({"左", "左侧", "l", "left"}) || (strayRoute && among({"路线边"}));
    const bool right = !strayRoute && among({"右", "右侧", "r", "right"});
    if (left || right) sheet.right[at(k)] = right;
    return left || right;
}

bool addTriangles(JobSheet& sheet, int count) {
    if (count < 0 || count > maxTriangles - sheet.triangles()) return false;
    const std::size_t n = static_cast<std::size_t>(sheet.triangles() + count);
    sheet.name.resize(n);
    sheet.side.resize(2 * n + 1);
    sheet.right.resize(2 * n + 1, false);
    if (!sheet.measured.empty()) sheet.measured.resize(2 * n + 1, 0);
    if (!sheet.measurement.empty()) sheet.measurement.resize(2 * n + 1);
    return true;
}

bool removeLastTriangle(JobSheet& sheet) {
    if (sheet.triangles() <= 1) return false;
    sheet.name.pop_back();
    sheet.side.resize(sheet.side.size() - 2);
    sheet.right.resize(sheet.right.size() - 2);
    sheet.measured.resize(std::min(sheet.measured.size(), sheet.side.size()));
    sheet.measurement.resize(std::min(sheet.measurement.size(), sheet.side.size()));
    return true;
}

bool lastTriangleIsEmpty(const JobSheet& sheet) {
    const int n = sheet.triangles();
    const auto unmeasured = [&](int k) {
        return sideKind(sheet, k) == SideKind::Plane && measurementOf(sheet, k) == SheetMeasurement{};
    };
    return sheet.name.back().empty() && sheet.side[at(2 * n)].empty() && sheet.side[at(2 * n + 1)].empty() &&
           unmeasured(2 * n) && unmeasured(2 * n + 1);
}

std::vector<std::vector<std::string>> pastedRows(std::string_view text) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            rows.push_back(std::move(row));
            row.assign(1, std::string());
        } else if (c == '\t') {
            row.emplace_back();
        } else {
            row.back().push_back(c);
        }
    }
    // A final line break ends the last row rather than starting an empty one.
    if (row.size() > 1 || !row.front().empty()) rows.push_back(std::move(row));
    return rows;
}

Pasted pasteSides(JobSheet& sheet, int first, int column, std::string_view text) {
    if (column == 2) return {0, "边长中误差 σ 由边长和测距精度算出，不能输入"};
    if (column >= firstCorrectionColumn) return {0, "归算的改正数由实测值算出，不能输入"};
    const auto rows = pastedRows(text);
    const int count = static_cast<int>(std::min<std::size_t>(rows.size(), std::numeric_limits<int>::max() / 4));
    if (count == 0 || first < 1 || first > sheet.sides()) return {};
    const long long last = static_cast<long long>(first) + count - 1;
    // Side 2n+1 closes triangle n.
    if (last / 2 > maxTriangles || !growTo(sheet, static_cast<int>(std::max(1LL, last / 2))))
        return {0, tooManyRows(count)};
    for (int r = 0; r < count; ++r) {
        const int k = first + r;
        const std::vector<std::string>& cells = rows[static_cast<std::size_t>(r)];
        // How the side is given and its measurement: a cell for each column from here
        // on, as far as the measurement goes.
        if (column >= sideKindColumn) {
            // Distances pasted where the way a side is given is chosen (a chain with no
            // measured side yet shows no column of distances) are the distances.
            int from = column;
            if (column == sideKindColumn && !cells.empty() && !trimmed(cells[0]).empty() &&
                !typeSideKind(sheet, k, cells[0]))
                from = firstMeasureColumn;
            for (std::size_t c = 0; c < cells.size() && from + static_cast<int>(c) < firstCorrectionColumn; ++c) {
                const int at = from + static_cast<int>(c);
                if (at == sideKindColumn)
                    typeSideKind(sheet, k, cells[c]);
                else
                    typeMeasurement(sheet, k, static_cast<MeasurePart>(at - firstMeasureColumn), cells[c]);
            }
            continue;
        }
        if (column == 1) {
            typeSidePosition(sheet, k, cells[0]);
            continue;
        }
        typeSide(sheet, k, cells[0]);
        if (cells.size() > 1) typeSidePosition(sheet, k, cells[1]);
    }
    return {count, std::nullopt};
}

Pasted pasteNames(JobSheet& sheet, int first, std::string_view text) {
    const auto rows = pastedRows(text);
    const int count = static_cast<int>(std::min<std::size_t>(rows.size(), std::numeric_limits<int>::max() / 4));
    if (count == 0 || first < 1 || first > sheet.triangles()) return {};
    const long long last = static_cast<long long>(first) + count - 1;
    if (last > maxTriangles || !growTo(sheet, static_cast<int>(last))) return {0, tooManyRows(count)};
    for (int r = 0; r < count; ++r) sheet.name[at(first + r)] = rows[static_cast<std::size_t>(r)][0];
    return {count, std::nullopt};
}

namespace {

// The job the sheet makes, and every problem with it in the dialogue's order.
struct SheetProblems {
    Job job;
    std::vector<JobProblem> problems;
};

SheetProblems sheetProblems(const JobSheet& sheet) {
    SheetProblems checked;
    Job& job = checked.job;
    const int n = sheet.triangles();
    job.N = static_cast<std::int16_t>(n);

    // A text that is no number enters the job's checks as a value that is not finite,
    // so that it is found in its place in the dialogue's order; it is then named for
    // what it is.
    std::vector<std::pair<std::string, std::string>> unread;
    const ReadNumber number = [&](const std::string& text, const std::string& path) {
        if (const auto value = parseNumber(text)) return *value;
        unread.emplace_back(std::move(path), notANumberReason(text));
        return std::numeric_limits<double>::quiet_NaN();
    };
    const auto field = [&](SheetField f) { return number(sheet[f], fieldPath(f)); };

    job.Xa = field(SheetField::Xa);
    job.Ya = field(SheetField::Ya);
    job.Xb = field(SheetField::Xb);
    job.Yb = field(SheetField::Yb);
    // A field of a way not chosen is no part of the job.
    const auto open = [&](SheetField f, double& out) {
        if (fieldInJob(sheet, f)) out = field(f);
    };
    open(SheetField::Xpa, job.Xpa);
    open(SheetField::Ypa, job.Ypa);
    open(SheetField::Xpb, job.Xpb);
    open(SheetField::Ypb, job.Ypb);
    open(SheetField::Ta, job.Ta);
    open(SheetField::Tb, job.Tb);
    job.Qa = field(SheetField::Qa);
    job.Qb = field(SheetField::Qb);
    job.angleTolerance = field(SheetField::Tolerance);
    if (sheet.weights != SheetWeights::Unnamed) {
        WeightModel& weights = job.jobOnly.weights.emplace();
        if (sheet.weights == SheetWeights::Instrument) {
            weights.model = WeightModel::Kind::Instrument;
            open(SheetField::InstrumentA, weights.a);
            open(SheetField::InstrumentB, weights.b);
            open(SheetField::SigmaQ, weights.sigmaQ);
            weights.combine = sheet.combine;
        }
    }

    job.pointName.reserve(static_cast<std::size_t>(n) + 2);
    job.pointName.push_back(sheet[SheetField::NameA]);
    job.pointName.insert(job.pointName.end(), sheet.name.begin(), sheet.name.end());
    job.pointName.push_back(sheet[SheetField::NameB]);

    job.side.assign(static_cast<std::size_t>(sheet.sides()) + 1, 0.0);
    for (int k = 1; k <= sheet.sides(); ++k) {
        if (sideKind(sheet, k) != SideKind::Plane) continue;  // its measurement gives it
        const double length = number(sheet.side[at(k)], sidePath(k));
        job.side[static_cast<std::size_t>(k)] = sheet.right[at(k)] && k % 2 == 0 ? -length : length;
    }

    // The reduction settings and the measured sides; then their reduced lengths in
    // the side list.
    putReduction(sheet, job, number);
    reduction::Reduction reduced;
    checked.problems = reduceAndCheck(job, reduced);
    if (!unread.empty()) {
        for (JobProblem& problem : checked.problems)
            for (const auto& [path, what] : unread)
                if (path == problem.path) problem.what = what;
    }
    return checked;
}

}  // namespace

SheetCheck checkSheet(const JobSheet& sheet) {
    SheetProblems checked = sheetProblems(sheet);
    SheetCheck check;
    check.job = std::move(checked.job);
    if (!checked.problems.empty()) check.problem = std::move(checked.problems.front());
    return check;
}

std::optional<JobProblem> problemStillAt(const JobSheet& sheet, const JobProblem& problem) {
    if (sheetPlaceOf(problem).kind == SheetPlace::Kind::None) return problem;
    for (JobProblem& now : sheetProblems(sheet).problems)
        if (now.path == problem.path) return std::move(now);
    return std::nullopt;
}

std::string notANumberReason(std::string_view typed) {
    typed = trimmed(typed);
    if (typed.empty()) return "没有填写数值";
    // A decimal comma, as a desktop in many languages types it: the number it means.
    if (typed.find(',') != std::string_view::npos) {
        std::string withStop(typed);
        std::replace(withStop.begin(), withStop.end(), ',', '.');
        if (const auto value = parseNumber(withStop))
            return "输入的不是一个数：小数点要用句点，应输入 " + replyNumber(*value);
    }
    return "输入的不是一个数";
}

SheetPlace sheetPlaceOf(const JobProblem& problem) {
    SheetPlace place;
    using Kind = SheetPlace::Kind;
    if (problem.line > 0) return place;
    for (int f = 0; f < sheetFieldCount; ++f)
        if (problem.path == fieldSpecs[f].path) return {Kind::Field, static_cast<SheetField>(f), 0};
    for (int g = 0; g < static_cast<int>(std::size(groupSpecs)); ++g)
        if (problem.path == groupSpecs[g].path) return {Kind::Group, SheetField::NameA, g};
    const bool points = problem.path.rfind("points", 0) == 0;
    const bool sides = problem.path.rfind("sides", 0) == 0;
    if (points && problem.index >= 0) return {Kind::Name, SheetField::NameA, problem.index + 1};
    if (sides && problem.index >= 0) {
        // A field of a measured side ("sides[6].dh") is its column; the side as a whole
        // its length.
        const std::size_t dot = problem.path.find("].");
        const int column = dot == std::string::npos ? -1 : sideColumnOfField(std::string_view(problem.path).substr(dot + 2));
        return {Kind::Side, SheetField::NameA, problem.index + 1, std::max(column, 0)};
    }
    if (problem.path == "points") place.kind = Kind::Names;
    if (problem.path == "sides") place.kind = Kind::Sides;
    if (problem.path == "N") place.kind = Kind::Count;
    return place;
}

std::string placeLabel(const SheetPlace& place) {
    switch (place.kind) {
        case SheetPlace::Kind::Field: return specOf(place.field).label;
        case SheetPlace::Kind::Name: return "点 " + digits(place.index) + " 的点名";
        case SheetPlace::Kind::Side: {
            const std::string column = place.column > 0 ? sideColumnLabel(place.column) : std::string();
            return "第 " + digits(place.index) + " 条边 " + sideName(place.index) + (column.empty() ? "" : " 的" + column);
        }
        case SheetPlace::Kind::Names: return "点名表";
        case SheetPlace::Kind::Sides: return "边长表";
        case SheetPlace::Kind::Count: return "三角形个数";
        case SheetPlace::Kind::Group: return groupSpecs[place.index].label;
        case SheetPlace::Kind::None: break;
    }
    return {};
}

std::string choiceLabel(SheetChoice choice) { return choiceLabels[static_cast<std::size_t>(choice)]; }

std::vector<SheetField> placeFields(const SheetPlace& place) {
    if (place.kind == SheetPlace::Kind::Field) return {place.field};
    if (place.kind == SheetPlace::Kind::Group) return groupSpecs[place.index].fields;
    return {};
}

std::vector<SheetChoice> placeChoices(const SheetPlace& place) {
    if (place.kind == SheetPlace::Kind::Group) {
        if (const auto choice = groupSpecs[place.index].choice) return {*choice};
        return {};
    }
    if (place.kind == SheetPlace::Kind::Field)
        if (const auto choice = governingChoice(place.field)) return {*choice};
    return {};
}

std::string sheetMessage(const JobProblem& problem) {
    const SheetPlace place = sheetPlaceOf(problem);
    const std::string where = place.kind == SheetPlace::Kind::None ? placeOf(problem) : placeLabel(place);
    return (where.empty() ? "" : where + "：") + editorWording(problem.what) + "。";
}

}  // namespace trelvan
