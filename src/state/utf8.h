#pragma once
// Well-formed UTF-8: every text the program takes in (replies, names, job files) is
// checked or mended here before it is stored.

#include <string>
#include <string_view>

namespace trelvan {

// Replaces every ill-formed UTF-8 sequence by U+FFFD.
std::string sanitizeUtf8(std::string_view bytes);

// The offset of the first ill-formed UTF-8 sequence, or npos when there is none.
std::size_t firstIllFormedUtf8(std::string_view bytes);

}  // namespace trelvan
