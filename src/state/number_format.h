#pragma once
// Number formats. Every figure the program shows or prints passes through here.
// None of them looks at the C or C++ locale of the process: a desktop that writes a
// decimal comma or groups digits changes nothing, in either direction.
//
//  roundHalfEven(x, d)  rounding before formatting: half to even, the tie decided on
//                       the exact binary value (0.125 → 0.12, but 2.675 → 2.67
//                       because 2.675 is stored as 2.67499999…).
//  formatFixed(x, d)    the "0.000" patterns: at least one integer digit, exactly d
//                       decimals, half away from zero on the exact binary value, no
//                       grouping, and no minus sign on a value that shows as zero.
//  roundedFixed(x, r, d)
//                       a figure rounded before it is shown: roundHalfEven to r
//                       decimals, then formatFixed with d decimals (w(1) in the
//                       report: 4.5 rounded to 2, shown as 4.500).
//  generalNumber(x)     the shortest decimal that reads back as the same double, with
//                       no exponent and no trailing zeros: 1.5, 0, 126.8698976.
//  shortestNumber(x)    the shortest decimal that reads back as the same double, with
//                       an exponent where that is shorter, as a JSON number is
//                       written: 0.1, 12, 3452118.406, 1.8e-06; zero without a sign.
//  parseNumber(text)    one complete finite decimal number in the C locale, blanks
//                       trimmed: "5", "5.", ".3015", "-1.2e3"; not "12abc", "1,5",
//                       "", ".", "1e400", "inf", "nan".
//  replyNumber(x)       a value as it is typed back as a reply: generalNumber, and
//                       "-0" for a negative zero.
//  digits(n)            an integer's plain decimal digits.
//  hexDigits(n)         an unsigned integer's upper-case hexadecimal digits: 1F.
//  toInt16HalfEven(x)   the 16-bit conversion: nearest integer, halves to even.
//  dateTimeText(t)      a moment in local time: "2026-12-08 14:03:27".

#include <chrono>
#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trelvan {

double roundHalfEven(double x, int decimals);

std::string formatFixed(double x, int decimals);

std::string roundedFixed(double x, int roundTo, int shownDecimals);

std::string generalNumber(double x);

// x must be finite.
std::string shortestNumber(double x);

std::optional<double> parseNumber(std::string_view text);

// Empty when x rounds outside the 16-bit range.
std::optional<std::int16_t> toInt16HalfEven(double x);

// A number as a reply: its general number form, and "-0" for a negative zero so that
// the value typed is the value kept.
std::string replyNumber(double value);

// Plain decimal digits, as spliced into texts: "第 3 个". (std::to_string of an
// integer never consults the locale.)
template <std::integral Integer>
std::string digits(Integer n) {
    return std::to_string(n);
}

// Upper-case hexadecimal digits, as a drawing file writes the handles of its
// objects: 1F, 30.
std::string hexDigits(std::uint64_t n);

// The moment in the local time zone, year-month-day and the time to the second,
// digits only and never in the desktop's date format: "2026-12-08 14:03:27".
std::string dateTimeText(std::chrono::system_clock::time_point moment);

}  // namespace trelvan
