// The figure on a page: scale and extents, the chain clipped to the drawing area,
// the ellipse outlines, the orientation arrows, the names that fit, and round the
// drawing the title, the north arrow, the two scale bars and a legend.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>

#include "plot/plot.h"
#include "state/constants.h"
#include "state/number_format.h"
#include "state/text_width.h"

namespace trelvan::plot {

namespace {

// Bands above and below the drawing, in ems of their texts. The band below holds
// the scale bars, and the legend beside them or in a row of its own under them.
double titleBand(const PageSetup& p) { return 2.2 * p.titleSize; }
constexpr double barsRow = 4.5, legendRow = 1.9;
double bottomBand(const PageSetup& p) { return (barsRow + (legendBelowBars(p) ? legendRow : 0)) * p.captionSize; }

// The longest a scale bar is drawn on the page.
double longestBarOf(const PageSetup& p) { return std::min(40.0, (p.width - 2 * p.margin) / 5); }

// The legend's sample symbols and lines with their names.
struct LegendItem {
    const char* name;
    int kind;  // 0 known, 1 unknown, 2 route, 3 other
};
constexpr LegendItem legendItems[] = {{"已知点", 0}, {"未知点", 1}, {"路线边", 2}, {"其它边", 3}};
constexpr double legendSample = 2, legendGap = 0.4, legendSpacing = 1.5;  // ems

double legendWidth(const TextWidth& measure, double em) {
    double total = 0;
    for (const LegendItem& item : legendItems)
        total += (legendSample + legendGap + legendSpacing) * em + measure(item.name, em);
    return total - legendSpacing * em;
}

// Room kept between the outermost points and the frame for names and arrows.
double sidePadding(const PageSetup& p) { return std::max(6.0, 3 * p.nameSize); }
double endPadding(const PageSetup& p) { return std::max(4.0, 2 * p.nameSize); }

// The drawn size of the known points' markers: they stand out at any scale.
constexpr double knownMarkerSize = 3.0;

// The largest ellipse in view is drawn about this share of the mean side long (its
// semi-major axis).
constexpr double ellipseShareInView = 0.25;

// An arrow along an external direction is at least this long on the page.
constexpr double shortestArrow = 8.0;
constexpr double arrowHeadLength = 2.2, arrowHeadHalfWidth = 0.8;

// Ellipse outlines: about one vertex per half millimetre of circumference; an
// octagon for the smallest, which on paper cannot be told from an ellipse.
constexpr int maxOutlineSegments = 72;
int outlineSegments(double a) {
    return std::clamp(static_cast<int>(std::ceil(2 * pi * a / 0.5)), 8, maxOutlineSegments);
}

// cos and sin of 2πi/n for i < n, for every n up to maxOutlineSegments, worked
// out once: a long chain has thousands of outlines of a few sizes.
const std::vector<PagePoint>& unitCircle(int n) {
    static const auto tables = [] {
        std::array<std::vector<PagePoint>, maxOutlineSegments + 1> t;
        for (int k = 3; k <= maxOutlineSegments; ++k) {
            for (int i = 0; i < k; ++i) {
                const double angle = 2 * pi * i / k;
                t[static_cast<std::size_t>(k)].push_back({std::cos(angle), std::sin(angle)});
            }
        }
        return t;
    }();
    return tables[static_cast<std::size_t>(n)];
}
// Outlines smaller than this (semi-major axis, mm) would not show.
constexpr double smallestEllipse = 0.02;

double powerOfTen(int exponent) {
    double p = 1;
    for (int i = 0; i < std::abs(exponent); ++i) p *= 10;
    return p;
}

struct Bounds {
    double minX = std::numeric_limits<double>::infinity(), maxX = -minX;
    double minY = minX, maxY = -minX;
    void add(Ground g) {
        minX = std::min(minX, g.x), maxX = std::max(maxX, g.x);
        minY = std::min(minY, g.y), maxY = std::max(maxY, g.y);
    }
};

Ground along(Ground from, double azimuthDegrees, double length) {
    const double a = azimuthDegrees * degToRad;
    return {from.x + length * std::cos(a), from.y + length * std::sin(a)};
}

bool drawsEllipse(const ChainFigure& f, const FigurePoint& p) {
    return f.ellipseMagnification > 0 && hasEllipse(p.precision);
}

// Ground metres of the largest semi-axis a point's ellipse can be drawn with: at
// the figure's factor, or at the factor of a view, which makes the largest ellipse
// at most √2.5 times a quarter of the mean side (the 1-2-5 step) unless the chain is
// so small on the page that the ellipses must grow to show beyond their symbols.
double drawnSemiAxis(const ChainFigure& f, const FigurePoint& p, double largest) {
    const double e = std::max(p.precision.E, p.precision.F);
    const double inView = largest > 0 ? e / largest * ellipseShareInView * std::sqrt(2.5) * f.meanSide : 0;
    return std::max(e / 1000 * f.ellipseMagnification, inView);
}

bool meets(const PageBox& area, PagePoint a, PagePoint b) {
    return std::max(a.x, b.x) >= area.left && std::min(a.x, b.x) <= area.right() &&
           std::max(a.y, b.y) >= area.top && std::min(a.y, b.y) <= area.bottom();
}

// Builds the texts and strokes round the drawing.
class Decorator {
public:
    Decorator(Plot& plot, const PageSetup& page, const TextWidth& measure)
        : plot_(plot), page_(page), measure_(measure) {}

