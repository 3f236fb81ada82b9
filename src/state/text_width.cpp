#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "state/text_width.h"

namespace trelvan {

namespace {

struct Range {
    char32_t first, last;
};

// Code points of East Asian Width W (wide) or F (fullwidth), Unicode 15.0, adjacent
// ranges merged; unassigned code points of the CJK blocks count as wide, as Unicode
// says they should. Taken from the derived East Asian Width property.
constexpr Range wideRanges[] = {
    {0x1100, 0x115F}, {0x231A, 0x231B}, {0x2329, 0x232A}, {0x23E9, 0x23EC},
    {0x23F0, 0x23F0}, {0x23F3, 0x23F3}, {0x25FD, 0x25FE}, {0x2614, 0x2615},
    {0x2648, 0x2653}, {0x267F, 0x267F}, {0x2693, 0x2693}, {0x26A1, 0x26A1},
    {0x26AA, 0x26AB}, {0x26BD, 0x26BE}, {0x26C4, 0x26C5}, {0x26CE, 0x26CE},
    {0x26D4, 0x26D4}, {0x26EA, 0x26EA}, {0x26F2, 0x26F3}, {0x26F5, 0x26F5},
    {0x26FA, 0x26FA}, {0x26FD, 0x26FD}, {0x2705, 0x2705}, {0x270A, 0x270B},
    {0x2728, 0x2728}, {0x274C, 0x274C}, {0x274E, 0x274E}, {0x2753, 0x2755},
    {0x2757, 0x2757}, {0x2795, 0x2797}, {0x27B0, 0x27B0}, {0x27BF, 0x27BF},
    {0x2B1B, 0x2B1C}, {0x2B50, 0x2B50}, {0x2B55, 0x2B55}, {0x2E80, 0x2E99},
    {0x2E9B, 0x2EF3}, {0x2F00, 0x2FD5}, {0x2FF0, 0x2FFB}, {0x3000, 0x303E},
    {0x3041, 0x3096}, {0x3099, 0x30FF}, {0x3105, 0x312F}, {0x3131, 0x318E},
    {0x3190, 0x31E3}, {0x31F0, 0x321E}, {0x3220, 0x3247}, {0x3250, 0x4DBF},
    {0x4E00, 0xA48C}, {0xA490, 0xA4C6}, {0xA960, 0xA97C}, {0xAC00, 0xD7A3},
    {0xF900, 0xFA6D}, {0xFA70, 0xFAD9}, {0xFE10, 0xFE19}, {0xFE30, 0xFE52},
    {0xFE54, 0xFE66}, {0xFE68, 0xFE6B}, {0xFF01, 0xFF60}, {0xFFE0, 0xFFE6},
    {0x16FE0, 0x16FE4}, {0x16FF0, 0x16FF1}, {0x17000, 0x187F7}, {0x18800, 0x18CD5},
    {0x18D00, 0x18D08}, {0x1AFF0, 0x1AFF3}, {0x1AFF5, 0x1AFFB}, {0x1AFFD, 0x1AFFE},
    {0x1B000, 0x1B122}, {0x1B132, 0x1B132}, {0x1B150, 0x1B152}, {0x1B155, 0x1B155},
    {0x1B164, 0x1B167}, {0x1B170, 0x1B2FB}, {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF},
    {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F202}, {0x1F210, 0x1F23B},
    {0x1F240, 0x1F248}, {0x1F250, 0x1F251}, {0x1F260, 0x1F265}, {0x1F300, 0x1F320},
    {0x1F32D, 0x1F335}, {0x1F337, 0x1F37C}, {0x1F37E, 0x1F393}, {0x1F3A0, 0x1F3CA},
    {0x1F3CF, 0x1F3D3}, {0x1F3E0, 0x1F3F0}, {0x1F3F4, 0x1F3F4}, {0x1F3F8, 0x1F43E},
    {0x1F440, 0x1F440}, {0x1F442, 0x1F4FC}, {0x1F4FF, 0x1F53D}, {0x1F54B, 0x1F54E},
    {0x1F550, 0x1F567}, {0x1F57A, 0x1F57A}, {0x1F595, 0x1F596}, {0x1F5A4, 0x1F5A4},
    {0x1F5FB, 0x1F64F}, {0x1F680, 0x1F6C5}, {0x1F6CC, 0x1F6CC}, {0x1F6D0, 0x1F6D2},
    {0x1F6D5, 0x1F6D7}, {0x1F6DC, 0x1F6DF}, {0x1F6EB, 0x1F6EC}, {0x1F6F4, 0x1F6FC},
    {0x1F7E0, 0x1F7EB}, {0x1F7F0, 0x1F7F0}, {0x1F90C, 0x1F93A}, {0x1F93C, 0x1F945},
    {0x1F947, 0x1F9FF}, {0x1FA70, 0x1FA7C}, {0x1FA80, 0x1FA88}, {0x1FA90, 0x1FABD},
    {0x1FABF, 0x1FAC5}, {0x1FACE, 0x1FADB}, {0x1FAE0, 0x1FAE8}, {0x1FAF0, 0x1FAF8},
    {0x20000, 0x2A6DF}, {0x2A700, 0x2B739}, {0x2B740, 0x2B81D}, {0x2B820, 0x2CEA1},
    {0x2CEB0, 0x2EBE0}, {0x2F800, 0x2FA1D}, {0x30000, 0x3134A}, {0x31350, 0x323AF},
};

bool isWide(char32_t c) {
    const auto* end = std::end(wideRanges);
    const auto* it = std::upper_bound(std::begin(wideRanges), end, c,
                                      [](char32_t v, const Range& r) { return v < r.first; });
    return it != std::begin(wideRanges) && c <= std::prev(it)->last;
}

// Decodes one UTF-8 sequence at text[i], advancing i. An ill-formed byte is one
// character of its own.
char32_t nextCodePoint(std::string_view text, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    int length = 0;
    char32_t c = 0;
    if (lead < 0x80) { ++i; return lead; }
    if ((lead & 0xE0) == 0xC0) length = 2, c = lead & 0x1F;
    else if ((lead & 0xF0) == 0xE0) length = 3, c = lead & 0x0F;
    else if ((lead & 0xF8) == 0xF0) length = 4, c = lead & 0x07;
    else { ++i; return 0xFFFD; }
    if (i + static_cast<std::size_t>(length) > text.size()) { ++i; return 0xFFFD; }
    for (int k = 1; k < length; ++k) {
        const unsigned char next = byte(i + static_cast<std::size_t>(k));
        if ((next & 0xC0) != 0x80) { ++i; return 0xFFFD; }
        c = (c << 6) | (next & 0x3F);
    }
    i += static_cast<std::size_t>(length);
    return c;
}

// Characters that no drawing shows and no XML text may hold.
bool undrawable(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xFFFE || c == 0xFFFF;
}

}  // namespace

int displayCells(std::string_view text) {
    int cells = 0;
    for (std::size_t i = 0; i < text.size();) cells += isWide(nextCodePoint(text, i)) ? 2 : 1;
    return cells;
}

double estimatedTextWidth(std::string_view text, double em) { return displayCells(text) * 0.5 * em; }

std::string drawnText(std::string_view text, int maxCells) {
    static constexpr std::string_view replacement = "\xEF\xBF\xBD", ellipsis = "\xE2\x80\xA6";
    std::string shown;
    int cells = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        const char32_t c = nextCodePoint(text, i);
        const bool replaced = c == 0xFFFD || undrawable(c);
        const int width = isWide(c) ? 2 : 1;
        if (cells + width > maxCells) {
            shown += ellipsis;
            break;
        }
        cells += width;
        shown += replaced ? replacement : text.substr(start, i - start);
    }
    return shown;
}

std::string fitText(const std::string& text, double width, double em, const TextWidth& textWidth) {
    if (textWidth(text, em) <= width) return text;
    static const std::string ellipsis = "\xE2\x80\xA6";
    // The longest start of the text, cut between characters, that fits with the
    // ellipsis after it.
    std::vector<std::size_t> cuts;
    for (std::size_t i = 0; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) cuts.push_back(i);
    std::size_t lo = 0, hi = cuts.size();  // cuts[lo] fits (the empty start); cuts[hi] does not
    cuts.push_back(text.size());
    while (hi - lo > 1) {
        const std::size_t mid = (lo + hi) / 2;
        if (textWidth(std::string_view(text).substr(0, cuts[mid]), em) + textWidth(ellipsis, em) <= width) lo = mid;
        else hi = mid;
    }
    return text.substr(0, cuts[lo]) + ellipsis;
}

}  // namespace trelvan
