// The window on the screen the platform offers: the suite runs once on the small
// offscreen screen, and once more on each of a wide screen and a 1366 × 768 laptop at
// 100 %, 125 % and 150 % (screens/*.json).
#include <gtest/gtest.h>

#include <memory>

#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include "support/scripted.h"
#include "window/analysis_window.h"
#include "window/job_actions.h"
#include "window/main_form.h"
#include "window/operator.h"
#include "window/placement.h"

namespace trelvan {
namespace {

std::unique_ptr<MainForm> openOn(QScreen* screen) {
    auto form = std::make_unique<MainForm>();
    form->setScreen(screen);
    form->fitToScreen();
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    return form;
}

QLineEdit* textBox(const MainForm& form, int n) {
    return form.sheet()->findChild<QLineEdit*>(QStringLiteral("Text%1").arg(n));
}

// Where a widget is on the screen, and the part of the form the window shows.
QRect onScreen(const QWidget* w) { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); }
QRect shownPart(const MainForm& form) { return onScreen(form.scrollArea()->viewport()); }

// The screen's free area, a pixel larger for the rounding of fractional scaling.
QRect freeArea(const QScreen* screen) { return screen->availableGeometry().adjusted(-1, -1, 1, 1); }

// The boxes the operator must still see: the one asked about (a side also with the
// due side beside it), or at the listing every precision figure and the listed point.
std::vector<int> mustSee(int asked, bool pause) {
    if (pause) return {15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 11, 12, 13};
    if (asked == 27 || asked == 29) return {asked, 28};
    return {asked};
}

TEST(Screens, TheFormScrollsOnlyWhenTheScreenCannotShowItAll) {
    for (QScreen* screen : QGuiApplication::screens()) {
        SCOPED_TRACE(screen->name().toStdString());
        const auto form = openOn(screen);
        const QRect free = screen->availableGeometry();
        const QSize whole = form->sheet()->minimumSize() + QSize(0, form->menuBar()->height());
        const QSize framed = form->frameGeometry().size() - form->geometry().size() + whole;
        const bool fits = framed.width() <= free.width() && framed.height() <= free.height();
        const QScrollArea* area = form->scrollArea();
        EXPECT_EQ(area->horizontalScrollBar()->isVisible() || area->verticalScrollBar()->isVisible(), !fits);
        EXPECT_TRUE(freeArea(screen).contains(form->frameGeometry()));
        if (fits) {
            EXPECT_GE(area->viewport()->width(), form->sheet()->minimumWidth());
            EXPECT_GE(area->viewport()->height(), form->sheet()->minimumHeight());
            // Room beside it for the input boxes wherever the screen is wide enough.
            if (free.width() >= framed.width() + inputBoxGap + inputBoxLeastWidth) {
                EXPECT_GE(free.right() - form->frameGeometry().right(), inputBoxGap + inputBoxLeastWidth);
            }
        } else {
            EXPECT_GE(form->frameGeometry().width(), free.width() - 8);
            EXPECT_GE(form->frameGeometry().height(), free.height() - 8);
        }
        // Every button can be scrolled to.
        for (const char* name : {"Command1", "Command2", "Command3"}) {
            auto* button = form->sheet()->findChild<QPushButton*>(QString::fromUtf8(name));
            form->scrollArea()->ensureWidgetVisible(button);
            EXPECT_TRUE(shownPart(*form).contains(onScreen(button))) << name;
        }
    }
}

// A whole run through the real input boxes, from a form left scrolled to its end:
// each box stands wholly on the screen, and what it asks about is scrolled into view
// and left uncovered.
TEST(Screens, RealInputBoxesStandClearOfTheirValues) {
    // The box each prompt is about, in the order of the dialogue; 0 for the names,
    // -1 for the listing.
    const int about[] = {9,  1,  1,  2,  2,  3,  3,  4,  4,  10, 10, 30, 30, 31, 31, 32, 32, 5,  5, 6,
                         6,  7,  7,  8,  8,  25, 0,  0,  0,  27, 27, 29, 29, 27, 27, -1, -1, -1};
    const char* replies[] = {"1",    "1000", "", "1000", "", "1000", "", "1100", "", "0", "",  "0", "",
                             "0",    "",     "0", "",     "10", "",  "0",    "", "35", "", "0", "",
                             "6",    "A",    "P1", "B",  "70.71067811865476", "", "-100", "",
                             "70.71067811865476", "", "", "", ""};
    static_assert(std::size(about) == std::size(replies));
    for (QScreen* screen : QGuiApplication::screens()) {
        SCOPED_TRACE(screen->name().toStdString());
        const auto form = openOn(screen);
        testing::EventLog log;
        testing::RecordingMessages messages(log);
        form->setMessages(&messages);
        std::vector<Operator::Step> steps;
        for (const char* r : replies) steps.push_back({false, QString::fromUtf8(r)});
        Operator op(steps);
        std::size_t at = 0;
        op.onBox = [&](QInputDialog* box) {
            ASSERT_LT(at, std::size(about));
            const int asked = about[at++];
            SCOPED_TRACE("box " + std::to_string(at) + ": " + box->labelText().toStdString());
            EXPECT_TRUE(freeArea(screen).contains(box->frameGeometry()));
            if (asked == 0) return;
            for (const int n : mustSee(asked, asked < 0)) {
                const QRect value = onScreen(textBox(*form, n));
                EXPECT_TRUE(shownPart(*form).contains(value)) << "Text" << n << " out of sight";
                EXPECT_FALSE(box->frameGeometry().intersects(value)) << "Text" << n << " covered";
            }
        };
        QScrollBar* bar = form->scrollArea()->verticalScrollBar();
        bar->setValue(bar->maximum());
        form->sheet()->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        EXPECT_TRUE(op.faults.empty()) << op.faults.front();
        EXPECT_EQ(at, std::size(about));
        EXPECT_TRUE(form->record().hasResult());
        EXPECT_TRUE(messages.said.empty());
    }
}

// On the laptop and the wide screen, the analysis window opens where the precision
// figures stay in sight, and opens again where the operator left it.
TEST(Screens, AChildWindowLeavesThePanelsInSightAndKeepsItsPlace) {
    for (QScreen* screen : QGuiApplication::screens()) {
        SCOPED_TRACE(screen->name().toStdString());
        programSettings().remove(QStringLiteral("windows"));
        const auto form = openOn(screen);
        testing::EventLog log;
        testing::RecordingMessages messages(log);
        form->setMessages(&messages);
        ASSERT_TRUE(form->jobs().openFile(QStringLiteral(TRELVAN_SOURCE_DIR "/tests/golden/run_typed_n4.trv")));

        AnalysisWindow* window = AnalysisWindow::openFor(*form);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        if (screen->availableGeometry().width() >= 1366) {
            for (int box = 15; box <= 24; ++box) {
                const QRect value = onScreen(textBox(*form, box)) & shownPart(*form);
                EXPECT_FALSE(window->frameGeometry().intersects(value)) << "Text" << box << " covered";
            }
        }
        EXPECT_TRUE(freeArea(screen).contains(window->frameGeometry()));

        const QRect left = window->geometry().adjusted(10, 10, -20, -20);
        window->setGeometry(left);
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        AnalysisWindow* again = AnalysisWindow::openFor(*form);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(again));
        EXPECT_EQ(again->geometry(), left);
        again->close();
        EXPECT_TRUE(messages.said.empty());
    }
}

}  // namespace
}  // namespace trelvan
