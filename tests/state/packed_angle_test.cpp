// Packed angles read as the operator typed them, over every whole minute of the
// circle and a sweep of values with seconds.
#include "state/packed_angle.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <string>

namespace trelvan {
namespace {

// The double the operator's text becomes.
double typed(const std::string& text) {
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_EQ(result.ptr, text.data() + text.size()) << text;
    return value;
}

std::string twoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// The conversion with the plain truncation of 100·a, which values with seconds
// have always read by.
double plainFix(double a) {
    const double degrees = std::trunc(a), minutes = std::trunc(100 * a);
    return degrees + (minutes - 100 * degrees) / 60 + (10000 * a - 100 * minutes) / 3600;
}

// Many whole-minute values (0.29, 2.05, …) are stored a hair below their hundredths;
// every one of them must read d + m/60, not 40″ more. The seconds term keeps a
// residue of a few units in the last place of 10000·a, far below 1e-8″.
TEST(PackedAngle, EveryWholeMinuteOfTheCircleReadsAsTyped) {
    int checked = 0;
    for (int d = 0; d < 360; ++d) {
        for (int m = 0; m < 60; ++m) {
            const std::string text = std::to_string(d) + "." + twoDigits(m);
            const double want = d + m / 60.0;
            const double got = packedToDegrees(typed(text));
            ASSERT_NEAR(got * 3600, want * 3600, 1e-8) << text;
            EXPECT_EQ(signedPackedToDegrees(-typed(text)), -got) << text;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 21600);
}

// Whole seconds, and tenths up to 59.9″, at every minute of the circle: the rule for
// whole minutes never touches them.
TEST(PackedAngle, ValuesWithSecondsReadAsBefore) {
    for (int d = 0; d < 360; ++d) {
        for (int m = 0; m < 60; ++m) {
            const std::string minute = std::to_string(d) + "." + twoDigits(m);
            for (const std::string seconds : {"01", "15", "30", "3015", "45", "59", "599", "59999"}) {
                const double a = typed(minute + seconds);
                ASSERT_EQ(packedToDegrees(a), plainFix(a)) << minute + seconds;
            }
        }
    }
}

TEST(PackedAngle, ExamplesOfTheOperatorsTyping) {
    const struct {
        const char* text;
        double degrees;
    } cases[] = {
        {"0.29", 29 / 60.0},                    // read as 0°28′100″ by the plain Fix
        {"2.05", 2 + 5 / 60.0},
        {"312.2415", 312 + 24 / 60.0 + 15 / 3600.0},
        {"160.23026", 160 + 23 / 60.0 + 2.6 / 3600.0},
        {"359.59", 359 + 59 / 60.0},
        {"359.5959", 359 + 59 / 60.0 + 59 / 3600.0},
        {"45", 45},
        {"0.0001", 1 / 3600.0},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(packedToDegrees(typed(c.text)) * 3600, c.degrees * 3600, 1e-8) << c.text;
}

}  // namespace
}  // namespace trelvan
