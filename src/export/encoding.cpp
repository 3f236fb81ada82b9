#include "export/encoding.h"

#include <iconv.h>

#include <array>
#include <stdexcept>

#include "state/number_format.h"
#include "state/utf8.h"

namespace trelvan::exports {

namespace {

// Code points travel through iconv as UTF-32LE, four bytes each.
constexpr const char* codePoints = "UTF-32LE";

iconv_t open(const char* to, const char* from) {
    const iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error(std::string("the C library cannot convert from ") + from + " to " + to);
    return cd;
}

// The whole of `in` converted by `cd`, or empty when a character cannot be.
std::optional<std::string> convert(void* cd, std::string_view in) {
    const auto handle = static_cast<iconv_t>(cd);
    ::iconv(handle, nullptr, nullptr, nullptr, nullptr);
    std::string out(in.size() * 4 + 16, '\0');
    char* from = const_cast<char*>(in.data());
    std::size_t fromLeft = in.size();
    char* to = out.data();
    std::size_t toLeft = out.size();
    if (::iconv(handle, &from, &fromLeft, &to, &toLeft) == static_cast<std::size_t>(-1)) return std::nullopt;
    if (::iconv(handle, nullptr, nullptr, &to, &toLeft) == static_cast<std::size_t>(-1)) return std::nullopt;
    out.resize(out.size() - toLeft);
    return out;
}

std::string utf32(char32_t c) {
    const auto v = static_cast<std::uint32_t>(c);
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF), static_cast<char>((v >> 16) & 0xFF),
            static_cast<char>((v >> 24) & 0xFF)};
}

char32_t fromUtf32(std::string_view four) {
    std::uint32_t v = 0;
    for (int b = 3; b >= 0; --b) v = (v << 8) | static_cast<unsigned char>(four[static_cast<std::size_t>(b)]);
    return static_cast<char32_t>(v);
}

}  // namespace

std::string characterName(char32_t c) {
    std::string hex = hexDigits(static_cast<std::uint64_t>(c));
    if (hex.size() < 4) hex.insert(0, 4 - hex.size(), '0');
    return "U+" + hex;
}

bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

TextEncoder::TextEncoder(Target target)
    : target_(target),
      toSet_(open(target == Target::Gb18030 ? "GB18030" : "GBK", codePoints)),
      fromSet_(open(codePoints, target == Target::Gb18030 ? "GB18030" : "GBK")),
      fromUtf8_(open(codePoints, "UTF-8")) {}

TextEncoder::~TextEncoder() {
    for (void* cd : {toSet_, fromSet_, fromUtf8_}) ::iconv_close(static_cast<iconv_t>(cd));
}

std::string TextEncoder::encoded(char32_t c) const {
    const auto bytes = convert(toSet_, utf32(c));
    // A character the set writes as nothing (the C library drops some) is lacking.
    if (!bytes || bytes->empty()) return {};
    const auto back = convert(fromSet_, *bytes);
    if (!back || back->size() != 4 || fromUtf32(*back) != c) return {};
    return *bytes;
}

std::optional<std::string> TextEncoder::operator()(std::string_view utf8, char32_t& unheld) const {
    const auto points = convert(fromUtf8_, sanitizeUtf8(utf8));
    if (!points) throw std::runtime_error("a well-formed UTF-8 text did not convert");
    std::string out;
    out.reserve(utf8.size() + 8);
    for (std::size_t i = 0; i + 4 <= points->size(); i += 4) {
        const char32_t c = fromUtf32(std::string_view(*points).substr(i, 4));
        if (isControl(c)) {
            unheld = c;
            return std::nullopt;
        }
        if (c < 0x80) {
            // A backslash that would start AutoCAD's \U+ is itself written that way.
            if (target_ == Target::Dxf && c == '\\' && points->compare(i + 4, 8, utf32('U') + utf32('+')) == 0) {
                out += "\\U+005C";
            } else {
                out += static_cast<char>(c);
            }
            continue;
        }
        // GB18030 holds every character in one, two or four bytes; the code page of a
        // DXF holds the Chinese characters (and some others) in two, and the rest of
        // the Basic Multilingual Plane goes in AutoCAD's own notation.
        const std::string bytes = encoded(c);
        if (target_ == Target::Gb18030 && !bytes.empty()) {
            out += bytes;
        } else if (target_ == Target::Dxf && bytes.size() == 2) {
            out += bytes;
        } else if (target_ == Target::Dxf && c <= 0xFFFF) {
            out += "\\" + characterName(c);
        } else {
            unheld = c;
            return std::nullopt;
        }
    }
    return out;
}

}  // namespace trelvan::exports
