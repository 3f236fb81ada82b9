// 查看 ▸ 精度分析 and 帮助 ▸ 使用说明: the analysis window shows the hand-checked
// tables, highlights what needs a look, sorts on the figures, copies and exports
// what it shows, and follows each completed computation; the guide opens beside it.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include "adjustment/compute.h"
#include "chain_generator.h"
#include "console/command_line.h"
#include "support/decimal_comma_locale.h"
#include "support/scripted.h"
#include "window/golden_files.h"
#include "window/analysis_window.h"
#include "window/main_form.h"
#include "window/manual_window.h"

namespace trelvan {
namespace {

QString u(const char* text) { return QString::fromUtf8(text); }

using testing::goldenFile;
using testing::linesOf;

// The reply of run_typed_n4 that types the angle tolerance, 2.5.
constexpr std::size_t toleranceReply = 25;

enum Tab { Closures, Points, Sides, Reliability };

// The main window with its dialogue scripted; computes golden chains in it.
class AnalysisWindowTest : public ::testing::Test {
protected:
    AnalysisWindowTest() {
        form.setPrompter(&h.prompter);
        form.setMessages(&h.messages);
    }

    // Computes a golden reply file, the reply `replace` changed to `by`. A chain over
    // its limits completes with the one warning of its findings.
    void compute(const std::string& name, std::size_t replace = 0, const char* by = nullptr) {
        auto replies = linesOf(goldenFile(name + ".replies"));
        ASSERT_FALSE(replies.empty()) << name;
        if (by != nullptr) replies.at(replace) = by;
        for (const auto& reply : replies) h.prompter.add(reply);
        form.Command1_Click();
        for (const std::string& said : h.messages.said)
            ASSERT_EQ(said.rfind("平差计算已完成，但检核发现问题", 0), 0u) << said;
        ASSERT_LE(h.messages.said.size(), 1u);
        h.messages.said.clear();
        ASSERT_EQ(h.prompter.remaining(), 0u);
    }

    // The window 查看 ▸ 精度分析 shows.
    AnalysisWindow* open() {
        form.menuActions().analysis->trigger();
        AnalysisWindow* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* shown = qobject_cast<AnalysisWindow*>(w); shown != nullptr && shown->isVisible()) window = shown;
        if (window != nullptr) {
            window->setMessages(&h.messages);
            window->setFileChooser([this](QWidget*, const QString& suggested) {
                suggestedFile = suggested;
                return chosenFile;
            });
        }
        return window;
    }

    testing::Harness h;
    MainForm form;
    QString chosenFile, suggestedFile;
};

// The texts of one column as shown, top to bottom.
QStringList column(const QTableView* view, int c) {
    QStringList texts;
    for (int r = 0; r < view->model()->rowCount(); ++r) texts << view->model()->index(r, c).data().toString();
    return texts;
}

// Runs of blanks and tabs as one blank, none at either end: a table as the text
// file aligns it and as the clipboard separates it read the same.
std::string collapsed(const std::string& text) {
    static const std::regex blanks("[ \t]+");
    std::string one = std::regex_replace(text, blanks, " ");
    if (!one.empty() && one.front() == ' ') one.erase(0, 1);
    if (!one.empty() && one.back() == ' ') one.pop_back();
    return one;
}

TEST_F(AnalysisWindowTest, ShowsTheHandCheckedTablesWithFullStopsOnADecimalCommaDesktop) {
    const testing::DecimalCommaLocale locale;
    ASSERT_TRUE(locale.active()) << testing::DecimalCommaLocale::missing;
    compute("run_typed_n4");
    AnalysisWindow* window = open();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->isVisible());
    EXPECT_TRUE(window->failure().isEmpty());
    EXPECT_EQ(window->windowTitle(), u("Trelvan 精度分析"));

    // What each tab shows, read as the hand-checked analysis text reads.
    std::string shown = "Trelvan 精度分析\n";
    ASSERT_EQ(window->tabs()->count(), 5);
    for (int t = 0; t < 5; ++t) {
        shown += "\n" + window->tabs()->tabText(t).toStdString() + "\n";
        const QAbstractItemModel* m = window->view(t)->model();
        QStringList line;
        for (int c = 0; c < m->columnCount(); ++c) line << m->headerData(c, Qt::Horizontal).toString();
        shown += collapsed(line.join(u("\t")).toStdString()) + "\n";
        for (int r = 0; r < m->rowCount(); ++r) {
            line.clear();
            for (int c = 0; c < m->columnCount(); ++c) line << m->index(r, c).data().toString();
            shown += collapsed(line.join(u("\t")).toStdString()) + "\n";
        }
    }
    std::string expected;
    for (const auto& line : linesOf(goldenFile("run_typed_n4.analysis.txt"))) expected += collapsed(line) + "\n";
    EXPECT_EQ(shown, expected);
}

