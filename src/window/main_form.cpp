#include "window/main_form.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFont>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include "adjustment/compute.h"
#include "reduction/reduction.h"
#include "state/version.h"
#include "window/analysis_window.h"
#include "window/check_marks.h"
#include "window/coordinate_export_action.h"
#include "window/full_report_action.h"
#include "window/layout.h"
#include "window/manual_window.h"
#include "window/plot_window.h"
#include "window/job_actions.h"
#include "window/print_action.h"

namespace trelvan {

namespace {

QColor toColor(layout::Rgb rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

// The font a control names. Captions in "MS Sans Serif" are mostly Chinese, and
// that face has no Chinese: their Chinese comes from the Song face instead of
// whatever face the system would pick.
QFont toFont(const layout::FontSpec& spec) {
    QFont font;
    QStringList families{QString::fromUtf8(spec.family)};
    if (std::string_view(spec.family) == "MS Sans Serif") families << QStringLiteral("宋体");
    font.setFamilies(families);
    font.setPointSizeF(spec.points);
    font.setBold(spec.bold);
    return font;
}

void applyFont(QWidget* widget, const layout::FontSpec& spec) {
    if (spec.family != nullptr) widget->setFont(toFont(spec));
}

// A button face in exactly its colour, flat, whatever the platform style would make
// of it; a darker edge shows where the focus is, a darker face a press.
QString buttonStyle(QColor face) {
    return QStringLiteral(
               "QPushButton { background-color: %1; color: black; border: 1px solid #5a5a5a; }"
               "QPushButton:focus { border: 2px solid black; }"
               "QPushButton:pressed { background-color: %2; }")
        .arg(face.name(), face.darker(115).name());
}

// A text long enough never to be cut short in a text box: a point name may be as
// long as a reply may be.
constexpr int textBoxMaxLength = 1 << 20;

// Keeps a flag set while an action runs, and clears it however the action ends.
class Busy {
public:
    explicit Busy(bool& flag) : flag_(flag) { flag_ = true; }
    ~Busy() { flag_ = false; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    bool& flag_;
};

}  // namespace

LineControl::LineControl(QWidget* parent, QPoint from, QPoint to, QColor colour, int width)
    : QWidget(parent), from_(from), to_(to), colour_(colour), width_(width) {
    const int pad = width_;
    setGeometry(QRect(from_, to_).normalized().adjusted(-pad, -pad, pad, pad));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void LineControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Slanted lines are smoothed; the frame stays crisp.
    if (from_.x() != to_.x() && from_.y() != to_.y()) painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour_, width_, Qt::SolidLine, Qt::SquareCap));
    painter.drawLine(from_ - pos(), to_ - pos());
}

MainForm::MainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QString::fromUtf8(layout::window.caption));
    dpi_ = logicalDpiX() > 0 ? logicalDpiX() : 96;

    sheet_ = new QWidget;
    sheet_->setObjectName(QStringLiteral("Sheet"));
    buildSheet();
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("SheetScroll"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setFocusPolicy(Qt::NoFocus);
    scroll_->setWidgetResizable(true);  // the sheet fills a window larger than itself
    scroll_->setWidget(sheet_);
    setCentralWidget(scroll_);
    buildMenus();
    // 查看 ▸ 网图 and 文件 ▸ 导出完整报告 PDF, once there is a result.
    connect(menu_.plot, &QAction::triggered, this, [this] { showChainPlot(*this); });
    connect(menu_.exportFullReport, &QAction::triggered, this, [this] {
        if (busy_) return;
        Busy busy(busy_);
        exportFullReport(this, record_, *messages_, fullReportHooks(), jobs_->reportOrigin(Proposed::FullReport));
    });
    enableWithResult(menu_.plot);
    enableWithResult(menu_.exportFullReport);
    // 文件 ▸ 导出坐标, once there is a result.
    for (const auto& [action, format] : {std::pair{menu_.exportDat, exports::Format::CassData},
                                         std::pair{menu_.exportCsv, exports::Format::Csv},
                                         std::pair{menu_.exportDxf, exports::Format::Dxf}}) {
        connect(action, &QAction::triggered, this, [this, format] {
            if (busy_) return;
            Busy busy(busy_);
            exportCoordinates(this, record_, format, *messages_, coordinateExportHooks(format),
                              jobs_->proposedPath(proposedFor(format)));
        });
        enableWithResult(action);
    }
    enableWithResult(menu_.exportCoordinates->menuAction());
    jobs_ = new JobActions(*this);

    ownPrompter_.setScene([this](int box, bool pause) { return inputBoxScene(box, pause); });
    // A message, the 检核 warning above all, leaves the figures it speaks of in sight.
    ownMessages_.setScene([this] { return inputBoxScene(0, true); });
    fitToScreen();
    // A display, not a form: the operator starts at 平差计算, not in a text box.
    sheet_->findChild<QPushButton*>(QStringLiteral("Command1"))->setFocus();
}

