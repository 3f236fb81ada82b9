// Reading a job file: the bytes, the JSON, and the fields with their types. The
// values are then checked as the dialogue checks them (job_checks.cpp).

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cctype>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <optional>
#include <type_traits>

#include <nlohmann/json.hpp>

#include "entry/value_checks.h"
#include "job/job.h"
#include "reduction/reduction.h"
#include "state/constants.h"
#include "state/number_format.h"
#include "state/utf8.h"

namespace trelvan {

namespace {

using Json = nlohmann::json;

// A job nests no deeper than an object inside the top object ("A") or a list
// ("sides"), and a measured side in the list of sides or the atmospheric formula in
// the reduction settings: anything deeper is refused as it opens, before it can take
// any stack or memory worth the name.
constexpr std::size_t maxDepth = 2;
constexpr std::size_t maxObjectDepth = 3;

const std::initializer_list<const char*> topKeys = {
    "trelvan", "N", "A", "B", "directionA", "directionB", "Ta", "Tb",
    "Qa", "Qb", "angleTolerance", "weights", "reduction", "points", "sides"};
const std::initializer_list<const char*> pointKeys = {"name", "X", "Y"};
const std::initializer_list<const char*> weightKeys = {"model", "a", "b", "sigmaQ", "combine"};
const std::initializer_list<const char*> directionKeys = {"X", "Y"};
const std::initializer_list<const char*> reductionKeys = {
    "ellipsoid", "falseEasting", "H0", "gauss", "K", "R", "meteo", "Hm"};
const std::initializer_list<const char*> meteoKeys = {"A", "B"};
const std::initializer_list<const char*> measuredSideKeys = {
    "D", "type", "dh", "Z", "Hm", "ppm", "t", "p", "right"};

// A measured side as the parser met it: each of its fields, a value (a deeper one is
// refused as it opens), in its place among measuredSideKeys. Kept apart from the
// JSON of the job, so that a chain of thousands of measured sides builds no object
// for each; its entry in the list of sides is a discarded value.
struct RawSide {
    enum Field : std::size_t { D, type, dh, Z, Hm, ppm, t, p, right, none };
    std::array<Json, none> field;
    std::array<bool, none> present{};

    // The place of a key among measuredSideKeys; `none` for any other key.
    static Field place(std::string_view key) {
        std::size_t i = 0;
        for (const char* k : measuredSideKeys) {
            if (key == k) break;
            ++i;
        }
        return static_cast<Field>(i);
    }
    const Json* find(Field f) const { return present[f] ? &field[f] : nullptr; }
};

bool among(const std::string& key, std::initializer_list<const char*> keys) {
    return std::any_of(keys.begin(), keys.end(), [&](const char* k) { return key == k; });
}

// The keys an object at this place may hold; null for an object whose contents are
// not looked at (one where no object belongs, which is refused as a wrong type).
// `outer` is the key of the top object the place lies in, `key` the key it is read
// for (empty in a list).
const std::initializer_list<const char*>* keysOfObject(std::size_t depth, const std::string& outer,
                                                       const std::string& key) {
    if (depth == 1) return &topKeys;
    if (depth == 2 && (key == "A" || key == "B")) return &pointKeys;
    if (depth == 2 && (key == "directionA" || key == "directionB")) return &directionKeys;
    if (depth == 2 && key == "weights") return &weightKeys;
    if (depth == 2 && key == "reduction") return &reductionKeys;
    if (depth == 3 && outer == "reduction" && key == "meteo") return &meteoKeys;
    if (depth == 3 && outer == "sides" && key.empty()) return &measuredSideKeys;
    return nullptr;
}

// The longest list a job can hold at this key; 0 where no list is kept.
std::size_t listLimit(std::size_t depth, const std::string& key) {
    if (depth != 2) return 0;
    if (key == "points") return maxTriangles;
    if (key == "sides") return 2 * static_cast<std::size_t>(maxTriangles) + 1;
    return 0;
}

const char* const tooLarge = "文件超过 16 MiB，不是作业文件";

// The version a file names, when it is newer than this program reads.
std::optional<std::uint64_t> newerVersionIn(const Json& root) {
    const auto found = root.find("trelvan");
    if (found == root.end() || !found->is_number_unsigned()) return std::nullopt;
    const auto version = found->get<std::uint64_t>();
    if (version <= static_cast<std::uint64_t>(jobFormatVersion)) return std::nullopt;
    return version;
}

std::string newerVersionText(std::uint64_t version) {
    return "这是第 " + digits(version) + " 版的作业文件，本程序只能读到第 " +
           digits(jobFormatVersion) + " 版：请使用更新的 Trelvan";
}

// Line and column of a byte offset in well-formed UTF-8, counted from 1, the column
// in characters as a text editor counts them.
void locate(std::string_view text, std::size_t offset, JobProblem& problem) {
    offset = std::min(offset, text.size());
    int line = 1, column = 1;
    for (std::size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++column;
        }
    }
    problem.line = line;
    problem.column = column;
}

// A key as a message shows it: a field of the format as it is, any other key quoted
// as JSON writes it, so that no control character or line break reaches a message,
// and cut short when long.
std::string shownKey(const std::string& key) {
    constexpr std::size_t longest = 40;
    const bool plain = key.size() <= longest && std::all_of(key.begin(), key.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    });
    if (plain) return key;
    std::string quoted = Json(key).dump(-1, ' ', false, Json::error_handler_t::replace);
    if (quoted.size() <= longest) return quoted;
    std::size_t cut = longest;
    while (cut > 0 && (static_cast<unsigned char>(quoted[cut]) & 0xC0) == 0x80) --cut;
    return quoted.substr(0, cut) + "…";
}

