#pragma once
// The adjusted coordinates out of the program, in the files mapping software reads:
//
//   CASS data file (.dat)  one point a line, "name,,Y,X,0.000": the name, an empty
//                          code, east, north and a height of 0, ended by CR LF, in
//                          GB18030 without a byte-order mark, as CASS on a Chinese
//                          Windows reads it;
//   CSV                    点名,X,Y,mx,my,mp,E,F,φ with the precision of each point,
//                          UTF-8 with a byte-order mark and CR LF, for a spreadsheet;
//   DXF                    a drawing in AutoCAD 2000 format on CAD's axes (x east,
//                          y north): a POINT, a symbol and the name of every point,
//                          the sides, and the error ellipses magnified, on six layers.
//
// Every point from A to B, in the order of the listing, with the coordinates the
// listing shows (to the millimetre). A name a format cannot hold refuses the export
// with a message that names the point; nothing is then written. A file is written
// under a temporary name and renamed into place only when it is whole.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/chain_precision.h"
#include "state/chain_state.h"

namespace trelvan::exports {

enum class Format { CassData, Csv, Dxf };

// The format as a message names it: "CASS 数据文件", "CSV 文件", "DXF 文件".
std::string formatName(Format format);

// One point as it leaves the program: the coordinates of the listing, rounded to
// the millimetre.
struct ListedPoint {
    int index = 0;  // 0 = A, 1..N, N+1 = B
    std::string name;
    double X = 0, Y = 0;  // north and east, m
    bool known = false;   // A or B
};

// Points 0..N+1 of the record's last completed computation; empty when there is none.
std::vector<ListedPoint> listedPoints(const ChainState& record);

// Asked between points whether to go on; false stops the export.
using Progress = std::function<bool(int done, int total)>;

// The bytes of a file, or why the points cannot go into it (naming the point), or
// neither when the work was stopped.
struct Contents {
    std::string bytes;
    std::string refusal;
    bool stopped = false;
};

Contents cassData(const ChainState& record, const Progress& progress = {});
Contents coordinateCsv(const ChainState& record, const analysis::ChainPrecision& precision,
                       const Progress& progress = {});
Contents drawingDxf(const ChainState& record, const analysis::ChainPrecision& precision,
                    const Progress& progress = {});

// What an export says before any completed computation.
inline constexpr const char* noResultToExport = "还没有完成的平差计算结果，无法导出坐标。";

// How an export ended, with what to say: written, refused for a name (nothing
// written), failed (nothing written, an older file as it was), or stopped by the
// operator (nothing written, nothing to say).
struct Outcome {
    enum class Kind { Written, Refused, Failed, Stopped };
    Kind kind = Kind::Failed;
    std::string message;
    bool written() const { return kind == Kind::Written; }
};

// The library that lays out the DXF, with its version: "dxflib 3.26.4.0".
std::string drawingLibrary();

// Writes the coordinates of the record's last completed computation to `fileName`.
Outcome exportCoordinates(const ChainState& record, Format format, const std::string& fileName,
                          const Progress& progress = {});

}  // namespace trelvan::exports
