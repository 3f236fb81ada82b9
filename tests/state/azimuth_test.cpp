#include "state/azimuth.h"

#include <gtest/gtest.h>

#include <cmath>

#include "state/number_format.h"

namespace trelvan {
namespace {

// Shown as it is in Text5/Text6: rounded to 7 decimals, shortest form.
std::string shown(double azimuth) { return generalNumber(roundHalfEven(azimuth, 7)); }

TEST(Azimuth, QuadrantsWithTheTenDecimalPi) {
    struct Case {
        double dx, dy, azimuth;
    } const cases[] = {
        {3, 4, 53.1301023557},     // north-east
        {-3, 4, 126.8698976443},   // south-east: 180 − α
        {-3, -4, 233.1301023557},  // south-west: 180 − α
        {3, -4, 306.8698976443},   // north-west: α + 360
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "dx=" << c.dx << " dy=" << c.dy);
        const double a = azimuthTo(1000, 2000, 1000 + c.dx, 2000 + c.dy);
        EXPECT_NEAR(a, c.azimuth, 5e-10);
        EXPECT_GE(a, 0);
        EXPECT_LT(a, 360);
    }
}

TEST(Azimuth, NorthEastIsNotQuiteFortyFiveButShowsAsFortyFive) {
    const double a = azimuthTo(0, 0, 250, 250);
    // The ten-decimal pi leaves its mark in the ninth decimal.
    EXPECT_NEAR(a, 45.00000000128619, 1e-13);
    EXPECT_NE(a, 45.0);
    EXPECT_EQ(shown(a), "45");
}

TEST(Azimuth, AxisDirectionsAreExact) {
    EXPECT_EQ(azimuthTo(100, 100, 150, 100), 0.0);    // due north
    EXPECT_EQ(azimuthTo(100, 100, 100, 150), 90.0);   // due east
    EXPECT_EQ(azimuthTo(100, 100, 50, 100), 180.0);   // due south
    EXPECT_EQ(azimuthTo(100, 100, 100, 50), 270.0);   // due west
    EXPECT_EQ(azimuthTo(100, 100, 100, 100), 270.0);  // the station itself
    EXPECT_EQ(shown(azimuthTo(100, 100, 150, 100)), "0");
}

TEST(Azimuth, NationalGridCoordinatesKeepTheirDirection) {
    // A 7-digit northing and a zone-prefixed 8-digit easting, both kept as typed:
    // a direction point 1 km north-east of the station still shows as 45.
    const double x = 3456931.301, y = 38123456.789;
    const double a = azimuthTo(x, y, 3457931.301, 38124456.789);
    EXPECT_NEAR(a, 45.0, 5e-9);
    EXPECT_EQ(shown(a), "45");
}

TEST(Azimuth, ExtremeCoordinatesStillGiveADirection) {
    struct Case {
        double x, y, xp, yp, azimuth;
    } const cases[] = {
        {0, 0, 1e200, 1e200, 45},           // squares overflow
        {0, 0, -1e-200, 1e-200, 135},       // squares vanish
        {-1e308, -1e308, 1e308, 1e308, 45}, // differences overflow
        {1e308, 0, -1e308, -1e-300, 180},   // almost due south
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.xp << ", " << c.yp);
        const double a = azimuthTo(c.x, c.y, c.xp, c.yp);
        ASSERT_TRUE(std::isfinite(a));
        EXPECT_NEAR(a, c.azimuth, 1e-6);
    }
}

}  // namespace
}  // namespace trelvan
