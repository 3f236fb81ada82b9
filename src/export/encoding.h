#pragma once
// Point names in the encodings the files are read in, by the C library's iconv:
//
//   GB18030   a CASS data file, as CASS on a Chinese Windows reads it;
//   DXF text  a drawing in AutoCAD 2000 format, whose texts are in the code page the
//             drawing names (ANSI_936, the Chinese GBK): a character that code page
//             lacks is written as AutoCAD writes it, \U+XXXX, which reaches only to
//             U+FFFF.
//
// A character is written only when its bytes read back as the same character, so
// that nothing is changed or lost on the way; a name that holds another refuses the
// export. Neither file can hold a control character (a line break, a tab): a line
// of the file would end inside the name.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trelvan::exports {

// The code page a DXF names in its header for the encoding of DXF texts.
inline constexpr const char* dxfCodePage = "ANSI_936";

// U+4E2D: a character as a message names it.
std::string characterName(char32_t c);

// The C0 and C1 controls and DEL.
bool isControl(char32_t c);

class TextEncoder {
public:
    enum class Target { Gb18030, Dxf };
    explicit TextEncoder(Target target);
    ~TextEncoder();
    TextEncoder(const TextEncoder&) = delete;
    TextEncoder& operator=(const TextEncoder&) = delete;

    // The UTF-8 text as the file holds it; empty, with the first character it
    // cannot hold in `unheld`, when it cannot.
    std::optional<std::string> operator()(std::string_view utf8, char32_t& unheld) const;

private:
    // The bytes of `c` in the target's character set when they read back as `c`;
    // empty when the set lacks it.
    std::string encoded(char32_t c) const;

    Target target_;
    void* toSet_;    // iconv_t: UTF-32LE to the set
    void* fromSet_;  // the set to UTF-32LE
    void* fromUtf8_;
};

}  // namespace trelvan::exports
