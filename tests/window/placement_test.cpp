// Where an input box stands in scenes the test screens do not make: a window
// partly off the screen, narrow gaps, no room at all, a screen smaller than the box.
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

}  // namespace
}  // namespace trelvan
