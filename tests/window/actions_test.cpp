// The three buttons, with the dialogue scripted and with the real input box.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "analysis/findings.h"
#include "report/report.h"
#include "support/scripted.h"
#include "window/main_form.h"
#include "window/qt_seams.h"
#include "window/operator.h"

namespace trelvan {
namespace {

using testing::Harness;

const char* const askN = "请输入三角形个数 N:";
const char* const askXa = "请输入起始点 A 纵座标 :";
const char* const askYa = "请输入起始点 A 横座标 :";

QString u(const std::string& text) { return QString::fromStdString(text); }

class Actions : public ::testing::Test {
protected:
    Actions() {
        form.setPrompter(&h.prompter);
        form.setMessages(&h.messages);
    }
    std::string box(int n) const {
        const auto* edit = form.findChild<QLineEdit*>(u("Text" + std::to_string(n)));
        return edit != nullptr ? edit->text().toStdString() : "<no Text" + std::to_string(n) + ">";
    }
    void click(const char* button) {
        auto* b = form.findChild<QPushButton*>(QString::fromUtf8(button));
        ASSERT_NE(b, nullptr) << button;
        b->click();
    }
    void script(std::initializer_list<const char*> replies) {
        for (const char* reply : replies) h.prompter.add(std::string(reply));
    }

    // One triangle with exact sides: A (1000, 1000), the unknown point (1050, 1050)
    // and B (1000, 1100); the first route side leaves A at 10° + 35° = 45°; the side
    // A-B lies right of the route and is typed negative. No closing azimuth.
    void scriptExactTriangle() {
        script({"1"});                                              // N
        script({"1000", "", "1000", "", "1000", "", "1100", ""});  // Xa Ya Xb Yb
        script({"0", "", "0", "", "0", "", "0", ""});              // direction points
        script({"10", "", "0", ""});                               // Ta, Tb = none
        script({"35", "", "0", ""});                               // Qa, Qb = none
        script({"6"});                                             // angle tolerance
        script({"A", "P1", "B"});                                  // names
        script({"70.71067811865476", "", "-100", "", "70.71067811865476", ""});  // S1 S2 S3
        script({"", "", ""});                                      // listing of A, P1, B
    }

