// 查看 ▸ 网图 and 文件 ▸ 导出完整报告 PDF as the operator uses them: the plot window
// opens fitted, zooms about the cursor, pans by dragging, names a point in its
// tooltip, follows the next completed result, and exports; the full report is
// written, or cancelled without a trace; long work shows a progress that cancels.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "report/painter/pdf_reader.h"
#include "support/scripted.h"
#include "window/full_report_action.h"
#include "window/main_form.h"
#include "window/plot_window.h"

namespace trelvan {
namespace {

const std::vector<std::string> typedN4 = {
    "4", "", "3452118.406", "", "512637.225", "", "3452701.525", "", "515088.829", "", "0", "", "0", "",
    "0", "", "0", "", "312.2415", "", "160.23026", "", "77.43016", "", "-63.29474", "", "2.5",
    "K07", "D1", "D2", "D3", "D4", "K08", "601.544", "", "-848.482", "", "769.475", "", "1101.074", "",
    "796.970", "", "-1049.501", "", "735.633", "", "1049.576", "", "799.645", ""};

// One triangle with exact sides, as the actions tests compute it.
const std::vector<std::string> oneTriangle = {
    "1", "1000", "", "1000", "", "1000", "", "1100", "", "0", "", "0", "", "0", "", "0", "", "10", "", "0", "",
    "35", "", "0", "", "6", "A", "P1", "B", "70.71067811865476", "", "-100", "", "70.71067811865476", "", "",
    "", ""};

struct Form {
    testing::Harness h;
    MainForm form;
    Form() {
        form.setPrompter(&h.prompter);
        form.setMessages(&h.messages);
    }
    void compute(const std::vector<std::string>& replies) {
        for (const std::string& r : replies) h.prompter.add(r);
        form.Command1_Click();
    }
    // The worked example computed and its plot window open on the screen.
    PlotCanvas* openPlot() {
        compute(typedN4);
        PlotWindow* window = showChainPlot(form);
        return QTest::qWaitForWindowExposed(window) ? window->canvas() : nullptr;
    }
};

bool near(plot::Ground a, plot::Ground b, double metres) {
    return std::fabs(a.x - b.x) <= metres && std::fabs(a.y - b.y) <= metres;
}

void sendWheel(QWidget* w, QPointF at, int delta) {
    QWheelEvent wheel(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &wheel);
}

void sendMouse(QWidget* w, QEvent::Type type, QPointF at, Qt::MouseButtons held) {
    QMouseEvent e(type, at, w->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

TEST(PlotWindow, OpensFittedFollowsTheNextResultAndIsOnePerForm) {
    Form f;
    EXPECT_FALSE(f.form.menuActions().plot->isEnabled());
    f.compute(typedN4);
    ASSERT_TRUE(f.form.menuActions().plot->isEnabled());
    f.form.menuActions().plot->trigger();
    auto* window = f.form.findChild<PlotWindow*>();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    PlotCanvas* canvas = window->canvas();
    const plot::Transform fitted = plot::fitTransform(canvas->figure(), canvas->page());
    EXPECT_EQ(canvas->view().scale, fitted.scale);
    EXPECT_EQ(canvas->view().west, fitted.west);
    EXPECT_EQ(canvas->view().north, fitted.north);
    const plot::PageBox area = plot::drawingAreaOf(canvas->page());
    ASSERT_EQ(canvas->figure().points.size(), 6u);
    for (const plot::FigurePoint& p : canvas->figure().points) {
        const QPointF at = canvas->widgetPointOf(p.at) / canvas->pixelsPerMillimetre();
        EXPECT_TRUE(area.contains(plot::PagePoint{at.x(), at.y()})) << p.name;
    }
    EXPECT_GT(canvas->figure().ellipseMagnification, 0);

    // Zoomed: an abandoned action keeps the view, a completed one shows its chain
    // afresh, fitted.
    canvas->zoomAt(QPointF(100, 100), 3);
    const plot::Transform zoomed = canvas->view();
    f.h.prompter.add(std::string("2"));
    f.h.prompter.cancel();
    f.form.Command1_Click();
    EXPECT_EQ(canvas->view().scale, zoomed.scale);
    EXPECT_EQ(canvas->figure().points.size(), 6u);
    f.compute(oneTriangle);
    ASSERT_EQ(f.form.record().N, 1);
    EXPECT_EQ(canvas->figure().points.size(), 3u);
    EXPECT_EQ(canvas->view().scale, plot::fitTransform(canvas->figure(), canvas->page()).scale);

    f.form.menuActions().plot->trigger();
    EXPECT_EQ(f.form.findChildren<PlotWindow*>().size(), 1);
}

// The ground under the cursor stays under it, notch after notch, anywhere on the
// canvas, in and out; the scale moves by the same factor each notch and stops at
// its limits.
TEST(PlotCanvas, TheWheelZoomsAboutTheCursor) {
    Form f;
    PlotCanvas* canvas = f.openPlot();
    ASSERT_NE(canvas, nullptr);
    const double w = canvas->width(), h = canvas->height();
    for (const QPointF at : {QPointF(w / 2, h / 2), QPointF(20, 30), QPointF(w - 15, h - 25), QPointF(w / 3, 2 * h / 3)}) {
        for (const int delta : {120, 240, -120, 360, -480}) {
            const plot::Ground under = canvas->groundAt(at);
            const double scale = canvas->view().scale;
            sendWheel(canvas, at, delta);
            EXPECT_NEAR(canvas->view().scale / scale, std::pow(1.25, delta / 120.0), 1e-12);
            EXPECT_TRUE(near(canvas->groundAt(at), under, 1e-6)) << at.x() << "," << at.y() << " " << delta;
        }
    }
    canvas->fit();
    const double fitted = canvas->view().scale;
    for (int i = 0; i < 40; ++i) sendWheel(canvas, QPointF(w / 2, h / 2), -120);
    EXPECT_NEAR(canvas->view().scale, fitted / 4, 1e-12 * fitted);
    for (int i = 0; i < 200; ++i) sendWheel(canvas, QPointF(w / 2, h / 2), 120);
    EXPECT_NEAR(canvas->view().scale, 200, 1e-9);  // 1:5
    EXPECT_EQ(canvas->view().denominator(), 5);
}

TEST(PlotCanvas, DraggingPansAndPointsTellWhatTheyAre) {
    Form f;
    PlotCanvas* canvas = f.openPlot();
    ASSERT_NE(canvas, nullptr);
    const QPointF from(200, 150), via(260, 120), to(310, 230);
    const plot::Ground grabbed = canvas->groundAt(from);
    sendMouse(canvas, QEvent::MouseButtonPress, from, Qt::LeftButton);
    sendMouse(canvas, QEvent::MouseMove, via, Qt::LeftButton);
    sendMouse(canvas, QEvent::MouseMove, to, Qt::LeftButton);
    sendMouse(canvas, QEvent::MouseButtonRelease, to, Qt::NoButton);
    EXPECT_TRUE(near(canvas->groundAt(to), grabbed, 1e-6));
    // Moving without a button held is not a drag.
    const plot::Transform still = canvas->view();
    sendMouse(canvas, QEvent::MouseMove, QPointF(50, 50), Qt::NoButton);
    EXPECT_EQ(canvas->view().west, still.west);
    EXPECT_EQ(canvas->view().north, still.north);

    canvas->fit();
    const plot::ChainFigure& figure = canvas->figure();
    const QString d2 = canvas->toolTipAt(canvas->widgetPointOf(figure.points[2].at) + QPointF(3, -2));
    EXPECT_TRUE(d2.startsWith("D2（点 2）\nX = 3452096.867 米\nY = 513485.434 米")) << d2.toStdString();
    EXPECT_TRUE(d2.contains("E = 4.19 毫米")) << d2.toStdString();
    EXPECT_EQ(canvas->toolTipAt(QPointF(3, 3)), QString());  // the margin, outside the drawing
    EXPECT_EQ(canvas->toolTipAt(canvas->widgetPointOf(figure.points[2].at) + QPointF(40, 0)), QString());
}

// Export and full report through their hooks: written and said; a cancelled
// choice of file or a cancelled writing leaves no file and says nothing.
TEST(Exports, WrittenAndSaidOrCancelledWithoutATrace) {
    Form f;
    f.compute(typedN4);
    QTemporaryDir dir;
    const std::size_t said = f.h.messages.said.size();
    bool cancelWriting = false;
    ExportHooks hooks;
    QString chosen;
    hooks.chooseFile = [&](QWidget*, const QString&) { return chosen; };
    hooks.progress = [&](QWidget*, const QString&) -> PaintProgress {
        return [&](int, int) { return !cancelWriting; };
    };

    PlotWindow* window = showChainPlot(f.form);
    window->setExportHooks(hooks);
    window->setMessages(&f.h.messages);
    for (const char* name : {"plot.svg", "plot.png", "plot.pdf"}) {
        chosen = dir.filePath(name);
        window->exportPlot();
        EXPECT_TRUE(QFileInfo(chosen).size() > 1000) << name;
        ASSERT_EQ(f.h.messages.said.size(), said + 1);
        EXPECT_EQ(f.h.messages.said.back(), "网图已保存为 " + chosen.toStdString());
        f.h.messages.said.pop_back();
    }
    chosen = dir.filePath("report.pdf");
    exportFullReport(&f.form, f.form.record(), f.h.messages, hooks);
    const int pages = testing::readPdfWords(chosen).count;
    EXPECT_GE(pages, 3);
    ASSERT_EQ(f.h.messages.said.size(), said + 1);
    EXPECT_EQ(f.h.messages.said.back(),
              "完整报告已保存为 " + chosen.toStdString() + "（共 " + std::to_string(pages) + " 页）");
    f.h.messages.said.pop_back();

    const QStringList written = QDir(dir.path()).entryList(QDir::Files);
    cancelWriting = true;
    for (const char* name : {"cancelled.svg", "cancelled.png"}) {
        chosen = dir.filePath(name);
        window->exportPlot();
    }
    chosen = dir.filePath("cancelled.pdf");
    exportFullReport(&f.form, f.form.record(), f.h.messages, hooks);
    chosen.clear();  // the operator closes the file dialog
    cancelWriting = false;
    window->exportPlot();
    exportFullReport(&f.form, f.form.record(), f.h.messages, hooks);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), written);
    EXPECT_EQ(f.h.messages.said.size(), said);

    // Nothing to export before a result.
    exportFullReport(nullptr, ChainState{}, f.h.messages, hooks);
    ASSERT_EQ(f.h.messages.said.size(), said + 1);
    EXPECT_EQ(f.h.messages.said.back(), "还没有完成的平差计算结果，无法导出完整报告。");
}

// 打印 prints the plot on the printer; with none it offers a PDF of the plot's page,
// and says where it went. 关闭 and Esc close the window.
TEST(PlotWindow, PrintsOrOffersAPdfAndClosesWithItsButtonOrEsc) {
    Form f;
    f.compute(typedN4);
    QTemporaryDir dir;
    QString printer, failure, chosen, asked;
    bool yes = true;
    std::vector<QString> printedOn;
    PlotPrintHooks hooks;
    hooks.findPrinter = [&] { return printer; };
    hooks.print = [&](const plot::ChainFigure& figure, const QString& on, const PaintProgress&) {
        EXPECT_EQ(figure.points.size(), 6u);
        printedOn.push_back(on);
        return failure;
    };
    hooks.confirm = [&](QWidget*, const QString& question) {
        asked = question;
        return yes;
    };
    QString proposed;
    hooks.pdf.chooseFile = [&](QWidget*, const QString& suggested) {
        proposed = suggested;
        return chosen;
    };
    hooks.pdf.progress = [](QWidget*, const QString&) -> PaintProgress { return [](int, int) { return true; }; };
    QPointer<PlotWindow> window = showChainPlot(f.form);
    window->setPrintHooks(hooks);
    window->setMessages(&f.h.messages);
    const QString noPrinter = QStringLiteral("没有可用的打印机。是否把网图保存为 PDF 文件？");
    struct Row {
        const char* printer;
        const char* failure;
        bool yes;
        const char* file;
        std::vector<QString> printedOn;
        const char* asked;
        std::string said;  // "" for nothing; "FILE" for the saved message
    };
    const Row rows[] = {
        {"HP", "", true, "", {"HP"}, "", ""},
        {"HP", "打印机 HP 报告错误，网图没有打印出来。", true, "", {"HP"}, "", "打印机 HP 报告错误，网图没有打印出来。"},
        {"", "", true, "plot.pdf", {}, "ask", "FILE"},
        {"", "", false, "no.pdf", {}, "ask", ""},
        {"", "", true, "", {}, "ask", ""},  // the file dialog closed
    };
    for (const Row& row : rows) {
        printer = QString::fromUtf8(row.printer), failure = QString::fromUtf8(row.failure), yes = row.yes;
        chosen = *row.file ? dir.filePath(QString::fromUtf8(row.file)) : QString();
        printedOn.clear(), asked.clear(), f.h.messages.said.clear();
        window->findChild<QPushButton*>(QStringLiteral("PlotPrint"))->click();
        EXPECT_EQ(printedOn, row.printedOn) << row.file;
        EXPECT_EQ(asked, *row.asked ? noPrinter : QString()) << row.file;
        const std::string said = row.said == "FILE" ? "网图已保存为 " + chosen.toStdString() : row.said;
        EXPECT_EQ(f.h.messages.said, said.empty() ? std::vector<std::string>{} : std::vector<std::string>{said});
        EXPECT_EQ(QFileInfo::exists(chosen), row.said == "FILE") << row.file;
    }
    EXPECT_TRUE(proposed.endsWith(QStringLiteral("/K07-K08 网图.pdf"))) << proposed.toStdString();
    const testing::PdfPages pdf = testing::readPdfWords(dir.filePath("plot.pdf"));
    EXPECT_EQ(pdf.count, 1);
    EXPECT_NEAR(pdf.width, 297 / 25.4 * 72, 1);  // A4 across, as the chain lies

    window->findChild<QPushButton*>(QStringLiteral("PlotClose"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    window = showChainPlot(f.form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

// The menu item asks for the file in Qt's own dialog, in Chinese.
TEST(Exports, TheFullReportItemAsksForAPdfFile) {
    Form f;
    EXPECT_FALSE(f.form.menuActions().exportFullReport->isEnabled());
    f.compute(typedN4);
    ASSERT_TRUE(f.form.menuActions().exportFullReport->isEnabled());
    QString title, filter;
    bool own = false;
    QTimer::singleShot(50, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        filter = dialog->nameFilters().join(";");
        own = dialog->testOption(QFileDialog::DontUseNativeDialog);
        dialog->reject();
    });
    f.form.menuActions().exportFullReport->trigger();
    EXPECT_EQ(title, QStringLiteral("导出完整报告 PDF"));
    EXPECT_EQ(filter, QStringLiteral("PDF 文件 (*.pdf)"));
    EXPECT_TRUE(own);
}

// The progress dialog closes before the outcome is said, so that it never stands
// behind the message as if the writing were still going on.
TEST(Exports, TheProgressIsGoneBeforeTheOutcomeIsSaid) {
    Form f;
    f.compute(typedN4);
    PlotWindow* window = showChainPlot(f.form);
    struct Watching : Messages {
        std::vector<QWidget*> parents;
        std::vector<bool> progressShown;
        void say(const std::string&) override {
            bool shown = false;
            for (QWidget* p : parents) shown = shown || p->findChild<QProgressDialog*>() != nullptr;
            progressShown.push_back(shown);
        }
    } watching;
    watching.parents = {&f.form, window};
    QTemporaryDir dir;
    ExportHooks hooks;
    QString chosen = dir.filePath("report.pdf");
    hooks.chooseFile = [&](QWidget*, const QString&) { return chosen; };
    exportFullReport(&f.form, f.form.record(), watching, hooks);
    chosen = dir.filePath("plot.png");
    window->setExportHooks(hooks);
    window->setMessages(&watching);
    window->exportPlot();
    EXPECT_EQ(watching.progressShown, (std::vector<bool>{false, false}));
}

// The real progress: hidden for a moment, then a dialog whose 取消 the progress
// reports; gone with the progress.
TEST(Exports, TheProgressDialogCancels) {
    QWidget parent;
    PaintProgress progress = progressDialog(&parent, QStringLiteral("写入"));
    auto* dialog = parent.findChild<QProgressDialog*>(QStringLiteral("WorkProgress"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->minimumDuration(), 500);
    EXPECT_TRUE(progress(1, 10));
    EXPECT_EQ(dialog->maximum(), 10);
    EXPECT_EQ(dialog->value(), 1);
    dialog->cancel();
    EXPECT_FALSE(progress(2, 10));
    progress = nullptr;
    EXPECT_EQ(parent.findChild<QProgressDialog*>(), nullptr);
}

}  // namespace
}  // namespace trelvan
