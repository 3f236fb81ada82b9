// The icon: the bitmaps of the icon theme are the drawing rendered at their sizes,
// and the window's icon is the same drawing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPainter>

#include <cstdlib>

#include "window/window_main.h"

namespace {

QImage installedBitmap(int size) {
    const QString file = QStringLiteral(TRELVAN_ICON_DIR "/%1x%1/trelvan.png").arg(size);
    return QImage(file).convertToFormat(QImage::Format_ARGB32);
}

// The largest difference of any channel of any pixel; the images must be of one size.
int largestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q), qAlpha(p) - qAlpha(q)})
                largest = std::max(largest, std::abs(d));
        }
    return largest;
}

// Where the drawing (48 units square) has a known colour, at any size: the plate,
// a white unknown point, the yellow known point A, and the transparent corner.
struct Spot {
    double x, y;
    QColor colour;
};
const Spot spots[] = {
    {24.0, 5.0, QColor(0x1c, 0x5d, 0x78)},   // the plate above the chain
    {15.0, 15.0, QColor(255, 255, 255)},      // unknown point 1
    {9.0, 35.0, QColor(0xff, 0xd2, 0x3f)},    // known point A
    {39.0, 13.5, QColor(0xff, 0xd2, 0x3f)},   // known point B
    {0.5, 0.5, QColor(0, 0, 0, 0)},           // outside the rounded plate
};

TEST(Icon, EveryBitmapIsTheDrawingAtItsSize) {
    for (int size : {48, 256}) {
        SCOPED_TRACE(size);
        const QImage bitmap = installedBitmap(size);
        ASSERT_EQ(bitmap.size(), QSize(size, size));
        for (const Spot& spot : spots) {
            const QColor seen = bitmap.pixelColor(int(spot.x * size / 48), int(spot.y * size / 48));
            EXPECT_EQ(seen.alpha(), spot.colour.alpha()) << spot.x << "," << spot.y;
            if (spot.colour.alpha() == 255) {
                EXPECT_EQ(seen.rgb(), spot.colour.rgb()) << spot.x << "," << spot.y;
            }
        }
    }
}

TEST(Icon, TheWindowShowsTheSameDrawingAsTheIconTheme) {
    const QIcon icon = trelvan::programIcon();
    ASSERT_FALSE(icon.isNull());
    for (int size : {48, 256}) {
        SCOPED_TRACE(size);
        const QImage shown = icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(shown.size(), QSize(size, size));
        // Both are Qt SVG's rendering of one file; antialiasing may differ by a step.
        EXPECT_LE(largestDifference(shown, installedBitmap(size)), 2);
    }
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
