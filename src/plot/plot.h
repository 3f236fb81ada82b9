#pragma once
// The chain plot as plain data: the adjusted chain to scale, north up, with its
// error ellipses, orientation, scale bars and names. A painter only draws what is
// here; nothing it draws is decided there.
//
// Two stages:
//   chainFigure  the chain on the ground (metres, X north, Y east): points, sides
//                with their end points from the chain numbering, the orientation
//                at each end, the ellipses and their magnification. Independent
//                of any scale; built once per completed computation.
//   layoutPlot   the figure on a page (millimetres from the top left, y down) at a
//                fitted or given scale: sides, markers, ellipse outlines, arrows,
//                scale bars, the title, and the names that fit without overlapping.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "state/chain_state.h"
#include "state/text_width.h"

namespace trelvan::analysis {
struct ChainPrecision;
}

namespace trelvan::plot {

// ---------------------------------------------------------------------------
// Input

// One point's precision: standard errors and the standard error ellipse, in
// millimetres; φ is the azimuth of the semi-major axis E, clockwise from north,
// 0 ≤ φ < 180. A and B, being fixed, have all zero.
struct PointPrecision {
    double mx = 0, my = 0;
    double E = 0, F = 0;
    double phiDegrees = 0;
};

// Whether a point has an ellipse to draw: finite figures, E > 0 and F ≥ 0.
bool hasEllipse(const PointPrecision& p);

// What the plot is drawn from.
struct PlotSource {
    // A completed Compute action: adjusted pointX/pointY and side, the names, N, the
    // known points and the orientation (direction points, typed azimuths).
    const ChainState& record;
    // The even sides' signs as typed, indexed like the run's sideSign: entries 1..N
    // are read (+1 left of the route, −1 right). Equal neighbours make a fan.
    std::span<const std::int16_t> sideSign;
    // Points 0..N+1, or empty when there are no ellipses to draw.
    std::span<const PointPrecision> precision;
};

// ---------------------------------------------------------------------------
// The chain on the ground

struct Ground {
    double x = 0;  // north, m
    double y = 0;  // east, m
};

enum class PointKind { Known, Unknown };

struct FigurePoint {
    Ground at;
    PointKind kind = PointKind::Unknown;
    std::string name;       // as the record holds it
    std::string label;      // as drawn: no control characters, at most a few dozen cells
    PointPrecision precision;
};

enum class SideKind { Route, Other };

// Side S(k) joins points `from` and `to` (indices into the figure's points).
struct FigureSide {
    int k = 0;
    int from = 0, to = 0;
    SideKind kind = SideKind::Route;
};

enum class OrientationKind { None, TypedAzimuth, DirectionPoint };

// The external direction at one end of the chain.
struct Orientation {
    OrientationKind kind = OrientationKind::None;
    int point = 0;                // 0 (A) or N+1 (B)
    double azimuthDegrees = 0;    // from the end point, clockwise from north, 0 ≤ a < 360
    Ground directionPoint;        // DirectionPoint only
    double distance = 0;          // to the direction point, m
    std::string caption;          // "Ta", "Tb", "Pta", "Ptb"
};

struct ChainFigure {
    std::vector<FigurePoint> points;       // 0..N+1: A, the unknown points, B
    std::vector<FigureSide> sides;         // S1..S(2N+1), sides[k−1] is S(k)
    std::array<Orientation, 2> ends{};     // at A, at B
    double meanSide = 0;                   // mean adjusted side, m
    // The ellipses are drawn this many times their true size: a 1-2-5 number that
    // makes the largest semi-axis between about an eighth and a third of the mean
    // side. 0 when there is no ellipse to draw.
    double ellipseMagnification = 0;
    std::string title;                     // the report's title line