    // A text of em `em` whose box starts at `left`, `top`.
    double text(double left, double top, double em, const std::string& s, TextRole role) {
        const double w = measure_(s, em);
        plot_.captions.push_back({{left, top, w, em}, s, role, -1});
        return w;
    }
    double centredText(double centre, double top, double em, const std::string& s, TextRole role) {
        const double w = measure_(s, em);
        plot_.captions.push_back({{centre - w / 2, top, w, em}, s, role, -1});
        return w;
    }
    void line(PagePoint a, PagePoint b) { plot_.frame.push_back({a, b, Stroke::Frame}); }
    void box(double l, double t, double w, double h, Fill fill) {
        plot_.frameFills.push_back({{{l, t}, {l + w, t}, {l + w, t + h}, {l, t + h}}, fill});
    }

    void frame(const PageBox& a) {
        line({a.left, a.top}, {a.right(), a.top});
        line({a.right(), a.top}, {a.right(), a.bottom()});
        line({a.right(), a.bottom()}, {a.left, a.bottom()});
        line({a.left, a.bottom()}, {a.left, a.top});
    }

    // The title centred in the band above the drawing, and a north arrow at its
    // right end. A title too wide for the band is set smaller.
    void titleBandContents(const std::string& title) {
        const double m = page_.margin, band = titleBand(page_);
        const double arrowX = page_.width - m - 2.5;
        const double headTop = m + 0.3, headBottom = headTop + 3.6, neck = headTop + 2.8;
        plot_.frameFills.push_back({{{arrowX, headTop}, {arrowX - 1.4, headBottom}, {arrowX, neck}}, Fill::Black});
        plot_.frameFills.push_back({{{arrowX, headTop}, {arrowX + 1.4, headBottom}, {arrowX, neck}}, Fill::White});
        line({arrowX, neck}, {arrowX, m + band - 0.5});
        const double em = page_.captionSize;
        text(arrowX - 2.2 - measure_("北", em), headTop, em, "北", TextRole::Caption);

        const double room = page_.width - 2 * (m + 10);
        double size = page_.titleSize;
        const double w = measure_(title, size);
        if (w > room && w > 0) size *= room / w;
        centredText(page_.width / 2, m + (band - size) / 2, size, title, TextRole::Title);
    }