MainForm::~MainForm() = default;

int MainForm::pixels(int twips) const {
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi_ / 1440.0));
}

void MainForm::buildSheet() {
    QWidget* sheet = sheet_;
    QPalette peach = sheet->palette();
    peach.setColor(QPalette::Window, toColor(layout::window.background));
    sheet->setPalette(peach);
    sheet->setAutoFillBackground(true);
    sheet->setFont(toFont(layout::window.font));

    // Edges are converted, not sizes, so that controls that touch in twips touch
    // on the screen too.
    const auto rect = [this](int left, int top, int width, int height) {
        return QRect(QPoint(pixels(left), pixels(top)),
                     QPoint(pixels(left + width) - 1, pixels(top + height) - 1));
    };

    const auto addLabel = [&](const layout::LabelSpec& spec) {
        auto* label = new QLabel(QString::fromUtf8(spec.caption), sheet);
        label->setObjectName(QString::fromUtf8(spec.name));
        label->setTextFormat(Qt::PlainText);
        // Every label is painted in the window's colour, so that a caption of the
        // diagram stands on its lines instead of being struck through by them.
        label->setAutoFillBackground(true);
        applyFont(label, spec.font);
        switch (spec.align) {
            case layout::Align::Natural:
                label->move(pixels(spec.left), pixels(spec.top));
                label->adjustSize();
                return;
            case layout::Align::Left: label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter); break;
            case layout::Align::Bottom: label->setAlignment(Qt::AlignLeft | Qt::AlignBottom); break;
            case layout::Align::Right: label->setAlignment(Qt::AlignRight | Qt::AlignVCenter); break;
            case layout::Align::Wrap:
                label->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
                label->setWordWrap(true);
                break;
        }
        QRect box = rect(spec.left, spec.top, spec.width, spec.height);
        // A caption on two lines keeps its bottom on the box it describes and grows
        // upwards when the face on this machine needs more than the given height.
        if (spec.align == layout::Align::Wrap)
            box.setTop(std::min(box.top(), box.bottom() + 1 - label->heightForWidth(box.width())));
        label->setGeometry(box);
    };

    // Captionless labels first, so that they lie under everything else; then the
    // lines, the labels, the text boxes and the buttons.
    for (const auto& spec : layout::labels)
        if (*spec.caption == '\0') addLabel(spec);

    for (const auto& spec : layout::lines) {
        auto* line = new LineControl(sheet, QPoint(pixels(spec.x1), pixels(spec.y1)),
                                     QPoint(pixels(spec.x2), pixels(spec.y2)),
                                     toColor(spec.colour), spec.width);
        line->setObjectName(QString::fromUtf8(spec.name));
    }

    for (const auto& spec : layout::labels)
        if (*spec.caption != '\0') addLabel(spec);

    for (const auto& spec : layout::textBoxes) {
        auto* edit = new QLineEdit(sheet);
        edit->setObjectName(QString::fromUtf8(spec.name));
        applyFont(edit, spec.font);
        edit->setMaxLength(textBoxMaxLength);
        // The program writes the boxes and never reads them: typing into one would
        // only make the operator believe a value had changed. Its text can still be
        // selected and copied.
        edit->setReadOnly(true);
        edit->setGeometry(rect(spec.left, spec.top, spec.width, spec.height));
        edits_.attach(std::stoi(std::string(spec.name).substr(4)), edit);
    }

    for (const auto& spec : layout::buttons) {
        auto* button = new QPushButton(QString::fromUtf8(spec.caption), sheet);
        button->setObjectName(QString::fromUtf8(spec.name));
        applyFont(button, spec.font);
        QPalette face = button->palette();
        face.setColor(QPalette::Button, toColor(spec.background));
        button->setPalette(face);
        button->setStyleSheet(buttonStyle(toColor(spec.background)));
        button->setGeometry(rect(spec.left, spec.top, spec.width, spec.height));
    }

    // The whole sheet shows at once, even where this machine's faces are wider
    // than the sheet was drawn for.
    const QRect used = sheet->childrenRect();
    const int margin = pixels(120);
    sheet->setMinimumSize(std::max(pixels(layout::window.width), used.right() + 1 + margin),
                          std::max(pixels(layout::window.height), used.bottom() + 1 + margin));

    connect(sheet->findChild<QPushButton*>(QStringLiteral("Command1")), &QPushButton::clicked, this,
            &MainForm::Command1_Click);
    connect(sheet->findChild<QPushButton*>(QStringLiteral("Command2")), &QPushButton::clicked, this,
            &MainForm::Command2_Click);
    connect(sheet->findChild<QPushButton*>(QStringLiteral("Command3")), &QPushButton::clicked, this,
            &MainForm::Command3_Click);
}

