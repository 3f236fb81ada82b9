#pragma once
// What the job editor says and shows besides the values themselves: the side of the
// route of each side, the tooltips of its cells, its questions and its messages, and
// the summary of the last completed job. The editor's window only places them.

#include <chrono>
#include <optional>
#include <string>

#include "job/job.h"
#include "job/job_sheet.h"

namespace trelvan {

// How the row of side k (1..2N+1) reads.
struct SideRow {
    std::string position;     // "左" or "右" for an even side, "路线边" for a route side
    std::string positionTip;  // "S4 位于方位角推算路线的右侧"
    std::string lengthTip;    // why the length is no number; empty when it is one or is empty
    // The side's standard error in millimetres as the instrument states it for the
    // length as typed, "3.20"; empty unless the sheet weights by the instrument and
    // both the length and the instrument's a and b are usable numbers.
    std::string sigma;
    std::string sigmaTip;     // "S7 的测距中误差 σ = a + b·D，D 为边长（公里）"
};
// `reduced` is a measured side's reduced length, which its standard error is worked
// out from in place of the length typed.
SideRow sideRow(const JobSheet& sheet, int k, std::optional<double> reduced = std::nullopt);

// Whether the sides' standard errors are shown: under the instrument's weights.
bool showsSideErrors(const JobSheet& sheet);

// "三角形个数 N = 4"
std::string triangleCountText(int triangles);

// Asked before the last triangle of `triangles` goes with what it holds.
std::string removeTriangleQuestion(int triangles);

// Asked before the editor closes on edits neither computed nor saved.
std::string dropEditsQuestion();

// Said after a paste: how many rows it filled, and how long the chain grew.
std::string pastedMessage(int rows, int trianglesBefore, int trianglesAfter);
// Said when a paste was refused for `reason`.
std::string pasteRefusedMessage(const std::string& reason);

// Said after the sheet was saved to `fileName`.
std::string savedMessage(const std::string& fileName);

// The last completed job as the recent-jobs menu names it: "K07 至 K08，4 个三角形，
// 2026-12-08 14:03" (names cut to 20 characters).
std::string lastJobSummary(const Job& job, std::chrono::system_clock::time_point computedAt);

}  // namespace trelvan
