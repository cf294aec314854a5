#pragma once
// The 40 default lift-state pictures, 64 x 16: ten lift states, each in English and in
// Chinese (traditional characters), normal (black on white) and inverted.

#include "bitmap.h"
#include "fonts.h"

#include <string>

namespace MakeDataset {

constexpr int kLiftStateCount = 10;
constexpr int kMessageWidth = 64;
constexpr int kMessageHeight = 16;

struct LiftState {
    const char* englishStem; // file-name stem of the English pictures
    const char* chineseStem; // file-name stem of the Chinese pictures
    const char* english;     // shown text; '|' breaks it into two lines
    const char* chinese;     // UTF-8
};

const LiftState& LiftStateAt(int row);

// Text in the 5 x 7 pixel font, as large as the picture allows: doubled both ways, else
// doubled in height, else two lines.
Bitmap RenderEnglishMessage(const char* text);

// Characters of the CJK face at its 16-pixel bitmap size, centred. False (with a reason)
// when the face lacks a character or the text does not fit.
bool RenderChineseMessage(const Fonts& fonts, const char* utf8, Bitmap& out, std::string* error);

// The default file name of slot (row, column), as the editor builds it.
std::string LiftStateFileName(int row, int column);

} // namespace MakeDataset
