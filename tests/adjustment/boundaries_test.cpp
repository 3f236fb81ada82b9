// Figures at their boundaries: the azimuth misclosure at half a turn, the window's
// figures at exact rounding ties (they must read as the report prints them), and a
// normal matrix that is not positive definite.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "adjustment/chain_fixture.h"
#include "report/report.h"
#include "report/sample_chain.h"
#include "state/failure.h"
#include "support/scripted.h"

namespace trelvan::testing {
namespace {

// The figure a report line prints after `label`, up to its unit: "mx= 0.12 毫米"
// gives "0.12".
std::string reportFigure(const ChainState& s, const std::string& label) {
    std::istringstream in(renderText(buildReport(s)));
    for (std::string line; std::getline(in, line);) {
        const auto at = line.find(label);
        if (at == std::string::npos) continue;
        std::string rest = line.substr(at + label.size());
        rest = rest.substr(rest.find_first_not_of(' '));
        return rest.substr(0, rest.find(' '));
    }
    return "<no line " + label + ">";
}

// The misclosure is reduced to (−180°, +180°]: exactly half a turn either way is
// +180°, and a hair past it on either side turns round. Offsets of 1/16° keep
// every value exact.
TEST(Misclosures, AzimuthMisclosureAtHalfATurn) {
    const struct {
        double computedTb, tb;
        const char* shown;
        float w1;  // seconds, as stored
    } cases[] = {
        {270, 90, "648000.00秒", 648000.0f},          // exactly +180°
        {90, 270, "648000.00秒", 648000.0f},          // exactly −180°: +180°
        {269.9375, 90, "647775.00秒", 647775.0f},     // just short of +180°
        {270.0625, 90, "-647775.00秒", -647775.0f},   // just past +180°
        {90.0625, 270, "-647775.00秒", -647775.0f},   // just short of −180°
        {89.9375, 270, "647775.00秒", 647775.0f},     // just past −180°
        {359.9375, 0.0625, "-450.00秒", -450.0f},     // across north
        {0.0625, 359.9375, "450.00秒", 450.0f},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(::testing::Message() << tc.computedTb << " - " << tc.tb);
        Chain c;
        sizeArrays(c.state, c.run, 1);
        c.run.computedTb = tc.computedTb, c.run.Tb = tc.tb;
        Harness h;
        computeMisclosures(c.state, c.run, h.boxes);
        EXPECT_EQ(h.boxes.text(15), tc.shown);
        EXPECT_EQ(c.state.w[1], tc.w1);
    }
}

// Exact binary ties of the millimetre misclosures: the window rounds them half to
// even, as the report does, and never half away from zero.
TEST(Misclosures, MillimetresAtExactTiesReadAsTheReportPrintsThem) {
    const struct {
        double carried;  // metres from B
        const char* shown;
    } cases[] = {
        {0.000125, "0.12"}, {-0.000125, "-0.12"}, {0.000375, "0.38"},
        {0.000625, "0.62"}, {-0.002125, "-2.12"}, {0.0123456, "12.35"},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.carried);
        ChainState s = chainOf(1);
        RunValues run;
        run.Tb = 0;
        s.pointX[2] = s.Xb + tc.carried, s.pointY[2] = s.Yb - tc.carried;
        Harness h;
        computeMisclosures(s, run, h.boxes);
        EXPECT_EQ(h.boxes.text(16), std::string(tc.shown) + "毫米");
        EXPECT_EQ(reportFigure(s, "w(2)="), tc.shown);
        const std::string minus = tc.shown[0] == '-' ? tc.shown + 1 : std::string("-") + tc.shown;
        EXPECT_EQ(h.boxes.text(17), minus + "毫米");
        EXPECT_EQ(reportFigure(s, "w(3)="), minus);
    }
}

// mb = 1 exactly (two conditions, [pvv] = 2), so that mx and my are the square roots
// of the weight reciprocals and fall on exact ties; md falls on one through the
// right triangle 0.375, 0.5, 0.625.
TEST(Precision, FiguresAtExactTiesReadAsTheReportPrintsThem) {
    const struct {
        float invPx, invPy;
        const char *mx, *my, *md;
    } cases[] = {
        {0.015625f, 0.390625f, "0.12", "0.62", "0.64"},  // mx 0.125, my 0.625
        {0.140625f, 0.25f, "0.38", "0.50", "0.62"},      // md 0.625
        {4.515625f, 0.765625f, "2.12", "0.88", "2.30"},  // mx 2.125, my 0.875
        {0.25f, 0.140625f, "0.50", "0.38", "0.62"},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(::testing::Message() << tc.invPx << " " << tc.invPy);
        RunValues run;
        ChainState sizing;
        sizeArrays(sizing, run, 1);
        ChainState s = chainOf(1);
        s.azimuthCondition = false;
        run.sideCofactor = 1;
        run.cofactor[0] = run.cofactor[4] = 1;  // orientation angles of unit weight
        run.sideCorrectionSquareSum = 0;
        run.correction[0] = 1, run.correction[4] = -1;
        s.invPx = tc.invPx, s.invPy = tc.invPy;
        Harness h;
        assessPrecision(s, run, h.boxes);
        ASSERT_EQ(s.mb, 1.0f);
        EXPECT_EQ(h.boxes.text(22), std::string(tc.mx) + "毫米");
        EXPECT_EQ(h.boxes.text(23), std::string(tc.my) + "毫米");
        EXPECT_EQ(h.boxes.text(24), std::string(tc.md) + "毫米");
        EXPECT_EQ(reportFigure(s, "mx="), tc.mx);
        EXPECT_EQ(reportFigure(s, "my="), tc.my);
        EXPECT_EQ(reportFigure(s, "md="), tc.md);
    }
}

// A normal matrix of a condition adjustment is positive definite. One that is not
// (a negative pivot at any row of the reduction) stops with that row named, before
// any correlate is formed from it.
TEST(Scd, ANegativePivotStopsWithItsRow) {
    const struct {
        double n[3][3];
        const char* named;
    } cases[] = {
        {{{-1, 0.5, 0}, {0.5, 2, 0}, {0, 0, 1}}, "法方程第 1 行的主元为负"},
        {{{1, 2, 0}, {2, 1, 0}, {0, 0, 1}}, "法方程第 2 行的主元为负"},     // 1 − 4 = −3
        {{{4, 0, 0}, {0, 2, 1}, {0, 1, -1}}, "法方程第 3 行的主元为负"},    // −1 − 1/2
        {{{2, 1, 1}, {1, 2, 1}, {1, 1, 0.5}}, "法方程第 3 行的主元为负"},   // eigenvalues of both signs
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.named);
        Matrix6 P{}, Q{};
        for (int i = 1; i <= 3; ++i) {
            for (int j = 1; j <= 3; ++j) P[i][j] = Q[i][j] = tc.n[i - 1][j - 1];
            P[i][4] = Q[i][4] = 0.1 * i;
        }
        try {
            const double s = scd(P, Q, 4);
            ADD_FAILURE() << "no failure; scd gave " << s;
        } catch (const ComputeFailure& failure) {
            EXPECT_NE(std::string(failure.what()).find(tc.named), std::string::npos) << failure.what();
        }
    }
}

}  // namespace
}  // namespace trelvan::testing
