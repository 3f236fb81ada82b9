// The report's title and azimuth lines over a sequence of Compute actions: each
// completed action decides them alone, and an abandoned one changes nothing.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "adjustment/compute.h"
#include "report/report.h"
#include "support/scripted.h"

namespace trelvan {
namespace {

// One exact equilateral triangle of 500 m: the route leaves A (1000, 2000) at 45°,
// the side A-B lies right of the route, and the last route side arrives at B on
// 165°, so the outward direction at B is 345° + Qb. Where A is oriented and where
// the closing azimuth is taken from is each case's own.
struct Orientation {
    const char *xpa = "0", *ypa = "0", *ta = "0", *qa = "45";
    const char *tb = "0", *qb = "0";
};

std::vector<Reply> triangle(const Orientation& o) {
    std::vector<Reply> r;
    const auto value = [&](const char* text) {
        r.push_back(Reply::typed(text));
        r.push_back(Reply::typed(""));
    };
    r.push_back(Reply::typed("1"));
    for (const char* v : {"1000", "2000", "870.5904774487396", "2482.962913144534", o.xpa, o.ypa, "0", "0"})
        value(v);
    if (std::string(o.xpa) == "0") value(o.ta);
    value(o.tb);
    value(o.qa);
    value(o.qb);
    for (const char* v : {"2.5", "A", "P", "B"}) r.push_back(Reply::typed(v));
    for (const char* v : {"500", "-500", "500"}) value(v);
    return r;
}

std::vector<std::string> reportLines(const ChainState& record) {
    std::vector<std::string> lines;
    std::istringstream in(renderText(buildReport(record)));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string trimmed(const std::string& line) { return line.substr(line.find_first_not_of(' ')); }

const std::string both = "--- Trelvan ( 有方位角和纵横座标条件 ) ---";
const std::string fromA = "--- Trelvan ( 由方位角起算的只有纵横座标条件 ) ---";
const std::string unoriented = "--- Trelvan ( 只有纵横座标条件的无定向锁 ) ---";

TEST(ReportTitle, EachCompletedActionAloneDecidesTitleAndAzimuthLines) {
    Orientation closed;  // typed at both ends, with an orientation angle at B
    closed.ta = "45", closed.qa = "0", closed.tb = "300", closed.qb = "-45";
    Orientation direction = closed;  // A by a direction point on 45°, B not closed
    direction.xpa = "2000", direction.ypa = "3000", direction.tb = "0", direction.qb = "0";
    Orientation free;  // no orientation anywhere: the route leaves A on Qa alone
    Orientation freeClosed = free;  // free at A, closed on an azimuth at B
    freeClosed.tb = "300", freeClosed.qb = "-45";
    Orientation tbOnly = closed;  // a closing azimuth without an orientation angle
    tbOnly.qb = "0";

    std::vector<Reply> cancelled = triangle(free);
    cancelled.resize(19);  // the Cancel comes at the Tb prompt
    cancelled.push_back(Reply::cancel());
    std::vector<Reply> failing = triangle(free);
    failing[5] = Reply::typed("50000");  // B far from where the chain arrives

    const struct Step {
        const char* what;
        std::vector<Reply> replies;
        ComputeOutcome outcome;
        const std::string& title;
        std::string lineA, lineB;  // the orientation lines, as printed
    } steps[] = {
        {"closed", triangle(closed), ComputeOutcome::Completed, both, "方位角 B(a) :45(度,分,秒)",
         "方位角 B(b) :300(度,分,秒)"},
        {"direction point at A", triangle(direction), ComputeOutcome::Completed, fromA,
         "方位点 A :   2000.000       3000.000", "方位角 B(b) :0(度,分,秒)"},
        {"free", triangle(free), ComputeOutcome::Completed, unoriented, "方位角 B(a) :0(度,分,秒)",
         "方位角 B(b) :0(度,分,秒)"},
        {"cancelled", cancelled, ComputeOutcome::Cancelled, unoriented, "方位角 B(a) :0(度,分,秒)",
         "方位角 B(b) :0(度,分,秒)"},
        {"free, closed at B", triangle(freeClosed), ComputeOutcome::Completed, both,
         "方位角 B(a) :0(度,分,秒)", "方位角 B(b) :300(度,分,秒)"},
        {"failed", failing, ComputeOutcome::Failed, both, "方位角 B(a) :0(度,分,秒)",
         "方位角 B(b) :300(度,分,秒)"},
        {"Tb without Qb", triangle(tbOnly), ComputeOutcome::Completed, fromA, "方位角 B(a) :45(度,分,秒)",
         "方位角 B(b) :300(度,分,秒)"},
    };

    ChainState record;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        testing::Harness h;
        for (const Reply& r : step.replies) h.prompter.add(r);
        for (int i = 0; i < 3; ++i) h.prompter.add("");  // the listing
        ASSERT_EQ(Command1_Click(record, h.prompter, h.boxes, h.messages), step.outcome)
            << (h.messages.said.empty() ? "" : h.messages.said.back());
        const auto lines = reportLines(record);
        ASSERT_GE(lines.size(), 11u);
        EXPECT_EQ(trimmed(lines[0]), step.title);
        EXPECT_EQ(trimmed(lines[8]), step.lineA);
        EXPECT_EQ(trimmed(lines[10]), step.lineB);
    }
}

}  // namespace
}  // namespace trelvan
