#include "window/plot_window.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QKeySequence>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "plot/painter/plot_painter.h"
#include "state/constants.h"
#include "state/number_format.h"
#include "window/job_actions.h"
#include "window/kept_window.h"
#include "window/main_form.h"
#include "window/print_action.h"
#include "window/qt_seams.h"

namespace trelvan {

namespace {

// The canvas as a page: a narrow margin round the drawing; names, captions and the
// title at their sizes on paper.
constexpr double canvasMargin = 4;
// A wheel notch zooms by this factor; the buttons by two notches.
constexpr double notchFactor = 1.25;
// The largest scale: 1:5, 200 mm on the screen for a metre on the ground.
constexpr double largestScale = 200;
// How near the cursor a point must be for its tooltip, in millimetres of the screen.
constexpr double tooltipReach = 3.0;

QString text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

QString printChainPlot(QPrinter& printer, const plot::ChainFigure& figure, const PaintProgress& progress) {
    printer.setFullPage(true);
    const QSizeF paper = printer.pageLayout().pageSize().size(QPageSize::Millimeter);
    plot::PageSetup page = plot::paperFor(figure, std::max(paper.width(), paper.height()),
                                          std::min(paper.width(), paper.height()));
    page.textWidth = plot::fontTextWidth();
    printer.setPageOrientation(page.width > page.height ? QPageLayout::Landscape : QPageLayout::Portrait);
    const plot::Plot plot = plot::layoutPlot(figure, page);
    QPainter painter;
    if (!painter.begin(&printer)) return QStringLiteral("未能开始打印。");
    if (!plot::paintPlot(painter, plot, printer.paperRect(QPrinter::DevicePixel), progress)) {
        printer.abort();
        painter.end();
        return QStringLiteral("已停止。");
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error) return QStringLiteral("网图没有打印出来。");
    return {};
}

namespace {

// The whole plot on the named printer.
QString printPlotOn(const plot::ChainFigure& figure, const QString& name, const PaintProgress& progress) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull()) return QStringLiteral("找不到打印机 %1。").arg(name);
    QPrinter printer(info, QPrinter::HighResolution);
    if (!printer.isValid()) return QStringLiteral("打印机 %1 无法使用。").arg(name);
    printer.setDocName(QString::fromUtf8(programTitle) + QStringLiteral(" 网图"));
    const QString failure = printChainPlot(printer, figure, progress);
    return failure.isEmpty() ? QString() : QStringLiteral("打印机 %1 报告错误：%2").arg(name, failure);
}

// The whole plot on A4 in the file, as the file's extension asks, or as a PDF.
ExportOutcome writePlotFile(const plot::ChainFigure& figure, const QString& fileName,
                            std::optional<plot::PlotFormat> format, const PaintProgress& progress) {
    ExportOutcome told;
    const PaintProgress heard = [&](int done, int total) {
        told.stopped = !progress(done, total);
        return !told.stopped;
    };
    told.failure = format ? plot::writePlot(plot::layoutPlot(figure, plot::paperSetup(figure)), fileName, *format,
                                            200, heard)
                          : plot::writePlot(figure, fileName, heard);
    told.written = QStringLiteral("网图已保存为 %1").arg(fileName);
    return told;
}

}  // namespace

PlotPrintHooks PlotPrintHooks::system() {
    PlotPrintHooks hooks;
    hooks.findPrinter = PrintHooks::system().findPrinter;
    hooks.print = printPlotOn;
    hooks.confirm = askYesNo;
    hooks.pdf.chooseFile = [](QWidget* parent, const QString& suggested) {
        return chooseSaveFile(parent, QStringLiteral("保存网图为 PDF 文件"), {QStringLiteral("PDF 文件 (*.pdf)")},
                              suggested);
    };
    return hooks;
}

