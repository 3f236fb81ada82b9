// Where the window opens and where an input box stands, for screens the test
// platform does not have: odd positions, decorations, and screens too small.
#include <gtest/gtest.h>

#include "window/placement.h"

namespace trelvan {
namespace {

// The form of this machine at 100 % (menu bar included) and a usual title bar.
constexpr QSize form{933, 697};
constexpr QMargins frame{1, 20, 1, 5};

TEST(FitWindow, TheWholeFormWhereItFitsElseTheWholeFreeArea) {
    struct Case {
        const char* screen;
        QRect free;
        bool scrolls;
    } cases[] = {
        {"wide", {0, 0, 1920, 1050}, false},
        {"second monitor", {1920, -200, 2560, 1400}, false},
        {"laptop with a panel", {0, 28, 1366, 740}, false},
        {"laptop with a tall panel", {0, 48, 1366, 720}, true},
        {"laptop without a panel", {0, 0, 1366, 768}, false},
        {"laptop at 125 %", {0, 0, 1093, 614}, true},
        {"narrow", {0, 0, 900, 1200}, true},
        {"tiny", {100, 100, 640, 480}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.screen);
        const bool fits = form.width() + 2 <= c.free.width() && form.height() + 25 <= c.free.height();
        ASSERT_EQ(fits, !c.scrolls);
        const WindowFit fit = fitWindow(form, frame, c.free);
        EXPECT_EQ(fit.scrolls, c.scrolls);
        EXPECT_TRUE(c.free.contains(fit.frame));
        if (c.scrolls) {
            EXPECT_EQ(fit.frame, c.free);
        } else {
            EXPECT_EQ(fit.frame.size(), form.grownBy(frame));
            // The input boxes find room beside it when the screen has that room.
            const int beside = std::max(c.free.right() - fit.frame.right(), fit.frame.left() - c.free.left());
            if (c.free.width() - fit.frame.width() >= inputBoxGap + inputBoxLeastWidth) {
                EXPECT_GE(beside, inputBoxGap + inputBoxLeastWidth);
            }
        }
    }
}

// Whatever the scene, the box lies wholly on the screen; it covers nothing it must
// keep clear of when there is any place for it, else nothing of what it asks about.
TEST(PlaceInputBox, StaysOnTheScreenAndClearOfWhatItAsksAbout) {
    const QRect screen(0, 0, 1000, 700);
    const QSize box(560, 180);
    struct Case {
        const char* what;
        QRect window, strip;
        QList<QRect> keepClear;
        bool clearOfAll;
    } cases[] = {
        {"beside, to the right", {0, 0, 420, 600}, {}, {{300, 550, 100, 20}}, true},
        {"beside, to the left", {560, 100, 440, 600}, {}, {{700, 650, 100, 20}}, true},
        {"over the diagram", {0, 0, 1000, 700}, {0, 40, 1000, 170}, {{250, 300, 100, 20}}, true},
        {"the diagram scrolled away", {0, 0, 1000, 700}, {}, {{250, 300, 100, 20}, {400, 380, 500, 100}}, true},
        {"window off the screen", {-300, -100, 900, 1000}, {}, {{-250, 690, 100, 20}}, true},
        {"a narrow gap only", {0, 0, 1000, 700}, {}, {{0, 0, 650, 700}, {1000 - 340 + 8, 0, 340, 10}}, true},
        {"no room at all", {0, 0, 1000, 700}, {}, {{100, 100, 100, 20}, {0, 130, 1000, 500}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QRect placed = placeInputBox({screen, c.window, c.strip, c.keepClear}, box);
        EXPECT_TRUE(screen.contains(placed));
        EXPECT_GE(placed.width(), inputBoxLeastWidth);
        EXPECT_EQ(placed.height(), box.height());
        EXPECT_FALSE(placed.intersects(c.keepClear.front()));
        for (const QRect& k : c.keepClear) {
            if (c.clearOfAll) {
                EXPECT_FALSE(placed.intersects(k));
            }
        }
    }
    // A box larger than the screen is cut to it.
    EXPECT_TRUE(QRect(0, 0, 300, 150).contains(
        placeInputBox({QRect(0, 0, 300, 150), QRect(0, 0, 300, 150), {}, {}}, box)));
}

}  // namespace
}  // namespace trelvan
