// Name placement and thinning. Each name is tried in eight places round its point,
// in the order a draughtsman would try them; a name that fits nowhere is left out.
// Two grids keep the search local: one of the names placed so far (exact boxes),
// one of what is drawn already (a coarse map of ink, only to prefer clear places).

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <optional>
#include <utility>

#include "plot/plot.h"

namespace trelvan::plot {

namespace {

// Square cells over an area; a box touches the cells its rectangle meets, a box
// partly outside the area the cells along its edge.
class Cells {
public:
    Cells(const PageBox& area, double cell)
        : area_(area),
          cell_(cell),
          cols_(std::max(1, static_cast<int>(std::ceil(area.width / cell)))),
          rows_(std::max(1, static_cast<int>(std::ceil(area.height / cell)))) {}

    std::size_t count() const { return columns() * static_cast<std::size_t>(rows_); }
    std::size_t columns() const { return static_cast<std::size_t>(cols_); }
    double size() const { return cell_; }
    // The column and row of the cell holding a point, the nearest for one outside.
    std::pair<std::size_t, std::size_t> at(double x, double y) const {
        return {static_cast<std::size_t>(column(x)), static_cast<std::size_t>(row(y))};
    }

    template <class F>
    void forEach(double left, double top, double right, double bottom, F&& f) const {
        for (int r = row(top); r <= row(bottom); ++r)
            for (int c = column(left); c <= column(right); ++c)
                f(static_cast<std::size_t>(r) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(c));
    }
    template <class F>
    void forEach(const PageBox& b, F&& f) const {
        forEach(b.left, b.top, b.right(), b.bottom(), f);
    }

private:
    int column(double x) const {
        return std::clamp(static_cast<int>(std::floor((x - area_.left) / cell_)), 0, cols_ - 1);
    }
    int row(double y) const {
        return std::clamp(static_cast<int>(std::floor((y - area_.top) / cell_)), 0, rows_ - 1);
    }

    PageBox area_;
    double cell_;
    int cols_, rows_;
};

// Boxes bucketed by the cells they touch.
class BoxGrid {
public:
    BoxGrid(const PageBox& area, double cell) : cells_(area, cell), buckets_(cells_.count()) {}

    bool overlapsAny(const PageBox& box) const {
        bool hit = false;
        cells_.forEach(box, [&](std::size_t cell) {
            for (int id : buckets_[cell]) hit = hit || boxes_[static_cast<std::size_t>(id)].overlaps(box);
        });
        return hit;
    }

    void insert(const PageBox& box) {
        const int id = static_cast<int>(boxes_.size());
        boxes_.push_back(box);
        cells_.forEach(box, [&](std::size_t cell) { buckets_[cell].push_back(id); });
    }

private:
    Cells cells_;
    std::vector<std::vector<int>> buckets_;
    std::vector<PageBox> boxes_;
};

// Which small cells of the area hold ink already: point markers, sides, arrows
// and ellipse outlines. Names prefer places over little of it.
class InkMap {
public:
    InkMap(const PageBox& area, const Plot& drawn)
        : area_(area),
          // Cells of 0.4 mm, or larger where that would make more than a million.
          cells_(area, std::max(0.4, std::sqrt(area.width * area.height / 1e6))),
          used_(cells_.count(), 0) {
        for (const Marker& m : drawn.markers) {
            const double r = m.size / 2;
            cells_.forEach(m.at.x - r, m.at.y - r, m.at.x + r, m.at.y + r, [&](std::size_t c) { used_[c] = 1; });
        }
        for (const Segment& s : drawn.sides) line(s.a, s.b);
        for (const Segment& s : drawn.orientationLines) line(s.a, s.b);
        for (const Polyline& e : drawn.ellipses) {
            for (std::size_t i = 0; i + 1 < e.points.size(); ++i) line(e.points[i], e.points[i + 1]);
            if (e.closed && e.points.size() > 2) line(e.points.back(), e.points.front());
        }
        finish();
    }

    // Sums over rectangles of cells, so that a box's ink costs four look-ups.
    void finish() {
        const std::size_t cols = cells_.columns(), rows = cells_.count() / cols;
        sums_.assign((cols + 1) * (rows + 1), 0);
        for (std::size_t r = 0; r < rows; ++r) {
            int run = 0;
            for (std::size_t c = 0; c < cols; ++c) {
                run += used_[r * cols + c];
                sums_[(r + 1) * (cols + 1) + c + 1] = sums_[r * (cols + 1) + c + 1] + run;
            }
        }
    }

