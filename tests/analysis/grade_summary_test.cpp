// The grade figures from the adjusted sides, against figures worked out by hand:
// the angles of right, equilateral and isosceles triangles, means of round lengths,
// the first side or triangle on a tie, and the mark of an angle under what the
// standard asks.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/chain_precision.h"
#include "analysis/tables.h"

namespace trelvan::analysis {
namespace {

struct Case {
    const char* name;
    std::vector<double> sides;  // S1 … S(2N+1), adjusted, m
    double mean;
    int shortest, longest;
    double smallestAngle;  // degrees
    int triangle;
    const char* angleShown;
    const char* remark;  // of the smallest angle in the 概要 table
};

TEST(GradeSummary, FiguresOfTheAdjustedSidesAsWorkedByHand) {
    const Case cases[] = {
        // 300-400-500: the angle opposite 300 is atan(3/4).
        {"right triangle", {300, 500, 400}, 400, 1, 2, 36.86989764584402, 1, "36°52′12″", "三角形 1"},
        // Every side alike: the first side and the first triangle on the tie.
        {"equilateral", {1000, 1000, 1000, 1000, 1000}, 1000, 1, 1, 60, 1, "60°00′00″", "三角形 1"},
        // Legs of 1000 about a base of 400: the apex is 2·asin(0.2).
        {"sharp under 25°", {1000, 1000, 1000, 400, 1000}, 880, 4, 1, 23.073918065630977, 2, "23°04′26″",
         "三角形 2，小于 25°"},
        // A base of 480: the apex is 2·asin(0.24), between 25° and 30°.
        {"sharp under 30°", {1000, 480, 1000, 1000, 1000}, 896, 2, 1, 27.77308072525798, 1, "27°46′23″",
         "三角形 1，小于 30°"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int n = static_cast<int>(c.sides.size() - 1) / 2;
        ChainState record;
        record.N = static_cast<std::int16_t>(n);
        record.side.assign(1, 0.0);
        record.side.insert(record.side.end(), c.sides.begin(), c.sides.end());
        // The weakest side and point as an analysis names them.
        ChainPrecision precision;
        precision.observations.resize(c.sides.size() + 2);
        for (std::size_t k = 1; k <= c.sides.size(); ++k) precision.observations[k].adjusted = c.sides[k - 1];
        precision.weakestSide = 2;
        precision.observations[2].relative = 4e-6;
        precision.points.resize(static_cast<std::size_t>(n) + 2);
        precision.weakestPoint = 1;
        precision.points[1].mp = 3.5;
        precision.points[1].name = "D1";

        const GradeSummary s = gradeSummary(record, precision);
        EXPECT_EQ(s.triangles, n);
        EXPECT_NEAR(s.meanSide, c.mean, 1e-9);
        EXPECT_EQ(s.shortestSide, c.shortest);
        EXPECT_EQ(s.longestSide, c.longest);
        EXPECT_NEAR(s.smallestAngle, c.smallestAngle, 1e-7);  // the house's ten-decimal π
        EXPECT_EQ(s.smallestAngleTriangle, c.triangle);
        EXPECT_EQ(s.weakestSideRelative, 4e-6);
        EXPECT_EQ(s.largestMp, 3.5);
        EXPECT_EQ(s.largestMpPoint, 1);

        precision.summary = s;
        const Table summary = analysisTables(precision).back();
        ASSERT_EQ(summary.title, "概要");
        ASSERT_EQ(summary.rows.size(), 7u);
        const TableRow& angle = summary.rows[4];
        EXPECT_EQ(angle.cells[0].text, "最小角");
        EXPECT_EQ(angle.cells[1].text, c.angleShown);
        EXPECT_EQ(angle.cells[2].text, c.remark);
        EXPECT_EQ(angle.marked, c.smallestAngle < 30);
        EXPECT_EQ(summary.rows[5].cells[1].text, "1/250000");
        EXPECT_EQ(summary.rows[6].cells[1].text, "3.50毫米");
        EXPECT_EQ(summary.rows[6].cells[2].text, "D1");
    }
}

}  // namespace
}  // namespace trelvan::analysis
