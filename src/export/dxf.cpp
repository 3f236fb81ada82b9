// The chain as a drawing for CAD, in AutoCAD 2000 format, made by dxflib: every
// point as a POINT with its symbol and its name, the sides, and the error ellipses
// drawn magnified, on six layers a surveyor can switch on and off.
//
// CAD's axes are the surveyor's turned: x is the east coordinate Y, y the north
// coordinate X. Lengths are ground metres; texts and symbols are sized to the mean
// side, so that they read at the scale the chain is looked at.

#include <dl_dxf.h>
#include <dl_writer_ascii.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string_view>

#include "export/coordinates.h"
#include "export/encoding.h"
#include "export/refusal.h"
#include "plot/plot.h"
#include "state/constants.h"
#include "state/number_format.h"

namespace trelvan::exports {

namespace {

// Progress is asked before the first point and after every so many.
constexpr int pointsBetweenQuestions = 512;

// The longest text a DXF of AutoCAD 2000 holds in one value, in bytes.
constexpr std::size_t longestText = 2049;

// The names' height: a 1-2-5 length of about this share of the mean side.
constexpr double textShareOfMeanSide = 1.0 / 15;

// Layers, their AutoCAD colour numbers and line types: the points and names in the
// drawing's foreground colour, the other sides grey and dashed, the ellipses red.
struct Layer {
    const char* name;
    int colour;
    const char* linetype;
};
constexpr int foreground = 7, grey = 8, red = 1;
enum LayerIndex { KnownPoints, UnknownPoints, Names, RouteSides, OtherSides, Ellipses };
constexpr std::array<Layer, 6> layers{{
    {"已知点", foreground, "CONTINUOUS"},
    {"待定点", foreground, "CONTINUOUS"},
    {"点名", foreground, "CONTINUOUS"},
    {"推算路线边", foreground, "CONTINUOUS"},
    {"其他边", grey, "DASHED"},
    {"误差椭圆", red, "CONTINUOUS"},
}};

// The view a drawing opens on: its centre and height in drawing units.
struct View {
    double x = 0, y = 0, height = 1;
};

// A text style's font files: CAD's own font, and the big font of the Chinese.
struct StyleFonts {
    const char* primary;
    const char* big;
};

// dxflib's writer with every group code and value gathered in memory, each line
// ended CR LF as on Windows, and numbers written by the program's own formats
// (the shortest decimal that reads back as the same value, never by the locale).
// While a view is set, the viewport table dxflib writes opens on it. While style
// fonts are set, the text style dxflib writes names them as its font files (dxflib
// itself writes every font as a TrueType face's name, in extended data).
class GatheringWriter : public DL_WriterA {
public:
    explicit GatheringWriter(std::string& out) : DL_WriterA("", DL_Codes::AC1015), out_(out) {}

    void setView(std::optional<View> view) { view_ = view; }
    void setStyleFonts(std::optional<StyleFonts> fonts) { fonts_ = fonts; }

    void dxfReal(int gc, double value) const override {
        if (view_) {
            if (gc == 12) value = view_->x;
            if (gc == 22) value = view_->y;
            if (gc == 40) value = view_->height;
        }
        std::string text = generalNumber(value);
        if (text.find('.') == std::string::npos) text += ".0";
        line(gc, text);
    }
    void dxfInt(int gc, int value) const override { line(gc, digits(value)); }
    void dxfHex(int gc, int value) const override { line(gc, hexDigits(static_cast<std::uint32_t>(value))); }
    void dxfString(int gc, const char* value) const override { line(gc, value); }
    void dxfString(int gc, const std::string& value) const override { line(gc, value); }

private:
    void line(int gc, std::string_view value) const {
        if (fonts_) {
            if (gc == 3) value = fonts_->primary;
            if (gc == 4) value = fonts_->big;
            if (gc == 1001 || gc == 1000 || gc == 1071) return;
        }
        const std::string code = digits(gc);
        out_.append(code.size() < 3 ? 3 - code.size() : 0, ' ');
        out_ += code;
        out_ += "\r\n";
        out_ += value;
        out_ += "\r\n";
    }

