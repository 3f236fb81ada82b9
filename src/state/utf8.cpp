#include "state/utf8.h"

namespace trelvan {

namespace {

// The sequence that starts at byte i: how many bytes it takes and whether it is
// well-formed. An ill-formed one takes its maximal ill-formed prefix, at least 1 byte.
struct Utf8Step {
    std::size_t length;
    bool wellFormed;
};

Utf8Step utf8StepAt(std::string_view in, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(in[k]); };
    const unsigned char c = byte(i);
    if (c < 0x80) return {1, true};
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // bounds of the second byte
    if (c >= 0xC2 && c <= 0xDF) length = 2;
    else if (c == 0xE0) { length = 3; low = 0xA0; }
    else if (c >= 0xE1 && c <= 0xEC) length = 3;
    else if (c == 0xED) { length = 3; high = 0x9F; }
    else if (c >= 0xEE && c <= 0xEF) length = 3;
    else if (c == 0xF0) { length = 4; low = 0x90; }
    else if (c >= 0xF1 && c <= 0xF3) length = 4;
    else if (c == 0xF4) { length = 4; high = 0x8F; }
    std::size_t good = 0;  // bytes of a well-formed prefix
    if (length > 0) {
        good = 1;
        if (i + 1 < in.size() && byte(i + 1) >= low && byte(i + 1) <= high) {
            good = 2;
            while (good < length && i + good < in.size() && byte(i + good) >= 0x80 &&
                   byte(i + good) <= 0xBF)
                ++good;
        }
    }
    if (length > 0 && good == length) return {length, true};
    return {good == 0 ? 1 : good, false};
}

}  // namespace

std::string sanitizeUtf8(std::string_view in) {
    static constexpr const char* replacement = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size();) {
        const Utf8Step step = utf8StepAt(in, i);
        // One replacement for the maximal ill-formed prefix.
        if (step.wellFormed) out.append(in.substr(i, step.length));
        else out.append(replacement);
        i += step.length;
    }
    return out;
}

std::size_t firstIllFormedUtf8(std::string_view in) {
    for (std::size_t i = 0; i < in.size();) {
        const Utf8Step step = utf8StepAt(in, i);
        if (!step.wellFormed) return i;
        i += step.length;
    }
    return std::string_view::npos;
}

}  // namespace trelvan