// The rows highlighted in each table, by the words each row says of itself.
TEST_F(AnalysisWindowTest, HighlightsExactlyTheRowsThatNeedALook) {
    struct Case {
        const char* what;
        const char* tolerance;
        // Per tab, the rows highlighted in the table's own order.
        std::vector<std::set<int>> marked;
    } cases[] = {
        // Every misclosure within its limit; D3 the weakest point, S1 the weakest side.
        {"tolerance 2.5\"", "2.5", {{}, {3}, {0}, {}}},
        // A tolerance of 0.3" makes σ0 0.15" and leaves the adjustment as it was: every
        // limit shrinks 25/3 times, so the X misclosure (-10.94 mm against 8.62) is
        // over its limit and the global test fails (0.964 · (25/3)² = 66.97), and every
        // normalized correction grows 25/3 times: Qa 0.67, S3 0.83, S5 0.88, S6 0.62,
        // S7 0.88, S9 0.58 and Qb 0.93 now exceed 3.29.
        {"tolerance 0.3\"", "0.3", {{1, 3}, {3}, {0}, {0, 3, 5, 6, 7, 9, 10}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        compute("run_typed_n4", toleranceReply, c.tolerance);
        AnalysisWindow* window = open();
        ASSERT_NE(window, nullptr);
        for (int t = 0; t < 4; ++t) {
            const QAbstractItemModel* m = window->view(t)->model();
            std::set<int> marked;
            for (int r = 0; r < m->rowCount(); ++r) {
                const QVariant background = m->index(r, 0).data(Qt::BackgroundRole);
                if (background.isValid()) {
                    EXPECT_EQ(background.value<QColor>(), AnalysisTableModel::markedBackground());
                    // The whole row, not one cell.
                    for (int col = 1; col < m->columnCount(); ++col)
                        EXPECT_EQ(m->index(r, col).data(Qt::BackgroundRole), background) << t << " " << r;
                    marked.insert(r);
                }
            }
            EXPECT_EQ(marked, c.marked[static_cast<std::size_t>(t)]) << "tab " << t;
        }
        // What the highlighted rows say.
        const QTableView* closures = window->view(Closures);
        EXPECT_EQ(column(closures, 4).contains(u("超限")), c.marked[Closures].count(1) == 1);
        for (const int r : c.marked[Reliability])
            EXPECT_EQ(window->view(Reliability)->model()->index(r, 4).data().toString(), u("可疑")) << r;
    }
}

TEST_F(AnalysisWindowTest, SortsOnTheFiguresAndAThirdClickRestoresTheOrder) {
    compute("run_typed_n4");
    AnalysisWindow* window = open();
    ASSERT_NE(window, nullptr);
    struct Case {
        Tab tab;
        int column;        // clicked once (ascending) or twice (descending)
        int clicks;
        int readColumn;    // the column read back
        QStringList expected;
    } cases[] = {
        // mp descending: D3 4.69, D2 4.66, D4 3.54, D1 3.32, then A and B at 0 in
        // their own order.
        {Points, 6, 2, 1, {u("D3"), u("D2"), u("D4"), u("D1"), u("K07"), u("K08")}},
        // The relative error ascending, which is 1/T from the largest T down; the
        // texts alone would sort 1/214974 first.
        {Sides, 5, 1, 0, {u("S8"), u("S4"), u("S6"), u("S2"), u("S9"), u("S5"), u("S3"), u("S7"), u("S1")}},
        // Signed corrections ascending: the texts would put -0.14 before -1.90.
        {Sides, 3, 1, 3, {u("-1.90"), u("-1.67"), u("-1.56"), u("-1.25"), u("-1.07"), u("-0.14"), u("0.46"),
                          u("1.15"), u("1.69")}},
        // The smallest detectable blunder, largest first.
        {Reliability, 5, 2, 0, {u("S1"), u("S7"), u("S5"), u("S3"), u("S9"), u("S6"), u("S4"), u("S8"), u("S2"),
                                u("定向角 Qa"), u("定向角 Qb")}},
        // Side names in their natural order, descending.
        {Sides, 0, 2, 0, {u("S9"), u("S8"), u("S7"), u("S6"), u("S5"), u("S4"), u("S3"), u("S2"), u("S1")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "tab " << c.tab << " column " << c.column);
        window->tabs()->setCurrentIndex(c.tab);
        QTableView* view = window->view(c.tab);
        const QStringList own = column(view, c.readColumn);
        QHeaderView* header = view->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(c.column) + header->sectionSize(c.column) / 2,
                        header->height() / 2);
        for (int k = 0; k < c.clicks; ++k) QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        EXPECT_EQ(column(view, c.readColumn), c.expected);
        // The third click: the table's own order again.
        for (int k = c.clicks; k < 3; ++k) QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        EXPECT_EQ(header->sortIndicatorSection(), -1);
        EXPECT_EQ(column(view, c.readColumn), own);
    }
}

TEST_F(AnalysisWindowTest, CopiesWhatIsSelectedInTheOrderShownOrTheWholeTable) {
    compute("run_typed_n4");
    AnalysisWindow* window = open();
    ASSERT_NE(window, nullptr);
    QClipboard* clipboard = QGuiApplication::clipboard();
    QTableView* closures = window->view(Closures);
    window->tabs()->setCurrentIndex(Closures);

    // Nothing selected: the whole table with its header, by the button.
    clipboard->clear();
    window->findChild<QPushButton*>(u("CopyButton"))->click();
    const QStringList whole = clipboard->text().split(u("\n"));
    ASSERT_EQ(whole.size(), 7 + 1);  // header, six rows, and the end of the last line
    EXPECT_EQ(whole[0], u("项目\t数值\t中误差\t限差\t结论"));
    EXPECT_EQ(whole[2], u("纵座标闭合差\t-10.94毫米\t35.92毫米\t71.85毫米\t合格"));
    EXPECT_EQ(whole[4], u("整体检验 [pvv]/σ0²（自由度 3）\t0.964\t\t7.815\t通过"));
    EXPECT_EQ(whole[6], u("单位权中误差 mb（后验）\t0.71秒\t\t\t"));

    struct Selected {
        const char* what;
        Tab tab;
        int sortColumn;  // -1: the table's own order
        std::vector<std::pair<int, int>> cells;
        const char* expected;
    } cases[] = {
        {"a block", Closures, -1, {{1, 1}, {1, 3}, {2, 1}, {2, 3}}, "-10.94毫米\t71.85毫米\n1.35毫米\t18.19毫米\n"},
        // Cells that are not a rectangle: the rows and columns that hold them, the
        // rest left empty.
        {"scattered cells", Closures, -1, {{0, 0}, {2, 1}}, "方位角闭合差\t\n\t1.35毫米\n"},
        // In the order shown: points sorted by mp, the top two names and mp.
        {"sorted", Points, 6, {{0, 1}, {0, 6}, {1, 1}, {1, 6}}, "D3\t4.69\nD2\t4.66\n"},
    };
    for (const Selected& c : cases) {
        SCOPED_TRACE(c.what);
        window->tabs()->setCurrentIndex(c.tab);
        QTableView* view = window->view(c.tab);
        if (c.sortColumn >= 0) view->sortByColumn(c.sortColumn, Qt::DescendingOrder);
        view->clearSelection();
        for (const auto& [r, col] : c.cells)
            view->selectionModel()->select(view->model()->index(r, col), QItemSelectionModel::Select);
        EXPECT_EQ(window->copyText(), u(c.expected));
        // Ctrl+C in the table puts the same on the clipboard.
        clipboard->clear();
        view->setFocus();
        QTest::keySequence(view, QKeySequence::Copy);
        EXPECT_EQ(clipboard->text(), u(c.expected));
    }
    // The context menu's whole-table copy ignores the selection.
    window->tabs()->setCurrentIndex(Closures);
    closures->selectionModel()->select(closures->model()->index(0, 0), QItemSelectionModel::Select);
    window->findChild<QAction*>(u("actionCopyTable"))->trigger();
    EXPECT_EQ(clipboard->text().split(u("\n")), whole);
}

TEST_F(AnalysisWindowTest, ExportsTheTableShownAsCsvOrSaysWhyNot) {
    compute("run_typed_n4");
    AnalysisWindow* window = open();
    ASSERT_NE(window, nullptr);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    window->tabs()->setCurrentIndex(Points);
    window->view(Points)->sortByColumn(6, Qt::DescendingOrder);

    chosenFile = dir.filePath(u("points.csv"));
    window->findChild<QPushButton*>(u("ExportButton"))->click();
    // Named after the chain's A and B, in the folder last used.
    EXPECT_TRUE(suggestedFile.endsWith(u("/K07-K08 精度分析-点位精度.csv"))) << suggestedFile.toStdString();
    ASSERT_EQ(h.messages.said.size(), 1u);
    EXPECT_NE(h.messages.said[0].find(chosenFile.toStdString()), std::string::npos) << h.messages.said[0];
    QFile file(chosenFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    const QList<QByteArray> lines = bytes.mid(3).split('\n');
    ASSERT_EQ(lines.size(), 1 + 6 + 1);
    EXPECT_EQ(QString::fromUtf8(lines[0]),
              u("点号,点名,纵座标 X (米),横座标 Y (米),mx (毫米),my (毫米),mp (毫米),E (毫米),F (毫米),φ (度),备注\r"));
    // The rows as sorted on the screen, the weakest first.
    EXPECT_EQ(QString::fromUtf8(lines[1]),
              u("3,D3,3452669.499,514039.741,4.20,2.09,4.69,4.20,2.08,2.7,最弱点\r"));
    EXPECT_TRUE(lines[5].startsWith("0,K07,3452118.406,512637.225,0.00,"));

    // A folder that does not exist: said, and nothing written.
    h.messages.said.clear();
    chosenFile = dir.filePath(u("missing/points.csv"));
    window->exportCsv();
    ASSERT_EQ(h.messages.said.size(), 1u);
    EXPECT_NE(h.messages.said[0].find("无法写入 CSV 文件"), std::string::npos) << h.messages.said[0];
    EXPECT_FALSE(QFile::exists(chosenFile));
    // The file dialog cancelled: nothing happens.
    h.messages.said.clear();
    chosenFile.clear();
    window->exportCsv();
    EXPECT_TRUE(h.messages.said.empty());
}

TEST_F(AnalysisWindowTest, WaitsForAResultAndFollowsEachCompletedComputation) {
    QAction* item = form.menuActions().analysis;
    EXPECT_FALSE(item->isEnabled());
    compute("run_typed_n4");
    EXPECT_TRUE(item->isEnabled());
    AnalysisWindow* window = open();
    ASSERT_NE(window, nullptr);
    window->tabs()->setCurrentIndex(Points);
    window->view(Points)->sortByColumn(6, Qt::DescendingOrder);
    EXPECT_EQ(column(window->view(Points), 1).front(), u("D3"));

    // Abandoned: the window still shows the last completed result.
    h.prompter.add(std::string("1"));
    h.prompter.cancel();
    form.Command1_Click();
    h.messages.said.clear();  // that it was cancelled
    EXPECT_EQ(window->view(Points)->model()->rowCount(), 6);

    // A new chain: the window shows it at once, on the same tab, sorted as it was.
    compute("run_single_triangle");
    EXPECT_EQ(window->view(Points)->model()->rowCount(), 3);
    EXPECT_EQ(window->tabs()->currentIndex(), Points);
    EXPECT_EQ(window->view(Points)->horizontalHeader()->sortIndicatorSection(), 6);
    const QStringList mp = column(window->view(Points), 6);
    EXPECT_GT(mp[0].toDouble(), 0.0);
    EXPECT_EQ(mp[1], u("0.00"));  // A and B
    // The menu brings the same window to the front; none is made twice.
    EXPECT_EQ(open(), window);
    EXPECT_EQ(QApplication::topLevelWidgets().count(window), 1);

    // Closed, it is gone; the next completed computation opens nothing.
    QPointer<AnalysisWindow> closed(window);
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closed.isNull());
    compute("run_typed_n4");
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<AnalysisWindow*>(w), nullptr);
    // Opened again, the latest result.
    window = open();
    EXPECT_EQ(window->view(Points)->model()->rowCount(), 6);
}

TEST_F(AnalysisWindowTest, LivesNoLongerThanItsMainWindow) {
    QPointer<AnalysisWindow> window;
    {
        testing::Harness local;
        MainForm other;
        other.setPrompter(&local.prompter);
        other.setMessages(&local.messages);
        for (const auto& reply : linesOf(goldenFile("run_typed_n4.replies"))) local.prompter.add(reply);
        other.Command1_Click();
        window = AnalysisWindow::openFor(other);
        ASSERT_FALSE(window.isNull());
        EXPECT_EQ(window->parent(), nullptr);  // a window of its own, not a child window
    }
    EXPECT_TRUE(window.isNull());
}

TEST(AnalysisWindowRecord, SaysWhyWhenThereIsNothingToAnalyse) {
    testing::Harness h;
    ChainState record;
    for (const auto& reply : linesOf(goldenFile("run_typed_n4.replies"))) h.prompter.add(reply);
    ASSERT_EQ(trelvan::Command1_Click(record, h.prompter, h.boxes, h.messages), ComputeOutcome::Completed);
    ChainState singular = record;
    for (auto& row : singular.adjustment.normal) row.fill(0.0);
    struct Case {
        const char* what;
        ChainState record;
        const char* says;
    } cases[] = {
        {"no result", ChainState{}, "还没有完成的平差计算结果"},
        {"normal equations not positive definite", singular, "无法进行精度分析"},
    };
    AnalysisWindow window;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        window.showAnalysisOf(record);
        EXPECT_TRUE(window.failure().isEmpty());
        window.showAnalysisOf(c.record);
        EXPECT_TRUE(window.failure().startsWith(u(c.says))) << window.failure().toStdString();
        EXPECT_FALSE(window.findChild<QPushButton*>(u("ExportButton"))->isEnabled());
        EXPECT_FALSE(window.findChild<QPushButton*>(u("CopyButton"))->isEnabled());
        for (int t = 0; t < 4; ++t) EXPECT_EQ(window.view(t)->model()->rowCount(), 0);
    }
}