    // The band below the drawing: the ground scale bar, the ellipse scale bar and
    // the legend, left to right, or the legend in a row of its own under the bars
    // on a narrow page. Each bar is a 1-2-5 length between two fifths of and the
    // whole of the longest bar on the page.
    void bottomBandContents(const Transform& t, double magnification) {
        const double em = page_.captionSize, m = page_.margin;
        const double top = page_.height - m - bottomBand(page_);
        const double captionTop = top + 0.5 * em, barTop = top + 2.1 * em, barHeight = 0.35 * em;
        const double numbersTop = barTop + barHeight + 0.35 * em;
        const double longestBar = longestBarOf(page_);
        double x = m + 1;

        // The ground: alternate black and white halves.
        const NiceNumber ground = niceBelow(longestBar / t.scale);
        const double groundLength = ground.value() * t.scale;
        if (std::isfinite(groundLength) && groundLength > 0) {
            text(x, captionTop, em, "比例尺", TextRole::Caption);
            box(x, barTop, groundLength / 2, barHeight, Fill::Black);
            box(x + groundLength / 2, barTop, groundLength / 2, barHeight, Fill::White);
            centredText(x, numbersTop, em, "0", TextRole::Caption);
            const std::string value = ground.exponent >= 3
                                          ? NiceNumber{ground.mantissa, ground.exponent - 3}.text() + " 千米"
                                          : ground.text() + " 米";
            const double w = centredText(x + groundLength, numbersTop, em, value, TextRole::Caption);
            x += std::max(groundLength + w / 2, measure_("比例尺", em)) + 3 * em;
        }

        // The ellipses: a line with end ticks, and the magnification stated.
        if (magnification > 0) {
            const double pagePerMillimetre = t.scale * magnification / 1000;
            const NiceNumber error = niceBelow(longestBar / pagePerMillimetre);
            const double length = error.value() * pagePerMillimetre;
            if (std::isfinite(length) && length > 0) {
                const std::string caption = "误差椭圆 (放大 " + generalNumber(magnification) + " 倍)";
                const double cw = text(x, captionTop, em, caption, TextRole::Caption);
                const double y = barTop + barHeight / 2;
                line({x, y}, {x + length, y});
                line({x, barTop}, {x, barTop + barHeight});
                line({x + length, barTop}, {x + length, barTop + barHeight});
                centredText(x, numbersTop, em, "0", TextRole::Caption);
                const double w = centredText(x + length, numbersTop, em, error.text() + " 毫米", TextRole::Caption);
                x += std::max(length + w / 2, cw) + 3 * em;
            }
        }

        if (legendBelowBars(page_)) {
            legend(m + 1, top + (barsRow + legendRow / 2 - 0.2) * em, em);
        } else {
            // Right-aligned beside the bars; a page wide enough for this always has
            // room for it.
            const double left = page_.width - m - legendWidth(measure_, em);
            if (left >= x) legend(left, barTop + barHeight / 2, em);
        }
    }

private:
    // Sample symbols with their names, from `left`, centred on the line `y`.
    void legend(double left, double y, double em) {
        const double sample = legendSample * em, gap = legendGap * em, spacing = legendSpacing * em;
        double x = left;
        for (const LegendItem& item : legendItems) {
            const PagePoint mid{x + sample / 2, y};
            switch (item.kind) {
                case 0: plot_.legendMarkers.push_back({mid, PointKind::Known, 0.8 * em, -1}); break;
                case 1: plot_.legendMarkers.push_back({mid, PointKind::Unknown, 0.5 * em, -1}); break;
                default:
                    plot_.legendSides.push_back(
                        {{x, y}, {x + sample, y}, item.kind == 2 ? Stroke::RouteSide : Stroke::OtherSide});
            }
            x += sample + gap;
            x += text(x, y - em / 2, em, item.name, TextRole::Caption) + spacing;
        }
    }

