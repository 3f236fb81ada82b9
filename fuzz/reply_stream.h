#pragma once
// Arbitrary reply streams through the Compute action, with the checks that must hold
// whatever the operator types. The fuzz target feeds it raw bytes; the robustness
// tests replay the seed corpus and every past finding through it.
//
// The stream is split into lines at '\n', as batch mode reads standard input: a
// trailing CR is dropped and ill-formed UTF-8 becomes U+FFFD. Two lines are markers:
//   "\x18"        a Cancel (the input box's Cancel button);
//   "\x1a" + c    an over-long reply of 65,534 + c bytes ("0.111…", which would be
//                 a valid number if it got through).
// The Compute action runs again on the same record while input remains (at most
// four times), so that abandoned and completed actions follow one another.
//
// After every action:
//   - no text box outside Text1..Text32 is written, Text26 never, and no box (point
//     names aside), message or report line shows NaN, infinity, a negative zero or
//     ill-formed UTF-8;
//   - an abandoned action leaves the record exactly as it was, and says why;
//   - a completed action has shown every result and leaves a whole chain with
//     finite figures, a report and a precision analysis;
//   - once the input has ended, the dialogue asks at most the listing's N + 2
//     pauses more: a dialogue that keeps asking on finite input is a hang.

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "adjustment/compute.h"
#include "analysis/chain_precision.h"
#include "analysis/tables.h"
#include "entry/interfaces.h"
#include "report/report.h"
#include "state/chain_state.h"
#include "state/constants.h"
#include "state/failure.h"
#include "state/utf8.h"