    std::string& out_;
    std::optional<View> view_;
    std::optional<StyleFonts> fonts_;
};

void headerVariable(DL_WriterA& dw, const char* name, int code, const std::string& value) {
    dw.dxfString(9, name);
    dw.dxfString(code, value);
}

void headerPoint(DL_WriterA& dw, const char* name, double x, double y) {
    dw.dxfString(9, name);
    dw.coord(10, x, y, 0);
}

}  // namespace

std::string drawingLibrary() { return std::string("dxflib ") + DL_VERSION; }

Contents drawingDxf(const ChainState& record, const analysis::ChainPrecision& precision, const Progress& progress) {
    const std::vector<ListedPoint> points = listedPoints(record);
    const plot::ChainFigure figure = plot::recordFigure(record, precision);
    if (points.empty() || figure.points.size() != points.size()) return {{}, "没有可以绘制的平差结果", false};

    // Every text in the drawing's encoding first, so that a name it cannot hold
    // refuses the drawing before any of it is made.
    const TextEncoder dxfText(TextEncoder::Target::Dxf);
    const auto encoded = [&dxfText](const std::string& text) {
        char32_t unheld = 0;
        return dxfText(text, unheld).value_or("?");
    };
    std::vector<std::string> names;
    names.reserve(points.size());
    for (const ListedPoint& p : points) {
        char32_t unheld = 0;
        auto name = dxfText(p.name, unheld);
        if (!name) return {{}, unheldRefusal(p, unheld, "AutoCAD 2000 格式的 DXF 文件"), false};
        if (name->size() > longestText)
            return {{}, nameRefusal(p, "过长，AutoCAD 2000 格式的 DXF 文件中一段文字最多 " + digits(longestText) + " 字节"),
                    false};
        names.push_back(std::move(*name));
    }
    std::array<std::string, layers.size()> layerNames;
    for (std::size_t l = 0; l < layers.size(); ++l) layerNames[l] = encoded(layers[l].name);

    // Sizes on the ground, from the mean side: the names' height, the symbols a
    // little smaller, dashes a name's height long.
    const double height = plot::niceBelow(figure.meanSide * textShareOfMeanSide).value();
    const double symbol = 0.8 * height;

    // The semi-major axis of each point's ellipse as drawn, m; 0 where none is.
    std::vector<double> ellipseAxis(points.size(), 0.0);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const plot::PointPrecision& q = figure.points[i].precision;
        if (!points[i].known && plot::hasEllipse(q) && figure.ellipseMagnification > 0)
            ellipseAxis[i] = q.E / 1000 * figure.ellipseMagnification;
    }

