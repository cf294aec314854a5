#pragma once
// A 5 x 7 pixel font (digits, A-Z, a few signs): the classic character-LCD shapes. Used
// where outline fonts smear: the 8 x 8 small pictures, the dot-matrix floor style and the
// lift-state messages in English, which must stay readable in 16 pixels of height.

#include "bitmap.h"

#include <string_view>

namespace MakeDataset {

constexpr int kPixelFontWidth = 5;
constexpr int kPixelFontHeight = 7;

// True when the font has the character (upper-case letters, digits, space, - : / . ').
bool PixelFontHas(char c);
// Pixel (x, y) of the character's 5 x 7 cell; false outside the cell or for unknown ones.
bool PixelFontDot(char c, int x, int y);

// Text in the pixel font, each font pixel drawn as a block of scaleX x scaleY pixels.
// Proportional: a character takes the columns its ink uses (space: 3), plus `gap` font
// pixels between characters. Returns the text's own size, no margins.
Bitmap RenderPixelText(std::string_view text, int scaleX, int scaleY, int gap = 1);

} // namespace MakeDataset