    bool empty() const { return points.empty(); }
};

// The figure of a completed computation. Empty when the record holds no completed
// chain, or the side signs do not cover triangles 1..N. Ellipses are left out when
// `precision` does not hold exactly N+2 points.
ChainFigure chainFigure(const PlotSource& source);

// The length a drawn orientation line or arrow has on the ground, from its end.
double orientationLength(const ChainFigure& figure, const Orientation& end);

// Every point's standard errors and error ellipse as the precision analysis gives
// them, points 0..N+1.
std::vector<PointPrecision> plotPrecision(const analysis::ChainPrecision& precision);

// The figure of the record's last completed Compute action: the even sides on the
// side of the route the adjustment kept, and the error ellipses of the precision
// analysis of the whole chain. When the analysis cannot be made the chain is still
// drawn, without ellipses, and `analysisFailure` (when given) gets the reason.
// Empty when the record holds no completed computation.
ChainFigure recordFigure(const ChainState& record, std::string* analysisFailure = nullptr);

// The same figure from a precision analysis of the record already made.
ChainFigure recordFigure(const ChainState& record, const analysis::ChainPrecision& precision);

// What the plot says of point `index` when it is pointed at, one item a line: its
// name, whether it is known, its adjusted coordinates as listed (3 decimals), and
// for an unknown point mx, my and the error ellipse E, F, φ.
std::string describePoint(const ChainFigure& figure, int index);

// ---------------------------------------------------------------------------
// The page

struct PagePoint {
    double x = 0;  // mm from the left edge
    double y = 0;  // mm from the top edge, downwards
};

struct PageBox {
    double left = 0, top = 0, width = 0, height = 0;
    double right() const { return left + width; }
    double bottom() const { return top + height; }
    // True when the two boxes share an area, not only an edge.
    bool overlaps(const PageBox& o) const {
        return left < o.right() && o.left < right() && top < o.bottom() && o.top < bottom();
    }
    bool contains(const PageBox& o) const {
        return o.left >= left && o.right() <= right() && o.top >= top && o.bottom() <= bottom();
    }
    bool contains(PagePoint p) const {
        return p.x >= left && p.x <= right() && p.y >= top && p.y <= bottom();
    }
};

// Ground to page, north up: page x grows eastwards with Y, page y southwards.
struct Transform {
    double scale = 1;  // paper mm per ground metre
    double west = 0;   // ground Y at the page's left edge
    double north = 0;  // ground X at the page's top edge

    PagePoint toPage(Ground g) const { return {(g.y - west) * scale, (north - g.x) * scale}; }
    Ground toGround(PagePoint p) const { return {north - p.y / scale, west + p.x / scale}; }
    // The scale as 1 : denominator, for a page printed at its size.
    double denominator() const { return 1000.0 / scale; }
};

struct PageSetup {
    double width = 297, height = 210;  // mm
    double margin = 10;                // around everything
    double nameSize = 3;               // em of the point names, mm
    double captionSize = 3.2;          // em of the scale bars and the legend, mm
    double titleSize = 5;              // em of the title, mm
    TextWidth textWidth;               // empty: estimatedTextWidth
};

// A4 (or the given paper), landscape when the chain is wider than tall.
PageSetup paperFor(const ChainFigure& figure, double longSide = 297, double shortSide = 210);

enum class Stroke {
    RouteSide,      // the azimuth route
    OtherSide,      // the even sides
    Orientation,    // an arrow along a typed azimuth
    DirectionLine,  // the line to a direction point
    Ellipse,
    Frame,          // the frame round the drawing, scale bars, the north arrow, the legend
};

struct Segment {
    PagePoint a, b;
    Stroke stroke = Stroke::RouteSide;
};

struct Polyline {
    std::vector<PagePoint> points;
    Stroke stroke = Stroke::Frame;
    bool closed = false;
};

enum class Fill { Black, White };

struct Polygon {
    std::vector<PagePoint> points;
    Fill fill = Fill::Black;
};

struct Marker {
    PagePoint at;
    PointKind kind = PointKind::Unknown;
    double size = 0;  // mm: a circle's diameter, a triangle's height
    int point = 0;
};

enum class TextRole { Name, Caption, Title };

// A text standing in its box: `box.height` is the em; the painter centres the
// line in the box vertically and starts it at the box's left.
struct Text {
    PageBox box;
    std::string text;
    TextRole role = TextRole::Caption;
    int point = -1;  // names: the point's index
};

struct Plot {
    double width = 0, height = 0;  // the page, mm
    PageBox drawingArea;           // the chain is drawn within it, clipped to it
    Transform transform;
    // The factor the ellipses are drawn at in this view, which the ellipse scale bar
    // states (viewMagnification).
    double ellipseMagnification = 0;
    // Sides, ellipses and markers' outlines are drawn this fraction of their full
    // weight: thinner where the sides are short on the page, so that a long chain
    // fitted to the page stays a fine line and does not fill in.
    double lineWeight = 1;

    // Clipped to the drawing area, drawn in this order (the ellipses over the point
    // symbols, so that an ellipse smaller than its symbol still shows):
    std::vector<Segment> sides;
    std::vector<Segment> orientationLines;
    std::vector<Polygon> arrowHeads;
    std::vector<Marker> markers;
    std::vector<Polyline> ellipses;
    std::vector<Text> names;        // kept by the thinning; no two overlap, none on the drawing
    // Outside the chain: frame, north arrow, scale bars, legend, title, captions.
    std::vector<Segment> frame;
    std::vector<Polygon> frameFills;
    std::vector<Marker> legendMarkers;
    std::vector<Segment> legendSides;
    std::vector<Text> captions;