// A text value as a message quotes it.
std::string quotedValue(const std::string& text) {
    const std::string shown = shownKey(text);
    return !shown.empty() && shown.front() == '"' ? shown : "\"" + shown + "\"";
}

// The word of letters at the start of `text`, in lower case.
std::string leadingWord(std::string_view text) {
    std::string word;
    for (char c : text) {
        if (!std::isalpha(static_cast<unsigned char>(c)) || word.size() > 8) break;
        word.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
    return word;
}

// What a syntax error is, from the parser's own description and the text it met.
std::string syntaxDetail(std::string_view text, std::size_t offset, const std::string& parser) {
    const std::string word = leadingWord(text.substr(std::min(offset, text.size())));
    if (word == "nan" || word == "inf" || word == "infinity") return "JSON 中没有 NaN 和 Infinity 这样的数值";
    const auto says = [&](const char* words) { return parser.find(words) != std::string::npos; };
    if (says("unexpected end of input")) return "文件在此处意外结束";
    if (says("control character")) return "文本中有未转义的控制字符";
    if (says("invalid string")) return "文本中的转义写法不正确";
    if (says("invalid number")) return "数值的写法不正确";
    if (says("expected end of input")) return "JSON 内容结束后还有多余的字符";
    if (says("expected string literal")) return "此处应为带引号的字段名";
    if (says("invalid literal")) return "无法识别的内容";
    return "不符合 JSON 的写法";
}

// Builds the JSON of a job from the parser's events, keeping only what a job can
// hold, and stops at the first duplicated key, unknown field, over-deep nesting,
// over-long list or number out of range.
class JobSax : public nlohmann::json_sax<Json> {
public:
    explicit JobSax(std::string_view text) : text_(text) {}

    Json root;
    std::deque<RawSide> rawSides;
    std::optional<JobProblem> problem;

    bool null() override { return put(Json(nullptr)); }
    bool boolean(bool value) override { return put(Json(value)); }
    bool number_integer(number_integer_t value) override { return put(Json(value)); }
    bool number_unsigned(number_unsigned_t value) override { return put(Json(value)); }
    bool number_float(number_float_t, const string_t& literal) override {
        // The dialogue's own reading of a number, so that a job holds what the same
        // text typed into the dialogue would give. The parser hands the number over
        // with the process locale's decimal sign in place of the full stop (a comma
        // on a German desktop, which the window takes on): the full stop goes back.
        std::string text = literal;
        for (char& c : text)
            if (!std::isdigit(static_cast<unsigned char>(c)) && c != '-' && c != '+' && c != 'e' && c != 'E')
                c = '.';
        const auto value = parseNumber(text);
        if (!value) return stop(path(), "数值超出 double 的范围");
        return put(Json(*value));
    }
    bool string(string_t& value) override { return put(Json(std::move(value))); }
    bool binary(binary_t&) override { return put(Json(nullptr)); }

    bool start_object(std::size_t) override { return open(Json::object()); }
    bool start_array(std::size_t) override { return open(Json::array()); }
    bool end_object() override { return close(); }
    bool end_array() override { return close(); }

    bool key(string_t& key) override {
        Frame& frame = frames_.back();
        frame.key = key;
        if (frame.raw != noRaw) {
            frame.rawField = RawSide::place(key);
            if (frame.rawField == RawSide::none) return stop(path(), "未知的字段");
            if (rawSides[frame.raw].present[frame.rawField]) return stop(path(), "字段重复出现");
            return true;
        }
        if (frame.keys == nullptr) return true;
        if (!among(key, *frame.keys)) {
            // A newer version is named as such, not by its new fields.
            if (const auto newer = frames_.size() == 1 ? newerVersionIn(root) : std::nullopt)
                return stop("trelvan", newerVersionText(*newer));
            return stop(path(), "未知的字段");
        }
        if (frame.value->contains(key)) return stop(path(), "字段重复出现");
        return true;
    }

    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception& error) override {
        if (error.id == 406) return stop(path(), "数值超出 double 的范围");
        const std::size_t offset = position == 0 ? 0 : position - 1;
        JobProblem p;
        p.path = path();
        p.what = "JSON 语法错误：" + syntaxDetail(text_, offset, error.what());
        locate(text_, offset, p);
        problem = std::move(p);
        return false;
    }

private:
    static constexpr std::size_t noRaw = static_cast<std::size_t>(-1);

    struct Frame {
        std::size_t raw = noRaw;                                   // a measured side's fields
        RawSide::Field rawField = RawSide::none;                   // and the one being read
        Json* value = nullptr;                                     // null: not kept
        const std::initializer_list<const char*>* keys = nullptr;  // objects that are kept
        std::size_t limit = 0;                                     // lists that are kept
        bool isList = false;
        std::size_t count = 0;  // entries of a list so far
        std::string key;        // the key being read in an object
    };

    // The field being read: "A.X", "sides[6]", "sides[6].dh". A list counts the
    // entry whose contents are being read.
    std::string path() const {
        std::string p;
        for (std::size_t f = 0; f < frames_.size(); ++f) {
            const Frame& frame = frames_[f];
            if (frame.isList) {
                p += "[" + digits(f + 1 < frames_.size() ? frame.count - 1 : frame.count) + "]";
            } else if (!frame.key.empty()) {
                if (!p.empty()) p += ".";
                p += shownKey(frame.key);
            }
        }
        return p;
    }

    // The index of the entry of points or sides being read; −1 elsewhere.
    int entryIndex() const {
        if (frames_.size() < 2 || !frames_[1].isList) return -1;
        if (frames_[0].key != "points" && frames_[0].key != "sides") return -1;
        return static_cast<int>(frames_.size() == 2 ? frames_[1].count : frames_[1].count - 1);
    }

    bool stop(std::string path, std::string what) {
        problem = JobProblem{std::move(path), entryIndex(), 0, 0, std::move(what)};
        return false;
    }

    // Stores a value where it belongs; null when the place keeps nothing.
    Json* store(Json value, bool& ok) {
        ok = true;
        if (frames_.empty()) {
            root = std::move(value);
            return &root;
        }
        Frame& frame = frames_.back();
        if (frame.raw != noRaw) {
            RawSide& side = rawSides[frame.raw];
            side.field[frame.rawField] = std::move(value);
            side.present[frame.rawField] = true;
            return nullptr;
        }
        if (frame.value == nullptr) {
            ++frame.count;
            return nullptr;
        }
        if (!frame.isList) return &((*frame.value)[frame.key] = std::move(value));
        if (frame.count >= frame.limit) {
            const std::string list = frames_.size() == 2 ? frames_[0].key : std::string();
            ok = stop(list, "项数多于作业文件所能有的 " + digits(frame.limit) + " 项");
            problem->index = -1;  // the list as a whole
            return nullptr;
        }
        ++frame.count;
        frame.value->push_back(std::move(value));
        return nullptr;  // a list holds no containers: they would nest too deep
    }

    bool put(Json value) {
        bool ok = true;
        store(std::move(value), ok);
        return ok;
    }

    bool open(Json container) {
        const bool isList = container.is_array();
        const std::string key = frames_.empty() || frames_.back().isList ? std::string() : frames_.back().key;
        const std::string outer = frames_.empty() ? std::string() : frames_.front().key;
        const std::size_t depth = frames_.size() + 1;
        // Deeper than a job, but for the objects that may stand there.
        const bool deepObject = !isList && depth > maxDepth && depth <= maxObjectDepth &&
                                frames_.back().value != nullptr && keysOfObject(depth, outer, key) != nullptr;
        if (depth > maxDepth && !deepObject) return stop(path(), "嵌套层次超过作业文件的格式");
        bool ok = true;
        if (deepObject && outer == "sides") {
            store(Json(Json::value_t::discarded), ok);
            if (!ok) return false;
            Frame frame;
            frame.keys = &measuredSideKeys;
            frame.raw = rawSides.size();
            rawSides.emplace_back();
            frames_.push_back(std::move(frame));
            return true;
        }
        Json* stored = store(std::move(container), ok);
        if (!ok) return false;
        Frame frame;
        frame.isList = isList;
        if (stored != nullptr) {
            if (isList) {
                frame.limit = listLimit(depth, key);
                if (frame.limit > 0) frame.value = stored;
            } else {
                frame.keys = keysOfObject(depth, outer, key);
                if (frame.keys != nullptr) frame.value = stored;
            }
        }
        frames_.push_back(std::move(frame));
        return true;
    }

    bool close() {
        frames_.pop_back();
        return true;
    }

    std::string_view text_;
    std::vector<Frame> frames_;
};

