#include "report/painter/report_painter.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include "state/constants.h"

namespace trelvan {

namespace {

// Where the first item of the report stands, from the top left of the printable area.
constexpr std::int64_t setUpLeftTwips = 2000;
constexpr std::int64_t setUpTopTwips = 1000;

qreal twipsToDevice(std::int64_t twips, int dotsPerInch) {
    return static_cast<qreal>(twips * dotsPerInch) / 1440.0;
}

QFont reportFont(int pointSize) {
    QFont font(QString::fromUtf8(reportFontFamily));
    font.setPointSize(pointSize > 0 ? pointSize : 10);
    return font;
}

// The print position on the page, moved along the report as a line printer would:
// items follow each other, Tab(n) goes to column n or, when the position is
// already past it, to column n of the next line, and a full page continues on the
// next one at the same top position.
class PagePrinter {
public:
    PagePrinter(QPainter& painter, QPagedPaintDevice& device)
        : painter_(painter),
          device_(device),
          top_(twipsToDevice(setUpTopTwips, device.logicalDpiY())),
          x_(twipsToDevice(setUpLeftTwips, device.logicalDpiX())),
          y_(top_) {}

    // False when the device refused a new page.
    bool printLine(const ReportLine& line) {
        if (!metrics_ || line.fontSize != fontSize_) {
            fontSize_ = line.fontSize;
            painter_.setFont(reportFont(fontSize_));
            metrics_.emplace(painter_.font(), &device_);
        }
        const QFontMetricsF& metrics = *metrics_;
        const qreal column = metrics.averageCharWidth();
        const qreal height = metrics.height();
        for (const ReportItem& item : line.items) {
            if (line.underTitle && &item == &line.items.front() && firstX_) {
                x_ = *firstX_;
            } else if (item.tab > 0) {
                const qreal target = (item.tab - 1) * column;
                if (atSetUp_) {
                    // The first item starts at the set-up position, or further
                    // right when its column lies beyond it.
                    x_ = std::max(x_, target);
                    firstX_ = x_;
                } else {
                    // Glyph advances and the average width are scaled separately,
                    // so a position that is a hair past the column is still at it.
                    if (x_ > target + column / 2) endLine(height);
                    x_ = std::max(x_, target);
                }
            }
            atSetUp_ = false;
            if (item.text.empty()) continue;
            if (y_ + height > device_.height() && pagePrinted_) {
                if (!device_.newPage()) return false;
                ++pages_;
                y_ = top_;
                pagePrinted_ = false;
            }
            const QString text = QString::fromStdString(item.text);
            painter_.drawText(QPointF(x_, y_ + metrics.ascent()), text);
            pagePrinted_ = true;
            x_ += metrics.horizontalAdvance(text);
        }
        endLine(height);
        return true;
    }

    int pages() const { return pages_; }

private:
    void endLine(qreal height) {
        y_ += height;
        x_ = 0;
        atSetUp_ = false;
    }

    QPainter& painter_;
    QPagedPaintDevice& device_;
    const qreal top_;
    qreal x_, y_;
    int fontSize_ = 0;
    std::optional<QFontMetricsF> metrics_;
    bool atSetUp_ = true;       // nothing printed and no line ended yet
    std::optional<qreal> firstX_;  // where the first item of the report stands
    bool pagePrinted_ = false;  // something stands on the current page
    int pages_ = 1;
};

// Progress is told after this many lines.
constexpr int linesBetweenProgress = 200;

}  // namespace

BoxedTexts::BoxedTexts(QPainter& painter, const QString& family, bool groupEachText)
    : painter_(painter), font_(family), groupEachText_(groupEachText) {
    painter_.setPen(Qt::black);
}

void BoxedTexts::draw(QPointF boxTopLeft, double emDevice, const QString& text) {
    if (emDevice != em_) {
        em_ = emDevice;
        // The em in device units, as a point size on this device.
        font_.setPointSizeF(std::max(0.01, em_ * 72.0 / painter_.device()->logicalDpiY()));
        painter_.setFont(font_);
        metrics_.emplace(font_, painter_.device());
    } else if (groupEachText_) {
        painter_.setFont(font_);
    }
    const double baseline =
        boxTopLeft.y() + (emDevice - metrics_->ascent() - metrics_->descent()) / 2 + metrics_->ascent();
    painter_.drawText(QPointF(boxTopLeft.x(), baseline), text);
}

void installFontSubstitutions() {
    static const bool installed = [] {
        const QStringList song = {QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC")};
        QFont::insertSubstitutions(QString::fromUtf8(reportFontFamily), song);
        QFont::insertSubstitutions(QStringLiteral("SimSun"), song);
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK SC")});
        return true;
    }();
    (void)installed;
}

const QString& reportFace() {
    static const QString face = [] {
        installFontSubstitutions();
        return QFontInfo(QFont(QString::fromUtf8(reportFontFamily))).family();
    }();
    return face;
}

PaintedPages paintReportPages(const Report& report, QPainter& painter, QPagedPaintDevice& device,
                              const PaintProgress& progress) {
    PaintedPages painted;
    painter.setPen(Qt::black);
    PagePrinter printer(painter, device);
    const int total = static_cast<int>(report.size());
    int done = 0;
    for (const ReportLine& line : report) {
        if (!printer.printLine(line)) {
            painted.failure = QStringLiteral("打印设备未能换到新的一页。");
            return painted;
        }
        if (++done % linesBetweenProgress == 0 && progress && !progress(done, total)) {
            painted.stopped = true;
            return painted;
        }
    }
    if (progress && !progress(total, total)) {
        painted.stopped = true;
        return painted;
    }
    painted.pages = printer.pages();
    return painted;
}

QString paintReport(const Report& report, QPagedPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device)) return QStringLiteral("无法开始输出报告：打印设备未能打开。");
    const PaintedPages painted = paintReportPages(report, painter, device);
    if (!painted.failure.isEmpty()) {
        painter.end();
        return QStringLiteral("无法输出报告：") + painted.failure;
    }
    if (!painter.end()) return QStringLiteral("无法完成报告的输出：打印设备报告错误。");
    return {};
}

QString saveWhole(const QString& fileName, const std::function<QString(QIODevice&)>& write) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (const QString failed = write(file); !failed.isEmpty()) {
        file.cancelWriting();
        return failed;
    }
    if (!file.commit()) return file.errorString();
    return {};
}

void setUpPdf(QPdfWriter& writer, const QPageLayout& layout) {
    writer.setResolution(1200);
    writer.setTitle(QString::fromUtf8(programTitle));
    writer.setCreator(QString::fromUtf8(programTitle));
    writer.setPageLayout(layout);
}

void setUpReportPdf(QPdfWriter& writer) {
    const qreal m = pdfMarginMillimetres;
    setUpPdf(writer, QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(m, m, m, m),
                                 QPageLayout::Millimeter));
}

QString writeReportPdf(const Report& report, const QString& fileName) {
    const QString failed = saveWhole(fileName, [&report](QIODevice& file) {
        QPdfWriter writer(&file);
        setUpReportPdf(writer);
        return paintReport(report, writer);
    });
    return failed.isEmpty() ? QString() : QStringLiteral("无法写入 PDF 文件 %1：%2").arg(fileName, failed);
}

}  // namespace trelvan