void MainForm::buildMenus() {
    const auto item = [](QMenu* menu, const char* name, const char* text, QKeySequence keys = {}) {
        auto* action = menu->addAction(QString::fromUtf8(text));
        action->setObjectName(QString::fromUtf8(name));
        action->setShortcut(keys);
        return action;
    };
    const auto menu = [this](const char* name, const char* title) {
        QMenu* m = menuBar()->addMenu(QString::fromUtf8(title));
        m->setObjectName(QString::fromUtf8(name));
        return m;
    };
    menuBar()->setObjectName(QStringLiteral("MenuBar"));

    QMenu* file = menu("menuFile", "文件");
    menu_.newJob = item(file, "actionNewJob", "新建作业…", QKeySequence(Qt::CTRL | Qt::Key_N));
    menu_.openJob = item(file, "actionOpenJob", "打开作业…", QKeySequence(Qt::CTRL | Qt::Key_O));
    menu_.editJob = item(file, "actionEditJob", "编辑作业数据…", QKeySequence(Qt::CTRL | Qt::Key_E));
    menu_.saveJob = item(file, "actionSaveJob", "保存作业", QKeySequence(Qt::CTRL | Qt::Key_S));
    menu_.saveJobAs =
        item(file, "actionSaveJobAs", "作业另存为…", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    menu_.recentJobs = file->addMenu(QStringLiteral("最近的作业"));
    menu_.recentJobs->setObjectName(QStringLiteral("menuRecentJobs"));
    file->addSeparator();
    menu_.print = item(file, "actionPrint", "打印", QKeySequence(Qt::CTRL | Qt::Key_P));
    menu_.exportFullReport = item(file, "actionExportFullReport", "导出完整报告 PDF…");
    menu_.exportCoordinates = file->addMenu(QStringLiteral("导出坐标"));
    menu_.exportCoordinates->setObjectName(QStringLiteral("menuExportCoordinates"));
    menu_.exportDat = item(menu_.exportCoordinates, "actionExportDat", "CASS 数据文件…");
    menu_.exportCsv = item(menu_.exportCoordinates, "actionExportCsv", "CSV…");
    menu_.exportDxf = item(menu_.exportCoordinates, "actionExportDxf", "DXF…");
    file->addSeparator();
    menu_.exit = item(file, "actionExit", "退出", QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* view = menu("menuView", "查看");
    menu_.analysis = item(view, "actionAnalysis", "精度分析…");
    menu_.plot = item(view, "actionPlot", "网图…");

    QMenu* help = menu("menuHelp", "帮助");
    menu_.manual = item(help, "actionManual", "使用说明");
    menu_.about = item(help, "actionAbout", "关于 Trelvan");

    connect(menu_.print, &QAction::triggered, this, &MainForm::Command3_Click);
    connect(menu_.exit, &QAction::triggered, this, &MainForm::Command2_Click);
    connect(menu_.about, &QAction::triggered, this, &MainForm::showAbout);
    enableWithResult(menu_.print);
    connect(menu_.analysis, &QAction::triggered, this, [this] { AnalysisWindow::openFor(*this); });
    enableWithResult(menu_.analysis);
    connect(menu_.manual, &QAction::triggered, this, [this] { ManualWindow::openFor(*this); });
}

void MainForm::enableWithResult(QAction* action) {
    if (action == nullptr) return;
    if (!needResult_.contains(action)) needResult_.append(action);
    action->setEnabled(record_.hasResult());
}

void MainForm::refreshActions() {
    needResult_.removeAll(nullptr);  // actions deleted since they joined
    for (QAction* action : needResult_) action->setEnabled(record_.hasResult());
}

void MainForm::fitToScreen() {
    const QScreen* screen = this->screen();
    if (screen == nullptr) return;
    const QSize content(sheet_->minimumWidth(), sheet_->minimumHeight() + menuBar()->sizeHint().height());
    const QMargins frame = windowFrame(this);
    const WindowFit fit = fitWindow(content, frame, screen->availableGeometry());
    setWindowState(fit.scrolls ? windowState() | Qt::WindowMaximized : windowState() & ~Qt::WindowMaximized);
    setGeometry(fit.frame.marginsRemoved(frame));
}

QRect MainForm::sheetRect(int left, int top, int right, int bottom) const {
    return QRect(QPoint(pixels(left), pixels(top)), QPoint(pixels(right) - 1, pixels(bottom) - 1));
}

InputBoxScene MainForm::inputBoxScene(int box, bool pause) {
    // On the sheet: what the operator must still see while the box is open.
    QList<QRect> keep;
    if (const QLineEdit* asked = edits_.edit(box)) keep << asked->geometry();
    // A side is asked about in the row that also says which side is due.
    if (box == 27 || box == 29) keep << edits_.edit(28)->geometry();
    if (pause) {
        for (const layout::Area& a : {layout::precisionPanel, layout::resultsPanel})
            keep << sheetRect(a.left, a.top, a.right, a.bottom);
    }

    // Scrolled into view: together with the diagram, where the input box can then
    // stand without covering any panel, if the window is high enough; else all of it;
    // else at least the box asked about.
    const layout::Area& d = layout::diagramStrip;
    const QRect strip = sheetRect(d.left, d.top, d.right, d.bottom);
    if (!keep.isEmpty()) {
        QRect all;
        for (const QRect& r : keep) all |= r;
        constexpr int margin = 8;
        const QSize room = scroll_->viewport()->size();
        for (const QRect& wanted : {all | strip, all, keep.front()}) {
            const QRect padded = wanted.adjusted(-margin, -margin, margin, margin);
            const bool withStrip = wanted.contains(strip);
            if (wanted != keep.front() && (padded.height() > room.height() || padded.width() > room.width()))
                continue;
            scroll_->ensureVisible(padded.center().x(), padded.center().y(), padded.width() / 2,
                                   padded.height() / 2);
            // Without the diagram in view, the box goes above what it must not cover,
            // where the menu bar and the title bar add to the room.
            if (!withStrip) scroll_->verticalScrollBar()->setValue(padded.bottom() + 1 - room.height());
            break;
        }
    }

    const QRect viewport(scroll_->viewport()->mapToGlobal(QPoint(0, 0)), scroll_->viewport()->size());
    const auto onScreen = [&](const QRect& onSheet) {
        return QRect(sheet_->mapToGlobal(onSheet.topLeft()), onSheet.size()) & viewport;
    };
    InputBoxScene scene;
    scene.screen = screen()->availableGeometry();
    scene.window = frameGeometry();
    scene.strip = onScreen(strip);
    for (const QRect& r : keep) {
        const QRect shown = onScreen(r);
        if (!shown.isEmpty()) scene.keepClear << shown;
    }
    return scene;
}

QRect MainForm::childPlace(const QWidget& child) const {
    // The least a child window is still of use at: a few rows of a table.
    constexpr QSize leastUseful(320, 200);
    const QRect viewport(scroll_->viewport()->mapToGlobal(QPoint(0, 0)), scroll_->viewport()->size());
    ChildScene scene;
    scene.screen = screen()->availableGeometry();
    scene.window = frameGeometry();
    for (const layout::Area& a : {layout::precisionPanel, layout::resultsPanel}) {
        const QRect onSheet = sheetRect(a.left, a.top, a.right, a.bottom);
        const QRect shown = QRect(sheet_->mapToGlobal(onSheet.topLeft()), onSheet.size()) & viewport;
        if (!shown.isEmpty()) scene.keepClear << shown;
    }
    const QMargins frame = windowFrame(&child);
    return placeChildWindow(scene, child.size().grownBy(frame),
                            child.minimumSizeHint().expandedTo(leastUseful).grownBy(frame));
}

void MainForm::setPrompter(Prompter* prompter) {
    prompter_ = prompter != nullptr ? prompter : &ownPrompter_;
}

void MainForm::setMessages(Messages* messages) {
    messages_ = messages != nullptr ? messages : &ownMessages_;
}

void MainForm::Command1_Click() { compute(*prompter_, *messages_); }

ComputeOutcome MainForm::compute(Prompter& prompter, Messages& messages, bool unseen,
                                 const JobOnlyValues& jobOnly) {
    if (busy_) return ComputeOutcome::Cancelled;
    ComputeOutcome outcome = ComputeOutcome::Failed;
    {
        Busy busy(busy_);
        if (unseen) held_.hold();
        try {
            outcome = trelvan::Command1_Click(record_, prompter, boxes_, messages, jobOnly);
        } catch (const std::exception& e) {
            // The record of the last completed computation is still whole: the action
            // replaces it only when it completes. The boxes show it again.
            boxes_.actionEnded(false);
            messages.say(std::string("计算中出现意外错误，本次计算没有完成：") + e.what());
        }
        held_.release();
    }
    // The boxes show the last completed result, whatever became of this action: its
    // 检核 marks, and after a completed computation its findings in one warning.
    showChecks(edits_, record_, outcome == ComputeOutcome::Completed ? &messages : nullptr);
    refreshActions();
    if (outcome == ComputeOutcome::Completed) emit resultCompleted();
    return outcome;
}

void MainForm::Command2_Click() { close(); }

void MainForm::Command3_Click() {
    if (busy_) return;
    Busy busy(busy_);
    try {
        trelvan::Command3_Click(this, record_, *messages_, printHooks_, jobs_->reportOrigin(Proposed::Report));
    } catch (const std::exception& e) {
        messages_->say(std::string("打印中出现意外错误：") + e.what());
    }
}

QString aboutText() {
    return QStringLiteral(
               "Trelvan %1\n"
               "三边测量线性锁的严密条件平差\n\n"
               "许可证：GPL-3.0-or-later\n"
               "本程序是自由软件：您可以依据自由软件基金会发布的 GNU 通用公共许可证"
               "第 3 版或（由您选择）任何更新的版本再发布和修改它。本程序不提供任何担保。\n\n"
               "使用的库：\n"
               "Qt %2（Core、Gui、Widgets、PrintSupport；构建时 Qt %3）\n"
               "%4（DXF 文件）\n"
               "GeographicLib %5（边长归算的椭球与高斯投影）")
        .arg(QString::fromUtf8(programVersion), QString::fromUtf8(qVersion()),
             QStringLiteral(QT_VERSION_STR), QString::fromStdString(exports::drawingLibrary()),
             QString::fromUtf8(reduction::geographicLibVersion()));
}

void MainForm::showAbout() { QMessageBox::about(this, QStringLiteral("关于 Trelvan"), aboutText()); }

void MainForm::closeEvent(QCloseEvent* event) {
    event->accept();
    QCoreApplication::quit();
}

}  // namespace trelvan