// Checks that every field is there, once, with its type, and fills the job from
// them; what the values must be is checked afterwards, as for any job.
class FieldReader {
public:
    FieldReader(Job& job, const std::deque<RawSide>& rawSides) : job_(job), rawSides_(rawSides) {}
    std::optional<JobProblem> problem;

    void read(const Json& root) {
        if (!root.is_object()) return (void)fail("", "内容不是一个 JSON 对象，不是作业文件");
        // Every field is read, also after one that is refused: the first problem is
        // the one reported, and whatever could be read stays, so that an editor can
        // show the whole job with the bad field marked instead of a half-empty one.
        std::string nameA, nameB;
        version(root);
        count(root);
        point(root, "A", nameA, job_.Xa, job_.Ya);
        point(root, "B", nameB, job_.Xb, job_.Yb);
        direction(root, "directionA", job_.Xpa, job_.Ypa);
        direction(root, "directionB", job_.Xpb, job_.Ypb);
        azimuth(root, "Ta", "directionA", job_.Xpa, job_.Ypa, job_.Ta);
        azimuth(root, "Tb", "directionB", job_.Xpb, job_.Ypb, job_.Tb);
        number(root, "Qa", "Qa", job_.Qa);
        number(root, "Qb", "Qb", job_.Qb);
        number(root, "angleTolerance", "angleTolerance", job_.angleTolerance);
        weights(root);
        reductionSettings(root);
        names(root);
        sides(root);
        if (job_.pointName.size() < 2) job_.pointName.resize(2);
        job_.pointName.front() = std::move(nameA);
        job_.pointName.back() = std::move(nameB);
    }

private:
    bool fail(std::string path, std::string what, int index = -1) {
        if (!problem) problem = JobProblem{std::move(path), index, 0, 0, std::move(what)};
        return false;
    }

