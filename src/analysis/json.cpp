// The analysis as JSON, written as a stream: a chain of 16382 triangles has some
// 50,000 objects, and building them as a document first would cost more time and
// memory than the whole adjustment. nlohmann/json escapes the point names. Figures
// are written by shortestNumber: nlohmann/json's own number output (Grisu2) reads
// back exactly but is not always the shortest such decimal (0.048597552430489827
// where 0.04859755243048983 reads back the same).
//
// Layout: one top-level key a line; each element of a list on a line of its own,
// its keys in the order of the format, separated by ", ".

#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "analysis/tables.h"
#include "state/failure.h"
#include "state/number_format.h"

namespace trelvan::analysis {

namespace {

class Writer {
public:
    explicit Writer(const JsonSink& sink) : sink_(sink) { out_.reserve(bufferSize + 4096); }

    // Hands what is written so far to the sink once a buffer's worth has gathered,
    // and at the end.
    void flush(bool always) {
        if (!always && out_.size() < bufferSize) return;
        sink_(out_);
        out_.clear();
    }
    std::string& raw() { return out_; }

    void open() {
        out_ += '{';
        first_ = true;
    }
    void close() { out_ += '}'; }

    // A key; its fixed ASCII name needs no escaping.
    Writer& key(const char* name) {
        if (!first_) out_ += ", ";
        first_ = false;
        out_ += '"';
        out_ += name;
        out_ += "\": ";
        return *this;
    }
    // A top-level key, on a line of its own.
    Writer& member(const char* name) {
        out_ += first_ ? "\n  \"" : ",\n  \"";
        first_ = false;
        out_ += name;
        out_ += "\": ";
        return *this;
    }

    void number(double x) {
        if (!std::isfinite(x)) throw ComputeFailure("精度分析的结果超出数值范围，无法写出。");
        out_ += shortestNumber(x);
    }
    void integer(long long x) { out_ += digits(x); }
    void boolean(bool b) { out_ += b ? "true" : "false"; }
    void null() { out_ += "null"; }
    // A fixed ASCII word of the format.
    void word(const char* s) {
        out_ += '"';
        out_ += s;
        out_ += '"';
    }
    void text(const std::string& s) {
        out_ += nlohmann::json(s).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    }
    void number(const std::optional<double>& x) { x ? number(*x) : null(); }
    void boolean(const std::optional<bool>& b) { b ? boolean(*b) : null(); }

    // A list whose elements stand one a line.
    template <class Range, class Element>
    void list(const Range& range, Element element) {
        out_ += '[';
        bool any = false;
        for (const auto& item : range) {
            out_ += any ? ",\n    " : "\n    ";
            any = true;
            first_ = true;
            element(item);
            flush(false);
        }
        out_ += any ? "\n  ]" : "]";
        first_ = false;
    }

private:
    static constexpr std::size_t bufferSize = 1 << 16;
    const JsonSink& sink_;
    std::string out_;
    bool first_ = true;
};

const char* conditionName(Condition c) {
    switch (c) {
        case Condition::Azimuth: return "azimuth";
        case Condition::X: return "x";
        case Condition::Y: return "y";
    }
    return "";
}

}  // namespace

void writeAnalysisJson(const ChainPrecision& p, const JsonSink& sink) {
    Writer w(sink);
    w.open();
    w.member("trelvan").integer(1);
    w.member("conditions").integer(p.conditions);
    w.member("sigma0").number(p.sigma0);
    w.member("mb").number(p.mb);
    w.member("globalTest");
    if (p.globalTest) {
        w.open();
        w.key("statistic").number(p.globalTest->statistic);
        w.key("quantile").number(p.globalTest->quantile);
        w.key("passed").boolean(p.globalTest->passed);
        w.close();
    } else {
        w.null();
    }
    w.member("misclosures").list(p.misclosures, [&](const Misclosure& m) {
        w.open();
        w.key("condition").word(conditionName(m.condition));
        w.key("w").number(m.w);
        w.key("sigma").number(m.sigma);
        w.key("limit").number(m.limit);
        w.key("withinLimit").boolean(m.withinLimit);
        w.close();
    });
    w.member("points").list(p.points, [&](const PointPrecision& q) {
        w.open();
        w.key("index").integer(q.index);
        w.key("name").text(q.name);
        w.key("X").number(q.X);
        w.key("Y").number(q.Y);
        w.key("mx").number(q.mx);
        w.key("my").number(q.my);
        w.key("mp").number(q.mp);
        w.key("E").number(q.E);
        w.key("F").number(q.F);
        w.key("phi").number(q.phi);
        w.close();
    });
    w.member("weakestPoint").integer(p.weakestPoint);
    w.member("observations").list(p.observations, [&](const ObservationPrecision& o) {
        w.open();
        const bool side = o.kind == ObservationKind::Side;
        w.key("kind").word(side ? "side" : o.kind == ObservationKind::Qa ? "Qa" : "Qb");
        if (side) {
            w.key("k").integer(o.k);
            w.key("observed").number(o.observed);
            w.key("adjusted").number(o.adjusted);
        }
        w.key("v").number(o.v);
        if (side) {
            w.key("m").number(o.m);
            w.key("relative").number(o.relative);
        }
        w.key("redundancy").number(o.redundancy);
        w.key("normalized").number(o.normalized);
        w.key("suspect").boolean(o.suspect);
        w.key("mdb").number(o.mdb);
        w.close();
    });
    w.member("weakestSide").integer(p.weakestSide);
    const GradeSummary& s = p.summary;
    w.member("summary");
    w.open();
    w.key("triangles").integer(s.triangles);
    w.key("meanSide").number(s.meanSide);
    w.key("shortestSide").integer(s.shortestSide);
    w.key("longestSide").integer(s.longestSide);
    w.key("smallestAngle").number(s.smallestAngle);
    w.key("smallestAngleTriangle").integer(s.smallestAngleTriangle);
    w.key("weakestSideRelative").number(s.weakestSideRelative);
    w.key("largestMp").number(s.largestMp);
    w.key("largestMpPoint").integer(s.largestMpPoint);
    w.close();
    w.raw() += "\n}\n";
    w.flush(true);
}

std::string analysisJson(const ChainPrecision& precision) {
    std::string out;
    writeAnalysisJson(precision, [&out](std::string_view part) { out += part; });
    return out;
}

}  // namespace trelvan::analysis