PlotCanvas::PlotCanvas(QWidget* parent) : QWidget(parent), measure_(plot::fontTextWidth()) {
    setObjectName(QStringLiteral("PlotCanvas"));
    setMouseTracking(true);
    setCursor(Qt::OpenHandCursor);
    setMinimumSize(320, 240);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

double PlotCanvas::pixelsPerMillimetre() const { return (logicalDpiX() > 0 ? logicalDpiX() : 96) / 25.4; }

plot::PageSetup PlotCanvas::page() const {
    plot::PageSetup page;
    const double k = pixelsPerMillimetre();
    page.width = width() / k;
    page.height = height() / k;
    page.margin = canvasMargin;
    page.textWidth = measure_;
    return page;
}

void PlotCanvas::setFigure(plot::ChainFigure figure) {
    figure_ = std::move(figure);
    fit();
}

void PlotCanvas::setView(const plot::Transform& view) {
    view_ = view;
    stale_ = true;
    update();
    emit viewChanged();
}

void PlotCanvas::fit() {
    fitted_ = true;
    const plot::Transform fitted = plot::fitTransform(figure_, page());
    fittedScale_ = fitted.scale;
    setView(fitted);
}

void PlotCanvas::zoomAt(QPointF at, double factor) {
    if (!(view_.scale > 0) || !(factor > 0)) return;
    const double smallest = fittedScale_ / 4;
    const double scale = std::clamp(view_.scale * factor, std::min(smallest, view_.scale), std::max(largestScale, view_.scale));
    if (scale == view_.scale) return;
    const plot::Ground g = groundAt(at);
    const double k = pixelsPerMillimetre();
    plot::Transform zoomed = view_;
    zoomed.scale = scale;
    zoomed.west = g.y - at.x() / k / scale;
    zoomed.north = g.x + at.y() / k / scale;
    fitted_ = false;
    setView(zoomed);
}

void PlotCanvas::panBy(QPointF pixels) {
    if (!(view_.scale > 0) || pixels.isNull()) return;
    const double k = pixelsPerMillimetre();
    plot::Transform moved = view_;
    moved.west -= pixels.x() / k / view_.scale;
    moved.north += pixels.y() / k / view_.scale;
    fitted_ = false;
    setView(moved);
}

plot::Ground PlotCanvas::groundAt(QPointF at) const {
    const double k = pixelsPerMillimetre();
    return view_.toGround({at.x() / k, at.y() / k});
}

QPointF PlotCanvas::widgetPointOf(plot::Ground ground) const {
    const plot::PagePoint p = view_.toPage(ground);
    const double k = pixelsPerMillimetre();
    return {p.x * k, p.y * k};
}

const plot::Plot& PlotCanvas::laidOut() {
    if (stale_) {
        plot_ = plot::layoutPlot(figure_, page(), view_);
        stale_ = false;
    }
    return plot_;
}

QString PlotCanvas::toolTipAt(QPointF at) const {
    const double k = pixelsPerMillimetre();
    const plot::PagePoint p{at.x() / k, at.y() / k};
    if (!plot::drawingAreaOf(page()).contains(p)) return {};
    const int index = plot::pointNear(figure_, view_, p, tooltipReach);
    return index < 0 ? QString() : text(plot::describePoint(figure_, index));
}

bool PlotCanvas::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = toolTipAt(help->pos());
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), tip, this);
        }
        return true;
    }
    return QWidget::event(event);
}

void PlotCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const plot::Plot& plot = laidOut();
    if (plot.empty()) {
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("没有可绘制的平差结果。"));
        return;
    }
    plot::paintPlot(painter, plot, QRectF(rect()));
}

void PlotCanvas::resizeEvent(QResizeEvent*) {
    if (fitted_) {
        fit();
    } else {
        stale_ = true;
        const plot::Transform fitted = plot::fitTransform(figure_, page());
        fittedScale_ = fitted.scale;
    }
}

void PlotCanvas::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0) zoomAt(event->position(), std::pow(notchFactor, notches));
    event->accept();
}

void PlotCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    dragFrom_ = event->position();
    setCursor(Qt::ClosedHandCursor);
    QToolTip::hideText();
}

void PlotCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (!dragFrom_ || !(event->buttons() & Qt::LeftButton)) return QWidget::mouseMoveEvent(event);
    const QPointF to = event->position();
    panBy(to - *dragFrom_);
    dragFrom_ = to;
}

void PlotCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    dragFrom_.reset();
    setCursor(Qt::OpenHandCursor);
}

ExportHooks plotExportHooks() {
    ExportHooks hooks;
    hooks.chooseFile = [](QWidget* parent, const QString& suggested) {
        return chooseSaveFile(parent, QStringLiteral("导出网图"),
                                {QStringLiteral("SVG 矢量图 (*.svg)"), QStringLiteral("PNG 图像 (*.png)"),
                                 QStringLiteral("PDF 文件 (*.pdf)")},
                                suggested);
    };
    return hooks;
}