    // The member `key` of `object`; null, with a problem, when it is missing.
    const Json* member(const Json& object, const char* key, const std::string& path) {
        const auto found = object.find(key);
        if (found != object.end()) return &*found;
        fail(path, "缺少这个字段");
        return nullptr;
    }

    bool number(const Json& object, const char* key, const std::string& path, double& out) {
        const Json* value = member(object, key, path);
        if (value == nullptr) return false;
        if (!value->is_number()) return fail(path, "应为数值");
        out = value->get<double>();
        return true;
    }

    bool version(const Json& root) {
        const auto found = root.find("trelvan");
        if (found == root.end()) return fail("trelvan", "缺少这个字段：不是 Trelvan 作业文件");
        if (const auto newer = newerVersionIn(root)) return fail("trelvan", newerVersionText(*newer));
        if (!found->is_number_integer() || found->get<std::int64_t>() < 1 ||
            found->get<std::int64_t>() > jobFormatVersion)
            return fail("trelvan", "应为整数 1 到 " + digits(jobFormatVersion) + "（作业文件的版本）");
        return true;
    }

    static const char* fieldName(const char* key) { return key; }
    static const char* fieldName(RawSide::Field field) { return measuredSideKeys.begin()[field]; }
    static const Json* lookup(const Json& object, const char* key) {
        const auto found = object.find(key);
        return found == object.end() ? nullptr : &*found;
    }
    static const Json* lookup(const RawSide& side, RawSide::Field field) { return side.find(field); }