    Plot& plot_;
    const PageSetup& page_;
    const TextWidth& measure_;
};

}  // namespace

double NiceNumber::value() const {
    if (std::abs(exponent) > 22) return mantissa * std::pow(10.0, exponent);
    // Both forms are exact or correctly rounded: 5 / 1000 is the double nearest 0.005.
    return exponent >= 0 ? mantissa * powerOfTen(exponent) : mantissa / powerOfTen(exponent);
}

std::string NiceNumber::text() const { return generalNumber(value()); }

NiceNumber niceBelow(double x) {
    if (!(x > 0) || !std::isfinite(x)) return {};
    // Start a decade low and step up while the next number of the series still fits:
    // the logarithm only finds the neighbourhood, the comparison decides.
    NiceNumber n{1, static_cast<int>(std::floor(std::log10(x))) - 1};
    for (;;) {
        NiceNumber next = n;
        if (n.mantissa == 1) next.mantissa = 2;
        else if (n.mantissa == 2) next.mantissa = 5;
        else next = {1, n.exponent + 1};
        if (next.value() > x) return n;
        n = next;
    }
}

std::vector<PagePoint> ellipseOutline(PagePoint c, double a, double b, double phiDegrees,
                                      int segments) {
    // The semi-major axis along azimuth φ: east sin φ, north cos φ, and north is up
    // the page. The semi-minor axis a quarter turn clockwise from it.
    const double phi = phiDegrees * degToRad;
    const PagePoint u{std::sin(phi), -std::cos(phi)};
    const PagePoint v{std::cos(phi), std::sin(phi)};
    std::vector<PagePoint> outline;
    if (segments < 3) return outline;
    outline.reserve(static_cast<std::size_t>(segments));
    const auto vertex = [&](double cosT, double sinT) {
        const double p = a * cosT, q = b * sinT;
        outline.push_back({c.x + p * u.x + q * v.x, c.y + p * u.y + q * v.y});
    };
    if (segments <= maxOutlineSegments) {
        for (const PagePoint& t : unitCircle(segments)) vertex(t.x, t.y);
    } else {
        for (int i = 0; i < segments; ++i) {
            const double t = 2 * pi * i / segments;
            vertex(std::cos(t), std::sin(t));
        }
    }
    return outline;
}

PageSetup paperFor(const ChainFigure& figure, double longSide, double shortSide) {
    Bounds b;
    for (const FigurePoint& p : figure.points) b.add(p.at);
    PageSetup page;
    const bool landscape = figure.empty() || b.maxY - b.minY >= b.maxX - b.minX;
    page.width = landscape ? longSide : shortSide;
    page.height = landscape ? shortSide : longSide;
    return page;
}

PageBox drawingAreaOf(const PageSetup& p) {
    const double top = p.margin + titleBand(p);
    return {p.margin, top, std::max(0.0, p.width - 2 * p.margin),
            std::max(0.0, p.height - p.margin - bottomBand(p) - top)};
}

bool legendBelowBars(const PageSetup& p) {
    const TextWidth& measure = p.textWidth ? p.textWidth : TextWidth(estimatedTextWidth);
    // The bars at their longest, each with room for its figures and the gap after it.
    const double bars = 1 + 2 * (longestBarOf(p) + 8 * p.captionSize);
    return p.width - 2 * p.margin < bars + legendWidth(measure, p.captionSize);
}

double unknownSymbolSize(double meanSideOnPage) {
    // A long chain fitted stays a line of points, not a smear; zoomed in, the
    // symbol stays small beside the sides.
    return std::clamp(0.25 * meanSideOnPage, 0.3, 1.6);
}

double viewMagnification(const ChainFigure& figure, const Transform& t, const PageBox& area) {
    if (!(figure.ellipseMagnification > 0)) return 0;
    double largest = 0;
    for (const FigurePoint& p : figure.points)
        if (hasEllipse(p.precision) && area.contains(t.toPage(p.at)))
            largest = std::max({largest, p.precision.E, p.precision.F});
    if (!(largest > 0) || !(t.scale > 0)) return figure.ellipseMagnification;
    // The semi-major axis on the page wanted for the largest ellipse: a quarter of
    // the mean side, but no more than a quarter of the drawing's height or width,
    // so that zoomed far in it stays in sight; and at least the diameter of the
    // point's symbol.
    const double side = figure.meanSide * t.scale;
    const double inSight = ellipseShareInView * std::min({side, area.width, area.height});
    const double wanted = std::max(inSight, unknownSymbolSize(side)) / (largest / 1000 * t.scale);
    if (!std::isfinite(wanted) || wanted <= 1) return 1;
    // The 1-2-5 number nearest in ratio.
    const NiceNumber below = niceBelow(wanted);
    NiceNumber above = below;
    if (below.mantissa == 1) above.mantissa = 2;
    else if (below.mantissa == 2) above.mantissa = 5;
    else above = {1, below.exponent + 1};
    return wanted * wanted < below.value() * above.value() ? below.value() : above.value();
}

Transform fitTransform(const ChainFigure& figure, const PageSetup& page) {
    if (figure.empty()) return {};
    Bounds b;
    double largest = 0;
    for (const FigurePoint& p : figure.points)
        if (drawsEllipse(figure, p)) largest = std::max({largest, p.precision.E, p.precision.F});
    for (const FigurePoint& p : figure.points) {
        b.add(p.at);
        if (drawsEllipse(figure, p)) {
            const double r = drawnSemiAxis(figure, p, largest);
            b.add({p.at.x - r, p.at.y - r});
            b.add({p.at.x + r, p.at.y + r});
        }
    }
    for (const Orientation& end : figure.ends) {
        if (end.kind == OrientationKind::None) continue;
        b.add(along(figure.points[static_cast<std::size_t>(end.point)].at, end.azimuthDegrees,
                    orientationLength(figure, end)));
    }

    const PageBox area = drawingAreaOf(page);
    const double innerW = std::max(area.width - 2 * sidePadding(page), area.width / 2);
    const double innerH = std::max(area.height - 2 * endPadding(page), area.height / 2);
    const double least = figure.meanSide * 1e-6;
    const double spanY = std::max(b.maxY - b.minY, least), spanX = std::max(b.maxX - b.minX, least);
    Transform t;
    t.scale = std::min(innerW / spanY, innerH / spanX);
    if (!(t.scale > 0) || !std::isfinite(t.scale)) return {};
    t.west = (b.minY + b.maxY) / 2 - (area.left + area.width / 2) / t.scale;
    t.north = (b.minX + b.maxX) / 2 + (area.top + area.height / 2) / t.scale;
    return t;
}

Plot layoutPlot(const ChainFigure& figure, const PageSetup& page) {
    return layoutPlot(figure, page, fitTransform(figure, page));
}

Plot layoutPlot(const ChainFigure& figure, const PageSetup& page, const Transform& t) {
    Plot plot;
    const PageBox area = drawingAreaOf(page);
    if (figure.empty() || !(t.scale > 0) || !std::isfinite(t.scale) || !(area.width > 0) ||
        !(area.height > 0))
        return plot;
    const TextWidth& measure = page.textWidth ? page.textWidth : TextWidth(estimatedTextWidth);
    plot.width = page.width;
    plot.height = page.height;
    plot.drawingArea = area;
    plot.transform = t;
    plot.ellipseMagnification = viewMagnification(figure, t, area);

    std::vector<PagePoint> at;
    at.reserve(figure.points.size());
    for (const FigurePoint& p : figure.points) at.push_back(t.toPage(p.at));

    for (const FigureSide& side : figure.sides) {
        const PagePoint a = at[static_cast<std::size_t>(side.from)], b = at[static_cast<std::size_t>(side.to)];
        if (meets(area, a, b))
            plot.sides.push_back({a, b, side.kind == SideKind::Route ? Stroke::RouteSide : Stroke::OtherSide});
    }

    const double unknownSize = unknownSymbolSize(figure.meanSide * t.scale);
    plot.lineWeight = std::clamp(figure.meanSide * t.scale / 4, 0.35, 1.0);
    for (std::size_t i = 0; i < figure.points.size(); ++i) {
        if (!area.contains(at[i])) continue;
        const FigurePoint& p = figure.points[i];
        plot.markers.push_back(
            {at[i], p.kind, p.kind == PointKind::Known ? knownMarkerSize : unknownSize, static_cast<int>(i)});
    }

    const double perMillimetre = plot.ellipseMagnification / 1000 * t.scale;
    for (std::size_t i = 0; i < figure.points.size(); ++i) {
        const FigurePoint& p = figure.points[i];
        if (!drawsEllipse(figure, p)) continue;
        const double a = p.precision.E * perMillimetre, b = p.precision.F * perMillimetre;
        if (a < smallestEllipse || !meets(area, {at[i].x - a, at[i].y - a}, {at[i].x + a, at[i].y + a}))
            continue;
        plot.ellipses.push_back({ellipseOutline(at[i], a, b, p.precision.phiDegrees, outlineSegments(a)),
                                 Stroke::Ellipse, true});
    }

    // The orientation at each end: an arrow along a typed azimuth; a dashed line to
    // a direction point, ending at it when it is near, else in an arrow towards it.
    struct Caption {
        const Orientation* end;
        PagePoint tip, u;
    };
    std::vector<Caption> ends;
    for (const Orientation& end : figure.ends) {
        if (end.kind == OrientationKind::None) continue;
        const PagePoint from = at[static_cast<std::size_t>(end.point)];
        // Towards the direction point itself, or along the typed azimuth.
        PagePoint u;
        if (end.kind == OrientationKind::DirectionPoint) {
            const PagePoint target = t.toPage(end.directionPoint);
            const double d = std::hypot(target.x - from.x, target.y - from.y);
            u = {(target.x - from.x) / d, (target.y - from.y) / d};
        } else {
            const double az = end.azimuthDegrees * degToRad;
            u = {std::sin(az), -std::cos(az)};
        }
        const bool reached = end.kind == OrientationKind::DirectionPoint &&
                             end.distance <= orientationLength(figure, end) + 1e-9 * end.distance;
        const double length = std::max(orientationLength(figure, end) * t.scale, shortestArrow);
        const PagePoint tip = reached ? t.toPage(end.directionPoint)
                                      : PagePoint{from.x + length * u.x, from.y + length * u.y};
        if (!meets(area, from, tip)) continue;
        const Stroke stroke =
            end.kind == OrientationKind::DirectionPoint ? Stroke::DirectionLine : Stroke::Orientation;
        plot.orientationLines.push_back({from, tip, stroke});
        const PagePoint n{-u.y, u.x};
        if (reached) {
            const double r = 1.0;  // a white diamond on the direction point
            plot.arrowHeads.push_back({{{tip.x + r * u.x, tip.y + r * u.y}, {tip.x + r * n.x, tip.y + r * n.y},
                                        {tip.x - r * u.x, tip.y - r * u.y}, {tip.x - r * n.x, tip.y - r * n.y}},
                                       Fill::White});
        } else {
            const PagePoint base{tip.x - arrowHeadLength * u.x, tip.y - arrowHeadLength * u.y};
            plot.arrowHeads.push_back({{tip,
                                        {base.x + arrowHeadHalfWidth * n.x, base.y + arrowHeadHalfWidth * n.y},
                                        {base.x - arrowHeadHalfWidth * n.x, base.y - arrowHeadHalfWidth * n.y}},
                                       Fill::Black});
        }
        ends.push_back({&end, tip, u});
    }

    // Each end's caption beyond its tip, else beside the tip, wherever it covers no
    // side, line, arrowhead or symbol; beyond the tip when every place does.
    const auto onTheDrawing = [&](const PageBox& box) {
        const auto crosses = [&](const Segment& s) { return segmentMeetsBox(s.a, s.b, box); };
        const auto under = [&](const Polygon& head) {
            return std::any_of(head.points.begin(), head.points.end(), [&](PagePoint p) { return box.contains(p); });
        };
        return std::any_of(plot.sides.begin(), plot.sides.end(), crosses) ||
               std::any_of(plot.orientationLines.begin(), plot.orientationLines.end(), crosses) ||
               std::any_of(plot.arrowHeads.begin(), plot.arrowHeads.end(), under) ||
               std::any_of(plot.markers.begin(), plot.markers.end(),
                           [&](const Marker& m) { return symbolBox(m).overlaps(box); });
    };
    std::vector<PageBox> captionBoxes;
    for (const Caption& c : ends) {
        const double em = page.nameSize, w = measure(c.end->caption, em);
        const PagePoint u = c.u, n{-u.y, u.x};
        // A millimetre from the tip and half the box's own extent that way.
        const auto place = [&](PagePoint d) {
            const double reach = 1.0 + (std::fabs(d.x) * w + std::fabs(d.y) * em) / 2;
            return PageBox{c.tip.x + reach * d.x - w / 2, c.tip.y + reach * d.y - em / 2, w, em};
        };
        std::optional<PageBox> chosen;
        for (const PagePoint d : {u, n, PagePoint{-n.x, -n.y}}) {
            const PageBox box = place(d);
            const bool overCaption = std::any_of(captionBoxes.begin(), captionBoxes.end(),
                                                 [&](const PageBox& o) { return o.overlaps(box); });
            if (area.contains(box) && !overCaption && !onTheDrawing(box)) {
                chosen = box;
                break;
            }
        }
        if (!chosen && area.contains(place(u))) chosen = place(u);
        if (chosen) {
            plot.captions.push_back({*chosen, c.end->caption, TextRole::Caption, c.end->point});
            captionBoxes.push_back(*chosen);
        }
    }

    // Names: the known points first, then the others by index. A and B are the
    // chain's first and last points and are always named.
    std::vector<NameRequest> requests;
    requests.reserve(plot.markers.size());
    const auto request = [&](const Marker& m) {
        const FigurePoint& p = figure.points[static_cast<std::size_t>(m.point)];
        if (p.label.find_first_not_of(' ') == std::string::npos) return;
        // Clear of the symbol all round: a circle's radius, a triangle's apex.
        const double clearance = m.kind == PointKind::Known ? 2 * m.size / 3 : m.size / 2;
        requests.push_back({m.at, clearance, measure(p.label, page.nameSize), p.label, m.point,
                            p.kind == PointKind::Known});
    };
    for (const Marker& m : plot.markers)
        if (m.kind == PointKind::Known) request(m);
    for (const Marker& m : plot.markers)
        if (m.kind != PointKind::Known) request(m);
    plot.names = placeNames(requests, page.nameSize, area, captionBoxes, plot);

    Decorator d(plot, page, measure);
    d.frame(area);
    d.titleBandContents(figure.title);
    d.bottomBandContents(t, plot.ellipseMagnification);
    return plot;
}

}  // namespace trelvan::plot
