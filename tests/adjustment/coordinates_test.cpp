#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "adjustment/chain_fixture.h"
#include "entry/dialogue.h"
#include "state/failure.h"
#include "support/scripted.h"

namespace trelvan::testing {
namespace {

TEST(Misclosures, AreShownInSecondsAndMillimetres) {
    const struct {
        double computedTb, tb, carriedX, carriedY;
        const char *azimuth, *x, *y;
    } cases[] = {
        {100.00125, 100, 1000.0123456, 2000 - 0.0005, "4.50秒", "12.35毫米", "-0.50毫米"},
        {359.9999, 0.0001, 1000, 2000, "-0.72秒", "0.00毫米", "0.00毫米"},  // across north
        {0.0001, 359.9999, 1000, 2000, "0.72秒", "0.00毫米", "0.00毫米"},
        {123, 0, 999.99, 2000.02, "不存在", "-10.00毫米", "20.00毫米"},  // no closing azimuth
    };
    for (const auto& tc : cases) {
        Chain c;
        sizeArrays(c.state, c.run, 1);
        c.state.Xb = 1000, c.state.Yb = 2000;
        c.state.pointX[2] = tc.carriedX, c.state.pointY[2] = tc.carriedY;
        c.run.computedTb = tc.computedTb, c.run.Tb = tc.tb;
        Harness h;
        computeMisclosures(c.state, c.run, h.boxes);
        ASSERT_EQ(h.boxes.writes.size(), 3u);
        EXPECT_EQ(h.boxes.writes[0], std::make_pair(15, std::string(tc.azimuth)));
        EXPECT_EQ(h.boxes.writes[1], std::make_pair(16, std::string(tc.x)));
        EXPECT_EQ(h.boxes.writes[2], std::make_pair(17, std::string(tc.y)));
        if (tc.tb == 0) {
            EXPECT_EQ(c.state.w[1], 0.0f);
        }
    }
}

TEST(Misclosures, OutOfRangeStopsBeforeAnyBoxIsWritten) {
    Chain c;
    sizeArrays(c.state, c.run, 1);
    c.state.pointX[2] = 1e39;  // beyond single precision
    Harness h;
    EXPECT_THROW(computeMisclosures(c.state, c.run, h.boxes), ComputeFailure);
    EXPECT_TRUE(h.boxes.writes.empty());
}

TEST(AdjustedCoordinates, EveryPointGetsItsOwnCoordinates) {
    const struct {
        std::vector<Point> points;
        std::vector<int> signs;
    } cases[] = {{workedExample(), {-1, +1, -1}},
                 {fanChain(), fanSigns},
                 {spokeChain(), spokeSigns}};
    for (const auto& tc : cases) {
        Chain c = makeChain(tc.points, tc.signs, 10);
        solveTriangles(c.state, c.run);
        adjustCoordinates(c.state, c.run);  // the observed sides, unchanged
        for (std::size_t i = 0; i < tc.points.size(); ++i) {
            EXPECT_NEAR(c.state.pointX[i], tc.points[i].x, 1e-6) << i;
            EXPECT_NEAR(c.state.pointY[i], tc.points[i].y, 1e-6) << i;
        }
    }
}

TEST(AdjustedCoordinates, SidesThatCannotCloseATriangleStop) {
    Chain c = makeChain(workedExample(), {-1, +1, -1}, 10);
    solveTriangles(c.state, c.run);
    c.state.side[4] = c.state.side[3] + c.state.side[5] + 1;
    try {
        adjustCoordinates(c.state, c.run);
        ADD_FAILURE();
    } catch (const ComputeFailure& failure) {
        const std::string message = failure.what();
        EXPECT_NE(message.find("平差后第 2 个三角形"), std::string::npos) << message;
        EXPECT_NE(message.find("不能构成三角形（最长边不短于另两边之和）"), std::string::npos) << message;
    }
}

TEST(AdjustedCoordinates, ListingShowsEveryPointWhateverIsTyped) {
    Chain c = makeChain({{1000.0004, 2000.0016}, {1500, 2800}, {600, 3100}}, {-1});
    c.state.pointName = {"A", "", "测站 B"};
    solveTriangles(c.state, c.run);
    adjustCoordinates(c.state, c.run);
    Harness h;
    h.prompter.add("0");
    h.prompter.cancel();  // then the input ends: still an empty reply
    Dialogue dialogue(h.prompter, h.boxes, h.messages);
    listCoordinates(dialogue, c.state);

    const std::string prompt = "? 如果需要显示计算的座标结果，请输入 M 为不等于零的任意数";
    const std::vector<std::string> expected = {
        prompt, "> 0", "Text11:  A", "Text12: 1000.000", "Text13: 2000.002",
        prompt, "Text11:  ", "Text12: 1500.000", "Text13: 2800.000",
        prompt, "> ", "Text11:  测站 B", "Text12: 600.000", "Text13: 3100.000"};
    EXPECT_EQ(h.log.events, expected);
}

TEST(AdjustedCoordinates, ListingRefusesToShowAnImpossibleCoordinate) {
    Chain c = makeChain(workedExample(), {-1, +1, -1});
    c.state.pointY[3] = std::numeric_limits<double>::quiet_NaN();
    Harness h;
    Dialogue dialogue(h.prompter, h.boxes, h.messages);
    EXPECT_THROW(listCoordinates(dialogue, c.state), ComputeFailure);
    EXPECT_TRUE(h.log.events.empty());
}

}  // namespace
}  // namespace trelvan::testing
