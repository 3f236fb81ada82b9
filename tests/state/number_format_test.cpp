#include "state/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>

namespace trelvan {
namespace {

struct FixedCase {
    double value;
    int decimals;
    const char* shown;
};

// Format: half away from zero on the exact binary value, no "-0".
TEST(FormatFixed, ReferenceTable) {
    const FixedCase cases[] = {
        {1234.5678, 3, "1234.568"},
        {0.125, 2, "0.13"},        // exact tie: away from zero
        {-0.125, 2, "-0.13"},
        {2.5, 0, "3"},
        {-2.5, 0, "-3"},
        {2.675, 2, "2.67"},        // stored as 2.67499999…: no tie
        {1.005, 2, "1.00"},        // stored as 1.00499999…
        {0.0005, 3, "0.001"},      // stored as 0.000500000000000000010…
        {-0.0004, 3, "0.000"},     // rounds to zero: no minus sign
        {-0.0, 3, "0.000"},
        {-0.00001, 2, "0.00"},
        {4.5, 3, "4.500"},
        {0, 4, "0.0000"},
        {38123.456, 3, "38123.456"},
        {3456931.301, 3, "3456931.301"},
        {0.5, 0, "1"},
        {1e15, 3, "1000000000000000.000"},
        {-12.345, 2, "-12.35"},    // stored as -12.3450000000000006…
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatFixed(c.value, c.decimals), c.shown) << c.value << " to " << c.decimals;
}

// Round: half to even on the exact binary value.
TEST(RoundHalfEven, ReferenceTable) {
    EXPECT_EQ(roundHalfEven(0.125, 2), 0.12);
    EXPECT_EQ(roundHalfEven(0.375, 2), 0.38);
    EXPECT_EQ(roundHalfEven(2.675, 2), 2.67);
    EXPECT_EQ(roundHalfEven(2.5, 0), 2.0);
    EXPECT_EQ(roundHalfEven(3.5, 0), 4.0);
    EXPECT_EQ(roundHalfEven(-0.5, 2), -0.5);
    EXPECT_EQ(roundHalfEven(-2.5, 0), -2.0);
    EXPECT_EQ(roundHalfEven(1234.56849, 3), 1234.568);
    EXPECT_EQ(roundHalfEven(12.3456, 2), 12.35);
}

// Where a rule rounds first and formats with more decimals, both happen.
TEST(RoundThenFormat, RoundingComesFirst) {
    EXPECT_EQ(formatFixed(roundHalfEven(4.5, 2), 3), "4.500");
    EXPECT_EQ(formatFixed(roundHalfEven(1234.56849, 3), 4), "1234.5680");
    EXPECT_EQ(formatFixed(roundHalfEven(0.125, 2), 2), "0.12");  // Format would say 0.13
    EXPECT_EQ(formatFixed(roundHalfEven(-12.345f * 1.0, 2), 2), "-12.35");
}

TEST(GeneralNumber, ShortestRoundTripWithoutExponent) {
    EXPECT_EQ(generalNumber(1.5), "1.5");
    EXPECT_EQ(generalNumber(0.0), "0");
    EXPECT_EQ(generalNumber(-0.0), "0");
    EXPECT_EQ(generalNumber(126.8698976), "126.8698976");
    EXPECT_EQ(generalNumber(45.0), "45");
    EXPECT_EQ(generalNumber(roundHalfEven(45.00000000128619, 7)), "45");
    EXPECT_EQ(generalNumber(1e-7), "0.0000001");
    EXPECT_EQ(generalNumber(1e21), "1000000000000000000000");
    EXPECT_EQ(generalNumber(-2.25), "-2.25");
    EXPECT_EQ(generalNumber(static_cast<double>(1.1f)), "1.100000023841858");
}

// JSON figures: the shortest decimal that reads back as the same double, with an
// exponent where that is shorter. Includes values whose shortest form some
// shortest-digit algorithms miss by one digit.
TEST(ShortestNumber, ShortestRoundTripWithExponentWhereShorter) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "0"}, {-0.0, "0"}, {12.0, "12"}, {7.815, "7.815"}, {3452118.406, "3452118.406"},
        {1.8e-6, "1.8e-06"}, {-2.5, "-2.5"}, {1e21, "1e+21"}, {0.1 + 0.2, "0.30000000000000004"},
        {0.04859755243048983, "0.04859755243048983"}, {-16526353.97515292, "-16526353.97515292"},
        {2.371964190894558e-05, "2.371964190894558e-05"},
        {static_cast<double>(0.7087057f), "0.708705723285675"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(shortestNumber(value), text);
        EXPECT_EQ(std::stod(shortestNumber(value)), value);
    }
}

TEST(ParseNumber, AcceptsCompleteFiniteDecimals) {
    const std::pair<const char*, double> good[] = {
        {"5", 5}, {"5.", 5}, {".3015", 0.3015}, {"-1.2e3", -1200}, {" 0 ", 0},
        {"+7", 7}, {"\t12.5", 12.5}, {"-0", 0}, {"00", 0}, {"1E2", 100}, {"1e-400", 0},
    };
    for (const auto& [text, value] : good) {
        const auto parsed = parseNumber(text);
        ASSERT_TRUE(parsed.has_value()) << text;
        EXPECT_EQ(*parsed, value) << text;
    }
}

TEST(ParseNumber, RefusesEverythingElse) {
    for (const char* text : {"", " ", ".", "12abc", "1,5", "1e400", "-1e400", "inf", "nan",
                             "-", "+", "e5", "1e", "1e+", "0x10", "1 2", "--1", "１２", "1.2.3"})
        EXPECT_FALSE(parseNumber(text).has_value()) << '"' << text << '"';
}

TEST(ToInt16HalfEven, RoundsHalvesToEvenAndRefusesOverflow) {
    EXPECT_EQ(toInt16HalfEven(4.5), 4);
    EXPECT_EQ(toInt16HalfEven(5.5), 6);
    EXPECT_EQ(toInt16HalfEven(-0.5), 0);
    EXPECT_EQ(toInt16HalfEven(16382.4), 16382);
    EXPECT_EQ(toInt16HalfEven(32767.4), 32767);
    EXPECT_FALSE(toInt16HalfEven(32767.5).has_value());
    EXPECT_FALSE(toInt16HalfEven(-32768.6).has_value());
    EXPECT_FALSE(toInt16HalfEven(std::numeric_limits<double>::infinity()).has_value());
}

}  // namespace
}  // namespace trelvan
