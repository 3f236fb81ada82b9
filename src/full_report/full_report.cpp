#include "full_report/full_report.h"

#include <optional>
#include <string>
#include <vector>

#include <QColor>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "analysis/chain_precision.h"
#include "analysis/findings.h"
#include "analysis/table_sheets.h"
#include "plot/painter/plot_painter.h"
#include "plot/plot.h"
#include "reduction/reduction.h"
#include "reduction/reduction_table.h"
#include "report/report.h"
#include "state/failure.h"
#include "state/number_format.h"

namespace trelvan {

namespace {

// The added pages: A4, their margins at the sides, and the room their footers take.
// Their footers stand where the report's pages have theirs.
constexpr double a4Short = 210, a4Long = 297;
constexpr double addedMargin = 15;
constexpr double tablesBottomMargin = 20;
// The tables' text: 9 points.
constexpr double tableEm = 25.4 * 9 / 72;
// A marked row's shading.
const QColor markedRow(222, 222, 222);

QString failure(const QString& fileName, const QString& why) {
    return QStringLiteral("无法写入完整报告 %1：%2").arg(fileName, why);
}

// Millimetres from the top left of a whole page to the device's units.
class SheetMap {
public:
    explicit SheetMap(const QPagedPaintDevice& device) : k_(device.logicalDpiX() / 25.4) {}
    QPointF operator()(double x, double y) const { return {x * k_, y * k_}; }
    double length(double mm) const { return mm * k_; }

private:
    double k_;
};

// Texts in boxes one em high, each line centred in its box, as the plot sets its own.
void drawTexts(QPainter& painter, const SheetMap& map, const std::vector<analysis::SheetText>& texts) {
    BoxedTexts boxed(painter, QString::fromUtf8(reportFontFamily), false);
    for (const analysis::SheetText& t : texts)
        boxed.draw(map(t.left, t.top), map.length(t.em), QString::fromStdString(t.text));
}

void drawSheet(QPainter& painter, const SheetMap& map, const analysis::Sheet& sheet) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(markedRow);
    for (const analysis::SheetBand& b : sheet.bands)
        painter.drawRect(QRectF(map(b.left, b.top), map(b.left + b.width, b.top + b.height)));
    painter.setBrush(Qt::NoBrush);
    for (const analysis::SheetRule& r : sheet.rules) {
        painter.setPen(QPen(Qt::black, map.length(r.weight), Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(map(r.x1, r.y1), map(r.x2, r.y2));
    }
    drawTexts(painter, map, sheet.texts);
}

// The next page of the document, whole (no margins), A4 in the given orientation.
bool newAddedPage(QPdfWriter& writer, QPageLayout::Orientation orientation) {
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF(0, 0, 0, 0),
                                     QPageLayout::Millimeter));
    return writer.newPage();
}

// The reduction of the measured sides on sheets, as the analysis sets its tables:
// none when no side was measured.
std::optional<analysis::TableSheets> reductionSheets(const ChainState& record, const std::string& title,
                                                     const analysis::SheetSetup& setup) {
    if (record.typed.jobOnly.measuredSides.empty()) return std::nullopt;
    const reduction::Table table = reduction::reductionTable(reduction::reduce(record.typed));
    analysis::Table sheetTable{table.title, {}, {}};
    for (const reduction::TableColumn& c : table.columns) sheetTable.columns.push_back({c.header, c.numeric});
    for (const reduction::TableRow& row : table.rows) {
        analysis::TableRow r{{}, row.marked};
        for (const std::string& cell : row.cells) r.cells.push_back({cell, std::nullopt});
        sheetTable.rows.push_back(std::move(r));
    }
    const double em = setup.em;
    std::vector<analysis::HeadingLine> heading = {{"边长归算", 1.6 * em}, {title, 1.1 * em}};
    for (const std::string& line : table.heading) heading.push_back({line, 0.95 * em});
    return analysis::TableSheets({std::move(sheetTable)}, std::move(heading), setup);
}

// Progress of one part of the work, told as progress of the whole.
PaintProgress partOf(const PaintProgress& whole, int offset, int total) {
    if (!whole) return {};
    return [&whole, offset, total](int done, int) { return whole(offset + done, total); };
}

}  // namespace

