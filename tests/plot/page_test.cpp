// The figure on the page: the 1-2-5 numbers, ellipse outlines, the fitted scale and
// extents, orientation arrows, and the scale bars' lengths and captions.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>
#include <string>
#include <vector>

#include "plot/computed_chain.h"
#include "plot/plot.h"
#include "state/number_format.h"

namespace trelvan::plot {
namespace {

TEST(NiceNumbers, LargestOfTheSeriesNotAboveTheValue) {
    struct Case { double x; double value; const char* text; };
    const Case cases[] = {
        {1, 1, "1"},         {1.999, 1, "1"},     {2, 2, "2"},           {4.99, 2, "2"},
        {5, 5, "5"},         {9.99, 5, "5"},      {10, 10, "10"},        {0.3, 0.2, "0.2"},
        {0.05, 0.05, "0.05"}, {0.0049, 0.002, "0.002"}, {1234, 1000, "1000"}, {7.5e6, 5e6, "5000000"},
        {0.1, 0.1, "0.1"},   {0.7, 0.5, "0.5"},   {3e-7, 2e-7, "0.0000002"}, {2.5e15, 2e15, "2000000000000000"},
    };
    for (const Case& c : cases) {
        const NiceNumber n = niceBelow(c.x);
        EXPECT_EQ(n.value(), c.value) << c.x;
        EXPECT_EQ(n.text(), c.text) << c.x;
        EXPECT_LE(n.value(), c.x);
    }
}

TEST(EllipseOutline, SemiMajorAxisAlongTheAzimuthNorthUp) {
    const PagePoint c{100, 50};
    const double a = 4, b = 1.5;
    struct Case {
        double phi;
        PagePoint major;  // the first vertex: the end of E
        PagePoint minor;  // a quarter round: the end of F, clockwise from E
    };
    const double h = std::sqrt(3.0) / 2;
    const Case cases[] = {
        {0, {100, 46}, {101.5, 50}},            // E north (up), F east
        {90, {104, 50}, {100, 51.5}},           // E east, F south
        {30, {102, 50 - 4 * h}, {100 + 1.5 * h, 50 + 0.75}},
        {135, {100 + 4 / std::sqrt(2.0), 50 + 4 / std::sqrt(2.0)}, {100 - 1.5 / std::sqrt(2.0), 50 + 1.5 / std::sqrt(2.0)}},
        {179.5, {100 + 4 * std::sin(179.5 * std::numbers::pi / 180), 50 - 4 * std::cos(179.5 * std::numbers::pi / 180)},
         {100 + 1.5 * std::cos(179.5 * std::numbers::pi / 180), 50 + 1.5 * std::sin(179.5 * std::numbers::pi / 180)}},
    };
    for (const Case& k : cases) {
        const auto outline = ellipseOutline(c, a, b, k.phi, 72);
        ASSERT_EQ(outline.size(), 72u);
        EXPECT_NEAR(outline[0].x, k.major.x, 1e-8) << k.phi;
        EXPECT_NEAR(outline[0].y, k.major.y, 1e-8) << k.phi;
        EXPECT_NEAR(outline[18].x, k.minor.x, 1e-8) << k.phi;
        EXPECT_NEAR(outline[18].y, k.minor.y, 1e-8) << k.phi;
        double far = 0, near = 1e9, area = 0;
        for (std::size_t i = 0; i < outline.size(); ++i) {
            const PagePoint p = outline[i], q = outline[(i + 1) % outline.size()];
            const double d = std::hypot(p.x - c.x, p.y - c.y);
            far = std::max(far, d), near = std::min(near, d);
            area += (p.x - c.x) * (q.y - c.y) - (q.x - c.x) * (p.y - c.y);
        }
        EXPECT_NEAR(far, a, 1e-9);
        EXPECT_NEAR(near, b, 1e-9);
        EXPECT_NEAR(std::fabs(area) / 2, std::numbers::pi * a * b, 0.01 * std::numbers::pi * a * b);
    }
    EXPECT_TRUE(ellipseOutline(c, a, b, 0, 2).empty());
}

// A figure of three points by hand: A, one point 1000 m north and 500 m east of it,
// B 2000 m east of A.
ChainFigure threePoints() {
    ChainFigure f;
    f.points = {{{0, 0}, PointKind::Known, "A", "A", {}},
                {{1000, 500}, PointKind::Unknown, "P", "P", {}},
                {{0, 2000}, PointKind::Known, "B", "B", {}}};
    f.sides = {{1, 0, 1, SideKind::Route}, {2, 0, 2, SideKind::Other}, {3, 1, 2, SideKind::Route}};
    f.meanSide = 1500;
    f.title = "T";
    return f;
}

PageBox pageBoundsOf(const Plot& plot) {
    double l = 1e9, t = 1e9, r = -1e9, b = -1e9;
    for (const Marker& m : plot.markers) {
        l = std::min(l, m.at.x), r = std::max(r, m.at.x);
        t = std::min(t, m.at.y), b = std::max(b, m.at.y);
    }
    return {l, t, r - l, b - t};
}

TEST(FittedPlot, NorthUpCentredAndAsLargeAsTheDrawingAreaAllows) {
    const ChainFigure f = threePoints();
    PageSetup tall, wide, narrow;
    tall.width = 210, tall.height = 297;
    wide.width = 600, wide.height = 150;
    narrow.width = 100, narrow.height = 400;
    for (const PageSetup& page : {paperFor(f), tall, wide, narrow}) {
        const Plot plot = layoutPlot(f, page);
        ASSERT_FALSE(plot.empty());
        const PageBox area = plot.drawingArea;
        EXPECT_TRUE(PageBox({0, 0, page.width, page.height}).contains(area));
        const Transform& t = plot.transform;
        const PagePoint a = t.toPage(f.points[0].at), p = t.toPage(f.points[1].at), b = t.toPage(f.points[2].at);
        // North up, east right, to scale.
        EXPECT_NEAR(p.y - a.y, -1000 * t.scale, 1e-9);
        EXPECT_NEAR(p.x - a.x, 500 * t.scale, 1e-9);
        EXPECT_NEAR(b.y, a.y, 1e-9);
        EXPECT_NEAR(t.denominator(), 1000 / t.scale, 1e-9);
        const Ground back = t.toGround(p);
        EXPECT_NEAR(back.x, 1000, 1e-9);
        EXPECT_NEAR(back.y, 500, 1e-9);
        // Centred, inside with room for names, and filling the area one way.
        const PageBox chain = pageBoundsOf(plot);
        EXPECT_NEAR(chain.left - area.left, area.right() - chain.right(), 1e-9);
        EXPECT_NEAR(chain.top - area.top, area.bottom() - chain.bottom(), 1e-9);
        const double gapX = chain.left - area.left, gapY = chain.top - area.top;
        EXPECT_GE(gapX, 4);
        EXPECT_GE(gapY, 4);
        EXPECT_LE(std::min(gapX, gapY), 15) << page.width << "x" << page.height;
        EXPECT_EQ(plot.markers.size(), 3u);
        EXPECT_EQ(plot.sides.size(), 3u);
    }
    EXPECT_EQ(paperFor(f).width, 297);  // wider than tall: landscape
    ChainFigure upright = f;
    upright.points[2].at = {4000, 100};
    EXPECT_EQ(paperFor(upright).width, 210);
}

TEST(FittedPlot, ArrowsAndEllipsesStayInsideTheDrawing) {
    ChainFigure f = threePoints();
    f.ends[0] = {OrientationKind::TypedAzimuth, 0, 225, {}, 0, "Ta"};         // away to the south-west
    f.ends[1] = {OrientationKind::DirectionPoint, 2, 90, {0, 9000}, 7000, "Ptb"};  // far east
    f.points[1].precision = {1, 1, 300, 100, 0};  // 300 mm along north
    f.ellipseMagnification = 1000;                 // 300 m on the ground
    const Plot plot = layoutPlot(f, paperFor(f));
    const PageBox area = plot.drawingArea;
    ASSERT_EQ(plot.orientationLines.size(), 2u);
    ASSERT_EQ(plot.ellipses.size(), 1u);
    for (const Segment& s : plot.orientationLines) {
        EXPECT_TRUE(area.contains(s.a));
        EXPECT_TRUE(area.contains(s.b));
    }
    for (const PagePoint& q : plot.ellipses[0].points) EXPECT_TRUE(area.contains(q));

    // The ellipse: E from the point along its azimuth, at its magnified size.
    const PagePoint p = plot.transform.toPage(f.points[1].at);
    EXPECT_NEAR(plot.ellipses[0].points[0].x, p.x, 1e-9);
    EXPECT_NEAR(p.y - plot.ellipses[0].points[0].y, 300 * plot.transform.scale, 1e-9);

    // The typed azimuth: an arrow 1.2 mean sides long, its head at its tip.
    const Segment& ta = plot.orientationLines[0];
    EXPECT_EQ(ta.stroke, Stroke::Orientation);
    const double length = 1.2 * 1500 * plot.transform.scale;
    EXPECT_NEAR(ta.b.x - ta.a.x, -length / std::sqrt(2.0), 1e-6);
    EXPECT_NEAR(ta.b.y - ta.a.y, length / std::sqrt(2.0), 1e-6);
    EXPECT_EQ(plot.arrowHeads[0].points[0].x, ta.b.x);
    EXPECT_EQ(plot.arrowHeads[0].fill, Fill::Black);
    // The far direction point: dashed towards it, not reaching it.
    const Segment& tb = plot.orientationLines[1];
    EXPECT_EQ(tb.stroke, Stroke::DirectionLine);
    EXPECT_NEAR(tb.b.y, tb.a.y, 1e-12);
    EXPECT_NEAR(tb.b.x - tb.a.x, length, 1e-6);
    bool captioned = false;
    for (const Text& c : plot.captions) captioned = captioned || c.text == "Ptb";
    EXPECT_TRUE(captioned);
}

TEST(FittedPlot, NearDirectionPointIsReachedAndMarked) {
    ChainFigure f = threePoints();
    f.ends[0] = {OrientationKind::DirectionPoint, 0, 180, {-600, 0}, 600, "Pta"};
    const Plot plot = layoutPlot(f, paperFor(f));
    ASSERT_EQ(plot.orientationLines.size(), 1u);
    const PagePoint target = plot.transform.toPage({-600, 0});
    EXPECT_NEAR(plot.orientationLines[0].b.x, target.x, 1e-9);
    EXPECT_NEAR(plot.orientationLines[0].b.y, target.y, 1e-9);
    ASSERT_EQ(plot.arrowHeads.size(), 1u);
    EXPECT_EQ(plot.arrowHeads[0].fill, Fill::White);  // a diamond on the point, not an arrow
}

// The bars' numbers are the largest 1-2-5 lengths that fit, in metres or
// kilometres for the ground and millimetres for the ellipses, and their drawn
// lengths are those numbers at the scale.
TEST(ScaleBars, OneTwoFiveLengthsTheirCaptionsAndTheirDrawnLengths) {
    ChainFigure f = threePoints();
    f.ellipseMagnification = 2000;
    f.points[1].precision = {1, 1, 5, 2, 10};
    const PageSetup page;  // A4 landscape: the longest bar is 40 mm
    struct Case {
        double groundPerLongestBar;  // metres in 40 mm
        double groundValue;
        const char* groundText;
    };
    const Case cases[] = {{1234, 1000, "1 千米"}, {400, 200, "200 米"}, {0.75, 0.5, "0.5 米"},
                          {25000, 20000, "20 千米"}, {5, 5, "5 米"}, {7e6, 5e6, "5000 千米"}};
    for (const Case& c : cases) {
        const Transform t{40 / c.groundPerLongestBar, 0, 0};
        const Plot plot = layoutPlot(f, page, t);
        std::vector<const Polygon*> halves;
        for (const Polygon& p : plot.frameFills)
            if (p.points.size() == 4) halves.push_back(&p);
        ASSERT_EQ(halves.size(), 2u);
        EXPECT_EQ(halves[0]->fill, Fill::Black);
        const double drawn = (halves[0]->points[1].x - halves[0]->points[0].x) +
                             (halves[1]->points[1].x - halves[1]->points[0].x);
        EXPECT_NEAR(drawn, c.groundValue * t.scale, 1e-9) << c.groundText;
        int ground = 0, ellipse = 0;
        for (const Text& text : plot.captions) {
            ground += text.text == c.groundText;
            if (text.text.size() > 7 && text.text.substr(text.text.size() - 7) == " 毫米") {
                const double mm = parseNumber(text.text.substr(0, text.text.size() - 7)).value();
                EXPECT_EQ(niceBelow(mm).value(), mm);
                const double length = mm / 1000 * 2000 * t.scale;
                EXPECT_LE(length, 40 * (1 + 1e-12));
                EXPECT_GT(length, 16);
                ++ellipse;
            }
            if (text.text == "误差椭圆 (放大 2000 倍)") ++ellipse;
        }
        EXPECT_EQ(ground, 1) << c.groundText;
        EXPECT_EQ(ellipse, 2) << c.groundText;
    }
}

TEST(PlotPage, TitleNorthArrowAndLegendStandOutsideTheDrawing) {
    ChainFigure f = threePoints();
    f.title = "--- Trelvan ( 有方位角和纵横座标条件 ) ---";
    const Plot plot = layoutPlot(f, PageSetup{});
    const PageBox area = plot.drawingArea;
    int titles = 0, north = 0;
    for (const Text& t : plot.captions) {
        EXPECT_FALSE(t.box.overlaps(area)) << t.text;
        EXPECT_TRUE(PageBox({0, 0, plot.width, plot.height}).contains(t.box)) << t.text;
        titles += t.role == TextRole::Title && t.text == f.title;
        north += t.text == "北";
    }
    EXPECT_EQ(titles, 1);
    EXPECT_EQ(north, 1);
    EXPECT_EQ(plot.legendMarkers.size(), 2u);
    EXPECT_EQ(plot.legendSides.size(), 2u);
}

// The legend and both scale bars stand on every page: beside each other on a wide
// page, the legend in a row of its own under the bars on an upright A4 (the full
// report's plot page has 15 mm margins, a plot file 10 mm), and on a narrow one.
TEST(PlotPage, LegendAndBothScaleBarsOnEveryPage) {
    ChainFigure f = threePoints();
    f.points[1].precision = {1, 1, 30, 10, 20};
    f.ellipseMagnification = 10000;
    const auto sheet = [](double w, double h, double margin) {
        PageSetup p;
        p.width = w, p.height = h, p.margin = margin;
        return p;
    };
    struct Row {
        PageSetup page;
        bool legendBelow;
    };
    const Row rows[] = {{sheet(297, 210, 10), false}, {sheet(297, 210, 15), false}, {sheet(210, 297, 15), true},
                        {sheet(210, 297, 10), true},  {sheet(297, 420, 10), false}, {sheet(130, 200, 8), true},
                        {sheet(260, 170, 4), false}};
    const std::set<std::string> legendNames = {"已知点", "未知点", "路线边", "其它边"};
    for (const Row& row : rows) {
        const std::string where = std::to_string(row.page.width) + "x" + std::to_string(row.page.height);
        EXPECT_EQ(legendBelowBars(row.page), row.legendBelow) << where;
        const Plot plot = layoutPlot(f, row.page);
        ASSERT_FALSE(plot.empty()) << where;
        EXPECT_EQ(plot.legendMarkers.size(), 2u) << where;
        EXPECT_EQ(plot.legendSides.size(), 2u) << where;
        // Every caption on the page, outside the drawing, none on another; in a row
        // of its own, the legend under the bars' figures.
        int legend = 0, bars = 0;
        double barsBottom = 0, legendTop = 1e9;
        for (std::size_t i = 0; i < plot.captions.size(); ++i) {
            const Text& c = plot.captions[i];
            EXPECT_FALSE(c.box.overlaps(plot.drawingArea)) << where << " " << c.text;
            EXPECT_TRUE(PageBox({0, 0, plot.width, plot.height}).contains(c.box)) << where << " " << c.text;
            for (std::size_t j = i + 1; j < plot.captions.size(); ++j)
                EXPECT_FALSE(c.box.overlaps(plot.captions[j].box)) << where << " " << c.text;
            if (legendNames.count(c.text)) ++legend, legendTop = std::min(legendTop, c.box.top);
            else if (c.box.top > plot.drawingArea.bottom()) ++bars, barsBottom = std::max(barsBottom, c.box.bottom());
        }
        EXPECT_EQ(legend, 4) << where;
        EXPECT_EQ(bars, 6) << where;  // each bar's caption, 0 and length
        EXPECT_EQ(legendTop >= barsBottom, row.legendBelow) << where;
    }
}

// The ellipses follow the view: the largest in sight is a quarter of the mean side
// (its semi-major axis, to within the 1-2-5 step of √2.5 either way), or a quarter
// of the drawing's height where the sides are longer than the view; on a long
// chain fitted it still reaches well out of its point's symbol; and the scale bar
// states the factor in force.
TEST(EllipsesInView, AQuarterOfTheMeanSideAndNeverHiddenByTheSymbol) {
    for (const int n : {200, 2000}) {
        const testing::ComputedChain c = testing::computeChain(n, 7, 0.05);
        ASSERT_EQ(c.outcome, ComputeOutcome::Completed);
        const ChainFigure f = chainFigure(c.source());
        PageSetup upright;
        upright.width = 210, upright.height = 297;
        struct View {
            const char* what;
            PageSetup page;
            int at;         // the point in the middle of the view, −1 fitted
            double factor;  // times the fitted scale; 0 for 1:5
        };
        const View views[] = {{"A4 fitted", PageSetup{}, -1, 1},  {"upright fitted", upright, -1, 1},
                              {"middle ×20", PageSetup{}, n / 2, 20}, {"near A ×20", PageSetup{}, 2, 20},
                              {"middle at 1:5", PageSetup{}, n / 2, 0}};
        std::vector<double> factors;
        for (const View& v : views) {
            const std::string where = std::to_string(n) + " " + v.what;
            const Plot fitted = layoutPlot(f, v.page);
            Transform t = fitted.transform;
            if (v.at >= 0) {
                const PageBox area = drawingAreaOf(v.page);
                const Ground g = f.points[static_cast<std::size_t>(v.at)].at;
                t.scale = v.factor > 0 ? t.scale * v.factor : 200;
                t.west = g.y - (area.left + area.width / 2) / t.scale;
                t.north = g.x + (area.top + area.height / 2) / t.scale;
            }
            const Plot plot = layoutPlot(f, v.page, t);
            const double m = plot.ellipseMagnification;
            EXPECT_EQ(niceBelow(m).value(), m) << where;
            // The largest ellipse whose point is in sight, as drawn.
            double largest = 0, symbol = 0;
            for (const Marker& k : plot.markers) {
                if (k.kind != PointKind::Unknown) continue;
                const double e = f.points[static_cast<std::size_t>(k.point)].precision.E;
                largest = std::max(largest, e / 1000 * m * t.scale);
                symbol = k.size;
            }
            const double side = f.meanSide * t.scale, area = std::min(plot.drawingArea.width, plot.drawingArea.height);
            const double quarter = std::min(side, area) / 4;
            if (quarter > symbol) {
                EXPECT_GE(largest, quarter / std::sqrt(2.5) * (1 - 1e-12)) << where;
                EXPECT_LE(largest, quarter * std::sqrt(2.5) * (1 + 1e-12)) << where;
            } else {
                EXPECT_GE(largest, symbol / std::sqrt(2.5)) << where;  // out beyond the symbol's edge
            }
            EXPECT_GT(largest, symbol / 2 * 1.25) << where;
            bool stated = false;
            for (const Text& caption : plot.captions)
                stated = stated || caption.text == "误差椭圆 (放大 " + generalNumber(m) + " 倍)";
            EXPECT_TRUE(stated) << where;
            factors.push_back(m);
        }
        // Near A, where the ellipses are small, they are drawn larger.
        EXPECT_GT(factors[3], factors[2]) << n;
    }
}

// Zoomed far in, only what is near the centre is laid out; lines crossing the view
// are kept, points and names outside it are not.
TEST(PlotPage, AZoomedViewLaysOutOnlyWhatItShows) {
    const testing::ComputedChain c = testing::computeChain(300, 11, 0.1);
    const ChainFigure f = chainFigure(c.source());
    const PageSetup page;
    const Plot fitted = layoutPlot(f, page);
    EXPECT_EQ(fitted.markers.size(), 302u);
    Transform t = fitted.transform;
    const PageBox area = drawingAreaOf(page);
    const Ground centre = f.points[150].at;
    t.scale *= 40;
    t.west = centre.y - (area.left + area.width / 2) / t.scale;
    t.north = centre.x + (area.top + area.height / 2) / t.scale;
    const Plot zoomed = layoutPlot(f, page, t);
    EXPECT_LT(zoomed.markers.size(), 30u);
    bool centreShown = false;
    for (const Marker& m : zoomed.markers) {
        EXPECT_TRUE(area.contains(m.at));
        centreShown = centreShown || m.point == 150;
    }
    EXPECT_TRUE(centreShown);
    EXPECT_LT(zoomed.sides.size(), 80u);
    for (const Segment& s : zoomed.sides) {
        EXPECT_GE(std::max(s.a.x, s.b.x), area.left);
        EXPECT_LE(std::min(s.a.x, s.b.x), area.right());
    }
}

}  // namespace
}  // namespace trelvan::plot
