#pragma once
// The four floor-number styles: one character drawn into a cell as tall as the display.
// Floor glyphs are 32 x 64; user floor pictures put three or four characters side by
// side in 64 x 64 with narrower cells, drawn by the same code so they match the style.

#include "bitmap.h"
#include "fonts.h"

namespace MakeDataset {

constexpr int kFloorStyleCount = 4;

// Characters every floor style has: digits, capital letters and the minus sign.
extern const char kFloorCharacters[];

// Style 0 bold sans, 1 narrow (condensed), 2 segment display, 3 dot matrix.
Bitmap RenderFloorGlyph(const Fonts& fonts, int style, char c, int cellWidth, int cellHeight);

// A whole label (e.g. "P1A") in one style, characters side by side, centred.
Bitmap RenderFloorLabel(const Fonts& fonts, int style, const char* label, int width, int height);

const char* FloorStyleName(int style);

} // namespace MakeDataset