FullReportOutcome writeFullReportPdf(const ChainState& record, const QString& fileName,
                                     const PaintProgress& progress, const std::string& jobFile, bool unsaved) {
    FullReportOutcome outcome;
    const Report report = analysis::printedReport(record);
    if (report.empty()) {
        outcome.message = failure(fileName, QStringLiteral("还没有完成的平差计算结果。"));
        return outcome;
    }
    std::optional<analysis::ChainPrecision> precision;
    try {
        precision = analysis::analyse(record);
    } catch (const ComputeFailure& e) {
        outcome.message = failure(fileName, QString::fromStdString(e.what()));
        return outcome;
    }
    if (!precision) {
        outcome.message = failure(fileName, QStringLiteral("无法进行精度分析。"));
        return outcome;
    }

    const TextWidth measure = plot::fontTextWidth();
    analysis::SheetSetup setup;
    setup.width = a4Short, setup.height = a4Long;
    setup.margin = addedMargin, setup.bottomMargin = tablesBottomMargin;
    setup.em = tableEm;
    setup.textWidth = measure;
    const analysis::TableSheets sheets = analysis::analysisSheets(*precision, reportTitle(record), setup);
    const std::optional<analysis::TableSheets> reduced = reductionSheets(record, reportTitle(record), setup);
    const int reductionCount = reduced ? reduced->count() : 0;

    const plot::ChainFigure figure = plot::recordFigure(record, *precision);
    plot::PageSetup page = plot::paperFor(figure);
    page.margin = addedMargin;
    page.textWidth = measure;
    const plot::Plot plot = plot::layoutPlot(figure, page);
    if (plot.empty()) {
        outcome.message = failure(fileName, QStringLiteral("无法绘制网图。"));
        return outcome;
    }

    int tableRows = 0;
    for (int i = 0; i < sheets.count(); ++i) tableRows += sheets.rowsOn(i);
    for (int i = 0; i < reductionCount; ++i) tableRows += reduced->rowsOn(i);
    const int work = static_cast<int>(report.size()) + tableRows + plot::plotWork(plot);
    const PageFoot foot = pageFootOf(record, jobFile, unsaved);

    // Asked by the progress to stop: nothing is written, and no failure told.
    bool stopped = false;
    const QString failed = saveWhole(fileName, [&](QIODevice& file) -> QString {
        QPdfWriter writer(&file);
        setUpReportPdf(writer);
        QPainter painter;
        if (!painter.begin(&writer)) return QStringLiteral("输出设备未能打开。");
        // The painting ended unfinished, for the reason given, or because it was
        // asked to stop.
        const auto fail = [&](const QString& why) {
            painter.end();
            return why;
        };
        const auto stop = [&] {
            stopped = true;
            return fail(QStringLiteral("已停止。"));
        };

        // The report, exactly as printed, its pages numbered out of the whole.
        outcome.reportPages = reportPageCount(report, writer);
        outcome.reductionPages = reductionCount;
        outcome.analysisPages = sheets.count();
        outcome.pages = outcome.reportPages + outcome.reductionPages + outcome.analysisPages + 1;
        const PaintedPages painted =
            paintReportPages(report, painter, writer, partOf(progress, 0, work), {foot, 1, outcome.pages});
        if (painted.stopped) return stop();
        if (!painted.failure.isEmpty()) return fail(painted.failure);

        int done = static_cast<int>(report.size());
        const SheetMap map(writer);
        // The reduction of the measured sides, each sheet with its footer.
        for (int i = 0; i < reductionCount; ++i) {
            if (!newAddedPage(writer, QPageLayout::Portrait)) return fail(QStringLiteral("输出设备未能换到新的一页。"));
            analysis::Sheet sheet = reduced->sheet(i);
            for (analysis::SheetText& t :
                 analysis::pageFooter(a4Short, a4Long, pdfMarginMillimetres, foot.computedAt,
                                      outcome.reportPages + i + 1, outcome.pages, measure, foot.jobFile))
                sheet.texts.push_back(std::move(t));
            drawSheet(painter, map, sheet);
            done += reduced->rowsOn(i);
            if (progress && !progress(done, work)) return stop();
        }

        // The analysis tables, each sheet with its footer.
        for (int i = 0; i < sheets.count(); ++i) {
            if (!newAddedPage(writer, QPageLayout::Portrait)) return fail(QStringLiteral("输出设备未能换到新的一页。"));
            analysis::Sheet sheet = sheets.sheet(i);
            const int number = outcome.reportPages + outcome.reductionPages + i + 1;
            for (analysis::SheetText& t :
                 analysis::pageFooter(a4Short, a4Long, pdfMarginMillimetres, foot.computedAt, number, outcome.pages,
                                      measure, foot.jobFile))
                sheet.texts.push_back(std::move(t));
            drawSheet(painter, map, sheet);
            done += sheets.rowsOn(i);
            if (progress && !progress(done, work)) return stop();
        }

        // The plot on a page of its own.
        if (!newAddedPage(writer, plot.width > plot.height ? QPageLayout::Landscape : QPageLayout::Portrait))
            return fail(QStringLiteral("输出设备未能换到新的一页。"));
        const QRectF whole(QPointF(0, 0), QSizeF(map.length(plot.width), map.length(plot.height)));
        if (!plot::paintPlot(painter, plot, whole, partOf(progress, done, work))) return stop();
        drawTexts(painter, map,
                  analysis::pageFooter(plot.width, plot.height, pdfMarginMillimetres, foot.computedAt, outcome.pages,
                                       outcome.pages, measure, foot.jobFile));
        if (!painter.end()) return QStringLiteral("输出设备报告错误。");
        return {};
    });
    if (!failed.isEmpty()) {
        outcome.kind = stopped ? FullReportOutcome::Kind::Stopped : FullReportOutcome::Kind::Failed;
        outcome.message = stopped ? QString() : failure(fileName, failed);
        outcome.reportPages = outcome.reductionPages = outcome.analysisPages = outcome.pages = 0;
        return outcome;
    }
    outcome.kind = FullReportOutcome::Kind::Written;
    return outcome;
}

}  // namespace trelvan
