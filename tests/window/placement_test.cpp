// Where an input box stands in scenes the test screens do not make: a window
// partly off the screen, narrow gaps, no room at all, a screen smaller than the box;
// and where a child window opens.
#include <gtest/gtest.h>

#include "window/placement.h"

namespace trelvan {
namespace {

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

// A child window beside the main window when it can stand there at its least size;
// else where the screen clear of the precision and results panels holds it largest;
// else centred on the main window. Each case's rectangle worked out by hand.
TEST(PlaceChildWindow, BesideElseClearOfThePanelsElseCentred) {
    const QRect screen(0, 0, 1366, 768);
    struct Case {
        const char* what;
        QRect window;
        QList<QRect> keepClear;
        QSize wanted, least;
        QRect placed;
    } cases[] = {
        // 1366 − 935 − 8 = 423 to the right of the main window, level with its top.
        {"beside, to the right", {0, 29, 935, 721}, {{364, 304, 536, 160}, {364, 592, 536, 96}}, {1033, 422},
         {328, 234}, {943, 29, 423, 422}},
        // 420 − 8 = 412 to its left.
        {"beside, to the left", {420, 0, 946, 768}, {{700, 300, 500, 150}}, {500, 400}, {328, 234}, {0, 0, 412, 400}},
        // A window filling the screen, as at 125 %: the band above the precision
        // panel, 338 − 8 = 330 high, centred on the window: (1366 − 1033) / 2 = 166.
        {"above the panels", {0, 0, 1366, 768}, {{450, 338, 670, 200}, {450, 698, 670, 70}}, {1033, 422},
         {328, 234}, {166, 0, 1033, 330}},
        {"no room clear of them", {0, 0, 1093, 614}, {{100, 100, 900, 400}}, {991, 586}, {814, 318},
         {51, 13, 991, 586}},
        {"nothing to keep clear, larger than the screen", {0, 0, 1366, 768}, {}, {2000, 1000}, {400, 300},
         {0, 0, 1366, 768}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QRect placed = placeChildWindow({screen, c.window, c.keepClear}, c.wanted, c.least);
        EXPECT_EQ(placed, c.placed);
        EXPECT_TRUE(screen.contains(placed));
    }
}

}  // namespace
}  // namespace trelvan
