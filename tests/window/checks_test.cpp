// 检核 on the main window: the misclosure boxes over their limit red with their
// limit as tip, one warning in the report's words, the precision boxes naming the
// point they describe; marks that follow the result on show.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include <QLineEdit>

#include "support/scripted.h"
#include "window/check_marks.h"
#include "window/golden_files.h"
#include "window/main_form.h"

namespace trelvan {
namespace {

using testing::goldenFile;
using testing::linesOf;

// The replies of run_typed_n4 that type S2 and S7.
constexpr std::size_t s2 = 34, s7 = 44;

TEST(WindowChecks, MarksTheBoxesOverTheirLimitAndWarnsOnce) {
    struct Step {
        const char* what;
        std::size_t reply;  // run_typed_n4 with this reply changed …
        const char* typed;  // … to this; nullptr: the action is cancelled at once
        std::set<int> red;  // the misclosure boxes marked afterwards
        std::vector<std::string> tips;  // in the red boxes' tips, in order
        bool warned;
    } const steps[] = {
        {"a clean chain", 0, "4", {}, {}, false},  // N typed as before: run_typed_n4 itself
        // S2 0.15 m long: azimuth and X over their limits (9.24″ and 71.85 mm, within
        // 0.3 % of an independent adjustment's), Y within.
        {"S2 0.15 m long", s2, "-848.632", {15, 16}, {"限差 9.24 秒", "限差 71.85 毫米"}, true},
        {"then abandoned", 0, nullptr, {15, 16}, {"限差 9.24 秒", "限差 71.85 毫米"}, false},
        // S7 0.1 m long: X alone, about 140 mm.
        {"S7 0.1 m long", s7, "735.733", {16}, {"限差 71.85 毫米"}, true},
        {"clean again", 0, "4", {}, {}, false},
    };
    testing::Harness h;
    MainForm form;
    form.setPrompter(&h.prompter);
    form.setMessages(&h.messages);
    const auto edit = [&](int box) { return form.findChild<QLineEdit*>(QStringLiteral("Text%1").arg(box)); };

    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        h.messages.said.clear();
        if (step.typed == nullptr) {
            h.prompter.cancel();
        } else {
            auto replies = linesOf(goldenFile("run_typed_n4.replies"));
            replies.at(step.reply) = step.typed;
            for (const auto& reply : replies) h.prompter.add(reply);
        }
        form.Command1_Click();
        ASSERT_EQ(h.prompter.remaining(), 0u);

        std::size_t tip = 0;
        for (int box = 15; box <= 17; ++box) {
            const QLineEdit* e = edit(box);
            const bool red = step.red.count(box) > 0;
            EXPECT_EQ(markedOverLimit(e), red) << box;
            EXPECT_EQ(e->palette().color(QPalette::Base) == QColor(255, 205, 205), red) << box;
            if (!red) {
                EXPECT_TRUE(e->toolTip().isEmpty()) << box;
                continue;
            }
            EXPECT_TRUE(e->toolTip().contains(QString::fromStdString(step.tips.at(tip++)))) << e->toolTip().toStdString();
        }
        for (int box = 20; box <= 24; ++box)
            EXPECT_TRUE(edit(box)->toolTip().startsWith(QStringLiteral("锁中点 D2 的"))) << box;

        // One warning, whose findings are the report's own lines.
        if (step.typed == nullptr) {
            ASSERT_EQ(h.messages.said.size(), 1u);  // the Cancel itself
            continue;
        }
        ASSERT_EQ(h.messages.said.size(), step.warned ? 1u : 0u);
        if (!step.warned) continue;
        const std::string& warning = h.messages.said[0];
        for (const QLineEdit* e : {edit(15), edit(16), edit(17)}) {
            if (markedOverLimit(e)) {
                EXPECT_NE(warning.find(e->toolTip().toStdString()), std::string::npos) << warning;
            }
        }
        EXPECT_NE(warning.find("可疑观测 : "), std::string::npos) << warning;
    }
}

}  // namespace
}  // namespace trelvan