    // An optional member; false, with a problem, when it has the wrong type.
    template <class T, class Object, class Key>
    bool optional(const Object& object, Key key, const std::string& at, std::optional<T>& out, int index = -1) {
        const Json* found = lookup(object, key);
        if (found == nullptr) return true;
        const std::string path = at + fieldName(key);
        if constexpr (std::is_same_v<T, double>) {
            if (!found->is_number()) return fail(path, "应为数值", index);
        } else if constexpr (std::is_same_v<T, bool>) {
            if (!found->is_boolean()) return fail(path, "应为 true 或 false", index);
        } else {
            if (!found->is_string()) return fail(path, "应为文本", index);
        }
        out = found->get<T>();
        return true;
    }

    // The chain's reduction settings, every one of them optional.
    bool reductionSettings(const Json& root) {
        const auto found = root.find("reduction");
        if (found == root.end()) return true;
        if (!found->is_object()) return fail("reduction", "应为 JSON 对象");
        const Json& object = *found;
        const std::string at = "reduction.";
        ReductionSettings settings;
        bool ok = optional(object, "ellipsoid", at, settings.ellipsoid);
        ok = optional(object, "falseEasting", at, settings.falseEasting) && ok;
        ok = optional(object, "H0", at, settings.H0) && ok;
        ok = optional(object, "gauss", at, settings.gauss) && ok;
        ok = optional(object, "K", at, settings.K) && ok;
        ok = optional(object, "R", at, settings.R) && ok;
        if (const auto meteo = object.find("meteo"); meteo != object.end()) {
            if (!meteo->is_object()) {
                ok = fail("reduction.meteo", "应为 JSON 对象");
            } else {
                MeteoFormula formula;
                const bool a = number(*meteo, "A", "reduction.meteo.A", formula.A);
                const bool b = number(*meteo, "B", "reduction.meteo.B", formula.B);
                if (a && b) settings.meteo = formula;
                ok = a && b && ok;
            }
        }
        ok = optional(object, "Hm", at, settings.Hm) && ok;
        job_.jobOnly.reduction = std::move(settings);
        return ok;
    }

    // A side given as the distance meter measured it. Its place in the side list holds
    // the distance, signed as the side lies, until the side is reduced.
    bool measuredSide(const RawSide& object, int k) {
        const int index = k - 1;
        const std::string at = sidePath(k) + ".";
        MeasuredSide side;
        side.k = k;
        bool ok = true;
        using F = RawSide::Field;
        if (const Json* d = object.find(F::D); d == nullptr)
            ok = fail(at + "D", "缺少这个字段", index);
        else if (!d->is_number())
            ok = fail(at + "D", "应为数值", index);
        else
            side.D = d->get<double>();
        ok = optional(object, F::type, at, side.type, index) && ok;
        ok = optional(object, F::dh, at, side.dh, index) && ok;
        ok = optional(object, F::Z, at, side.Z, index) && ok;
        ok = optional(object, F::Hm, at, side.Hm, index) && ok;
        ok = optional(object, F::ppm, at, side.ppm, index) && ok;
        ok = optional(object, F::t, at, side.t, index) && ok;
        ok = optional(object, F::p, at, side.p, index) && ok;
        ok = optional(object, F::right, at, side.right, index) && ok;
        job_.side[static_cast<std::size_t>(k)] = side.right.value_or(false) ? -side.D : side.D;
        job_.jobOnly.measuredSides.push_back(std::move(side));
        return ok;
    }

