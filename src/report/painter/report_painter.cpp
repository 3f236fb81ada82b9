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

// The foot's face size, and the room it takes at the bottom of each page: a line of
// its own below an empty one.
constexpr int footPoints = 8;
constexpr double footLines = 2;

// How much of `text` fits in `room`: all of it, or up to the last Chinese comma
// that fits, else the last blank, else as many characters as fit (never a surrogate
// pair split); 0 when not one does. `advance` is the whole text's.
qsizetype fittingPrefix(const QString& text, const QFontMetricsF& metrics, qreal room, qreal& advance) {
    advance = metrics.horizontalAdvance(text);
    if (advance <= room) return text.size();  // the usual case
    qsizetype fits = 0, afterComma = 0, afterBlank = 0;
    qreal used = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        used += metrics.horizontalAdvance(text.mid(i, length));
        if (used > room) break;
        i += length;
        fits = i;
        const QChar c = text.at(i - 1);
        if (c == QChar(0x3001) || c == QChar(0xFF0C)) afterComma = i;  // 、 and ，
        if (c == QLatin1Char(' ')) afterBlank = i;
    }
    return afterComma > 0 ? afterComma : afterBlank > 0 ? afterBlank : fits;
}

// A line continued below an item starts at the item's column when that leaves room
// for this many columns, else at the margin.
constexpr int continuedColumns = 20;

// The print position on the page, moved along the report as a line printer would:
// items follow each other, Tab(n) goes to column n or, when the position is
// already past it, to column n of the next line, and a full page continues on the
// next one at the same top position. The bottom of each page is left to its foot.
// Without a painter it only counts the pages, exactly as painting would fill them.
class PagePrinter {
public:
    PagePrinter(QPainter* painter, QPagedPaintDevice& device, const PageFoot& foot, int firstPage, int pages)
        : painter_(painter),
          device_(device),
          foot_(foot),
          footMetrics_(reportFont(footPoints), &device),
          bottom_(device.height() - footLines * footMetrics_.height()),
          top_(twipsToDevice(setUpTopTwips, device.logicalDpiY())),
          x_(twipsToDevice(setUpLeftTwips, device.logicalDpiX())),
          y_(top_),
          firstPage_(firstPage),
          pages_(pages) {}

    // False when the device refused a new page.
    bool printLine(const ReportLine& line) {
        if (!metrics_ || line.fontSize != fontSize_) {
            fontSize_ = line.fontSize;
            metrics_.emplace(reportFont(fontSize_), &device_);
            if (painter_ != nullptr) painter_->setFont(reportFont(fontSize_));
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
            // An item too long for the rest of the line continues below, at its own
            // column (at the margin when that column is too near the edge): what ran
            // past the paper's edge would be lost.
            const qreal again = device_.width() - x_ >= continuedColumns * column ? x_ : 0;
            QString text = QString::fromStdString(item.text);
            while (!text.isEmpty()) {
                if (!roomForLine(height)) return false;
                qreal advance = 0;
                qsizetype fits = fittingPrefix(text, metrics, device_.width() - x_, advance);
                if (fits == 0 && x_ > again) {
                    endLine(height);
                    x_ = again;
                    continue;
                }
                if (fits == 0) fits = text.at(0).isHighSurrogate() && text.size() > 1 ? 2 : 1;
                const bool whole = fits == text.size();
                const QString piece = whole ? text : text.left(fits);
                if (painter_ != nullptr) painter_->drawText(QPointF(x_, y_ + metrics.ascent()), piece);
                pagePrinted_ = true;
                x_ += whole ? advance : metrics.horizontalAdvance(piece);
                text.remove(0, fits);
                if (text.isEmpty()) break;
                endLine(height);
                x_ = again;
            }
        }
        endLine(height);
        return true;
    }

    // The last page's foot.
    void finish() { paintFoot(); }

    int pages() const { return printed_; }

private:
    // A new page when the current one has no room for a line above its foot; false
    // when the device refused it.
    bool roomForLine(qreal height) {
        if (y_ + height <= bottom_ || !pagePrinted_) return true;
        paintFoot();
        if (painter_ != nullptr && !device_.newPage()) return false;
        ++printed_;
        y_ = top_;
        pagePrinted_ = false;
        return true;
    }

    void endLine(qreal height) {
        y_ += height;
        x_ = 0;
        atSetUp_ = false;
    }

    void paintFoot() {
        if (painter_ == nullptr) return;
        const QFontMetricsF& m = footMetrics_;
        const TextWidth measure = [&m](std::string_view text, double) {
            return m.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<int>(text.size())));
        };
        const int page = firstPage_ + printed_ - 1;
        const int pages = pages_ > 0 ? pages_ : page;
        painter_->save();
        painter_->setFont(reportFont(footPoints));
        for (const FootText& t : layOutFoot(foot_, page, pages, device_.width(), m.height(), measure))
            painter_->drawText(QPointF(t.left, device_.height() - m.descent()), QString::fromStdString(t.text));
        painter_->restore();
    }

    QPainter* painter_;
    QPagedPaintDevice& device_;
    const PageFoot& foot_;
    const QFontMetricsF footMetrics_;
    const qreal bottom_;  // of the report's lines
    const qreal top_;
    qreal x_, y_;
    const int firstPage_, pages_;
    int fontSize_ = 0;
    std::optional<QFontMetricsF> metrics_;
    bool atSetUp_ = true;       // nothing printed and no line ended yet
    std::optional<qreal> firstX_;  // where the first item of the report stands
    bool pagePrinted_ = false;  // something stands on the current page
    int printed_ = 1;           // the pages begun
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

int reportPageCount(const Report& report, QPagedPaintDevice& device) {
    PagePrinter counter(nullptr, device, PageFoot{}, 1, 0);
    for (const ReportLine& line : report) counter.printLine(line);
    return counter.pages();
}

PaintedPages paintReportPages(const Report& report, QPainter& painter, QPagedPaintDevice& device,
                              const PaintProgress& progress, const PageNumbering& numbering) {
    PaintedPages painted;
    painter.setPen(Qt::black);
    const int pages = numbering.pages > 0 ? numbering.pages : reportPageCount(report, device);
    PagePrinter printer(&painter, device, numbering.foot, numbering.firstPage, pages);
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
    printer.finish();
    if (progress && !progress(total, total)) {
        painted.stopped = true;
        return painted;
    }
    painted.pages = printer.pages();
    return painted;
}

QString paintReport(const Report& report, QPagedPaintDevice& device, const PageFoot& foot) {
    QPainter painter;
    if (!painter.begin(&device)) return QStringLiteral("无法开始输出报告：打印设备未能打开。");
    const PaintedPages painted = paintReportPages(report, painter, device, {}, {foot, 1, 0});
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

QString writeReportPdf(const Report& report, const QString& fileName, const PageFoot& foot) {
    const QString failed = saveWhole(fileName, [&](QIODevice& file) {
        QPdfWriter writer(&file);
        setUpReportPdf(writer);
        return paintReport(report, writer, foot);
    });
    return failed.isEmpty() ? QString() : QStringLiteral("无法写入 PDF 文件 %1：%2").arg(fileName, failed);
}

}  // namespace trelvan