    // The drawing's extent, the points with their ellipses and names; the text of the
    // ellipses' factor below it all; and a view on the whole.
    double west = points.front().Y, east = west, south = points.front().X, north = south;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const ListedPoint& p = points[i];
        const double r = std::max(ellipseAxis[i], symbol);
        west = std::min(west, p.Y - r), east = std::max(east, p.Y + std::max(r, 6 * height));
        south = std::min(south, p.X - r), north = std::max(north, p.X + std::max(r, 2 * height));
    }
    const double factorX = west, factorY = south - 2 * height;
    west -= height, south = factorY - height, east += height, north += height;
    // The view's height leaves the whole width in sight on a screen 1.5 times as wide as high.
    const View view{(west + east) / 2, (south + north) / 2, 1.1 * std::max(north - south, (east - west) / 1.5)};

    std::string out;
    out.reserve(4096 + points.size() * 1400);
    GatheringWriter w(out);
    DL_WriterA& dw = w;
    DL_Dxf dxf;

    dxf.writeHeader(dw);
    headerVariable(dw, "$DWGCODEPAGE", 3, dxfCodePage);
    headerVariable(dw, "$INSUNITS", 70, "6");  // metres
    headerVariable(dw, "$MEASUREMENT", 70, "1");
    headerPoint(dw, "$EXTMIN", west, south);
    headerPoint(dw, "$EXTMAX", east, north);
    dw.dxfString(9, "$TEXTSIZE");
    dw.dxfReal(40, height);
    dw.sectionEnd();

    dw.sectionTables();
    w.setView(view);
    dxf.writeVPort(dw);
    w.setView(std::nullopt);

    dw.tableLinetypes(4);
    dxf.writeLinetype(dw, DL_LinetypeData("BYBLOCK", "BYBLOCK", 0, 0, 0.0));
    dxf.writeLinetype(dw, DL_LinetypeData("BYLAYER", "BYLAYER", 0, 0, 0.0));
    dxf.writeLinetype(dw, DL_LinetypeData("CONTINUOUS", "Continuous", 0, 0, 0.0));
    double dashes[] = {height, -height / 2};
    dxf.writeLinetype(dw, DL_LinetypeData("DASHED", "__ __ __", 0, 2, 1.5 * height, dashes));
    dw.tableEnd();

    dw.tableLayers(static_cast<int>(layers.size()) + 1);
    constexpr int defaultLineWeight = -3;
    dxf.writeLayer(dw, DL_LayerData("0", 0), DL_Attributes("", foreground, defaultLineWeight, "CONTINUOUS", 1.0));
    for (std::size_t l = 0; l < layers.size(); ++l) {
        dxf.writeLayer(dw, DL_LayerData(layerNames[l], 0),
                       DL_Attributes("", layers[l].colour, defaultLineWeight, layers[l].linetype, 1.0));
    }
    dw.tableEnd();

    // One text style in CAD's own font, with the big font of the Chinese national
    // standard that Chinese CAD installations have (it holds Greek and Cyrillic too).
    dw.tableStyle(1);
    w.setStyleFonts(StyleFonts{"txt", "gbcbig.shx"});
    dxf.writeStyle(dw, DL_StyleData("Standard", 0, 0.0, 1.0, 0.0, 0, height, "txt", "gbcbig.shx"));
    w.setStyleFonts(std::nullopt);
    dw.tableEnd();
    dxf.writeView(dw);
    dxf.writeUcs(dw);
    dw.tableAppid(1);
    dxf.writeAppid(dw, "ACAD");
    dw.tableEnd();
    dxf.writeDimStyle(dw, height, height / 2, height / 2, height / 2, height);
    dxf.writeBlockRecord(dw);
    dw.tableEnd();
    dw.sectionEnd();

    dw.sectionBlocks();
    for (const char* block : {"*Model_Space", "*Paper_Space", "*Paper_Space0"}) {
        dxf.writeBlock(dw, DL_BlockData(block, 0, 0.0, 0.0, 0.0));
        dxf.writeEndBlock(dw, block);
    }
    dw.sectionEnd();

    dw.sectionEntities();
    const auto on = [&layerNames](LayerIndex layer) {
        return DL_Attributes(layerNames[static_cast<std::size_t>(layer)], 256, -1, "BYLAYER", 1.0);
    };
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (progress && i % pointsBetweenQuestions == 0 &&
            !progress(static_cast<int>(i), static_cast<int>(points.size())))
            return {{}, {}, true};
        const ListedPoint& p = points[i];
        const double x = p.Y, y = p.X;
        const DL_Attributes symbolLayer = on(p.known ? KnownPoints : UnknownPoints);
        dxf.writePoint(dw, DL_PointData(x, y, 0), symbolLayer);
        if (p.known) {
            // A triangle standing on its base, centred on the point.
            const double r = symbol / 1.5;  // from the centre to a corner
            dxf.writePolyline(dw, DL_PolylineData(3, 0, 0, 1), symbolLayer);
            for (const double turn : {90.0, 210.0, 330.0}) {
                const double a = turn * degToRad;
                dxf.writeVertex(dw, DL_VertexData(x + r * std::cos(a), y + r * std::sin(a), 0));
            }
            dxf.writePolylineEnd(dw);
        } else {
            dxf.writeCircle(dw, DL_CircleData(x, y, 0, symbol / 2), symbolLayer);
        }
        if (!names[i].empty()) {
            dxf.writeText(dw,
                          DL_TextData(x + symbol, y + symbol / 2, 0, 0, 0, 0, height, 1, 0, 0, 0, names[i], "Standard", 0),
                          on(Names));
        }
        const plot::PointPrecision& q = figure.points[i].precision;
        if (ellipseAxis[i] > 0) {
            // The semi-major axis along its azimuth φ, clockwise from north (CAD's y).
            const double a = ellipseAxis[i];
            const double phi = q.phiDegrees * degToRad;
            const double ratio = std::clamp(q.F / q.E, 1e-6, 1.0);
            dxf.writeEllipse(dw, DL_EllipseData(x, y, 0, a * std::sin(phi), a * std::cos(phi), 0, ratio, 0, 2 * pi),
                             on(Ellipses));
        }
    }
    for (const plot::FigureSide& s : figure.sides) {
        const ListedPoint& a = points[static_cast<std::size_t>(s.from)];
        const ListedPoint& b = points[static_cast<std::size_t>(s.to)];
        dxf.writeLine(dw, DL_LineData(a.Y, a.X, 0, b.Y, b.X, 0),
                      on(s.kind == plot::SideKind::Route ? RouteSides : OtherSides));
    }
    // The factor, or why there are no ellipses: every figure zero when the
    // corrections are (mb = 0).
    const std::string factor = figure.ellipseMagnification > 0
                                   ? "误差椭圆放大 " + generalNumber(figure.ellipseMagnification) + " 倍"
                                   : "没有误差椭圆：各点中误差均为零";
    dxf.writeText(dw,
                  DL_TextData(factorX, factorY, 0, 0, 0, 0, height, 1, 0, 0, 0, encoded(factor),
                              "Standard", 0),
                  on(Ellipses));
    dw.sectionEnd();

    dxf.writeObjects(dw);
    dxf.writeObjectsEnd(dw);
    dw.dxfEOF();
    return {std::move(out), {}, false};
}

}  // namespace trelvan::exports
