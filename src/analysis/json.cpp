// The analysis as JSON. The document is built with nlohmann/json; it is written out
// by a short walk of its own, because nlohmann/json's number output (Grisu2) reads
// back exactly but is not always the shortest such decimal (0.048597552430489827
// where 0.04859755243048983 reads back the same), and every figure here must be the
// shortest. Strings are escaped by nlohmann/json itself.
//
// Layout: one top-level key a line; each element of a list on a line of its own.

#include <cmath>
#include <string>

#include <nlohmann/json.hpp>

#include "analysis/tables.h"
#include "state/failure.h"
#include "state/number_format.h"

namespace trelvan::analysis {

namespace {

using Json = nlohmann::ordered_json;

template <class T>
Json orNull(const std::optional<T>& value) {
    return value ? Json(*value) : Json(nullptr);
}

const char* conditionName(Condition c) {
    switch (c) {
        case Condition::Azimuth: return "azimuth";
        case Condition::X: return "x";
        case Condition::Y: return "y";
    }
    return "";
}

Json document(const ChainPrecision& p) {
    Json j;
    j["trelvan"] = 1;
    j["conditions"] = p.conditions;
    j["sigma0"] = orNull(p.sigma0);
    j["mb"] = p.mb;
    if (p.globalTest) {
        j["globalTest"] = Json{{"statistic", p.globalTest->statistic},
                               {"quantile", p.globalTest->quantile},
                               {"passed", p.globalTest->passed}};
    } else {
        j["globalTest"] = nullptr;
    }
    Json misclosures = Json::array();
    for (const Misclosure& m : p.misclosures) {
        misclosures.push_back(Json{{"condition", conditionName(m.condition)},
                                   {"w", m.w},
                                   {"sigma", orNull(m.sigma)},
                                   {"limit", orNull(m.limit)},
                                   {"withinLimit", orNull(m.withinLimit)}});
    }
    j["misclosures"] = std::move(misclosures);
    Json points = Json::array();
    for (const PointPrecision& q : p.points) {
        points.push_back(Json{{"index", q.index}, {"name", q.name}, {"X", q.X}, {"Y", q.Y},
                              {"mx", q.mx}, {"my", q.my}, {"mp", q.mp}, {"E", q.E}, {"F", q.F},
                              {"phi", q.phi}});
    }
    j["points"] = std::move(points);
    j["weakestPoint"] = p.weakestPoint;
    Json observations = Json::array();
    for (const ObservationPrecision& o : p.observations) {
        Json row;
        if (o.kind == ObservationKind::Side) {
            row = Json{{"kind", "side"}, {"k", o.k}, {"observed", o.observed}, {"adjusted", o.adjusted},
                       {"v", o.v}, {"m", o.m}, {"relative", o.relative}};
        } else {
            row = Json{{"kind", o.kind == ObservationKind::Qa ? "Qa" : "Qb"}, {"v", o.v}};
        }
        row["redundancy"] = o.redundancy;
        row["normalized"] = orNull(o.normalized);
        row["suspect"] = orNull(o.suspect);
        row["mdb"] = orNull(o.mdb);
        observations.push_back(std::move(row));
    }
    j["observations"] = std::move(observations);
    j["weakestSide"] = p.weakestSide;
    return j;
}

void write(std::string& out, const Json& value, int depth) {
    switch (value.type()) {
        case Json::value_t::null: out += "null"; return;
        case Json::value_t::boolean: out += value.get<bool>() ? "true" : "false"; return;
        case Json::value_t::number_integer: out += std::to_string(value.get<long long>()); return;
        case Json::value_t::number_unsigned:
            out += std::to_string(value.get<unsigned long long>());
            return;
        case Json::value_t::number_float: {
            const double x = value.get<double>();
            if (!std::isfinite(x)) throw ComputeFailure("精度分析的结果超出数值范围，无法写出。");
            out += shortestNumber(x);
            return;
        }
        case Json::value_t::string:
            out += value.dump(-1, ' ', false, Json::error_handler_t::replace);
            return;
        case Json::value_t::array: {
            out += '[';
            bool first = true;
            for (const Json& element : value) {
                out += first ? "" : ",";
                first = false;
                if (depth == 1) out += "\n    ";
                write(out, element, depth + 1);
            }
            if (depth == 1 && !value.empty()) out += "\n  ";
            out += ']';
            return;
        }
        case Json::value_t::object: {
            out += '{';
            bool first = true;
            for (const auto& [key, member] : value.items()) {
                out += first ? "" : depth == 0 ? "," : ", ";
                first = false;
                if (depth == 0) out += "\n  ";
                out += Json(key).dump();
                out += ": ";
                write(out, member, depth + 1);
            }
            if (depth == 0) out += '\n';
            out += '}';
            return;
        }
        default: out += "null"; return;
    }
}

}  // namespace

std::string analysisJson(const ChainPrecision& precision) {
    std::string out;
    write(out, document(precision), 0);
    out += '\n';
    return out;
}

}  // namespace trelvan::analysis
