#pragma once
// What the dialogue refuses, decided once. The dialogue says each reason with its
// own request to type the value again; a job file is refused with the same reason.
// Every function returns empty for an acceptable value, else the reason in Chinese,
// without a closing full stop.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trelvan {

// N: the 16-bit integer the dialogue makes of the typed value (halves to even), when
// it lies in 1..16382.
std::optional<std::int16_t> triangleCountOf(double value);
// Why a value gives no triangle count.
std::string triangleCountRangeReason();

// A reply longer than the length bound (names included) is refused whole.
std::optional<std::string> replyLengthProblem(std::string_view reply);

// The angle tolerance is kept as a 32-bit float, so it must fit one.
std::optional<std::string> toleranceProblem(double seconds);

// Side k (1..2N+1) as typed: never zero, and negative only for an even side (right
// of the route).
std::optional<std::string> sideProblem(int k, double typed);

// Triangle i with its sides S(2i−1), S(2i), S(2i+1) as lengths: it can be formed
// when each side is shorter than the other two together (a flat one cannot).
std::optional<std::string> triangleProblem(int i, double a, double b, double c);

}  // namespace trelvan