// The longest chain: its tables are filled, sorted and copied while the operator
// waits no longer than a moment, with no widget made for any cell.
TEST(AnalysisWindowRecord, StaysResponsiveForTheLongestChain) {
    bench::ChainOptions options;
    options.triangles = 16382;
    const bench::GeneratedChain chain = bench::generateChain(options);
    testing::Harness h;
    for (const auto& reply : chain.replies) h.prompter.add(reply);
    ChainState record;
    ASSERT_EQ(trelvan::Command1_Click(record, h.prompter, h.boxes, h.messages), ComputeOutcome::Completed);

    AnalysisWindow window;
    const auto seconds = [](auto since) {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
    };
    auto start = std::chrono::steady_clock::now();
    window.showAnalysisOf(record);
    window.show();
    QCoreApplication::processEvents();
    const double shown = seconds(start);
    ASSERT_EQ(window.view(Reliability)->model()->rowCount(), 2 * 16382 + 3);

    start = std::chrono::steady_clock::now();
    window.tabs()->setCurrentIndex(Reliability);
    window.view(Reliability)->sortByColumn(5, Qt::DescendingOrder);
    QCoreApplication::processEvents();
    const double sorted = seconds(start);
    start = std::chrono::steady_clock::now();
    const QString text = window.wholeTableText();
    const double copied = seconds(start);
    EXPECT_EQ(text.count(QLatin1Char('\n')), 2 * 16382 + 3 + 1);

    // Bounds for a shared, loaded test machine; on a quiet one each takes a fraction.
    EXPECT_LT(shown, 3.0);
    EXPECT_LT(sorted, 2.0);
    EXPECT_LT(copied, 2.0);
    std::printf("16382 triangles: shown in %.3f s, sorted in %.3f s, copied in %.3f s\n", shown, sorted, copied);
    EXPECT_LT(window.findChildren<QWidget*>().size(), 200);
}