    // N must be written as an integer: 2.5 and 4.0 are not counts.
    bool count(const Json& root) {
        const Json* value = member(root, "N", "N");
        if (value == nullptr) return false;
        if (!value->is_number_integer()) return fail("N", "应为整数");
        const auto n = triangleCountOf(value->get<double>());
        if (!n) return fail("N", triangleCountRangeReason());
        job_.N = *n;
        return true;
    }

    bool point(const Json& root, const char* key, std::string& name, double& x, double& y) {
        const Json* value = member(root, key, key);
        if (value == nullptr) return false;
        if (!value->is_object()) return fail(key, "应为 JSON 对象");
        const std::string at = std::string(key) + ".";
        bool ok = true;
        if (const Json* text = member(*value, "name", at + "name"); text == nullptr)
            ok = false;
        else if (!text->is_string())
            ok = fail(at + "name", "应为文本");
        else
            name = text->get<std::string>();
        return coordinates(*value, at, x, y) && ok;
    }

    // X and Y, each read even when the other is refused.
    bool coordinates(const Json& object, const std::string& at, double& x, double& y) {
        const bool xRead = number(object, "X", at + "X", x);
        const bool yRead = number(object, "Y", at + "Y", y);
        return xRead && yRead;
    }

    // A direction point may be left out: 0 and 0.
    bool direction(const Json& root, const char* key, double& x, double& y) {
        const auto found = root.find(key);
        if (found == root.end()) return true;
        if (!found->is_object()) return fail(key, "应为 JSON 对象");
        return coordinates(*found, std::string(key) + ".", x, y);
    }

    // The typed azimuth belongs to a direction point of 0 and 0, and only to it.
    bool azimuth(const Json& root, const char* key, const char* direction, double xp,
                 double yp, double& out) {
        const bool typed = xp == 0 && yp == 0;
        const bool present = root.contains(key);
        if (typed && !present)
            return fail(key, std::string(direction) + " 为 0 和 0（用外方位角定向），缺少外方位角 " + key);
        if (!typed && present)
            return fail(key, std::string(direction) + " 不为 0 和 0，不应再给外方位角 " + key);
        return !typed || number(root, key, key, out);
    }

    // How the observations are weighted: by the mean side, which needs nothing more,
    // or by the instrument's stated accuracy, a + b·D for the sides (a and b 0 when
    // left out, linear unless said otherwise) and sigmaQ for the orientation angles.
    // What the values must be is checked with the job's other values.
    bool weights(const Json& root) {
        const auto found = root.find("weights");
        if (found == root.end()) return true;
        if (!found->is_object()) return fail("weights", "应为 JSON 对象");
        WeightModel& model = job_.jobOnly.weights.emplace();
        const Json* kind = member(*found, "model", "weights.model");
        if (kind == nullptr) return false;
        if (!kind->is_string()) return fail("weights.model", "应为文本");
        const std::string name = kind->get<std::string>();
        if (name == "meanSide") {
            for (const char* key : {"a", "b", "sigmaQ", "combine"})
                if (found->contains(key))
                    return fail(std::string("weights.") + key, "按平均边长定权（meanSide）时不应给出此项");
            return true;
        }
        if (name != "instrument")
            return fail("weights.model", "未知的定权方式 " + quotedValue(name) +
                                             "：应为 meanSide（按平均边长）或 instrument（按测距仪标称精度）");
        model.model = WeightModel::Kind::Instrument;
        bool ok = true;
        for (auto [key, out] : {std::pair{"a", &model.a}, std::pair{"b", &model.b}})
            if (found->contains(key)) ok = number(*found, key, std::string("weights.") + key, *out) && ok;
        ok = number(*found, "sigmaQ", "weights.sigmaQ", model.sigmaQ) && ok;
        if (const auto combine = found->find("combine"); combine != found->end()) {
            const std::string how = combine->is_string() ? combine->get<std::string>() : std::string();
            if (!combine->is_string()) {
                ok = fail("weights.combine", "应为文本");
            } else if (how == "quadrature") {
                model.combine = WeightModel::Combine::Quadrature;
            } else if (how != "linear") {
                ok = fail("weights.combine", "未知的组合方式 " + quotedValue(how) +
                                                 "：应为 linear（a + b·D）或 quadrature（平方和根）");
            }
        }
        return ok;
    }

