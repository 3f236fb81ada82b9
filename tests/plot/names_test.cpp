// Names: kept where they fit, dropped where they would collide, the chain's first
// and last always kept, never two on top of each other; zooming in brings them
// back; and fast enough for the longest chain.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "plot/computed_chain.h"
#include "plot/plot.h"

namespace trelvan::plot {
namespace {

using testing::computeChain;

Transform zoomedAt(const Transform& fitted, const PageSetup& page, Ground centre, double factor) {
    const PageBox area = drawingAreaOf(page);
    Transform t = fitted;
    t.scale *= factor;
    t.west = centre.y - (area.left + area.width / 2) / t.scale;
    t.north = centre.x + (area.top + area.height / 2) / t.scale;
    return t;
}

// Whether a name's box covers a line, an arrowhead or a symbol of the plot; its
// own point's symbol counts only when `own` is set.
bool onTheDrawing(const Plot& plot, const Text& n, bool own) {
    for (const auto* lines : {&plot.sides, &plot.orientationLines})
        for (const Segment& s : *lines)
            if (segmentMeetsBox(s.a, s.b, n.box)) return true;
    for (const Polygon& head : plot.arrowHeads)
        for (const PagePoint& p : head.points)
            if (n.box.contains(p)) return true;
    for (const Marker& m : plot.markers)
        if ((own || m.point != n.point) && symbolBox(m).overlaps(n.box)) return true;
    return false;
}

// What every laid-out plot must satisfy, whatever the chain, page and view.
void expectSoundNames(const ChainFigure& f, const Plot& plot, const std::string& where) {
    std::set<int> named, shown;
    for (const Marker& m : plot.markers) shown.insert(m.point);
    const int last = static_cast<int>(f.points.size()) - 1;
    for (std::size_t i = 0; i < plot.names.size(); ++i) {
        const Text& n = plot.names[i];
        // Clear of the drawing; the first and the last only where there is room.
        EXPECT_FALSE(n.point != 0 && n.point != last && onTheDrawing(plot, n, false)) << where << " " << n.text;
        for (const Marker& m : plot.markers)
            EXPECT_FALSE(m.point == n.point && symbolBox(m).overlaps(n.box)) << where << " " << n.text;
        EXPECT_TRUE(plot.drawingArea.contains(n.box)) << where << " " << n.text;
        EXPECT_TRUE(shown.count(n.point)) << where << " " << n.text;
        EXPECT_TRUE(named.insert(n.point).second) << where << " named twice: " << n.text;
        EXPECT_EQ(n.text, f.points[static_cast<std::size_t>(n.point)].label);
        for (std::size_t j = i + 1; j < plot.names.size(); ++j)
            EXPECT_FALSE(n.box.overlaps(plot.names[j].box)) << where << ": " << n.text << " / " << plot.names[j].text;
        for (const Text& c : plot.captions)
            EXPECT_FALSE(n.box.overlaps(c.box)) << where << ": " << n.text << " / " << c.text;
    }
    // The first and the last point keep their names whenever they are in view.
    for (const int end : {0, static_cast<int>(f.points.size()) - 1}) {
        if (shown.count(end) && !f.points[static_cast<std::size_t>(end)].label.empty()) {
            EXPECT_TRUE(named.count(end)) << where << " lost the name of point " << end;
        }
    }
}

TEST(NameThinning, NoOverlapAndBothEndsNamedOverRandomChainsPagesAndViews) {
    std::mt19937_64 random(20240611);
    const auto sheet = [](double w, double h, double margin) {
        PageSetup p;
        p.width = w, p.height = h, p.margin = margin;
        return p;
    };
    const PageSetup pages[] = {sheet(297, 210, 10), sheet(210, 297, 10), sheet(150, 100, 5), sheet(420, 297, 12)};
    int dropped = 0, kept = 0;
    for (std::uint64_t seed = 1; seed <= 24; ++seed) {
        const int n = 1 + static_cast<int>(random() % 400);
        // Names of every width: short, CJK, and now and then a long one.
        std::vector<std::string> names;
        for (int i = 0; i <= n + 1; ++i)
            names.push_back(i % 17 == 5 ? "很长的点名" + std::to_string(i) + "号标石"
                                        : i % 3 == 0 ? "D" + std::to_string(i) : "桩" + std::to_string(i));
        const auto c = computeChain(n, seed, 0.25, names);
        ASSERT_EQ(c.outcome, ComputeOutcome::Completed) << seed;
        ChainFigure f = chainFigure(c.source());
        // Typed azimuths at both ends, so that their captions take room too.
        f.ends[0] = {OrientationKind::TypedAzimuth, 0, 200, {}, 0, "Ta"};
        f.ends[1] = {OrientationKind::TypedAzimuth, n + 1, 20, {}, 0, "Tb"};
        for (const PageSetup& page : pages) {
            const Transform fitted = fitTransform(f, page);
            for (const double zoom : {1.0, 2.5, 12.0}) {
                const Ground centre = f.points[random() % f.points.size()].at;
                const Plot plot = layoutPlot(f, page, zoom == 1 ? fitted : zoomedAt(fitted, page, centre, zoom));
                expectSoundNames(f, plot, "seed " + std::to_string(seed) + " page " + std::to_string(page.width) +
                                              " zoom " + std::to_string(zoom));
                kept += static_cast<int>(plot.names.size());
                dropped += static_cast<int>(plot.markers.size() - plot.names.size());
            }
        }
    }
    EXPECT_GT(dropped, 1000);  // thinning happened
    EXPECT_GT(kept, 1000);
}

TEST(NameThinning, ZoomingInBringsDroppedNamesBack) {
    const auto c = computeChain(400, 77, 0.2);
    const ChainFigure f = chainFigure(c.source());
    const PageSetup page;
    const Plot fitted = layoutPlot(f, page);
    std::set<int> named;
    for (const Text& n : fitted.names) named.insert(n.point);
    std::vector<int> missing;
    for (int i = 1; i <= 400; ++i)
        if (!named.count(i)) missing.push_back(i);
    ASSERT_GT(missing.size(), 50u);
    int back = 0, tried = 0;
    for (std::size_t k = 0; k < missing.size(); k += 7, ++tried) {
        const int p = missing[k];
        const Plot zoomed = layoutPlot(f, page, zoomedAt(fitted.transform, page, f.points[static_cast<std::size_t>(p)].at, 30));
        for (const Text& n : zoomed.names) back += n.point == p;
    }
    EXPECT_EQ(back, tried);
    // On a sheet large enough, every name stands.
    PageSetup wall;
    wall.width = wall.height = 20000;
    EXPECT_EQ(layoutPlot(f, wall).names.size(), 402u);
}

TEST(NameThinning, FirstAndLastKeptEvenWhereTheyMeet) {
    // A chain that closes on its start: A and B on the same spot, crowded about.
    ChainFigure f;
    for (int i = 0; i < 10; ++i) {
        const double a = i * 2 * 3.14159 / 9;
        const Ground at = i == 0 || i == 9 ? Ground{0, 0} : Ground{30 * std::cos(a), 30 * std::sin(a)};
        const std::string name = i == 0 ? "起点A" : i == 9 ? "终点B" : "Q" + std::to_string(i);
        f.points.push_back({at, i == 0 || i == 9 ? PointKind::Known : PointKind::Unknown, name, name, {}});
    }
    f.meanSide = 1000;  // the points are crowded at any fitted scale
    f.title = "T";
    for (const double zoom : {0.01, 0.1, 1.0}) {
        PageSetup page;
        Transform t = fitTransform(f, page);
        t = zoomedAt(t, page, {0, 0}, zoom);
        const Plot plot = layoutPlot(f, page, t);
        expectSoundNames(f, plot, "zoom " + std::to_string(zoom));
    }
}

TEST(NameThinning, GreedyInTheOrderGiven) {
    const PageBox area{0, 0, 100, 100};
    const Plot nothing;
    // Two points 1 mm apart whose names cannot both stand: the first asked wins,
    // unless the second must be kept, when both stand apart.
    const NameRequest first{{50, 50}, 0.5, 20, "第一", 1, false};
    const NameRequest second{{50, 51}, 0.5, 20, "第二", 2, false};
    auto placed = placeNames({first, second}, 3, area, {}, nothing);
    ASSERT_GE(placed.size(), 1u);
    EXPECT_EQ(placed[0].point, 1);
    NameRequest kept = second;
    kept.mustKeep = true;
    placed = placeNames({first, kept, second}, 3, area, {}, nothing);
    std::set<int> points;
    for (const Text& t : placed) points.insert(t.point);
    EXPECT_TRUE(points.count(1) && points.count(2));
    for (std::size_t i = 0; i < placed.size(); ++i)
        for (std::size_t j = i + 1; j < placed.size(); ++j) EXPECT_FALSE(placed[i].box.overlaps(placed[j].box));
    // An obstacle is never covered; a name with nowhere to go is dropped.
    placed = placeNames({first}, 3, area, {{20, 20, 60, 60}}, nothing);
    EXPECT_TRUE(placed.empty());
    // A name is set beside its point, not on it.
    placed = placeNames({first}, 3, area, {}, nothing);
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_FALSE(placed[0].box.contains(PagePoint{50, 50}));
    EXPECT_EQ(placed[0].box.height, 3);
    EXPECT_EQ(placed[0].box.width, 20);
}

// A name whose eight places round its point are all taken moves out from them,
// half an em at a time, to the nearest clear place; a name that must be kept and
// finds none within four ems takes the nearest place over no other name, over the
// least of the drawing. Worked by hand: em 2, the point at (50, 50) drawn 1 mm
// round, the name 4 mm wide; its places stand 1.3 mm beside the point (0.975 mm
// diagonally), so "above" is {48, 46.7} and "below" {48, 51.3}, each step 1 mm
// further out; names keep 0.5 mm from obstacles side by side.
TEST(NameThinning, ANameWithNoClearPlaceNearItsPointMovesOutOrIsDropped) {
    const PageBox area{0, 0, 100, 100};
    const auto across = [](double y) { return Segment{{0, y}, {100, y}, Stroke::RouteSide}; };
    const auto down = [](double x) { return Segment{{x, 0}, {x, 100}, Stroke::OtherSide}; };
    std::vector<Segment> lined;
    for (int i = 0; i < 8; ++i) lined.push_back(across(43.5 + 1.9 * i));
    struct Row {
        const char* what;
        bool mustKeep;
        std::vector<PageBox> obstacles;
        std::vector<Segment> sides;
        std::optional<PageBox> expected;
    };
    const Row rows[] = {
        // Above first leaves the square 45..55 at step 4 (bottom 44.7).
        {"boxed in by a caption", true, {{43, 45, 14, 10}}, {}, PageBox{48, 42.7, 4, 2}},
        {"boxed in, an ordinary name", false, {{43, 45, 14, 10}}, {}, PageBox{48, 42.7, 4, 2}},
        // Lines at x 47, 53 and y 47.5, 52.5: every place near the point crosses one;
        // "right" ({51.3, 49}) clears x 53 at step 2, before "left" and "above" do.
        {"in a grid of sides", false, {}, {across(47.5), across(52.5), down(47), down(53)}, PageBox{53.3, 49, 4, 2}},
        // Sides 1.9 mm apart from y 43.5 to 56.8: the upper right place clears them
        // at step 6 ({56.975, 41.025}); an ordinary name may go two ems only.
        {"kept, clear three ems out", true, {}, lined, PageBox{56.975, 41.025, 4, 2}},
        {"dropped, clear three ems out", false, {}, lined, std::nullopt},
        // Nothing clear within four ems: at step 9 above and below leave the square
        // 40..60; a side at 38.5 runs through the one above.
        {"kept past its reach", true, {{40, 40, 20, 20}}, {across(38.5)}, PageBox{48, 60.3, 4, 2}},
        {"dropped past its reach", false, {{40, 40, 20, 20}}, {across(38.5)}, std::nullopt},
    };
    for (const Row& row : rows) {
        Plot drawn;
        drawn.sides = row.sides;
        drawn.markers.push_back({{50, 50}, PointKind::Unknown, 2, 7});
        const NameRequest r{{50, 50}, 1, 4, "K1", 7, row.mustKeep};
        const std::vector<Text> placed = placeNames({r}, 2, area, row.obstacles, drawn);
        ASSERT_EQ(placed.size(), row.expected ? 1u : 0u) << row.what;
        if (!row.expected) continue;
        const PageBox& b = placed[0].box;
        EXPECT_NEAR(b.left, row.expected->left, 1e-9) << row.what;
        EXPECT_NEAR(b.top, row.expected->top, 1e-9) << row.what;
        EXPECT_EQ(b.width, 4) << row.what;
        EXPECT_EQ(b.height, 2) << row.what;
    }
}

// The 16384 names of the longest chain are placed in a few tens of milliseconds,
// also on a sheet large enough to hold most of them, where comparing each name with
// every name placed before it would take seconds.
TEST(NameThinning, PlacesTheLongestChainsNamesQuickly) {
    const auto timeFor = [](int count) {
        const double side = 6 * std::sqrt(static_cast<double>(count));  // the same crowding at every count
        std::mt19937_64 random(5);
        std::uniform_real_distribution<double> at(10, 10 + side);
        std::vector<NameRequest> requests;
        for (int i = 0; i < count; ++i)
            requests.push_back({{at(random), at(random)}, 0.3, 6, "P" + std::to_string(i), i, i < 2});
        Plot drawn;
        for (const NameRequest& r : requests) drawn.markers.push_back({r.at, PointKind::Unknown, 0.6, r.point});
        double best = 1e9;
        std::size_t placed = 0;
        for (int run = 0; run < 3; ++run) {
            const auto t0 = std::chrono::steady_clock::now();
            placed = placeNames(requests, 2.5, {5, 5, side + 10, side + 10}, {}, drawn).size();
            best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        }
        EXPECT_GT(placed, static_cast<std::size_t>(count) / 4);
        return best;
    };
    EXPECT_LT(timeFor(16384), 0.5);
}

}  // namespace
}  // namespace trelvan::plot