    Harness h;
    MainForm form;
};

TEST_F(Actions, ComputeWritesTheBoxesAndACancelStopsIt) {
    // What the window shows while the Ya prompt is open.
    std::string countShown, xaShown, yaShown;
    struct Watching : testing::ScriptedPrompter {
        using ScriptedPrompter::ScriptedPrompter;
        std::function<void()> onAsk;
        Reply ask(const std::string& prompt) override {
            onAsk();
            return ScriptedPrompter::ask(prompt);
        }
    } watching(h.log);
    watching.onAsk = [&] { countShown = box(9), xaShown = box(1), yaShown = box(2); };
    form.setPrompter(&watching);
    for (const char* reply : {"4", "1000", ""}) watching.add(std::string(reply));
    watching.cancel();  // at the Ya prompt
    click("Command1");

    ASSERT_GE(watching.prompts.size(), 4u);
    EXPECT_EQ(watching.prompts[0], askN);
    EXPECT_EQ(watching.prompts[1], askXa);
    EXPECT_EQ(watching.prompts[3], askYa);
    EXPECT_EQ(countShown, " 线性锁共有4个三角形");
    EXPECT_EQ(xaShown, " 1000.000");
    EXPECT_EQ(yaShown, "");
    EXPECT_EQ(watching.remaining(), 0u);
    EXPECT_EQ(h.messages.said.size(), 1u);  // the Cancel is said once
    EXPECT_FALSE(form.record().hasResult());
    EXPECT_EQ(form.record().N, 0);
    // Nothing was ever completed: the window is empty again.
    EXPECT_EQ(box(9), "");
    EXPECT_EQ(box(1), "");
}

TEST_F(Actions, ACancelledComputeKeepsTheLastCompletedRecord) {
    scriptExactTriangle();
    click("Command1");
    ASSERT_TRUE(h.messages.said.empty()) << h.messages.said.front();
    ASSERT_TRUE(form.record().hasResult());
    EXPECT_EQ(box(11), " B");
    EXPECT_EQ(box(12), "1000.000");
    EXPECT_EQ(box(13), "1100.000");
    EXPECT_EQ(box(26), "");
    const ChainState completed = form.record();

    script({"3", "2000"});
    h.prompter.add(Reply::typed("0"));  // re-enter Xa ...
    h.prompter.cancel();                // ... and give up
    click("Command1");
    EXPECT_EQ(h.messages.said.size(), 1u);
    EXPECT_EQ(form.record().N, completed.N);
    EXPECT_EQ(form.record().pointX, completed.pointX);
    EXPECT_EQ(form.record().pointY, completed.pointY);
    EXPECT_EQ(form.record().pointName, completed.pointName);
    EXPECT_EQ(form.record().Xa, completed.Xa);
    // The boxes show the completed result again, as Print would print it.
    EXPECT_EQ(box(1), " 1000.000");
    EXPECT_EQ(box(9), " 线性锁共有1个三角形");
    EXPECT_EQ(box(11), " B");
}

TEST_F(Actions, PrintBeforeAnyComputeSaysThereIsNoResult) {
    click("Command3");
    ASSERT_EQ(h.messages.said.size(), 1u);
    EXPECT_NE(h.messages.said[0].find("没有"), std::string::npos) << h.messages.said[0];
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// After a completed computation Print sends the report of that computation to the
// printer; with no printer it offers the same pages as a PDF, and a failure is said.
TEST_F(Actions, PrintSendsTheLastCompletedReportOrOffersAPdf) {
    scriptExactTriangle();
    click("Command1");
    ASSERT_TRUE(form.record().hasResult());

    std::vector<std::string> printed;
    QString printer = QStringLiteral("Office");
    bool offered = false;
    PrintHooks hooks;
    hooks.findPrinter = [&] { return printer; };
    hooks.print = [&](const Report& report, const PageFoot&, const QString&) {
        printed.push_back(renderText(report));
        return QString();
    };
    hooks.confirm = [&](QWidget*, const QString&) { return offered = true; };
    hooks.choosePdfFile = [](QWidget*, const QString&) { return QStringLiteral("/tmp/trelvan-window-test.pdf"); };
    hooks.writePdf = [&](const Report& report, const PageFoot&, const QString&) {
        printed.push_back(renderText(report));
        return QStringLiteral("磁盘已满");
    };
    form.setPrintHooks(hooks);

    click("Command3");
    click("Command3");  // printing changes nothing: the same report again
    ASSERT_EQ(printed.size(), 2u);
    EXPECT_EQ(printed[0], printed[1]);
    EXPECT_EQ(printed[0], renderText(analysis::printedReport(form.record())));
    EXPECT_NE(printed[0].find("P1;"), std::string::npos);

    printer.clear();  // no printer installed
    const auto saidBefore = h.messages.said.size();
    click("Command3");
    EXPECT_TRUE(offered);
    ASSERT_EQ(printed.size(), 3u);
    EXPECT_EQ(printed[2], printed[0]);
    ASSERT_GT(h.messages.said.size(), saidBefore);
    EXPECT_NE(h.messages.said.back().find("磁盘已满"), std::string::npos) << h.messages.said.back();
}

// A fault inside the action must not take the window down with it: the operator is
// told, and the last completed record is kept.
TEST_F(Actions, AnUnexpectedFaultIsSaidAndTheWindowLivesOn) {
    struct Faulty : Prompter {
        Reply ask(const std::string&) override { throw std::length_error("reply"); }
    } faulty;
    form.setPrompter(&faulty);
    click("Command1");
    EXPECT_EQ(h.messages.said.size(), 1u);
    EXPECT_FALSE(form.record().hasResult());
    form.setPrompter(&h.prompter);
    scriptExactTriangle();
    click("Command1");  // a later action runs normally
    EXPECT_TRUE(form.record().hasResult());
    EXPECT_EQ(box(9), " 线性锁共有1个三角形");
    EXPECT_EQ(h.messages.said.size(), 1u);

    // A fault after the boxes were written: they show the completed result again.
    struct Late : testing::ScriptedPrompter {
        using ScriptedPrompter::ScriptedPrompter;
        Reply ask(const std::string& prompt) override {
            if (prompts.size() == 4) throw std::runtime_error("prompter");
            return ScriptedPrompter::ask(prompt);
        }
    } late(h.log, {Reply::typed("2"), Reply::typed("7"), Reply::typed(""), Reply::typed("8")});
    form.setPrompter(&late);
    click("Command1");
    EXPECT_EQ(h.messages.said.size(), 2u);
    EXPECT_EQ(box(9), " 线性锁共有1个三角形");
    EXPECT_EQ(box(1), " 1000.000");
    EXPECT_EQ(box(2), " 1000.000");
}

TEST_F(Actions, EndClosesTheWindow) {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    click("Command2");
    EXPECT_FALSE(form.isVisible());
}

TEST(TextBoxSink, AWriteReplacesTheWholeTextAndShowsItsBeginning) {
    MainForm form;
    auto* edit = form.findChild<QLineEdit*>("Text11");
    ASSERT_NE(edit, nullptr);
    LineEditBoxes boxes;
    boxes.attach(11, edit);
    const std::string longName = " " + std::string(70000, 'x') + "终";
    boxes.setText(11, longName);
    EXPECT_EQ(edit->text().toStdString(), longName);
    EXPECT_EQ(edit->cursorPosition(), 0);
    boxes.setText(11, " B");
    EXPECT_EQ(edit->text().toStdString(), " B");
    boxes.setText(40, "nowhere");  // no such box: nothing happens
}

TEST(RealInputBox, TheOperatorAnswersThroughTheModalBox) {
    testing::EventLog log;
    testing::RecordingMessages messages(log);
    MainForm form;
    form.setMessages(&messages);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    auto text = [&](const char* name) { return form.findChild<QLineEdit*>(name)->text().toStdString(); };
    Operator op({{false, "abc"},        // not a number: refused, asked again
                 {false, "2"},
                 {false, "1234.5678"},  // Xa
                 {false, ""},           // Enter on the empty confirmation confirms
                 {true, {}}});          // Cancel at the Ya prompt abandons the action
    op.watch = [&] { return text("Text9") + "|" + text("Text1"); };
    form.findChild<QPushButton*>("Command1")->click();

    EXPECT_TRUE(op.faults.empty()) << op.faults.front();
    ASSERT_EQ(op.prompts.size(), 5u);
    EXPECT_EQ(op.prompts[0], askN);
    EXPECT_EQ(op.prompts[1], askN);
    EXPECT_EQ(op.prompts[2], askXa);
    EXPECT_EQ(op.prompts[4], askYa);
    EXPECT_TRUE(op.sawBoxWithTitle);
    EXPECT_TRUE(op.sawEmptyField);
    EXPECT_TRUE(op.sawWrapping);
    EXPECT_TRUE(op.sawButtons);
    EXPECT_EQ(messages.said.size(), 2u);  // the refused reply, then the Cancel
    ASSERT_EQ(op.seen.size(), 5u);
    EXPECT_EQ(op.seen[4], " 线性锁共有2个三角形| 1234.568");  // while Ya was asked
    EXPECT_EQ(text("Text9"), "");  // the Cancel left nothing completed to show
    EXPECT_EQ(text("Text1"), "");
    EXPECT_FALSE(form.record().hasResult());
}

}  // namespace
}  // namespace trelvan