namespace trelvan::fuzzing {

inline constexpr char cancelMarker = '\x18';
inline constexpr char overLongMarker = '\x1a';
inline constexpr int maxActions = 4;

// The first fault found, or empty.
struct Verdict {
    std::string fault;
    void flag(const std::string& what) {
        if (fault.empty()) fault = what;
    }
};

inline bool showsNonFinite(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find("nan") != std::string::npos || lower.find("inf") != std::string::npos;
}

// Well-formed UTF-8, checked independently of the program's own decoder.
inline bool isWellFormedUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
        const unsigned char c = b(i);
        std::size_t n = 0;
        std::uint32_t cp = 0, min = 0;
        if (c < 0x80) { ++i; continue; }
        if ((c & 0xE0) == 0xC0) n = 2, cp = c & 0x1F, min = 0x80;
        else if ((c & 0xF0) == 0xE0) n = 3, cp = c & 0x0F, min = 0x800;
        else if ((c & 0xF8) == 0xF0) n = 4, cp = c & 0x07, min = 0x10000;
        else return false;
        if (i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k) {
            if ((b(i + k) & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (b(i + k) & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += n;
    }
    return true;
}

class StreamPrompter : public Prompter {
public:
    explicit StreamPrompter(std::string_view data) : data_(data) {}

    Reply ask(const std::string& prompt) override { return next(prompt, false); }
    Reply askPause(const std::string& prompt) override { return next(prompt, true); }

    bool exhausted() const { return position_ >= data_.size(); }
    // Prompts shown since the input ran out, in the current action.
    long promptsPastEnd = 0;
    Verdict* verdict = nullptr;

private:
    Reply next(const std::string& prompt, bool endIsEmpty) {
        if (!isWellFormedUtf8(prompt)) verdict->flag("prompt is not UTF-8");
        if (exhausted()) {
            ++promptsPastEnd;
            return endIsEmpty ? Reply::typed("") : Reply::endOfInput();
        }
        const std::size_t end = std::min(data_.find('\n', position_), data_.size());
        std::string_view line = data_.substr(position_, end - position_);
        position_ = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() == 1 && line[0] == cancelMarker) return Reply::cancel();
        if (line.size() == 2 && line[0] == overLongMarker) {
            std::string reply = "0.";
            reply.resize(maxReplyBytes - 2 + static_cast<unsigned char>(line[1]), '1');
            return Reply::typed(std::move(reply));
        }
        std::string text = sanitizeUtf8(line);
        if (!isWellFormedUtf8(text)) verdict->flag("a sanitized reply is not UTF-8");
        return Reply::typed(std::move(text));
    }

    std::string_view data_;
    std::size_t position_ = 0;
};

// A figure that rounds to zero shows no minus sign: "-0.00" is not a number anyone
// would write down.
inline bool showsNegativeZero(std::string_view text) {
    for (std::size_t at = text.find("-0"); at != std::string_view::npos; at = text.find("-0", at + 1)) {
        std::size_t end = at + 2;
        if (end < text.size() && text[end] == '.') ++end;
        while (end < text.size() && text[end] == '0') ++end;
        if (end == text.size() || !std::isdigit(static_cast<unsigned char>(text[end]))) return true;
    }
    return false;
}

class CheckingBoxes : public TextBoxes {
public:
    explicit CheckingBoxes(Verdict& verdict) : verdict_(verdict) {}
    void setText(int box, const std::string& text) override {
        if (box < 1 || box > 32) return verdict_.flag("write to a box that does not exist: " + boxName(box));
        if (box == 26) verdict_.flag("Text26 is written");
        // Point names (Text11) and typed replies echoed as typed (a re-entered Tb in
        // Text6) are the operator's own text.
        if (box != 11 && showsNonFinite(text)) verdict_.flag(boxName(box) + " shows " + text);
        if (box != 11 && box != 6 && showsNegativeZero(text)) verdict_.flag(boxName(box) + " shows " + text);
        if (!isWellFormedUtf8(text)) verdict_.flag(boxName(box) + " is not UTF-8");
        ++writes[box];
        last[box] = text;
    }
    // What this action wrote: how often, and last, to each box.
    int writes[33] = {};
    std::string last[33];
    void forget() {
        std::fill(std::begin(writes), std::end(writes), 0);
        std::fill(std::begin(last), std::end(last), std::string());
    }

private:
    Verdict& verdict_;
};

class CheckingMessages : public Messages {
public:
    explicit CheckingMessages(Verdict& verdict) : verdict_(verdict) {}
    int said = 0;
    void say(const std::string& message) override {
        ++said;
        if (showsNonFinite(message)) verdict_.flag("message shows " + message);
        if (showsNegativeZero(message)) verdict_.flag("message shows " + message);
        if (!isWellFormedUtf8(message)) verdict_.flag("message is not UTF-8");
    }

private:
    Verdict& verdict_;
};

// Bit-for-bit equality of two records: an abandoned action must not touch one bit.
// What the adjustment kept for the precision analysis, bit for bit.
template <class Same, class SameVector>
bool sameKept(const AdjustmentRecord& a, const AdjustmentRecord& b, Same same, SameVector sameVector) {
    bool rows = true;
    for (int r = 1; r <= 3; ++r) rows = rows && sameVector(a.conditionCoef[r], b.conditionCoef[r]);
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c) rows = rows && same(a.normal[r][c], b.normal[r][c]);
    const auto bits = [](float x) { return std::bit_cast<std::uint32_t>(x); };
    return rows && bits(a.typedTolerance) == bits(b.typedTolerance) &&
           same(a.sideCofactor, b.sideCofactor) && same(a.pvv, b.pvv) && a.sideSign == b.sideSign &&
           sameVector(a.pointX, b.pointX) && sameVector(a.pointY, b.pointY) &&
           sameVector(a.routeAzimuth, b.routeAzimuth) && sameVector(a.altitude, b.altitude) &&
           sameVector(a.cosA, b.cosA) && sameVector(a.cosG, b.cosG) && sameVector(a.correction, b.correction);
}

inline bool sameRecord(const ChainState& a, const ChainState& b) {
    const auto same = [](double x, double y) {
        return std::bit_cast<std::uint64_t>(x) == std::bit_cast<std::uint64_t>(y);
    };
    const auto sameFloat = [](float x, float y) {
        return std::bit_cast<std::uint32_t>(x) == std::bit_cast<std::uint32_t>(y);
    };
    const auto sameVector = [&](const std::vector<double>& x, const std::vector<double>& y) {
        return x.size() == y.size() && std::equal(x.begin(), x.end(), y.begin(), same);
    };
    return sameVector(a.pointX, b.pointX) && sameVector(a.pointY, b.pointY) &&
           std::equal(a.w.begin(), a.w.end(), b.w.begin(), sameFloat) &&
           a.pointName == b.pointName && sameVector(a.side, b.side) &&
           sameVector(a.observedSide, b.observedSide) && same(a.Xa, b.Xa) && same(a.Ya, b.Ya) &&
           same(a.Xb, b.Xb) && same(a.Yb, b.Yb) && same(a.Xpa, b.Xpa) && same(a.Ypa, b.Ypa) &&
           same(a.Xpb, b.Xpb) && same(a.Ypb, b.Ypb) && same(a.taEntered, b.taEntered) &&
           same(a.tbEntered, b.tbEntered) && sameFloat(a.mb, b.mb) && sameFloat(a.ms, b.ms) &&
           sameFloat(a.invPx, b.invPx) && sameFloat(a.invPy, b.invPy) &&
           sameFloat(a.mx, b.mx) && sameFloat(a.my, b.my) && sameFloat(a.md, b.md) &&
           a.N == b.N && a.azimuthCondition == b.azimuthCondition &&
           a.orientedAtA == b.orientedAtA && sameKept(a.adjustment, b.adjustment, same, sameVector);
}

// A completed action has shown every result: the count, the known data, the case,
// the tolerance, the sides, the misclosures, the precision figures, and each point
// once in the listing.
inline void checkShown(const ChainState& s, const CheckingBoxes& boxes, Verdict& verdict) {
    for (int box : {1, 2, 3, 4, 7, 8, 9, 10, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 27, 28, 29,
                    30, 31, 32}) {
        if (boxes.writes[box] == 0) verdict.flag("a completed action never wrote " + boxName(box));
    }
    for (int box : {11, 12, 13}) {
        if (boxes.writes[box] != s.N + 2) verdict.flag("the listing did not show every point once");
    }
    if (boxes.last[9] != " 线性锁共有" + std::to_string(s.N) + "个三角形")
        verdict.flag("Text9 does not show N: " + boxes.last[9]);
}

inline void checkCompleted(const ChainState& s, Verdict& verdict) {
    if (!s.hasResult() || s.N < 1 || s.N > maxTriangles) return verdict.flag("completed without a chain");
    const std::size_t points = static_cast<std::size_t>(s.N) + 2;
    const std::size_t sides = 2 * static_cast<std::size_t>(s.N) + 2;
    if (s.pointX.size() != points || s.pointY.size() != points || s.pointName.size() != points ||
        s.side.size() != sides || s.observedSide.size() != sides)
        return verdict.flag("completed record has arrays of the wrong size");
    bool finite = true;
    for (double v : {s.Xa, s.Ya, s.Xb, s.Yb, s.Xpa, s.Ypa, s.Xpb, s.Ypb, s.taEntered, s.tbEntered})
        finite = finite && std::isfinite(v);
    for (float v : {s.w[1], s.w[2], s.w[3], s.mb, s.ms, s.invPx, s.invPy, s.mx, s.my, s.md})
        finite = finite && std::isfinite(v);
    for (const auto* a : {&s.pointX, &s.pointY, &s.side, &s.observedSide})
        finite = finite && std::all_of(a->begin(), a->end(), [](double v) { return std::isfinite(v); });
    if (!finite) verdict.flag("completed record holds a non-finite figure");
    for (std::size_t k = 1; k < sides; ++k) {
        if (!(s.observedSide[k] > 0) || !(s.side[k] > 0)) verdict.flag("a side that is not positive");
    }

    // The report as Print would lay it out; its figures, names aside, are finite.
    const Report report = buildReport(s);
    if (report.empty()) verdict.flag("completed record gives no report");
    const std::string text = renderText(report);
    if (!isWellFormedUtf8(text)) verdict.flag("report is not UTF-8");
    ChainState unnamed = s;
    for (auto& name : unnamed.pointName) name.clear();
    const std::string figures = renderText(buildReport(unnamed));
    if (showsNonFinite(figures)) verdict.flag("report shows NaN or infinity");
    if (showsNegativeZero(figures)) verdict.flag("report shows a negative zero");

    // The precision analysis of the chain: finite figures in its tables and its JSON,
    // or a refusal that says why.
    try {
        const auto precision = analysis::analyse(unnamed);
        if (!precision) return verdict.flag("completed record gives no precision analysis");
        const std::string tables = analysis::renderAnalysisText(*precision);
        const std::string json = analysis::analysisJson(*precision);
        if (showsNonFinite(tables) || showsNonFinite(json)) verdict.flag("analysis shows NaN or infinity");
        if (showsNegativeZero(tables)) verdict.flag("analysis shows a negative zero");
        if (!isWellFormedUtf8(tables)) verdict.flag("analysis is not UTF-8");
    } catch (const ComputeFailure& failure) {
        if (std::string_view(failure.what()).empty()) verdict.flag("analysis refused without a word");
    }
}

// Runs the stream; returns the first fault, or an empty text.
inline std::string runStream(std::string_view data, std::vector<ComputeOutcome>* outcomes = nullptr) {
    Verdict verdict;
    StreamPrompter prompter(data);
    prompter.verdict = &verdict;
    CheckingBoxes boxes(verdict);
    CheckingMessages messages(verdict);
    ChainState record;
    for (int action = 0; action < maxActions && verdict.fault.empty(); ++action) {
        const ChainState before = record;
        prompter.promptsPastEnd = 0;
        boxes.forget();
        messages.said = 0;
        const ComputeOutcome outcome = Command1_Click(record, prompter, boxes, messages);
        if (outcomes != nullptr) outcomes->push_back(outcome);
        // Past the end only the listing's pauses may still be shown, one per point.
        if (prompter.promptsPastEnd > static_cast<long>(record.N) + 3)
            verdict.flag("the dialogue keeps asking after the input has ended");
        if (outcome == ComputeOutcome::Completed) {
            checkCompleted(record, verdict);
            checkShown(record, boxes, verdict);
        } else {
            if (!sameRecord(before, record)) verdict.flag("an abandoned action changed the record");
            if (messages.said == 0) verdict.flag("an action was abandoned without a word");
        }
        if (outcome == ComputeOutcome::InputEnded || prompter.exhausted()) break;
    }
    return verdict.fault;
}

}  // namespace trelvan::fuzzing
