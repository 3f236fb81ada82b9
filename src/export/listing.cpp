// The listed points, and the two files that are lists of them: the CASS data file
// and the CSV.

#include <cstddef>

#include "analysis/table_export.h"
#include "analysis/tables.h"
#include "export/coordinates.h"
#include "export/encoding.h"
#include "export/refusal.h"
#include "state/number_format.h"

namespace trelvan::exports {

namespace {

// Progress is asked before the first point and after every so many.
constexpr int pointsBetweenQuestions = 1024;

bool goOn(const Progress& progress, std::size_t done, std::size_t total) {
    if (!progress || done % pointsBetweenQuestions != 0) return true;
    return progress(static_cast<int>(done), static_cast<int>(total));
}

// A coordinate as the listing shows it: rounded to the millimetre, halves to even.
std::string listed(double metres) { return formatFixed(metres, 3); }

}  // namespace

std::string formatName(Format format) {
    switch (format) {
        case Format::CassData: return "CASS 数据文件";
        case Format::Csv: return "CSV 文件";
        case Format::Dxf: return "DXF 文件";
    }
    return {};
}

std::vector<ListedPoint> listedPoints(const ChainState& record) {
    std::vector<ListedPoint> points;
    if (!record.hasResult()) return points;
    const int n = record.N;
    points.reserve(static_cast<std::size_t>(n) + 2);
    for (int i = 0; i <= n + 1; ++i) {
        const auto at = static_cast<std::size_t>(i);
        points.push_back({i, record.pointName[at], roundHalfEven(record.pointX[at], 3),
                          roundHalfEven(record.pointY[at], 3), i == 0 || i == n + 1});
    }
    return points;
}

Contents cassData(const ChainState& record, const Progress& progress) {
    Contents contents;
    const std::vector<ListedPoint> points = listedPoints(record);
    const TextEncoder gb18030(TextEncoder::Target::Gb18030);
    contents.bytes.reserve(points.size() * 40);
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!goOn(progress, i, points.size())) return {{}, {}, true};
        const ListedPoint& p = points[i];
        if (p.name.find(',') != std::string::npos) {
            contents.refusal = nameRefusal(p, "含有逗号，而 CASS 数据文件以逗号分隔各项");
            return contents;
        }
        char32_t unheld = 0;
        const auto name = gb18030(p.name, unheld);
        if (!name) {
            contents.refusal = unheldRefusal(p, unheld, "GB18030 编码");
            return contents;
        }
        // Name, code (none), east, north, height.
        contents.bytes += *name + ",," + listed(p.Y) + "," + listed(p.X) + ",0.000\r\n";
    }
    return contents;
}

Contents coordinateCsv(const ChainState& record, const analysis::ChainPrecision& precision,
                       const Progress& progress) {
    // A table of the figures as the analysis window shows them, written by the
    // analysis' own CSV writer with its guard against names read as formulas.
    analysis::Table table{"", {}, {}};
    for (const char* header : {"点名", "X", "Y", "mx", "my", "mp", "E", "F", "φ"})
        table.columns.push_back({header, std::string_view(header) != "点名"});
    const std::vector<ListedPoint> points = listedPoints(record);
    if (precision.points.size() != points.size()) return {{}, "精度分析与平差结果的点数不符", false};
    table.rows.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!goOn(progress, i, points.size())) return {{}, {}, true};
        const ListedPoint& p = points[i];
        const analysis::PointPrecision& q = precision.points[i];
        const auto figure = [](double x, int decimals) { return analysis::TableCell{formatFixed(x, decimals), x}; };
        table.rows.push_back({{{p.name, std::nullopt}, figure(p.X, 3), figure(p.Y, 3), figure(q.mx, 2),
                               figure(q.my, 2), figure(q.mp, 2), figure(q.E, 2), figure(q.F, 2),
                               {analysis::directionText(q.phi), q.phi}},
                              false});
    }
    return {analysis::tableCsv(table, analysis::tableOrder(table)), {}, false};
}

}  // namespace trelvan::exports
