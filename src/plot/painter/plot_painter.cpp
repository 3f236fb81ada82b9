#include "plot/painter/plot_painter.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_map>

#include <QBuffer>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QImageWriter>
#include <QLineF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPolygonF>
#include <QSvgGenerator>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include "report/painter/report_painter.h"
#include "state/constants.h"

namespace trelvan::plot {

namespace {

// Pens in millimetres on the page; dash patterns in pen widths.
struct PenStyle {
    QColor colour;
    double width;
    QVector<qreal> dashes;  // empty: solid
};

PenStyle styleOf(Stroke stroke) {
    switch (stroke) {
        case Stroke::RouteSide: return {Qt::black, 0.35, {}};
        case Stroke::OtherSide: return {QColor(90, 90, 90), 0.18, {5, 4}};
        case Stroke::Orientation: return {QColor(0, 70, 160), 0.3, {}};
        case Stroke::DirectionLine: return {QColor(0, 70, 160), 0.3, {6, 3}};
        case Stroke::Ellipse: return {QColor(200, 0, 0), 0.2, {}};
        case Stroke::Frame: break;
    }
    return {Qt::black, 0.25, {}};
}

// Page millimetres to device coordinates.
class PageMap {
public:
    PageMap(const Plot& plot, const QRectF& target)
        : weight_(plot.lineWeight),
          k_(std::min(target.width() / plot.width, target.height() / plot.height)),
          x0_(target.left() + (target.width() - plot.width * k_) / 2),
          y0_(target.top() + (target.height() - plot.height * k_) / 2) {}

    QPointF operator()(PagePoint p) const { return {x0_ + p.x * k_, y0_ + p.y * k_}; }
    QRectF operator()(const PageBox& b) const {
        return {(*this)(PagePoint{b.left, b.top}), QSizeF(b.width * k_, b.height * k_)};
    }
    double length(double mm) const { return mm * k_; }

    // The chain's own lines at the plot's line weight; the rest at full weight.
    double weighted(double mm) const { return length(mm * weight_); }

