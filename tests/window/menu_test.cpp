// The menu bar: every item where the operator looks for it, with its shortcut; the
// items whose work exists do what the buttons do, the others wait, disabled.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "report/report.h"
#include "state/version.h"
#include "support/scripted.h"
#include "window/main_form.h"

namespace trelvan {
namespace {

QString u(const char* text) { return QString::fromUtf8(text); }

// One triangle with exact sides, as the actions tests compute it.
void scriptOneTriangle(testing::ScriptedPrompter& p) {
    for (const char* r : {"1", "1000", "", "1000", "", "1000", "", "1100", "", "0", "", "0", "", "0", "",
                          "0", "", "10", "", "0", "", "35", "", "0", "", "6", "A", "P1", "B",
                          "70.71067811865476", "", "-100", "", "70.71067811865476", "", "", "", ""})
        p.add(std::string(r));
}

TEST(MenuBar, HoldsEveryItemWithItsShortcut) {
    MainForm form;
    const MenuActions& m = form.menuActions();
    struct Item {
        QAction* action;
        const char* name;
        const char* menu;
        const char* text;
        QKeySequence keys;
        bool enabled;  // before any result
    } items[] = {
        {m.newJob, "actionNewJob", "文件", "新建作业…", QKeySequence(u("Ctrl+N")), true},
        {m.openJob, "actionOpenJob", "文件", "打开作业…", QKeySequence(u("Ctrl+O")), true},
        {m.editJob, "actionEditJob", "文件", "编辑作业数据…", QKeySequence(u("Ctrl+E")), false},
        {m.saveJob, "actionSaveJob", "文件", "保存作业", QKeySequence(u("Ctrl+S")), false},
        {m.saveJobAs, "actionSaveJobAs", "文件", "作业另存为…", QKeySequence(u("Ctrl+Shift+S")), false},
        {m.recentJobs->menuAction(), "", "文件", "最近的作业", {}, true},
        {m.print, "actionPrint", "文件", "打印", QKeySequence(u("Ctrl+P")), false},
        {m.exportFullReport, "actionExportFullReport", "文件", "导出完整报告 PDF…", {}, false},
        {m.exportCoordinates->menuAction(), "", "文件", "导出坐标", {}, false},
        {m.exit, "actionExit", "文件", "退出", QKeySequence(u("Ctrl+Q")), true},
        {m.analysis, "actionAnalysis", "查看", "精度分析…", {}, false},
        {m.plot, "actionPlot", "查看", "网图…", {}, false},
        {m.manual, "actionManual", "帮助", "使用说明", {}, true},
        {m.about, "actionAbout", "帮助", "关于 Trelvan", {}, true},
    };
    QStringList titles;
    for (const QAction* top : form.menuBar()->actions()) titles << top->text();
    EXPECT_EQ(titles, (QStringList{u("文件"), u("查看"), u("帮助")}));
    for (const Item& item : items) {
        ASSERT_NE(item.action, nullptr) << item.text;
        SCOPED_TRACE(item.text);
        EXPECT_EQ(item.action->text(), u(item.text));
        EXPECT_EQ(item.action->shortcut(), item.keys);
        EXPECT_EQ(item.action->isEnabled(), item.enabled);
        if (*item.name != '\0') {
            EXPECT_EQ(form.findChild<QAction*>(u(item.name)), item.action);
        }
        bool inMenu = false;
        for (const QAction* top : form.menuBar()->actions())
            if (top->text() == u(item.menu)) inMenu = top->menu()->actions().contains(item.action);
        EXPECT_TRUE(inMenu) << item.menu;
    }
    EXPECT_EQ(form.findChild<QMenu*>(u("menuRecentJobs")), m.recentJobs);
    // 文件 ▸ 导出坐标 ▸ the three formats, each waiting for a result.
    EXPECT_EQ(form.findChild<QMenu*>(u("menuExportCoordinates")), m.exportCoordinates);
    EXPECT_EQ(m.exportCoordinates->actions(), (QList<QAction*>{m.exportDat, m.exportCsv, m.exportDxf}));
    const char* formats[][2] = {{"actionExportDat", "CASS 数据文件…"}, {"actionExportCsv", "CSV…"}, {"actionExportDxf", "DXF…"}};
    for (const auto& [name, text] : formats) {
        const QAction* action = form.findChild<QAction*>(u(name));
        ASSERT_NE(action, nullptr) << name;
        EXPECT_EQ(action->text(), u(text));
        EXPECT_FALSE(action->isEnabled());
    }
}

// Items that need a completed result are enabled once there is one; an abandoned
// action does not take it away; an item joined later follows the same rule. 打印 is
// the 打 印 button, 退出 is 结束计算.
TEST(MenuBar, ItemsFollowTheResultAndDoWhatTheButtonsDo) {
    testing::Harness h;
    MainForm form;
    form.setPrompter(&h.prompter);
    form.setMessages(&h.messages);
    QAction later(u("later"));
    form.enableWithResult(&later);
    const auto enabled = [&] { return form.menuActions().print->isEnabled() && later.isEnabled(); };
    EXPECT_FALSE(form.menuActions().print->isEnabled() || later.isEnabled());
    h.prompter.add(std::string("2"));
    h.prompter.cancel();
    form.Command1_Click();
    EXPECT_FALSE(form.menuActions().print->isEnabled() || later.isEnabled());
    scriptOneTriangle(h.prompter);
    form.Command1_Click();
    ASSERT_TRUE(form.record().hasResult());
    EXPECT_TRUE(enabled());
    h.prompter.cancel();
    form.Command1_Click();
    EXPECT_TRUE(enabled());

    std::vector<std::string> printed;
    PrintHooks hooks;
    hooks.findPrinter = [] { return u("Office"); };
    hooks.print = [&](const Report& report, const PageFoot&, const QString&) {
        printed.push_back(renderText(report));
        return QString();
    };
    form.setPrintHooks(hooks);
    form.menuActions().print->trigger();
    form.sheet()->findChild<QPushButton*>(u("Command3"))->click();
    ASSERT_EQ(printed.size(), 2u);
    EXPECT_EQ(printed[0], printed[1]);

    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.menuActions().exit->trigger();
    EXPECT_FALSE(form.isVisible());
}

TEST(MenuBar, AboutNamesTheVersionTheLicenceAndQt) {
    MainForm form;
    QString title, text;
    QTimer::singleShot(20, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        box->accept();
    });
    form.menuActions().about->trigger();
    EXPECT_EQ(title, u("关于 Trelvan"));
    EXPECT_TRUE(text.startsWith(u("Trelvan ") + u(programVersion))) << text.toStdString();
    for (const QString& part : {u("GPL-3.0-or-later"), u("Qt ") + QString::fromUtf8(qVersion()), u("PrintSupport")})
        EXPECT_TRUE(text.contains(part)) << part.toStdString();
}

}  // namespace
}  // namespace trelvan
