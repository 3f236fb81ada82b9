// 检核 on the main window: the misclosure boxes over their limit red with their
// finding as tip, one warning in the report's words, the precision boxes naming their
// point; the marks follow the result on show.
#include <gtest/gtest.h>

#include <QLineEdit>

#include "support/scripted.h"
#include "window/golden_files.h"
#include "window/main_form.h"

namespace trelvan {
namespace {

TEST(WindowChecks, MarksTheBoxesOverTheirLimitAndWarnsOnce) {
    constexpr std::size_t s2 = 34, s7 = 44;  // replies of run_typed_n4
    struct Step {
        std::size_t reply;          // run_typed_n4 with this reply …
        const char* typed;          // … typed so; nullptr: Cancel at the first prompt
        std::vector<const char*> red;  // limits in the tips of Text15, 16, 17 ("": not red)
    } const steps[] = {
        {0, "4", {"", "", ""}},                                      // as it is
        {s2, "-848.632", {"限差 9.24 秒", "限差 71.85 毫米", ""}},  // S2 0.15 m long
        {0, nullptr, {"限差 9.24 秒", "限差 71.85 毫米", ""}},      // abandoned: the result stays
        {s7, "735.733", {"", "限差 71.85 毫米", ""}},                // S7 0.1 m long
    };
    testing::Harness h;
    MainForm form;
    form.setPrompter(&h.prompter);
    form.setMessages(&h.messages);
    const auto edit = [&](int box) { return form.findChild<QLineEdit*>(QStringLiteral("Text%1").arg(box)); };
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.typed ? step.typed : "cancelled"));
        h.messages.said.clear();
        if (step.typed == nullptr) {
            h.prompter.cancel();
        } else {
            auto replies = testing::linesOf(testing::goldenFile("run_typed_n4.replies"));
            replies.at(step.reply) = step.typed;
            for (const auto& reply : replies) h.prompter.add(reply);
        }
        form.Command1_Click();

        const std::string warning = h.messages.said.empty() ? "" : h.messages.said[0];
        bool anyRed = false;
        for (int box = 15; box <= 17; ++box) {
            const std::string limit = step.red[box - 15];
            const QLineEdit* e = edit(box);
            EXPECT_EQ(e->palette().color(QPalette::Base) == QColor(255, 205, 205), !limit.empty()) << box;
            EXPECT_EQ(e->toolTip().isEmpty(), limit.empty()) << box;
            EXPECT_TRUE(e->toolTip().toStdString().ends_with(limit)) << e->toolTip().toStdString();
            // The tip is the finding, and the warning says it in the same words.
            if (!limit.empty() && step.typed != nullptr) {
                EXPECT_NE(warning.find(e->toolTip().toStdString()), std::string::npos) << warning;
            }
            anyRed = anyRed || !limit.empty();
        }
        for (int box = 20; box <= 24; ++box) EXPECT_TRUE(edit(box)->toolTip().startsWith(QStringLiteral("锁中点 D2 的")));
        // One message: the warning after a completed computation over its limits, or
        // what the Cancel said.
        EXPECT_EQ(h.messages.said.size(), anyRed || step.typed == nullptr ? 1u : 0u);
    }
}

}  // namespace
}  // namespace trelvan
