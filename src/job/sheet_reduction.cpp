// The job editor's measured sides, the chain's reduction settings, and the reduction
// of the sheet as it stands.

#include "job/sheet_reduction.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "state/chain_state.h"
#include "state/number_format.h"

namespace trelvan {

namespace {

std::size_t at(int k) { return static_cast<std::size_t>(k - 1); }

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string lowerCase(std::string_view text) {
    std::string word(trimmed(text));
    std::transform(word.begin(), word.end(), word.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return word;
}

// Each part of a measurement: its field in a job file, how the editor labels it, and
// the side table's header (two lines, the unit under the name) and tooltip.
struct PartSpec {
    const char* field;
    const char* label;
    const char* header;
    const char* tip;
};
const PartSpec partSpecs[] = {
    {"D", "实测距离 D", "实测距离 D\n（米）", "测距仪显示的距离（斜距或平距），米。在这一列输入距离，即把该边改为实测边。"},
    {"dh", "高差 dh", "高差 dh\n（米）", "斜距：反射镜中心高出仪器中心的高差，米（低于仪器为负）。dh 与天顶距 Z 只填其一。"},
    {"Z", "天顶距 Z", "天顶距 Z\n（度.分秒）", "斜距：天顶距，按“度.分秒”输入，0° 与 180° 之间。dh 与 Z 只填其一。"},
    {"Hm", "平均高程 Hm", "平均高程\nHm（米）", "这条边两端的平均高程，米；不填时用边长归算设置中的平均高程 Hm。"},
    {"ppm", "气象改正 ppm", "气象改正\n（ppm）", "仪器给出的气象改正，ppm；或者填温度 t 和气压 p，由仪器的气象改正公式算出；都不填为 0（仪器已改正）。"},
    {"t", "温度 t", "温度 t\n（°C）", "测距时的温度，°C，与气压 p 一起填写，用边长归算设置中的气象改正公式。"},
    {"p", "气压 p", "气压 p\n（hPa）", "测距时的气压，hPa，与温度 t 一起填写。"},
};
static_assert(std::size(partSpecs) == measurePartCount);

const PartSpec& specOf(MeasurePart part) { return partSpecs[static_cast<std::size_t>(part)]; }

// The corrections' columns: header and tooltip.
const std::pair<const char*, const char*> correctionSpecs[] = {
    {"常数与气象\n（毫米）", "加常数、乘常数与气象改正：D1 − D，毫米"},
    {"倾斜改正\n（毫米）", "倾斜改正，斜距化为平距：D2 − D1，毫米"},
    {"投影面改正\n（毫米）", "归算到投影面（高程 H0）：D3 − D2，毫米"},
    {"高斯改化\n（毫米）", "高斯投影改化：D4 − D3，毫米（不作高斯投影改化时为 0）"},
};

const SheetMeasurement& noMeasurement() {
    static const SheetMeasurement none;
    return none;
}

// A figure in millimetres with its sign always shown: "+6.59", "-58.83".
std::string signedMillimetres(double x) {
    const std::string text = formatFixed(x, 2);
    return text.front() == '-' || text.find_first_not_of("0.") == std::string::npos ? text : "+" + text;
}

std::string sidePartPath(int k, std::string_view field) {
    return sidePath(k) + "." + std::string(field);
}

// Each ellipsoid the editor offers: its word in a job file and its name in the editor.
const std::pair<SheetEllipsoid, const char*> ellipsoidWords[] = {
    {SheetEllipsoid::CGCS2000, "CGCS2000"}, {SheetEllipsoid::Xian80, "Xian80"}, {SheetEllipsoid::Beijing54, "Beijing54"}};

bool anySetting(const JobSheet& sheet) {
    if (sheet.ellipsoid != SheetEllipsoid::Unnamed || sheet.gauss != SheetGauss::Unnamed) return true;
    for (SheetField f : {SheetField::FalseEasting, SheetField::H0, SheetField::ConstantK, SheetField::ConstantR,
                         SheetField::MeteoA, SheetField::MeteoB, SheetField::DefaultHm})
        if (!sheet[f].empty()) return true;
    return false;
}

}  // namespace

// ---------------------------------------------------------------- how a side is given

SideKind sideKind(const JobSheet& sheet, int k) {
    if (k < 1 || k > static_cast<int>(sheet.measured.size()) || !sheet.measured[at(k)]) return SideKind::Plane;
    return measurementOf(sheet, k).type == "horizontal" ? SideKind::Horizontal : SideKind::Slope;
}

void setSideKind(JobSheet& sheet, int k, SideKind kind) {
    if (k < 1 || k > sheet.sides()) return;
    sheet.measured.resize(static_cast<std::size_t>(sheet.sides()), 0);
    sheet.measured[at(k)] = kind != SideKind::Plane;
    if (kind == SideKind::Plane) {
        // A route side lies on the route, whatever a file said of its measurement.
        if (k % 2 == 1) sheet.right[at(k)] = false;
        return;
    }
    SheetMeasurement& m = measurementAt(sheet, k);
    if (kind == SideKind::Horizontal)
        m.type = "horizontal";
    else if (m.type != "slope")
        m.type.clear();  // a slope distance needs no word
}

bool typeSideKind(JobSheet& sheet, int k, std::string_view typed) {
    const std::string word = lowerCase(typed);
    const auto among = [&](std::initializer_list<const char*> words) {
        return std::any_of(words.begin(), words.end(), [&](const char* w) { return word == w; });
    };
    if (among({"平面", "平面边长", "plane"})) setSideKind(sheet, k, SideKind::Plane);
    else if (among({"斜距", "slope"})) setSideKind(sheet, k, SideKind::Slope);
    else if (among({"平距", "horizontal"})) setSideKind(sheet, k, SideKind::Horizontal);
    else return false;
    return true;
}

const SheetMeasurement& measurementOf(const JobSheet& sheet, int k) {
    if (k < 1 || k > static_cast<int>(sheet.measurement.size())) return noMeasurement();
    return sheet.measurement[at(k)];
}

SheetMeasurement& measurementAt(JobSheet& sheet, int k) {
    if (sheet.measurement.size() < static_cast<std::size_t>(sheet.sides()))
        sheet.measurement.resize(static_cast<std::size_t>(sheet.sides()));
    return sheet.measurement[at(k)];
}

bool hasMeasuredSide(const JobSheet& sheet) {
    return std::any_of(sheet.measured.begin(), sheet.measured.end(), [](char m) { return m != 0; });
}

bool partInJob(const JobSheet& sheet, int k, MeasurePart part) {
    const SideKind kind = sideKind(sheet, k);
    if (part == MeasurePart::D) return true;
    if (kind == SideKind::Plane) return false;
    return kind == SideKind::Slope || (part != MeasurePart::dh && part != MeasurePart::Z);
}

void typeMeasurement(JobSheet& sheet, int k, MeasurePart part, std::string_view typed) {
    if (k < 1 || k > sheet.sides()) return;
    typed = trimmed(typed);
    const std::optional<double> value = parseNumber(typed);
    if (part == MeasurePart::D && !typed.empty() && sideKind(sheet, k) == SideKind::Plane)
        setSideKind(sheet, k, measurementOf(sheet, k).type == "horizontal" ? SideKind::Horizontal : SideKind::Slope);
    SheetMeasurement& m = measurementAt(sheet, k);
    if (part == MeasurePart::D && value && k % 2 == 0 && std::signbit(*value)) {
        sheet.right[at(k)] = true;
        m[part] = replyNumber(-*value);
        return;
    }
    m[part] = value ? replyNumber(*value) : std::string(typed);
}

// ---------------------------------------------------------------- sheet and job

void putReduction(const JobSheet& sheet, Job& job, const ReadNumber& number) {
    job.jobOnly.measuredSides.clear();
    job.jobOnly.reduction.reset();
    if (sheet.reductionNamed || anySetting(sheet)) {
        ReductionSettings& settings = job.jobOnly.reduction.emplace();
        switch (sheet.ellipsoid) {
            case SheetEllipsoid::Unnamed: break;
            case SheetEllipsoid::AsRead: settings.ellipsoid = sheet.ellipsoidAsRead; break;
            default:
                for (const auto& [way, word] : ellipsoidWords)
                    if (way == sheet.ellipsoid) settings.ellipsoid = word;
        }
        if (sheet.gauss != SheetGauss::Unnamed) settings.gauss = sheet.gauss == SheetGauss::On;
        const auto optional = [&](SheetField field) -> std::optional<double> {
            if (sheet[field].empty()) return std::nullopt;
            return number(sheet[field], fieldPath(field));
        };
        settings.falseEasting = optional(SheetField::FalseEasting);
        settings.H0 = optional(SheetField::H0);
        settings.K = optional(SheetField::ConstantK);
        settings.R = optional(SheetField::ConstantR);
        // The formula is there when either of its numbers is: the other is then missing.
        if (!sheet[SheetField::MeteoA].empty() || !sheet[SheetField::MeteoB].empty()) {
            const double a = number(sheet[SheetField::MeteoA], fieldPath(SheetField::MeteoA));
            settings.meteo = MeteoFormula{a, number(sheet[SheetField::MeteoB], fieldPath(SheetField::MeteoB))};
        }
        settings.Hm = optional(SheetField::DefaultHm);
    }

    const int sides = std::min(sheet.sides(), static_cast<int>(sheet.measured.size()));
    for (int k = 1; k <= sides; ++k) {
        if (!sheet.measured[at(k)]) continue;
        const SheetMeasurement& m = measurementOf(sheet, k);
        MeasuredSide side;
        side.k = k;
        if (!m.type.empty()) side.type = m.type;
        side.D = number(m[MeasurePart::D], sidePartPath(k, "D"));
        const auto part = [&](MeasurePart p) -> std::optional<double> {
            if (m[p].empty() || !partInJob(sheet, k, p)) return std::nullopt;
            return number(m[p], sidePartPath(k, specOf(p).field));
        };
        side.dh = part(MeasurePart::dh);
        side.Z = part(MeasurePart::Z);
        side.Hm = part(MeasurePart::Hm);
        side.ppm = part(MeasurePart::ppm);
        side.t = part(MeasurePart::t);
        side.p = part(MeasurePart::p);
        // Its side of the route as the sheet shows it, named where the file named it.
        const bool right = sheet.right[at(k)];
        if (m.rightAsRead || right) side.right = right;
        job.side[static_cast<std::size_t>(k)] = right ? -std::fabs(side.D) : side.D;
        job.jobOnly.measuredSides.push_back(std::move(side));
    }
}

void takeReduction(JobSheet& sheet, const Job& job) {
    if (const std::optional<ReductionSettings>& settings = job.jobOnly.reduction) {
        sheet.reductionNamed = true;
        if (const std::optional<std::string>& name = settings->ellipsoid) {
            sheet.ellipsoid = SheetEllipsoid::AsRead;
            sheet.ellipsoidAsRead = *name;
            for (const auto& [way, word] : ellipsoidWords)
                if (*name == word) sheet.ellipsoid = way;
        }
        if (settings->gauss) sheet.gauss = *settings->gauss ? SheetGauss::On : SheetGauss::Off;
        const auto text = [](const std::optional<double>& value) { return value ? replyNumber(*value) : std::string(); };
        sheet[SheetField::FalseEasting] = text(settings->falseEasting);
        sheet[SheetField::H0] = text(settings->H0);
        sheet[SheetField::ConstantK] = text(settings->K);
        sheet[SheetField::ConstantR] = text(settings->R);
        if (settings->meteo) {
            sheet[SheetField::MeteoA] = replyNumber(settings->meteo->A);
            sheet[SheetField::MeteoB] = replyNumber(settings->meteo->B);
        }
        sheet[SheetField::DefaultHm] = text(settings->Hm);
    }
    for (const MeasuredSide& side : job.jobOnly.measuredSides) {
        if (side.k < 1 || side.k > sheet.sides()) continue;
        sheet.measured.resize(static_cast<std::size_t>(sheet.sides()), 0);
        sheet.measured[at(side.k)] = 1;
        SheetMeasurement& m = measurementAt(sheet, side.k);
        m[MeasurePart::D] = replyNumber(side.D);
        const auto text = [](const std::optional<double>& value) { return value ? replyNumber(*value) : std::string(); };
        m[MeasurePart::dh] = text(side.dh);
        m[MeasurePart::Z] = text(side.Z);
        m[MeasurePart::Hm] = text(side.Hm);
        m[MeasurePart::ppm] = text(side.ppm);
        m[MeasurePart::t] = text(side.t);
        m[MeasurePart::p] = text(side.p);
        m.type = side.type.value_or(std::string());
        m.rightAsRead = side.right;
        sheet.right[at(side.k)] = side.right.value_or(false);
    }
}

std::string editorWording(std::string what) {
    // A file's words for the settings, and the editor's.
    static const std::pair<const char*, const char*> words[] = {
        {"这条边和 reduction 中都没有给出", "这条边和边长归算设置中都没有填写"},
        {"给了 t 和 p，但 reduction 中没有仪器的气象改正公式 meteo", "填写了 t 和 p，但边长归算设置中没有仪器的气象改正公式的 A 和 B"},
        {"（Y 减去假东 falseEasting）", "（Y 减去东伪偏移）"},
        {"reduction.falseEasting 应为", "边长归算设置的东伪偏移应为"},
        {"应为 \"CGCS2000\"、\"Xian80\" 或 \"Beijing54\"", "请选 CGCS2000、西安80 或北京54"},
    };
    for (const auto& [file, editor] : words) {
        const std::size_t found = what.find(file);
        if (found != std::string::npos) what.replace(found, std::string_view(file).size(), editor);
    }
    return what;
}

// ---------------------------------------------------------------- the reduction shown

SheetReduction reduceSheet(const JobSheet& sheet) {
    SheetReduction shown;
    const int sides = sheet.sides();
    shown.row.assign(static_cast<std::size_t>(sides) + 1, -1);
    shown.problem.assign(static_cast<std::size_t>(sides) + 1, std::string());
    if (!hasMeasuredSide(sheet)) return shown;

    // Only what the reduction reads: the known points, the lengths, the measurements
    // and the settings.
    std::vector<std::pair<std::string, std::string>> unread;
    const ReadNumber number = [&](const std::string& text, const std::string& path) {
        if (const auto value = parseNumber(text)) return *value;
        unread.emplace_back(path, notANumberReason(text));
        return std::numeric_limits<double>::quiet_NaN();
    };
    Job job;
    job.N = static_cast<std::int16_t>(sheet.triangles());
    job.Xa = parseNumber(sheet[SheetField::Xa]).value_or(std::numeric_limits<double>::quiet_NaN());
    job.Ya = parseNumber(sheet[SheetField::Ya]).value_or(std::numeric_limits<double>::quiet_NaN());
    job.Xb = parseNumber(sheet[SheetField::Xb]).value_or(std::numeric_limits<double>::quiet_NaN());
    job.Yb = parseNumber(sheet[SheetField::Yb]).value_or(std::numeric_limits<double>::quiet_NaN());
    job.side.assign(static_cast<std::size_t>(sides) + 1, 0.0);
    for (int k = 1; k <= sides; ++k) {
        const double length = parseNumber(sheet.side[at(k)]).value_or(std::numeric_limits<double>::quiet_NaN());
        job.side[static_cast<std::size_t>(k)] = sheet.right[at(k)] && k % 2 == 0 ? -length : length;
    }
    putReduction(sheet, job, number);
    shown.reduced = reduction::reduce(job);

    const std::vector<reduction::SideReduction>& reduced = shown.reduced.sides;
    for (std::size_t i = 0; i < reduced.size(); ++i) shown.row[static_cast<std::size_t>(reduced[i].k)] = static_cast<int>(i);
    for (const reduction::Problem& p : shown.reduced.problems) {
        if (p.index < 0 || p.index >= sides || !shown.problem[static_cast<std::size_t>(p.index) + 1].empty()) continue;
        std::string what = p.what;
        for (const auto& [path, reason] : unread)
            if (path == p.path) what = reason;
        const std::size_t dot = p.path.find("].");
        const int column = dot == std::string::npos ? -1 : sideColumnOfField(std::string_view(p.path).substr(dot + 2));
        const std::string label = sideColumnLabel(column);
        shown.problem[static_cast<std::size_t>(p.index) + 1] = (label.empty() ? "" : label + "：") + editorWording(what);
    }
    return shown;
}

MeasuredRow measuredRow(const JobSheet& sheet, const SheetReduction& reduction, int k) {
    MeasuredRow row;
    if (k < 1 || k >= static_cast<int>(reduction.row.size()) || sideKind(sheet, k) == SideKind::Plane) return row;
    const std::string& problem = reduction.problem[static_cast<std::size_t>(k)];
    const int i = reduction.row[static_cast<std::size_t>(k)];
    if (i < 0) {
        row.refused = !problem.empty();
        row.lengthTip = problem.empty() ? sideName(k) + " 还没有归算" : problem;
        return row;
    }
    const reduction::SideReduction& s = reduction.reduced.sides[static_cast<std::size_t>(i)];
    row.correction[0] = signedMillimetres(s.constants());
    row.correction[1] = signedMillimetres(s.slope());
    if (!reduction.reduced.reduced) {
        row.lengthTip = "D1 = " + formatFixed(s.D1, 4) + " 米，D2 = " + formatFixed(s.D2, 4) +
                        " 米。归算到投影面和高斯平面要用整条锁的几何：A、B 的座标、每条边和边长归算设置都填写无误，"
                        "每个三角形都能构成以后，才显示归算边长 D4";
        return row;
    }
    row.correction[2] = signedMillimetres(s.height());
    row.correction[3] = signedMillimetres(s.gauss());
    row.length = formatFixed(s.D4, 4);
    row.reduced = s.D4;
    row.warned = s.warning;
    row.lengthTip = sideName(k) + " 的归算边长 D4 = " + generalNumber(s.D4) +
                    " 米，平差用的就是它。改写这一格，" + sideName(k) + " 即成为输入的平面边长";
    if (s.warning) {
        const std::string ppm = formatFixed(s.surfacePpm(), 1);
        row.lengthTip += "。高程与投影改正合计 " + (s.surfacePpm() > 0 ? "+" + ppm : ppm) +
                         " ppm，超过 25 ppm（2.5 厘米/公里），宜换投影带或采用抵偿高程面";
    }
    return row;
}

// ---------------------------------------------------------------- words

std::string sideColumnHeader(int column) {
    if (column == sideKindColumn) return "观测";
    if (column >= firstMeasureColumn && column < firstCorrectionColumn)
        return partSpecs[column - firstMeasureColumn].header;
    if (column >= firstCorrectionColumn && column < sideColumnCount)
        return correctionSpecs[column - firstCorrectionColumn].first;
    return {};
}

std::string sideColumnTip(int column) {
    if (column == sideKindColumn)
        return "平面：输入的平面边长。斜距、平距：测距仪的实测值，由程序改正并归算到高斯平面，其边长一栏显示归算边长 D4。";
    if (column >= firstMeasureColumn && column < firstCorrectionColumn)
        return partSpecs[column - firstMeasureColumn].tip;
    if (column >= firstCorrectionColumn && column < sideColumnCount)
        return correctionSpecs[column - firstCorrectionColumn].second;
    return {};
}

std::string sideKindText(SideKind kind) {
    switch (kind) {
        case SideKind::Plane: return "平面";
        case SideKind::Slope: return "斜距";
        case SideKind::Horizontal: return "平距";
    }
    return {};
}

std::string sideKindTip(const JobSheet& sheet, int k) {
    switch (sideKind(sheet, k)) {
        case SideKind::Plane: return sideName(k) + " 是输入的平面边长";
        case SideKind::Slope: return sideName(k) + " 是测距仪测得的斜距，由程序归算到高斯平面";
        case SideKind::Horizontal: return sideName(k) + " 是测距仪测得的平距，由程序归算到高斯平面";
    }
    return {};
}

std::string measurePartLabel(MeasurePart part) { return specOf(part).label; }

int sideColumnOfField(std::string_view field) {
    if (field == "type") return sideKindColumn;
    if (field == "right") return 1;  // the side of the route
    for (int p = 0; p < measurePartCount; ++p)
        if (field == partSpecs[p].field) return firstMeasureColumn + p;
    return -1;
}

std::string sideColumnLabel(int column) {
    if (column == sideKindColumn) return "观测方式";
    if (column == 1) return "位置";
    if (column >= firstMeasureColumn && column < firstCorrectionColumn) return partSpecs[column - firstMeasureColumn].label;
    return {};
}

std::vector<std::string> ellipsoidNames() { return {"CGCS2000", "西安80", "北京54"}; }

}  // namespace trelvan
