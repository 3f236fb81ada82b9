#include "state/number_format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <utility>

#include "support/decimal_comma_locale.h"

namespace trelvan {
namespace {

struct FixedCase {
    double value;
    int decimals;
    const char* shown;
};

// Format: half away from zero on the exact binary value, no "-0".
const FixedCase fixedCases[] = {
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
    {9.95, 1, "9.9"},          // stored as 9.949999…
    {9.5, 0, "10"},            // a tie that carries into a new digit
    {-99.875, 2, "-99.88"},
    // Ties where neighbouring doubles lie further apart than the last decimal: the
    // tie still goes to the nearest decimal away from zero, not to the next double.
    {2189476891712553.75, 1, "2189476891712553.8"},
    {-2189476891712553.75, 1, "-2189476891712553.8"},
    {1000000000000000.125, 2, "1000000000000000.13"},
};

TEST(FormatFixed, ReferenceTable) {
    for (const auto& c : fixedCases)
        EXPECT_EQ(formatFixed(c.value, c.decimals), c.shown) << c.value << " to " << c.decimals;
    // The largest double written out in full, with more decimals than a short buffer holds.
    const std::string largest =
        "17976931348623157081452742373170435679807056752584499659891747680315726078002853"
        "87605895586327668781715404589535143824642343213268894641827684675467035375169860"
        "49910576551282076245490090389328944075868508455133942304583236903222948165808559"
        "332123348274797826204144723168738177180919299881250404026184124858368";
    EXPECT_EQ(formatFixed(std::numeric_limits<double>::max(), 100), largest + "." + std::string(100, '0'));
    EXPECT_EQ(formatFixed(-std::numeric_limits<double>::max(), 0), "-" + largest);
}

// Round: half to even on the exact binary value.
const struct {
    double value;
    int decimals;
    double rounded;
} roundCases[] = {
    {0.125, 2, 0.12}, {0.375, 2, 0.38},  {2.675, 2, 2.67},           {2.5, 0, 2.0},
    {3.5, 0, 4.0},    {-0.5, 2, -0.5},   {-2.5, 0, -2.0},            {1234.56849, 3, 1234.568},
    {12.3456, 2, 12.35},
};

TEST(RoundHalfEven, ReferenceTable) {
    for (const auto& c : roundCases)
        EXPECT_EQ(roundHalfEven(c.value, c.decimals), c.rounded) << c.value << " to " << c.decimals;
}

// The C library's conversions of the exact binary value, in the C locale, are an
// independent reference: to nearest with ties to even for roundHalfEven, and the
// same for formatFixed except at an exact tie (the full expansion ends in a 5 just
// after the last decimal), where the value moved by one unit of an 11-bit longer
// mantissa away from zero settles it away from zero.
TEST(NumberFormats, AgreeWithTheCLibraryOnRandomValuesAndExactTies) {
    ASSERT_STREQ(std::localeconv()->decimal_point, ".");
    std::mt19937_64 random(20240611);
    const auto printed = [](const char* format, int decimals, auto x) {
        char text[512];
        std::snprintf(text, sizeof text, format, decimals, x);
        return std::string(text);
    };
    const long double inf = std::numeric_limits<long double>::infinity();
    int ties = 0;
    for (int i = 0; i < 200000; ++i) {
        const int decimals = static_cast<int>(random() % 7);
        // Every other value an exact tie, an odd multiple of half a unit in the last
        // decimal place: (2m+1)/2^(d+1). The others below 2^43, with any bits.
        double x = i % 2 == 1
                       ? std::ldexp(static_cast<double>(2 * (random() >> 24) + 1), -(decimals + 1))
                       : std::ldexp(static_cast<double>(random() >> 11), -10 - static_cast<int>(random() % 50));
        if (random() % 2 == 0) x = -x;
        const std::string exact = printed("%.*f", 60, x);  // every binary digit
        const std::string beyond = exact.substr(exact.find('.') + 1 + static_cast<std::size_t>(decimals));
        const bool tie = beyond.front() == '5' && beyond.find_first_not_of('0', 1) == std::string::npos;
        ties += tie;

        const std::string even = printed("%.*f", decimals, x);
        std::string shown = tie ? printed("%.*Lf", decimals, std::nextafter(static_cast<long double>(x), x < 0 ? -inf : inf))
                                : even;
        if (shown.find_first_not_of("-0.") == std::string::npos && shown[0] == '-') shown.erase(0, 1);
        ASSERT_EQ(roundHalfEven(x, decimals), std::strtod(even.c_str(), nullptr)) << exact << " to " << decimals;
        ASSERT_EQ(formatFixed(x, decimals), shown) << exact << " to " << decimals;
    }
    EXPECT_GE(ties, 100000);
}

// Every format, and parsing, stay the same on a desktop that writes a decimal comma
// and groups digits: a full stop, no grouping, and "1,5" is still not a number.
TEST(NumberFormats, IgnoreADecimalCommaLocale) {
    const testing::DecimalCommaLocale locale;
    ASSERT_TRUE(locale.active()) << testing::DecimalCommaLocale::missing;
    for (const auto& c : fixedCases)
        EXPECT_EQ(formatFixed(c.value, c.decimals), c.shown) << c.value << " to " << c.decimals;
    for (const auto& c : roundCases)
        EXPECT_EQ(roundHalfEven(c.value, c.decimals), c.rounded) << c.value << " to " << c.decimals;
    EXPECT_EQ(roundedFixed(4.5, 2, 3), "4.500");
    EXPECT_EQ(generalNumber(126.8698976), "126.8698976");
    EXPECT_EQ(generalNumber(1e21), "1000000000000000000000");
    EXPECT_EQ(parseNumber("-1.2e3"), -1200);
    EXPECT_EQ(parseNumber(" 3452118.406 "), 3452118.406);
    EXPECT_FALSE(parseNumber("1,5").has_value());
    EXPECT_FALSE(parseNumber("3.452.118,406").has_value());
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
