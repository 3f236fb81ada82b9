#pragma once
// How wide a text is: in the cells of a character-cell line, and in millimetres at a
// given em; and a text cut to a width for a drawing. Every module that lays out a
// table, a report or a plot measures with these.

#include <functional>
#include <string>
#include <string_view>

namespace trelvan {

// The cells a UTF-8 text takes on a character-cell line: two for each East Asian
// Wide or Fullwidth character (Unicode 15), one for any other.
int displayCells(std::string_view text);

// The width in millimetres that `text` takes at an em of `em` millimetres.
using TextWidth = std::function<double(std::string_view text, double em)>;

// Half an em for each display cell, a full em for a wide (CJK) character: the
// measure of a Song face whose Latin glyphs are half an em wide.
double estimatedTextWidth(std::string_view text, double em);

// A text as a drawing shows it: each character no drawing shows and no XML text
// may hold (the C0 and C1 controls, a tab included, U+FFFE and U+FFFF) and each
// ill-formed byte as U+FFFD; a text wider than `maxCells` display cells cut short,
// ending in "…".
std::string drawnText(std::string_view text, int maxCells);

// The text cut short, ending in "…", to fit `width` at em `em`, as `textWidth`
// measures; unchanged when it fits.
std::string fitText(const std::string& text, double width, double em, const TextWidth& textWidth);

}  // namespace trelvan
