#pragma once
// What abandons a Compute action. Stages check their arithmetic before they write
// any text box and throw one of these; Command1_Click catches them, shows the
// message and keeps the last completed record.

#include <stdexcept>
#include <string>

namespace trelvan {

// Impossible arithmetic: a triangle that cannot be formed, a zero altitude, pivot or
// determinant, a negative weight reciprocal. The message is Chinese and names the
// failure and where it happened.
class ComputeFailure : public std::runtime_error {
public:
    explicit ComputeFailure(const std::string& message) : std::runtime_error(message) {}
};

// The operator pressed Cancel at a value prompt or a name prompt.
struct Cancelled {};

// The reply stream ended where a reply was needed (batch mode only).
struct InputEnded {};

}  // namespace trelvan
