#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "report/report.h"
#include "report/sample_chain.h"

namespace trelvan {
namespace {

using testing::chainOf;

std::string pad(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string reportText(const ChainState& s) { return renderText(buildReport(s)); }

// The line of the text report that contains `needle`; empty when there is none.
std::string lineWith(const ChainState& s, const std::string& needle) {
    for (const auto& line : linesOf(reportText(s)))
        if (line.find(needle) != std::string::npos) return line;
    return {};
}

// The whole report of a one-triangle chain oriented by an azimuth at A only, with
// no azimuth condition, written out line by line from the report's layout.
TEST(Report, WholeReportOfOneTriangle) {
    ChainState s;
    s.N = 1;
    s.pointName = {"甲", "P1", "B"};
    s.Xa = 1000.0, s.Ya = 2000.0, s.Xb = 1100.5, s.Yb = 2100.25;
    s.taEntered = 45.30205;
    s.tbEntered = 0;
    s.orientedAtA = true;
    s.observedSide = {0, 100.1234, 80.5, 120.25};
    s.side = {0, 100.12349, 80.49951, 120.2506};
    s.pointX = {1000.0, 1050.12345, 1100.5};
    s.pointY = {2000.0, 2080.9876, 2100.25};
    s.azimuthCondition = false;
    s.w = {0.0f, 0.0f, -0.01235f, 0.0042f};
    s.mb = 1.234f;
    s.ms = 0.125f;      // an exact tie: rounded half to even first, so 0.12
    s.invPx = 0.03125f; // an exact tie, formatted without rounding first: 0.0313
    s.invPy = 12.34567f;
    s.mx = 3.456f, s.my = 0.004f, s.md = 3.457f;

    const std::vector<std::string> expected = {
        pad(12) + "--- Trelvan ( 由方位角起算的只有纵横座标条件 ) ---",
        "",
        "",
        pad(21) + "起始点座标 :",
        "",
        pad(26) + "点名" + pad(9) + "X" + pad(14) + "Y",
        pad(26) + "甲:" + pad(5) + "1000.000" + pad(7) + "2000.000",
        pad(26) + "B:" + pad(6) + "1100.500" + pad(7) + "2100.250",
        pad(21) + "方位角 B(a) :45.30205(度,分,秒)",
        "",
        pad(21) + "方位角 B(b) :0(度,分,秒)",
        "",
        pad(21) + "观测边长 (米) :" + pad(8) + "平差边长 (米) :",
        "",
        pad(23) + "s( 1 )=100.1234" + pad(8) + "S( 1 )=100.1230",
        pad(23) + "s( 2 )=80.5000" + pad(9) + "S( 2 )=80.5000",
        pad(23) + "s( 3 )=120.2500" + pad(8) + "S( 3 )=120.2510",
        "",
        pad(21) + "条件方程闭合差 :",
        "",
        pad(23) + "方位角条件 : w(1)=  没有方位角条件",
        pad(23) + "纵座标条件 : w(2)= -12.35 毫米",
        pad(23) + "横座标条件 : w(3)= 4.20 毫米",
        "",
        pad(21) + "平差结果 :",
        "",
        pad(23) + "点名" + pad(12) + "X" + pad(14) + "Y",
        pad(24) + "甲;" + pad(7) + "1000.000" + pad(7) + "2000.000",
        pad(24) + "P1;" + pad(7) + "1050.123" + pad(7) + "2080.988",
        pad(24) + "B;" + pad(8) + "1100.500" + pad(7) + "2100.250",
        "",
        pad(21) + "精度统计 :",
        "",
        pad(23) + "       单位权测角中误差 :    mb= 1.23 秒",
        pad(23) + "       单位权测边中误差 :    ms= 0.12 毫米",
        "",
        pad(23) + "      最弱点纵座标权倒数 :   1/px= 0.0313",
        pad(23) + "      最弱点横座标权倒数 :   1/py= 12.3457",
        pad(23) + "最弱点纵座标单位权中误差 :    mx= 3.46 毫米",
        pad(23) + "最弱点横座标单位权中误差 :    my= 0.00 毫米",
        pad(23) + "  最弱点单位权点位中误差 :    md= 3.46 毫米",
    };
    std::string text;
    for (const auto& line : expected) text += line + "\n";
    EXPECT_EQ(reportText(s), text);

    const Report report = buildReport(s);
    ASSERT_FALSE(report.empty());
    EXPECT_EQ(report.front().fontSize, 12);
    for (std::size_t i = 1; i < report.size(); ++i) EXPECT_EQ(report[i].fontSize, 10) << "line " << i;
}

// The title tells the adjustment that was made, whatever azimuths the record holds:
// the azimuth condition first, then whether A was oriented. Every report has one.
TEST(Report, TitleFollowsTheAdjustmentThatWasMade) {
    const std::string both = "有方位角和纵横座标条件", fromA = "由方位角起算的只有纵横座标条件",
                      free = "只有纵横座标条件的无定向锁";
    struct Case {
        bool azimuthCondition, orientedAtA;
        double ta, tb;
        const std::string& title;
    } const cases[] = {
        {true, true, 45.3, 120.1, both},
        {true, true, 0, 0, both},        // both ends oriented by direction points
        {true, false, 0, 120.1, both},   // free at A, closed on an azimuth at B
        {false, true, 45.3, 0, fromA},
        {false, true, 45.3, 120.1, fromA},  // Tb typed, but no orientation angle at B
        {false, true, 0, 0, fromA},      // A oriented by a direction point
        {false, false, 0, 120.1, free},
        {false, false, 0, 0, free},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.azimuthCondition << c.orientedAtA << " " << c.ta << " " << c.tb);
        ChainState s = chainOf(2);
        s.azimuthCondition = c.azimuthCondition, s.orientedAtA = c.orientedAtA;
        s.taEntered = c.ta, s.tbEntered = c.tb;
        const auto lines = linesOf(reportText(s));
        ASSERT_GE(lines.size(), 4u);
        EXPECT_EQ(lines[0], pad(12) + "--- Trelvan ( " + c.title + " ) ---");
        EXPECT_EQ(lines[1], "");
        EXPECT_EQ(lines[2], "");
        EXPECT_EQ(lines[3], pad(21) + "起始点座标 :");
        EXPECT_EQ(buildReport(s).front().fontSize, 12);
    }
}

// Weighted by the instrument, the report says how on a line of its own under the
// title, at its column, the figures as typed; the two empty lines follow.
TEST(Report, TheInstrumentsWeightsAreStatedUnderTheTitle) {
    using W = WeightModel;
    const std::pair<W, std::string> cases[] = {
        {{W::Kind::Instrument, 2, 2, 2.5, W::Combine::Linear}, "a=2 毫米，b=2 毫米/公里（线性），定向角 σ=2.5 秒"},
        {{W::Kind::Instrument, 0.6, 1.5, 1, W::Combine::Quadrature}, "a=0.6 毫米，b=1.5 毫米/公里（平方和根），定向角 σ=1 秒"},
    };
    for (const auto& [weights, stated] : cases) {
        ChainState s = chainOf(2);
        s.adjustment.weights = weights;
        const auto lines = linesOf(reportText(s));
        ASSERT_GE(lines.size(), 5u);
        EXPECT_EQ(lines[1], pad(12) + "定权：测距 " + stated);
        EXPECT_EQ(lines[2] + lines[3] + lines[4], pad(21) + "起始点座标 :");
    }
}

// A typed azimuth prints in full, as typed; three decimals would cut 312°24′15″ to
// 312.241, ten seconds off.
TEST(Report, TypedAzimuthsPrintAsTyped) {
    const struct {
        double typed;
        const char* shown;
    } cases[] = {
        {312.2415, "312.2415"}, {160.23026, "160.23026"}, {45.30205, "45.30205"}, {0.0001, "0.0001"},
        {250, "250"}, {0.29, "0.29"}, {359.595999, "359.595999"}, {0, "0"},
    };
    for (const auto& c : cases) {
        ChainState s = chainOf(1);
        s.taEntered = c.typed, s.tbEntered = c.typed;
        EXPECT_EQ(lineWith(s, "方位角 B(a) :"), pad(21) + "方位角 B(a) :" + c.shown + "(度,分,秒)");
        EXPECT_EQ(lineWith(s, "方位角 B(b) :"), pad(21) + "方位角 B(b) :" + c.shown + "(度,分,秒)");
    }
}

TEST(Report, KnownPointBIsLeftOutWhenACoordinateIsZero) {
    for (auto [xb, yb] : {std::pair{0.0, 2100.0}, {1100.0, 0.0}, {0.0, 0.0}}) {
        ChainState s = chainOf(1);
        s.Xb = xb, s.Yb = yb;
        EXPECT_EQ(lineWith(s, "P2:"), "") << xb << " " << yb;
        EXPECT_NE(lineWith(s, "P0:"), "");
    }
    ChainState s = chainOf(1);
    EXPECT_EQ(lineWith(s, "P2:"), pad(26) + "P2:" + pad(5) + "1100.000" + pad(7) + "2100.000");
}

TEST(Report, OrientationByDirectionPointOrByAzimuth) {
    // Both coordinates of a direction point given: the point, at full precision.
    ChainState s = chainOf(2);
    s.Xpa = 3812345.678, s.Ypa = 38512345.671;
    s.Xpb = 3812000.5, s.Ypb = 38512000.25;
    EXPECT_EQ(lineWith(s, "方位点 A :"), pad(21) + "方位点 A :" + pad(3) + "3812345.678" + pad(4) + "38512345.671");
    EXPECT_EQ(lineWith(s, "方位点 B :"), pad(21) + "方位点 B :" + pad(3) + "3812000.500" + pad(4) + "38512000.250");
    EXPECT_EQ(lineWith(s, "方位角 B(a) :"), "");
    EXPECT_EQ(lineWith(s, "方位角 B(b) :"), "");
    // The title follows the adjustment, not the orientation lines.
    EXPECT_NE(lineWith(s, "由方位角起算的只有纵横座标条件"), "");

    // Only one coordinate given: the typed azimuth is printed instead.
    s.Ypa = 0, s.Xpb = 0;
    EXPECT_EQ(lineWith(s, "方位角 B(a) :"), pad(21) + "方位角 B(a) :45.3(度,分,秒)");
    EXPECT_EQ(lineWith(s, "方位角 B(b) :"), pad(21) + "方位角 B(b) :120.1(度,分,秒)");
    EXPECT_EQ(lineWith(s, "方位点 A :"), "");
    EXPECT_EQ(lineWith(s, "方位点 B :"), "");
}

TEST(Report, AzimuthMisclosureLine) {
    ChainState s = chainOf(1);
    s.azimuthCondition = false;
    s.w[1] = 7.0f;  // left over from the misclosures; not printed without the condition
    EXPECT_EQ(lineWith(s, "w(1)="), pad(23) + "方位角条件 : w(1)=  没有方位角条件");

    s.azimuthCondition = true;
    struct Case {
        float w1;
        const char* shown;
    } cases[] = {{4.5f, "4.500"}, {0.125f, "0.120"}, {-3.456f, "-3.460"}, {-0.004f, "0.000"}, {0.0f, "0.000"}};
    for (const auto& c : cases) {
        s.w[1] = c.w1;
        EXPECT_EQ(lineWith(s, "w(1)="), pad(23) + "方位角条件 : w(1)= " + c.shown + " 秒") << c.w1;
    }
}

TEST(Report, CoordinateMisclosuresInMillimetres) {
    // w·1000 is a 32-bit product, rounded half to even, then shown to 2 places.
    struct Case {
        float w;
        const char* shown;
    } cases[] = {
        {-0.01235f, "-12.35"},
        {0.000085f, "0.09"},   // the float product is 0.0850000009, the double one 0.0849999997
        {0.000125f, "0.12"},   // the float product is exactly 0.125: a tie, to even
        {0.0f, "0.00"},
        {-0.000001f, "0.00"},  // no minus sign on a figure that shows as zero
        {1.5f, "1500.00"},
    };
    for (const auto& c : cases) {
        ChainState s = chainOf(1);
        s.w[2] = c.w, s.w[3] = c.w;
        EXPECT_EQ(lineWith(s, "w(2)="), pad(23) + "纵座标条件 : w(2)= " + c.shown + " 毫米") << c.w;
        EXPECT_EQ(lineWith(s, "w(3)="), pad(23) + "横座标条件 : w(3)= " + c.shown + " 毫米") << c.w;
    }
}

TEST(Report, SidesObservedAsStoredAdjustedToTheMillimetre) {
    ChainState s = chainOf(5);  // 11 sides
    s.observedSide[10] = 1234.5678;
    s.side[10] = 1234.56849;
    s.observedSide[3] = 0.0004;
    s.side[3] = 0.0005;  // binary value just above half a millimetre
    EXPECT_EQ(lineWith(s, "s( 10 )="), pad(23) + "s( 10 )=1234.5678" + pad(6) + "S( 10 )=1234.5680");
    EXPECT_EQ(lineWith(s, "s( 3 )="), pad(23) + "s( 3 )=0.0004" + pad(10) + "S( 3 )=0.0010");
    EXPECT_EQ(lineWith(s, "s( 11 )="), pad(23) + "s( 11 )=111.0000" + pad(7) + "S( 11 )=111.0000");
    EXPECT_EQ(lineWith(s, "s( 12 )="), "");

    // Every side and every point has its line, in order.
    const auto lines = linesOf(reportText(s));
    std::vector<std::string> sides, points;
    for (const auto& line : lines) {
        if (line.find("s(") != std::string::npos) sides.push_back(line.substr(23, 7));
        if (line.find(";") != std::string::npos) points.push_back(line.substr(24));
    }
    ASSERT_EQ(sides.size(), 11u);
    EXPECT_EQ(sides.front(), "s( 1 )=");
    EXPECT_EQ(sides.back(), "s( 11 )");
    ASSERT_EQ(points.size(), 7u);
    EXPECT_EQ(points.front(), "P0;" + pad(7) + "1000.000" + pad(7) + "2000.000");
    EXPECT_EQ(points.back(), "P6;" + pad(7) + "1060.000" + pad(7) + "2060.000");
}

TEST(Report, AdjustedCoordinatesRoundHalfToEvenBeforeShowing) {
    ChainState s = chainOf(1);
    s.pointX[1] = 1000.0625;  // exact binary tie at 3 decimals: to even, 1000.062
    const std::string line = lineWith(s, "P1;");
    EXPECT_EQ(line.substr(34, 8), "1000.062");
}

TEST(Report, LongPointNamesPushTheCoordinatesToANewLine) {
    ChainState s = chainOf(1);
    s.pointName[1] = "第一号很长的控制点名称";  // 11 wide characters, 22 cells
    const auto lines = linesOf(reportText(s));
    std::size_t at = 0;
    while (at < lines.size() && lines[at].find("第一号") == std::string::npos) ++at;
    ASSERT_LT(at + 1, lines.size());
    // The name ends past column 35, so X goes to column 35 of the next line.
    EXPECT_EQ(lines[at], pad(24) + "第一号很长的控制点名称;");
    EXPECT_EQ(lines[at + 1], pad(34) + "1010.000" + pad(7) + "2010.000");

    // A name that ends exactly at column 35 needs no new line.
    s.pointName[1] = "ABCDEFGHI";  // 25 + 9 + 1 = column 35
    EXPECT_EQ(lineWith(s, "ABCDEFGHI;"), pad(24) + "ABCDEFGHI;1010.000" + pad(7) + "2010.000");
}

TEST(Report, RecordWithoutAChainGivesNoReport) {
    EXPECT_TRUE(buildReport(ChainState{}).empty());
    ChainState s = chainOf(2);
    s.N = 3;  // arrays sized for two triangles
    EXPECT_TRUE(buildReport(s).empty());
    EXPECT_EQ(renderText({}), "");
}

TEST(RenderText, TabColumnsCountWideCharactersTwice) {
    const Report report = {
        {10, {{3, "点名"}, {9, "X"}}},                 // 点名 covers columns 3 to 6
        {10, {{1, "ａｂ"}, {0, "c"}, {6, "d"}}},       // fullwidth letters: 4 cells
        {10, {{4, "abc"}, {7, "d"}}},                  // exactly at the column: no blank
        {10, {{5, "abcdef"}, {6, "x"}, {2, "y"}}},     // past the column twice: two new lines
        {10, {{8, "  "}, {0, "end  "}}},               // trailing blanks stripped
        {10, {{10, "   "}}},                           // a blank printed line is empty
        {10, {}},
        {12, {{0, "no tab"}, {0, " here"}}},
    };
    const std::string expected =
        "  点名  X\n"
        "ａｂcd\n"
        "   abcd\n"
        "    abcdef\n"
        "     x\n"
        " y\n"
        "         end\n"
        "\n"
        "\n"
        "no tab here\n";
    EXPECT_EQ(renderText(report), expected);
}

TEST(RenderText, DisplayCells) {
    struct Case {
        const char* text;
        int cells;
    } cases[] = {
        {"", 0},
        {"abc 1.5", 7},
        {"点名", 4},
        {"（度）", 6},            // fullwidth parentheses
        {"ｱｲ", 2},                // halfwidth katakana
        {"é", 1},                 // precomposed Latin
        {"Ж", 1},
        {"\xF0\x9F\x98\x80", 2},  // U+1F600 emoji
        {"\xF0\x9F\xAB\xA8", 2},  // U+1FAE8, wide since Unicode 15
        {"\xF0\xB1\x8D\x90", 2},  // U+31350, CJK extension H
        {"\xE3\x80\x80", 2},      // ideographic space
        {"\xE2\x80\x8B", 1},      // zero-width space counts as a narrow character
        {"\xFF" "a", 2},          // an ill-formed byte is one cell
        {"\xE4\xB8", 2},          // a truncated sequence: each byte one cell
    };
    for (const auto& c : cases) EXPECT_EQ(displayCells(c.text), c.cells) << c.text;
}

}  // namespace
}  // namespace trelvan
