// Names: kept where they fit, dropped where they would collide, the chain's first
// and last always kept, never two on top of each other; zooming in brings them
// back; and fast enough for the longest chain.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
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

// What every laid-out plot must satisfy, whatever the chain, page and view.
void expectSoundNames(const ChainFigure& f, const Plot& plot, const std::string& where) {
    std::set<int> named, shown;
    for (const Marker& m : plot.markers) shown.insert(m.point);
    for (std::size_t i = 0; i < plot.names.size(); ++i) {
        const Text& n = plot.names[i];
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