    // The names of points 1..N, between A's and B's.
    bool names(const Json& root) {
        const Json* list = member(root, "points", "points");
        if (list == nullptr) return false;
        if (!list->is_array()) return fail("points", "应为 JSON 数组");
        job_.pointName.assign(list->size() + 2, std::string());
        bool ok = true;
        for (std::size_t i = 0; i < list->size(); ++i) {
            const Json& name = (*list)[i];
            if (name.is_string())
                job_.pointName[i + 1] = name.get<std::string>();
            else
                ok = fail(pointsPath(i), "应为文本", static_cast<int>(i));
        }
        return ok;
    }

    bool sides(const Json& root) {
        const Json* list = member(root, "sides", "sides");
        if (list == nullptr) return false;
        if (!list->is_array()) return fail("sides", "应为 JSON 数组");
        job_.side.assign(list->size() + 1, 0.0);
        job_.jobOnly.measuredSides.reserve(rawSides_.size());
        bool ok = true;
        std::size_t raw = 0;
        for (std::size_t k = 0; k < list->size(); ++k) {
            const Json& side = (*list)[k];
            if (side.is_number())
                job_.side[k + 1] = side.get<double>();
            else if (side.is_discarded() && raw < rawSides_.size())
                ok = measuredSide(rawSides_[raw++], static_cast<int>(k) + 1) && ok;
            else
                ok = fail(sidePath(static_cast<int>(k) + 1),
                          "应为数值（平面边长）或 JSON 对象（实测边长）",
                          static_cast<int>(k));
        }
        return ok;
    }

    Job& job_;
    const std::deque<RawSide>& rawSides_;
};

}  // namespace

JobReading parseJob(std::string_view bytes) {
    JobReading reading;
    const auto refuse = [&](JobProblem problem) {
        reading.problem = std::move(problem);
        return reading;
    };
    if (bytes.size() > maxJobFileBytes)
        return refuse({"", -1, 0, 0, tooLarge});

    // A byte-order mark says nothing more than that the file is UTF-8.
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (const std::size_t bad = firstIllFormedUtf8(bytes); bad != std::string_view::npos) {
        JobProblem problem{"", -1, 0, 0, "不是有效的 UTF-8 编码"};
        locate(bytes, bad, problem);
        return refuse(std::move(problem));
    }

    JobSax sax(bytes);
    const bool parsed = Json::sax_parse(bytes, &sax, Json::input_format_t::json, true, false);
    if (!parsed || sax.problem) {
        if (sax.problem) return refuse(std::move(*sax.problem));
        return refuse({"", -1, 0, 0, "JSON 语法错误"});
    }

    FieldReader fields(reading.job, sax.rawSides);
    fields.read(sax.root);
    reading.fieldsRead = sax.root.is_object();
    if (fields.problem) return refuse(std::move(*fields.problem));
    auto problems = reduceAndCheck(reading.job, reading.reduction);
    if (!problems.empty()) reading.problem = std::move(problems.front());
    return reading;
}

JobReading readJobFile(const std::string& fileName) {
    JobReading reading;
    const auto refuse = [&](std::string what) {
        reading.problem = JobProblem{"", -1, 0, 0, std::move(what)};
        return reading;
    };
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return refuse("无法读取：" + failureText(errno));
    struct stat info {};
    if (::fstat(fd, &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            ::close(fd);
            return refuse("无法读取：" + failureText(EISDIR));
        }
        if (S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_size) > maxJobFileBytes) {
            ::close(fd);
            return refuse(tooLarge);
        }
    }
    // Whatever the file claims, no more than one byte over the limit is read.
    std::string bytes;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            return refuse("无法读取：" + failureText(error));
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
        if (bytes.size() > maxJobFileBytes) {
            ::close(fd);
            return refuse(tooLarge);
        }
    }
    ::close(fd);
    return parseJob(bytes);
}

}  // namespace trelvan