TEST(Manual, OpensBesideTheWindowAndNamesOnlyOptionsThatExist) {
    MainForm form;
    QAction* item = form.menuActions().manual;
    ASSERT_TRUE(item->isEnabled());  // no result needed
    item->trigger();
    auto* manual = ManualWindow::openFor(form);
    ASSERT_NE(manual, nullptr);
    EXPECT_TRUE(manual->isVisible());
    EXPECT_EQ(manual->windowTitle(), u("Trelvan 使用说明"));
    EXPECT_EQ(ManualWindow::openFor(form), manual);  // one guide, brought to the front

    const QString text = manual->browser()->toPlainText();
    for (const char* part : {"平差计算", "约定", "X 为纵座标（向北）", "Y 为横座标（向东）", "123.4530 即 123°45′30″",
                             "偶数边输入负值", "作业文件", "精度分析", "网图", "批处理", "trelvan --batch"})
        EXPECT_TRUE(text.contains(u(part))) << part;
    // Rendered, not shown as Markdown source.
    EXPECT_FALSE(text.contains(u("## "))) << "headings rendered";

    // Every option the guide names is one the program takes.
    const std::string source = manualText().toStdString();
    static const std::regex option("--[a-z][a-z-]*");
    int named = 0;
    for (auto it = std::sregex_iterator(source.begin(), source.end(), option); it != std::sregex_iterator(); ++it) {
        ++named;
        EXPECT_NE(std::string(usageText).find(it->str()), std::string::npos) << it->str();
    }
    EXPECT_GE(named, 8);
}

}  // namespace
}  // namespace trelvan