    // The share of the cells under the box that hold ink. The box is first shrunk
    // by one cell on every side, so that the marker of the name's own point, which
    // the name keeps clear of, is not counted.
    double cost(const PageBox& box) const {
        const double c = cells_.size();
        if (box.width <= 2 * c || box.height <= 2 * c) return 0;
        const auto [c0, r0] = cells_.at(box.left + c, box.top + c);
        const auto [c1, r1] = cells_.at(box.right() - c, box.bottom() - c);
        const std::size_t w = cells_.columns() + 1;
        const int inked = sums_[(r1 + 1) * w + c1 + 1] - sums_[r0 * w + c1 + 1] - sums_[(r1 + 1) * w + c0] +
                          sums_[r0 * w + c0];
        return static_cast<double>(inked) / static_cast<double>((r1 - r0 + 1) * (c1 - c0 + 1));
    }

private:
    // Marks the cells along the part of a segment inside the area, in steps of half
    // a cell; a segment of a view zoomed far in is cut to the area first.
    void line(PagePoint a, PagePoint b) {
        double t0 = 0, t1 = 1;
        const double dx = b.x - a.x, dy = b.y - a.y;
        const auto clip = [&](double p, double q) {  // Liang–Barsky: keep p·t ≤ q
            if (p == 0) return q >= 0;
            const double t = q / p;
            if (p < 0) t0 = std::max(t0, t);
            else t1 = std::min(t1, t);
            return t0 <= t1;
        };
        if (!clip(-dx, a.x - area_.left) || !clip(dx, area_.right() - a.x) || !clip(-dy, a.y - area_.top) ||
            !clip(dy, area_.bottom() - a.y))
            return;
        const double length = std::hypot(dx, dy) * (t1 - t0);
        const int steps = static_cast<int>(std::ceil(2 * length / cells_.size()));
        for (int i = 0; i <= steps; ++i) {
            const double t = t0 + (t1 - t0) * (steps == 0 ? 0 : static_cast<double>(i) / steps);
            const auto [col, row] = cells_.at(a.x + t * dx, a.y + t * dy);
            used_[row * cells_.columns() + col] = 1;
        }
    }

    PageBox area_;
    Cells cells_;
    std::vector<unsigned char> used_;
    std::vector<int> sums_;
};

// A name over more of the drawing than this share of its area is not drawn: a
// line crossing it is still read, a knot of sides and markers is not.
constexpr double mostInkUnderName = 0.15;

// The eight places round a point, best first: upper right, lower right, upper
// left, lower left, right, left, above, below.
std::array<PageBox, 8> placesFor(const NameRequest& r, double em) {
    const double w = r.width, h = em;
    const double g = r.clearance + 0.15 * em;  // beside the marker
    const double d = 0.75 * g;                  // diagonally, off a round marker
    const double x = r.at.x, y = r.at.y;
    return {{{x + d, y - d - h, w, h},
             {x + d, y + d, w, h},
             {x - d - w, y - d - h, w, h},
             {x - d - w, y + d, w, h},
             {x + g, y - h / 2, w, h},
             {x - g - w, y - h / 2, w, h},
             {x - w / 2, y - g - h, w, h},
             {x - w / 2, y + g, w, h}}};
}

}  // namespace

std::vector<Text> placeNames(const std::vector<NameRequest>& requests, double em,
                             const PageBox& area, const std::vector<PageBox>& obstacles,
                             const Plot& drawn) {
    std::vector<Text> placed;
    if (!(em > 0) || !(area.width > 0) || !(area.height > 0)) return placed;
    // Cells of about two ems, but never more than about a million of them.
    BoxGrid names(area, std::max({2 * em, area.width / 1024, area.height / 1024}));
    for (const PageBox& o : obstacles) names.insert(o);
    const InkMap ink(area, drawn);

    const auto free = [&](const PageBox& b) { return area.contains(b) && !names.overlapsAny(b); };

    for (const NameRequest& r : requests) {
        if (r.text.empty() || !(r.width > 0) || !std::isfinite(r.at.x) || !std::isfinite(r.at.y))
            continue;
        // The free place over the least ink, the earlier on a tie; none when even
        // that one would stand on so much of the drawing that it could not be read.
        std::optional<PageBox> chosen;
        double least = 0;
        for (const PageBox& b : placesFor(r, em)) {
            if (!free(b)) continue;
            const double cost = ink.cost(b);
            if (!chosen || cost < least) chosen = b, least = cost;
            if (least == 0) break;
        }
        if (chosen && least > mostInkUnderName && !r.mustKeep) chosen.reset();
        if (!chosen && r.mustKeep) {
            // The first and the last name stay: the nearest free place straight below
            // the point, else straight above it.
            const auto places = placesFor(r, em);
            for (int dir : {1, -1}) {
                PageBox b = dir > 0 ? places[7] : places[6];
                while (!chosen && area.contains(b)) {
                    if (free(b)) chosen = b;
                    b.top += dir * em * 0.5;
                }
                if (chosen) break;
            }
        }
        if (!chosen) continue;
        names.insert(*chosen);
        placed.push_back({*chosen, r.text, TextRole::Name, r.point});
    }
    return placed;
}

}  // namespace trelvan::plot