    QPen pen(Stroke stroke) const {
        const PenStyle s = styleOf(stroke);
        const bool chain = stroke == Stroke::RouteSide || stroke == Stroke::OtherSide || stroke == Stroke::Ellipse;
        QPen pen(s.colour, chain ? weighted(s.width) : length(s.width), Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        if (!s.dashes.isEmpty()) pen.setDashPattern(s.dashes);
        return pen;
    }
    QPolygonF polygon(const std::vector<PagePoint>& points) const {
        QPolygonF polygon;
        polygon.reserve(static_cast<qsizetype>(points.size()));
        for (const PagePoint& p : points) polygon.append((*this)(p));
        return polygon;
    }

private:
    double weight_, k_, x0_, y0_;
};

// Counts what has been drawn and tells the progress now and then. Once asked to
// stop, it answers every later question with a stop.
class Ticker {
public:
    Ticker(const PaintProgress& progress, int total) : progress_(progress), total_(std::max(total, 1)) {}
    // Counts n items more; false when the drawing is to stop.
    bool add(int n) {
        done_ += n;
        if (stopped_ || !progress_) return !stopped_;
        if (done_ - told_ >= itemsBetweenReports || done_ >= total_) {
            told_ = done_;
            stopped_ = !progress_(std::min(done_, total_), total_);
        }
        return !stopped_;
    }
    bool finish() {
        if (!stopped_ && progress_) stopped_ = !progress_(total_, total_);
        return !stopped_;
    }

private:
    static constexpr int itemsBetweenReports = 1024;
    const PaintProgress& progress_;
    int total_, done_ = 0, told_ = 0;
    bool stopped_ = false;
};

// Lines go to a raster or PDF device in batches of this many, so that a stop is
// heard between them.
constexpr int linesPerBatch = 4096;

// Whether the painter writes SVG. Lines then go out as one path per kind, so that
// the file holds a few elements rather than tens of thousands; a raster or PDF
// device draws many single lines faster than one long path, which it would first
// have to stroke whole.
bool writesSvg(const QPainter& painter) {
    return painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::SVG;
}

bool drawSegments(QPainter& painter, const PageMap& map, const std::vector<Segment>& segments, Ticker& ticker) {
    const bool paths = writesSvg(painter);
    for (Stroke stroke : {Stroke::OtherSide, Stroke::RouteSide, Stroke::Orientation, Stroke::DirectionLine,
                          Stroke::Frame}) {
        QPainterPath path;
        QVector<QLineF> lines;
        const auto drawLines = [&] {
            if (lines.isEmpty()) return true;
            painter.drawLines(lines);
            const int drawn = static_cast<int>(lines.size());
            lines.clear();
            return ticker.add(drawn);
        };
        if (std::none_of(segments.begin(), segments.end(), [&](const Segment& s) { return s.stroke == stroke; }))
            continue;
        painter.setPen(map.pen(stroke));
        painter.setBrush(Qt::NoBrush);
        int inPath = 0;
        for (const Segment& s : segments) {
            if (s.stroke != stroke) continue;
            if (paths) {
                path.moveTo(map(s.a)), path.lineTo(map(s.b));
                ++inPath;
            } else {
                lines.append(QLineF(map(s.a), map(s.b)));
                if (lines.size() == linesPerBatch && !drawLines()) return false;
            }
        }
        if (!path.isEmpty()) painter.drawPath(path);
        if (!drawLines() || !ticker.add(inPath)) return false;
    }
    return true;
}

bool drawOutlines(QPainter& painter, const PageMap& map, const std::vector<Polyline>& outlines, Ticker& ticker) {
    if (outlines.empty()) return true;
    painter.setPen(map.pen(Stroke::Ellipse));
    painter.setBrush(Qt::NoBrush);
    const bool paths = writesSvg(painter);
    QPainterPath path;
    for (const Polyline& e : outlines) {
        const QPolygonF polygon = map.polygon(e.points);
        if (paths) {
            path.addPolygon(polygon);
            if (e.closed) path.closeSubpath();
        } else if (e.closed) {
            painter.drawPolygon(polygon);
        } else {
            painter.drawPolyline(polygon);
        }
        if (!paths && !ticker.add(1)) return false;
    }
    if (paths) painter.drawPath(path);
    return !paths || ticker.add(static_cast<int>(outlines.size()));
}

bool drawFills(QPainter& painter, const PageMap& map, const std::vector<Polygon>& fills, Ticker& ticker) {
    painter.setPen(QPen(Qt::black, map.length(0.15)));
    for (Fill fill : {Fill::White, Fill::Black}) {
        painter.setBrush(fill == Fill::Black ? Qt::black : Qt::white);
        for (const Polygon& f : fills)
            if (f.fill == fill) painter.drawPolygon(map.polygon(f.points));
    }
    return ticker.add(static_cast<int>(fills.size()));
}

// Pen and brush are set once for each kind, so that an SVG keeps every marker of
// a kind in one group.
bool drawMarkers(QPainter& painter, const PageMap& map, const std::vector<Marker>& markers, Ticker& ticker) {
    double thinnest = 0.2;  // a small circle keeps its white middle
    for (const Marker& m : markers)
        if (m.kind == PointKind::Unknown) thinnest = std::min(thinnest, m.size / 5);
    painter.setPen(QPen(Qt::black, map.weighted(thinnest)));
    painter.setBrush(Qt::white);
    for (const Marker& m : markers) {
        if (m.kind != PointKind::Unknown) continue;
        painter.drawEllipse(map(m.at), map.length(m.size) / 2, map.length(m.size) / 2);
        if (!ticker.add(1)) return false;
    }

    painter.setPen(QPen(Qt::black, map.length(0.2)));
    painter.setBrush(Qt::black);
    for (const Marker& m : markers) {
        if (m.kind != PointKind::Known) continue;
        // An upright triangle whose centroid is on the point.
        const QPointF c = map(m.at);
        const double s = map.length(m.size), half = s / std::sqrt(3.0);
        painter.drawPolygon(QPolygonF({QPointF(c.x(), c.y() - 2 * s / 3), QPointF(c.x() + half, c.y() + s / 3),
                                       QPointF(c.x() - half, c.y() + s / 3)}));
        if (!ticker.add(1)) return false;
    }
    return true;
}

bool drawTexts(QPainter& painter, const PageMap& map, const std::vector<Text>& texts, Ticker& ticker) {
    // Each text in an SVG group of its own, so that its runs can be joined (see
    // joinTextRuns).
    BoxedTexts boxed(painter, reportFace(), writesSvg(painter));
    for (const Text& t : texts) {
        const QRectF box = map(t.box);
        boxed.draw(box.topLeft(), box.height(), QString::fromStdString(t.text));
        if (!ticker.add(1)) return false;
    }
    return true;
}

// Qt's SVG generator writes a text as one <text> element for each run of one
// script or font: "GPS北山" comes out as "GPS" and "北山", which no search finds as
// one name. Each text is drawn in an SVG group of its own, so consecutive <text>
// elements in one group are the runs of one text: they are joined into a single
// <text> element, each run a <tspan> where it stood. The rest of the document is
// copied as it was written.
QByteArray joinTextRuns(const QByteArray& svg, QString& error) {
    const QString document = QString::fromUtf8(svg);
    QXmlStreamReader in(document);
    in.setNamespaceProcessing(false);  // names pass as written
    QString out;
    out.reserve(document.size());
    qsizetype copied = 0;  // document[0, copied) is in `out`
    struct Run {
        QXmlStreamAttributes attributes;
        QString text;
    };
    std::vector<Run> runs;
    qsizetype runsBegin = 0, runsEnd = 0;
    const auto flush = [&] {
        if (runs.size() > 1) {
            out += QStringView(document).sliced(copied, runsBegin - copied);
            QXmlStreamWriter w(&out);
            w.writeStartElement(QStringLiteral("text"));
            w.writeAttributes(runs.front().attributes);
            for (const Run& r : runs) {
                w.writeStartElement(QStringLiteral("tspan"));
                for (const QXmlStreamAttribute& a : r.attributes)
                    if (a.qualifiedName() != QLatin1String("xml:space")) w.writeAttribute(a);
                w.writeCharacters(r.text);
                w.writeEndElement();
            }
            w.writeEndElement();
            copied = runsEnd;
        }
        runs.clear();
    };
    const QString startTag = QStringLiteral("<text"), endTag = QStringLiteral("</text>");
    while (!in.atEnd()) {
        in.readNext();
        if (in.isStartElement() && in.qualifiedName() == QLatin1String("text")) {
            // The reader stands just past the start tag; the element runs from that
            // tag to its end tag (its text holds no '<').
            const qsizetype begin = document.lastIndexOf(startTag, in.characterOffset() - 1);
            if (runs.empty()) runsBegin = begin;
            Run r{in.attributes(), {}};
            r.text = in.readElementText(QXmlStreamReader::IncludeChildElements);
            runs.push_back(std::move(r));
            runsEnd = document.indexOf(endTag, begin) + endTag.size();
            continue;
        }
        if (in.isWhitespace() && !runs.empty()) continue;  // between runs of one text
        flush();
    }
    flush();
    if (in.hasError()) error = in.errorString();
    out += QStringView(document).sliced(copied);
    return out.toUtf8();
}

QString failure(const QString& fileName, const QString& why) {
    return QStringLiteral("无法写入网图文件 %1：%2").arg(fileName, why);
}

}  // namespace

TextWidth fontTextWidth() {
    // Each character measured once at a large size and scaled: widths grow in
    // proportion to the em, and the plot's face sets characters without kerning,
    // so a name is as wide as its characters together. Thousands of names are
    // measured for every layout of a long chain.
    constexpr int reference = 200;
    QFont font(reportFace());
    font.setPixelSize(reference);
    auto metrics = std::make_shared<QFontMetricsF>(font);
    auto advances = std::make_shared<std::unordered_map<char32_t, double>>();
    return [metrics, advances](std::string_view text, double em) {
        double width = 0;
        for (char32_t c : QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toUcs4()) {
            auto it = advances->find(c);
            if (it == advances->end())
                it = advances->emplace(c, metrics->horizontalAdvance(QString::fromUcs4(&c, 1))).first;
            width += it->second;
        }
        return width / reference * em;
    };
}

PageSetup paperSetup(const ChainFigure& figure) {
    PageSetup page = paperFor(figure);
    page.textWidth = fontTextWidth();
    return page;
}

int plotWork(const Plot& plot) {
    const std::size_t items = plot.sides.size() + plot.ellipses.size() + plot.orientationLines.size() +
                              plot.arrowHeads.size() + plot.markers.size() + plot.names.size() + plot.frame.size() +
                              plot.frameFills.size() + plot.legendSides.size() + plot.legendMarkers.size() +
                              plot.captions.size();
    return static_cast<int>(std::min<std::size_t>(items, 1u << 30));
}

bool paintPlot(QPainter& painter, const Plot& plot, const QRectF& target, const PaintProgress& progress) {
    if (plot.empty() || target.isEmpty()) return true;
    const PageMap map(plot, target);
    Ticker ticker(progress, plotWork(plot));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.fillRect(map(PageBox{0, 0, plot.width, plot.height}), Qt::white);

    painter.save();
    painter.setClipRect(map(plot.drawingArea));
    const bool chain = drawSegments(painter, map, plot.sides, ticker) &&
                       drawSegments(painter, map, plot.orientationLines, ticker) &&
                       drawFills(painter, map, plot.arrowHeads, ticker) &&
                       drawMarkers(painter, map, plot.markers, ticker) &&
                       drawOutlines(painter, map, plot.ellipses, ticker) &&
                       drawTexts(painter, map, plot.names, ticker);
    painter.restore();

    const bool whole = chain && drawSegments(painter, map, plot.frame, ticker) &&
                       drawFills(painter, map, plot.frameFills, ticker) &&
                       drawSegments(painter, map, plot.legendSides, ticker) &&
                       drawMarkers(painter, map, plot.legendMarkers, ticker) &&
                       drawTexts(painter, map, plot.captions, ticker) && ticker.finish();
    painter.restore();
    return whole;
}

std::optional<PlotFormat> plotFormatOf(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("svg")) return PlotFormat::Svg;
    if (suffix == QLatin1String("png")) return PlotFormat::Png;
    if (suffix == QLatin1String("pdf")) return PlotFormat::Pdf;
    return std::nullopt;
}

namespace {

QString stoppedMessage() { return QStringLiteral("已取消，没有写入文件。"); }

// Paints the plot on a device: empty on success, else what failed.
QString paintOn(QPaintDevice& device, const Plot& plot, const QRectF& target, const PaintProgress& progress) {
    QPainter painter;
    if (!painter.begin(&device)) return QStringLiteral("输出设备未能打开。");
    const bool whole = paintPlot(painter, plot, target, progress);
    if (!painter.end()) return QStringLiteral("输出设备报告错误。");
    return whole ? QString() : stoppedMessage();
}

QString writeSvg(const Plot& plot, QIODevice& out, const PaintProgress& progress) {
    // Ten user units to the millimetre (254 per inch), so that the document's size
    // in millimetres is the page's to the tenth of a millimetre.
    constexpr double unitsPerMillimetre = 10;
    const QRectF page(0, 0, std::round(plot.width * unitsPerMillimetre), std::round(plot.height * unitsPerMillimetre));
    QBuffer generated;
    generated.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&generated);
    svg.setResolution(254);
    svg.setSize(page.size().toSize());
    svg.setViewBox(page);
    svg.setTitle(QString::fromUtf8(programTitle));
    if (QString failed = paintOn(svg, plot, page, progress); !failed.isEmpty()) return failed;
    QString error;
    const QByteArray joined = joinTextRuns(generated.data(), error);
    if (!error.isEmpty()) return QStringLiteral("SVG 输出有误：%1").arg(error);
    return out.write(joined) == joined.size() ? QString() : out.errorString();
}

QString writePng(const Plot& plot, QIODevice& out, int dotsPerInch, const PaintProgress& progress) {
    const double pixelsPerMillimetre = dotsPerInch / 25.4;
    const QSize size(static_cast<int>(std::lround(plot.width * pixelsPerMillimetre)),
                     static_cast<int>(std::lround(plot.height * pixelsPerMillimetre)));
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) return QStringLiteral("内存不足，无法生成图像。");
    const int dotsPerMetre = static_cast<int>(std::lround(dotsPerInch / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    if (QString failed = paintOn(image, plot, QRectF(QPointF(0, 0), QSizeF(size)), progress); !failed.isEmpty())
        return failed;
    QImageWriter writer(&out, "png");
    return writer.write(image) ? QString() : writer.errorString();
}

QString writePdf(const Plot& plot, QIODevice& out, const PaintProgress& progress) {
    QPdfWriter pdf(&out);
    setUpPdf(pdf, QPageLayout(QPageSize(QSizeF(plot.width, plot.height), QPageSize::Millimeter),
                              QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    return paintOn(pdf, plot, QRectF(0, 0, pdf.width(), pdf.height()), progress);
}

}  // namespace

QString writePlot(const Plot& plot, const QString& fileName, PlotFormat format, int dotsPerInch,
                  const PaintProgress& progress) {
    if (plot.empty()) return failure(fileName, QStringLiteral("没有可绘制的平差结果。"));
    const QString failed = saveWhole(fileName, [&](QIODevice& file) {
        return format == PlotFormat::Svg   ? writeSvg(plot, file, progress)
               : format == PlotFormat::Png ? writePng(plot, file, dotsPerInch, progress)
                                           : writePdf(plot, file, progress);
    });
    return failed.isEmpty() ? QString() : failure(fileName, failed);
}

QString writePlot(const ChainFigure& figure, const QString& fileName, const PaintProgress& progress) {
    const std::optional<PlotFormat> format = plotFormatOf(fileName);
    if (!format) return failure(fileName, QStringLiteral("网图文件的扩展名应为 .svg、.png 或 .pdf。"));
    return writePlot(layoutPlot(figure, paperSetup(figure)), fileName, *format, 200, progress);
}

}  // namespace trelvan::plot
