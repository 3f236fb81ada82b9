#include "state/number_format.h"

#include <charconv>
#include <cmath>
#include <ctime>
#include <system_error>

namespace trelvan {

namespace {

// The exact decimal expansion of the stored double, rounded to `decimals` places to
// nearest with ties to even. std::to_chars writes a full stop and no grouping
// whatever the C or C++ locale of the process says; a desktop with a decimal comma
// must never change a figure.
std::string printFixed(double x, int decimals) {
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, decimals);
    if (result.ec == std::errc()) return std::string(buffer, result.ptr);
    // Only a value near the top of the double range with many decimals gets here.
    std::string big(static_cast<std::size_t>(decimals) + 400, '\0');
    result = std::to_chars(big.data(), big.data() + big.size(), x, std::chars_format::fixed, decimals);
    big.resize(static_cast<std::size_t>(result.ptr - big.data()));
    return big;
}

// x lies exactly halfway between two d-decimal numbers when x·10^d has a
// fractional part of exactly one half. For a binary value that happens exactly
// when x·2^(d+1) is an odd integer.
bool isExactTie(double x, int decimals) {
    if (!std::isfinite(x) || decimals < 0 || decimals > 60) return false;
    const double scaled = std::ldexp(x, decimals + 1);
    if (!std::isfinite(scaled) || scaled != std::trunc(scaled)) return false;
    return std::fmod(scaled, 2.0) != 0.0;
}

// An exact tie written with one decimal more ends in the 5 of the half unit: drop
// it and count the last digit kept up by one, away from zero ("-0.125" gives
// "-0.13", "9.95" gives "10.0"). Done on the digits, because a step to the next
// double would overshoot where the doubles lie further apart than the decimals.
std::string awayFromZero(std::string tie) {
    tie.pop_back();
    if (tie.back() == '.') tie.pop_back();
    for (std::size_t j = tie.size(); j-- > 0;) {
        if (tie[j] == '.') continue;
        if (tie[j] == '-') {
            tie.insert(j + 1, 1, '1');
            return tie;
        }
        if (tie[j] != '9') {
            ++tie[j];
            return tie;
        }
        tie[j] = '0';
    }
    tie.insert(0, 1, '1');
    return tie;
}

std::string dropNegativeZero(std::string text) {
    if (!text.empty() && text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

double roundHalfEven(double x, int decimals) {
    if (!std::isfinite(x)) return x;
    const std::string text = printFixed(x, decimals);
    double result = 0;
    std::from_chars(text.data(), text.data() + text.size(), result);
    return result;
}

std::string formatFixed(double x, int decimals) {
    if (!std::isfinite(x)) return std::isnan(x) ? "NaN" : (x > 0 ? "Infinity" : "-Infinity");
    if (isExactTie(x, decimals)) return awayFromZero(printFixed(x, decimals + 1));
    return dropNegativeZero(printFixed(x, decimals));
}

std::string roundedFixed(double x, int roundTo, int shownDecimals) {
    return formatFixed(roundHalfEven(x, roundTo), shownDecimals);
}

std::string generalNumber(double x) {
    if (x == 0) return "0";
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed);
    if (result.ec != std::errc()) return formatFixed(x, 15);
    return std::string(buffer, result.ptr);
}

std::string shortestNumber(double x) {
    if (x == 0) return "0";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x);
    return std::string(buffer, result.ptr);
}

std::optional<double> parseNumber(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);

    // Check the grammar by hand: sign, digits [. digits] | . digits, [exponent].
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t mantissaStart = i;
    std::size_t integerDigits = 0, fractionDigits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++integerDigits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++fractionDigits;
    }
    if (integerDigits + fractionDigits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t exponentDigits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++exponentDigits;
        if (exponentDigits == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;

    double value = 0;
    const char* first = text.data() + mantissaStart;
    const char* last = text.data() + text.size();
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ptr != last) return std::nullopt;
    if (result.ec == std::errc::result_out_of_range) {
        // Out of range either way: far too large is not a finite number, far too
        // small reads as zero. Tell them apart by where the first significant digit
        // stands: the value is large when its decimal magnitude is positive.
        long long magnitude = 0;
        std::size_t j = mantissaStart;
        bool seenDigit = false;
        long long position = static_cast<long long>(integerDigits);
        for (; j < text.size() && text[j] != 'e' && text[j] != 'E'; ++j) {
            if (text[j] == '.') continue;
            if (text[j] != '0') { seenDigit = true; break; }
            --position;
        }
        long long exponent = 0;
        const std::size_t e = text.find_first_of("eE", mantissaStart);
        if (e != std::string_view::npos) {
            std::size_t k = e + 1;
            bool expNegative = false;
            if (text[k] == '+' || text[k] == '-') expNegative = text[k++] == '-';
            for (; k < text.size() && exponent < 100000; ++k) exponent = exponent * 10 + (text[k] - '0');
            if (expNegative) exponent = -exponent;
        }
        magnitude = position + exponent;
        if (seenDigit && magnitude > 0) return std::nullopt;
        value = 0.0;
    } else if (result.ec != std::errc()) {
        return std::nullopt;
    }
    if (!std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

std::optional<std::int16_t> toInt16HalfEven(double x) {
    if (!std::isfinite(x)) return std::nullopt;
    const double rounded = std::nearbyint(x);  // default rounding mode: halves to even
    if (rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

std::string replyNumber(double value) {
    if (value == 0 && std::signbit(value)) return "-0";
    return generalNumber(value);
}

std::string hexDigits(std::uint64_t n) {
    char buffer[17];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, n, 16).ptr;
    std::string text(buffer, end);
    for (char& c : text)
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string dateTimeText(std::chrono::system_clock::time_point moment) {
    const std::time_t t = std::chrono::system_clock::to_time_t(moment);
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr) return {};
    const auto two = [](int v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    return std::to_string(local.tm_year + 1900) + "-" + two(local.tm_mon + 1) + "-" + two(local.tm_mday) + " " +
           two(local.tm_hour) + ":" + two(local.tm_min) + ":" + two(local.tm_sec);
}

}  // namespace trelvan