    bool empty() const { return width <= 0; }
};

// The drawing area of a page: inside the margins, below the title band, above the
// band of scale bars and legend.
PageBox drawingAreaOf(const PageSetup& page);

// Whether the legend stands in a row of its own under the scale bars: on a page too
// narrow for the bars at their longest and the legend side by side (A4 upright).
bool legendBelowBars(const PageSetup& page);

// The drawn size (diameter, mm) of an unknown point's symbol when the mean side is
// `meanSideOnPage` mm long on the page.
double unknownSymbolSize(double meanSideOnPage);

// The factor the ellipses are drawn at in a view: a 1-2-5 number, the nearest to
// making the largest ellipse among the points in `area` a quarter of the mean side
// long (its semi-major axis), or a quarter of the area's height or width where that
// is less (zoomed far in), and never so small that this ellipse stays within its
// point's symbol: at least the symbol's diameter, to within the 1-2-5 step. Never
// below 1. The figure's own factor when no point in view has an ellipse; 0 when
// the figure has none.
double viewMagnification(const ChainFigure& figure, const Transform& transform, const PageBox& area);

// The transform that fits the figure, its arrows and ellipses, into the drawing
// area with room left for names at the edges, centred.
Transform fitTransform(const ChainFigure& figure, const PageSetup& page);

// The point drawn nearest to `at` (page millimetres) under `transform`, within
// `reach` millimetres of it; −1 when there is none.
int pointNear(const ChainFigure& figure, const Transform& transform, PagePoint at, double reach);

// The plot at the fitted scale, or at a given one (zoom and pan: a larger scale
// brings thinned names back). Only what falls in the drawing area is laid out.
Plot layoutPlot(const ChainFigure& figure, const PageSetup& page);
Plot layoutPlot(const ChainFigure& figure, const PageSetup& page, const Transform& transform);

// ---------------------------------------------------------------------------
// Pieces, public for the painter, the window and their tests

// A number of the 1-2-5 series: mantissa 1, 2 or 5 times a power of ten.
struct NiceNumber {
    int mantissa = 1;
    int exponent = 0;
    double value() const;
    std::string text() const;  // "0.5", "20", "5000"
};

// The largest 1-2-5 number not above x (x > 0 and finite).
NiceNumber niceBelow(double x);

// The outline of an ellipse on the page with semi-axes a ≥ b (mm) centred at c,
// its semi-major axis along the azimuth φ (degrees clockwise from north, which is
// up the page): `segments` points, closed implicitly.
std::vector<PagePoint> ellipseOutline(PagePoint c, double a, double b, double phiDegrees,
                                      int segments);

// One name to place: beside its point, which is drawn `clearance` mm round.
struct NameRequest {
    PagePoint at;
    double clearance = 0;
    double width = 0;       // mm
    std::string text;
    int point = 0;
    bool mustKeep = false;  // the first and the last point of the chain
};

// Places names greedily, in the order given (the caller puts known points first,
// then the points by index). A name's place is clear when it stays in `area`,
// overlaps no name placed before it nor an obstacle (and keeps a quarter of an em
// from them side by side, so that two never read as one), and covers none of what
// `drawn` holds of the chain: no side, orientation line or arrowhead, no other
// point's symbol. A name takes, of the eight places round its point, the clear one
// over the least ellipse outline; with none, and no other point within four ems of
// its own, the same eight moved away from the point in steps of half an em, up to
// two ems, where no other point is nearer to it. A name with no such place, or only
// places in a knot of ellipses, is dropped.
//
// A name that must be kept is never dropped: it may move out up to four ems, and
// with no clear place there it takes the nearest place over no other name nor
// obstacle, over the least of the drawing. It is never set on its own point's
// symbol. No two placed names overlap. Spatial grids keep this close to linear in
// the number of names.
std::vector<Text> placeNames(const std::vector<NameRequest>& requests, double em,
                             const PageBox& area, const std::vector<PageBox>& obstacles,
                             const Plot& drawn);

// Whether the segment from a to b passes through the box (its edges included).
bool segmentMeetsBox(PagePoint a, PagePoint b, const PageBox& box);

// The box a point symbol covers: a circle of diameter `size`, or an upright
// triangle `size` high whose centroid is on the point.
PageBox symbolBox(const Marker& marker);

}  // namespace trelvan::plot