PlotWindow::PlotWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), hooks_(plotExportHooks()), printHooks_(PlotPrintHooks::system()) {
    setObjectName(QStringLiteral("PlotWindow"));
    setWindowTitle(QStringLiteral("网图 - ") + QString::fromUtf8(programTitle));
    canvas_ = new PlotCanvas(this);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("PlotStatus"));
    status_->setTextFormat(Qt::PlainText);

    const auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromUtf8(name));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* fit = button("PlotFit", "适合窗口");
    QPushButton* zoomIn = button("PlotZoomIn", "放大");
    QPushButton* zoomOut = button("PlotZoomOut", "缩小");
    QPushButton* save = button("PlotExport", "导出…");
    QPushButton* print = button("PlotPrint", "打印");
    QPushButton* shut = button("PlotClose", "关闭");
    connect(fit, &QPushButton::clicked, canvas_, &PlotCanvas::fit);
    const auto middle = [this] { return QPointF(canvas_->width() / 2.0, canvas_->height() / 2.0); };
    connect(zoomIn, &QPushButton::clicked, this, [this, middle] { canvas_->zoomAt(middle(), notchFactor * notchFactor); });
    connect(zoomOut, &QPushButton::clicked, this,
            [this, middle] { canvas_->zoomAt(middle(), 1 / (notchFactor * notchFactor)); });
    connect(save, &QPushButton::clicked, this, &PlotWindow::exportPlot);
    connect(print, &QPushButton::clicked, this, &PlotWindow::printPlot);
    connect(shut, &QPushButton::clicked, this, &QWidget::close);
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
    connect(canvas_, &PlotCanvas::viewChanged, this, &PlotWindow::showScale);

    auto* bar = new QHBoxLayout;
    for (QPushButton* b : {fit, zoomIn, zoomOut, save, print}) bar->addWidget(b);
    bar->addSpacing(12);
    bar->addWidget(status_, 1);
    bar->addWidget(shut);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(bar);
    layout->addWidget(canvas_, 1);

    // Most of the screen, landscape like a chain.
    const QRect screen = (parent ? parent->screen() : QGuiApplication::primaryScreen())->availableGeometry();
    resize(std::min(1000, screen.width() * 9 / 10), std::min(700, screen.height() * 9 / 10));
}

void PlotWindow::showRecord(const ChainState& record) {
    std::string failure;
    plot::ChainFigure figure = plot::recordFigure(record, &failure);
    note_ = failure.empty() ? QString() : QStringLiteral("没有误差椭圆：") + text(failure);
    shown_ = record.computedAt;
    canvas_->setFigure(std::move(figure));
}

void PlotWindow::followRecord(const ChainState& record) {
    if (!record.hasResult()) {
        close();
        return;
    }
    if (record.computedAt != shown_) showRecord(record);
}

void PlotWindow::showScale() {
    const plot::Transform& view = canvas_->view();
    QString scale;
    if (view.scale > 0)
        scale = QStringLiteral("比例 1:") + text(formatFixed(view.denominator(), 0)) + QStringLiteral("（屏幕上）　");
    status_->setText(scale + QStringLiteral("滚轮缩放，拖动平移，指向点可看其坐标和误差椭圆。") +
                     (note_.isEmpty() ? QString() : QStringLiteral("　") + note_));
}

void PlotWindow::exportPlot() {
    if (canvas_->figure().empty()) return;
    runExport(this, hooks_, *messages_, QStringLiteral("正在写入网图"), proposer_ ? proposer_() : QString(),
              [&](const QString& fileName, const PaintProgress& progress) {
                  return writePlotFile(canvas_->figure(), fileName, std::nullopt, progress);
              });
}

void PlotWindow::printPlot() {
    const plot::ChainFigure& figure = canvas_->figure();
    if (figure.empty()) {
        messages_->say("还没有完成的平差计算结果，无法打印。");
        return;
    }
    const QString printer = printHooks_.findPrinter();
    if (!printer.isEmpty()) {
        bool stopped = false;
        QString failure;
        {
            const PaintProgress progress = printHooks_.pdf.progress(this, QStringLiteral("正在打印网图 …"));
            failure = printHooks_.print(figure, printer, [&](int done, int total) {
                stopped = !progress(done, total);
                return !stopped;
            });
        }  // the progress dialog is gone before a failure is said
        if (!failure.isEmpty() && !stopped) messages_->say(failure.toStdString());
        return;
    }
    if (!printHooks_.confirm(this, QStringLiteral("没有可用的打印机。是否把网图保存为 PDF 文件？"))) return;
    // The name proposed for the plot, as a PDF.
    QString proposed = proposer_ ? proposer_() : QString();
    const qsizetype dot = proposed.lastIndexOf(QLatin1Char('.'));
    if (dot > proposed.lastIndexOf(QLatin1Char('/'))) proposed = proposed.left(dot) + QStringLiteral(".pdf");
    runExport(this, printHooks_.pdf, *messages_, QStringLiteral("正在写入网图"), proposed,
              [&](const QString& fileName, const PaintProgress& progress) {
                  return writePlotFile(figure, fileName, plot::PlotFormat::Pdf, progress);
              });
}

PlotWindow* showChainPlot(MainForm& form) {
    auto* window = form.findChild<PlotWindow*>(QStringLiteral("PlotWindow"), Qt::FindDirectChildrenOnly);
    if (window == nullptr) {
        window = new PlotWindow(&form);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setProposer([&form] { return form.jobs().proposedPath(Proposed::Plot); });
        QObject::connect(&form, &MainForm::resultCompleted, window,
                         [&form, window] { window->followRecord(form.record()); });
        window->showRecord(form.record());
        placeKept(*window, [&form](const QWidget& w) { return form.childPlace(w); });
    } else {
        window->followRecord(form.record());
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace trelvan
