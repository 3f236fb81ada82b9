// Name placement and thinning. Each name is tried in eight places round its point,
// in the order a draughtsman would try them; a name that fits nowhere is left out.
// Three grids keep the search local: one of the names placed so far (exact boxes),
// one of the lines and symbols a name must keep clear of (exact), and one of what
// is drawn already (a coarse map of ink, only to prefer clear places).

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <optional>
#include <utility>

#include "plot/plot.h"

namespace trelvan::plot {

namespace {

// The part of the segment from a to b within the box, as the parameters t0 ≤ t1
// of a + t·(b − a) (Liang–Barsky); false when no part is.
bool clip(PagePoint a, PagePoint b, const PageBox& box, double& t0, double& t1) {
    t0 = 0, t1 = 1;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const auto edge = [&](double p, double q) {  // keep p·t ≤ q
        if (p == 0) return q >= 0;
        const double t = q / p;
        if (p < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        return t0 <= t1;
    };
    return edge(-dx, a.x - box.left) && edge(dx, box.right() - a.x) && edge(-dy, a.y - box.top) &&
           edge(dy, box.bottom() - a.y);
}

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
    // Whether `f` holds for any of the cells, asking no further once it does.
    template <class F>
    bool any(double left, double top, double right, double bottom, F&& f) const {
        for (int r = row(top); r <= row(bottom); ++r)
            for (int c = column(left); c <= column(right); ++c)
                if (f(static_cast<std::size_t>(r) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(c)))
                    return true;
        return false;
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

// What a name must not cover: the sides, the orientation lines and the arrowheads,
// and the point symbols, each its own point's only to other names.
class Drawing {
public:
    Drawing(const PageBox& area, double cell, const Plot& drawn)
        : cells_(area, cell), segments_(cells_.count()), boxes_(cells_.count()), centres_(cells_.count()) {
        for (const Segment& s : drawn.sides) line(s.a, s.b, area);
        for (const Segment& s : drawn.orientationLines) line(s.a, s.b, area);
        for (const Polygon& head : drawn.arrowHeads) {
            if (head.points.empty()) continue;
            PageBox b{head.points[0].x, head.points[0].y, 0, 0};
            for (const PagePoint& p : head.points) {
                const double r = std::max(b.right(), p.x), d = std::max(b.bottom(), p.y);
                b.left = std::min(b.left, p.x), b.top = std::min(b.top, p.y);
                b.width = r - b.left, b.height = d - b.top;
            }
            box(b, -1);
        }
        for (const Marker& m : drawn.markers) {
            box(symbolBox(m), m.point);
            const int id = static_cast<int>(points_.size());
            points_.push_back({m.point, m.at});
            cells_.forEach(m.at.x, m.at.y, m.at.x, m.at.y, [&](std::size_t cell) { centres_[cell].push_back(id); });
        }
    }

    // Whether a point other than `point` stands within `radius` of `at`.
    bool crowded(PagePoint at, double radius, int point) const {
        return cells_.any(at.x - radius, at.y - radius, at.x + radius, at.y + radius, [&](std::size_t cell) {
            for (int id : centres_[cell]) {
                const auto& [other, centre] = points_[static_cast<std::size_t>(id)];
                const double dx = centre.x - at.x, dy = centre.y - at.y;
                if (other != point && dx * dx + dy * dy < radius * radius) return true;
            }
            return false;
        });
    }

    // Whether a point other than `point`, which stands at `at`, is nearer to `b`:
    // a name there would be read as that point's.
    bool nearerToAnother(const PageBox& b, int point, PagePoint at) const {
        const double own = distance(at, b);
        return cells_.any(b.left - own, b.top - own, b.right() + own, b.bottom() + own, [&](std::size_t cell) {
            for (int id : centres_[cell]) {
                const auto& [other, centre] = points_[static_cast<std::size_t>(id)];
                if (other != point && distance(centre, b) < own) return true;
            }
            return false;
        });
    }

    // Whether `b` covers a line, an arrowhead or the symbol of a point other than
    // `point`.
    bool covers(const PageBox& b, int point) const {
        return cells_.any(b.left, b.top, b.right(), b.bottom(), [&](std::size_t cell) {
            for (int id : boxes_[cell]) {
                const auto& [owner, box] = symbols_[static_cast<std::size_t>(id)];
                if (owner != point && box.overlaps(b)) return true;
            }
            for (int id : segments_[cell]) {
                const auto& [p, q] = lines_[static_cast<std::size_t>(id)];
                if (segmentMeetsBox(p, q, b)) return true;
            }
            return false;
        });
    }

private:
    static double distance(PagePoint p, const PageBox& b) {
        const double dx = std::max({b.left - p.x, 0.0, p.x - b.right()});
        const double dy = std::max({b.top - p.y, 0.0, p.y - b.bottom()});
        return std::hypot(dx, dy);
    }

    // The part of a segment inside the area, entered in every cell it passes: row by
    // row, the columns between where it enters and leaves the row.
    void line(PagePoint a, PagePoint b, const PageBox& area) {
        double t0 = 0, t1 = 1;
        if (!clip(a, b, area, t0, t1)) return;
        const double dx = b.x - a.x, dy = b.y - a.y;
        const PagePoint p{a.x + t0 * dx, a.y + t0 * dy}, q{a.x + t1 * dx, a.y + t1 * dy};
        const int id = static_cast<int>(lines_.size());
        lines_.push_back({p, q});
        const double top = std::min(p.y, q.y), bottom = std::max(p.y, q.y), c = cells_.size();
        // The top of the next row of cells below y.
        const auto nextRow = [&](double y) { return area.top + (std::floor((y - area.top) / c) + 1) * c; };
        const auto xAt = [&](double y) { return p.x + (y - p.y) / (q.y - p.y) * (q.x - p.x); };
        for (double y0 = top;; y0 = nextRow(y0)) {
            const double y1 = std::min(bottom, nextRow(y0));
            const bool level = q.y == p.y;
            const double x0 = level ? p.x : xAt(y0), x1 = level ? q.x : xAt(y1);
            cells_.forEach(std::min(x0, x1), y0, std::max(x0, x1), y1,
                           [&](std::size_t cell) { segments_[cell].push_back(id); });
            if (y1 >= bottom) break;
        }
    }

    void box(const PageBox& b, int owner) {
        const int id = static_cast<int>(symbols_.size());
        symbols_.push_back({owner, b});
        cells_.forEach(b, [&](std::size_t cell) { boxes_[cell].push_back(id); });
    }

    Cells cells_;
    std::vector<std::pair<PagePoint, PagePoint>> lines_;
    std::vector<std::pair<int, PageBox>> symbols_;  // the point, −1 for an arrowhead
    std::vector<std::pair<int, PagePoint>> points_;
    std::vector<std::vector<int>> segments_, boxes_, centres_;
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
            const PageBox b = symbolBox(m);
            cells_.forEach(b, [&](std::size_t c) { used_[c] |= hard; });
        }
        for (const Segment& s : drawn.sides) line(s.a, s.b, hard);
        for (const Segment& s : drawn.orientationLines) line(s.a, s.b, hard);
        for (const Polygon& head : drawn.arrowHeads)
            for (std::size_t i = 0; i < head.points.size(); ++i)
                line(head.points[i], head.points[(i + 1) % head.points.size()], hard);
        for (const Polyline& e : drawn.ellipses) {
            for (std::size_t i = 0; i + 1 < e.points.size(); ++i) line(e.points[i], e.points[i + 1], soft);
            if (e.closed && e.points.size() > 2) line(e.points.back(), e.points.front(), soft);
        }
        finish(sums_, [](unsigned char u) { return u != 0; });
        finish(hardSums_, [](unsigned char u) { return (u & hard) != 0; });
    }

    // Sums over rectangles of cells, so that a box's ink costs four look-ups.
    template <class Counted>
    void finish(std::vector<int>& sums, Counted counted) {
        const std::size_t cols = cells_.columns(), rows = cells_.count() / cols;
        sums.assign((cols + 1) * (rows + 1), 0);
        for (std::size_t r = 0; r < rows; ++r) {
            int run = 0;
            for (std::size_t c = 0; c < cols; ++c) {
                run += counted(used_[r * cols + c]) ? 1 : 0;
                sums[(r + 1) * (cols + 1) + c + 1] = sums[r * (cols + 1) + c + 1] + run;
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
        return static_cast<double>(inked(sums_, c0, r0, c1, r1)) / static_cast<double>((r1 - r0 + 1) * (c1 - c0 + 1));
    }

    // Whether a line, arrowhead or symbol certainly runs through the box: through
    // one of the cells wholly inside it. (A quick answer before the exact one.)
    bool surelyCovered(const PageBox& box) const {
        const double c = cells_.size();
        if (box.width <= 2 * c || box.height <= 2 * c) return false;
        const auto [c0, r0] = cells_.at(box.left + c, box.top + c);
        const auto [c1, r1] = cells_.at(box.right() - c, box.bottom() - c);
        return inked(hardSums_, c0, r0, c1, r1) > 0;
    }

private:
    // What a cell holds: an ellipse outline, and what a name must keep clear of.
    static constexpr unsigned char soft = 1, hard = 2;

    int inked(const std::vector<int>& sums, std::size_t c0, std::size_t r0, std::size_t c1, std::size_t r1) const {
        const std::size_t w = cells_.columns() + 1;
        return sums[(r1 + 1) * w + c1 + 1] - sums[r0 * w + c1 + 1] - sums[(r1 + 1) * w + c0] + sums[r0 * w + c0];
    }

    // Marks the cells along the part of a segment inside the area, in steps of half
    // a cell; a segment of a view zoomed far in is cut to the area first.
    void line(PagePoint a, PagePoint b, unsigned char what) {
        double t0 = 0, t1 = 1;
        if (!clip(a, b, area_, t0, t1)) return;
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double length = std::hypot(dx, dy) * (t1 - t0);
        const int steps = static_cast<int>(std::ceil(2 * length / cells_.size()));
        for (int i = 0; i <= steps; ++i) {
            const double t = t0 + (t1 - t0) * (steps == 0 ? 0 : static_cast<double>(i) / steps);
            const auto [col, row] = cells_.at(a.x + t * dx, a.y + t * dy);
            used_[row * cells_.columns() + col] |= what;
        }
    }

    PageBox area_;
    Cells cells_;
    std::vector<unsigned char> used_;
    std::vector<int> sums_, hardSums_;
};

// A name over more of the drawing than this share of its area is not drawn: a
// line crossing it is still read, a knot of sides and markers is not.
constexpr double mostInkUnderName = 0.15;

// Names side by side keep this many ems apart.
constexpr double nameGap = 0.25;

// How far a name may move out from its eight places in search of a clear one, in
// steps of half an em: between sides that leave its point close together, a name
// finds room a little further out. Only a point with no other within
// `lonePointEms` moves its name out, so that a name is never read as a neighbour's;
// a name that must be kept always may, and further.
constexpr int movedNameSteps = 4, keptNameSteps = 8;
constexpr double lonePointEms = 4;

// The eight places round a point, best first: upper right, lower right, upper
// left, lower left, right, left, above, below; each moved `step` half-ems further
// from the point, away from it.
std::array<PageBox, 8> placesFor(const NameRequest& r, double em, int step = 0) {
    const double w = r.width, h = em;
    const double g = r.clearance + 0.15 * em;  // beside the marker
    const double d = 0.75 * g;                  // diagonally, off a round marker
    const double x = r.at.x, y = r.at.y, out = step * em / 2;
    return {{{x + d + out, y - d - h - out, w, h},
             {x + d + out, y + d + out, w, h},
             {x - d - w - out, y - d - h - out, w, h},
             {x - d - w - out, y + d + out, w, h},
             {x + g + out, y - h / 2, w, h},
             {x - g - w - out, y - h / 2, w, h},
             {x - w / 2, y - g - h - out, w, h},
             {x - w / 2, y + g + out, w, h}}};
}

}  // namespace

bool segmentMeetsBox(PagePoint a, PagePoint b, const PageBox& box) {
    double t0 = 0, t1 = 1;
    return clip(a, b, box, t0, t1);
}

PageBox symbolBox(const Marker& m) {
    if (m.kind == PointKind::Known) {
        // The triangle's apex is two thirds of its height above the centroid, its base
        // a third below, and it is 2/√3 of its height wide.
        const double half = m.size / std::sqrt(3.0);
        return {m.at.x - half, m.at.y - 2 * m.size / 3, 2 * half, m.size};
    }
    return {m.at.x - m.size / 2, m.at.y - m.size / 2, m.size, m.size};
}

std::vector<Text> placeNames(const std::vector<NameRequest>& requests, double em,
                             const PageBox& area, const std::vector<PageBox>& obstacles,
                             const Plot& drawn) {
    std::vector<Text> placed;
    if (!(em > 0) || !(area.width > 0) || !(area.height > 0)) return placed;
    // Cells of about two ems, but never more than about a million of them.
    const double cell = std::max({2 * em, area.width / 1024, area.height / 1024});
    BoxGrid names(area, cell);
    for (const PageBox& o : obstacles) names.insert(o);
    const Drawing drawing(area, cell, drawn);
    const InkMap ink(area, drawn);

    // In the area, and over no name or obstacle nor so close beside one that the two
    // would read as one word.
    const double gap = nameGap * em;
    const auto free = [&](const PageBox& b) {
        return area.contains(b) && !names.overlapsAny({b.left - gap, b.top, b.width + 2 * gap, b.height});
    };

    // Of the places of one step, the one over the least ink among those `usable`
    // allows, the earlier on a tie.
    const auto leastInk = [&](const std::array<PageBox, 8>& places, auto&& usable, double* cost) {
        std::optional<PageBox> chosen;
        for (const PageBox& b : places) {
            if (!usable(b)) continue;
            const double c = ink.cost(b);
            if (!chosen || c < *cost) chosen = b, *cost = c;
            if (*cost == 0) break;
        }
        return chosen;
    };

    for (const NameRequest& r : requests) {
        if (r.text.empty() || !(r.width > 0) || !std::isfinite(r.at.x) || !std::isfinite(r.at.y))
            continue;
        const auto clear = [&](const PageBox& b) {
            return free(b) && !ink.surelyCovered(b) && !drawing.covers(b, r.point);
        };
        // Over so much of the drawing (ellipses) that it could not be read.
        const auto readable = [&](const PageBox& b) { return r.mustKeep || ink.cost(b) <= mostInkUnderName; };
        // A clear, readable place round the point, else the nearest step out with
        // one where no other point is nearer; of a step's places the one over the
        // least ink.
        double least = 0;
        std::optional<PageBox> chosen =
            leastInk(placesFor(r, em), [&](const PageBox& b) { return clear(b) && readable(b); }, &least);
        const int reach = chosen                                                 ? 0
                          : r.mustKeep                                           ? keptNameSteps
                          : drawing.crowded(r.at, lonePointEms * em, r.point) ? 0
                                                                              : movedNameSteps;
        for (int step = 1; !chosen && step <= reach; ++step) {
            chosen = leastInk(placesFor(r, em, step), [&](const PageBox& b) {
                return clear(b) && readable(b) && !drawing.nearerToAnother(b, r.point, r.at);
            }, &least);
        }
        // The first and the last name stay: with no clear place, the nearest place
        // over no other name.
        for (int step = 0; !chosen && r.mustKeep; ++step) {
            const auto places = placesFor(r, em, step);
            if (std::none_of(places.begin(), places.end(), [&](const PageBox& b) { return b.overlaps(area); })) break;
            chosen = leastInk(places, free, &least);
        }
        if (!chosen) continue;
        names.insert(*chosen);
        placed.push_back({*chosen, r.text, TextRole::Name, r.point});
    }
    return placed;
}

}  // namespace trelvan::plot
