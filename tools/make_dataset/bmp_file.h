#pragma once
// Writes a black-and-white Bitmap as an uncompressed Windows BMP file (bottom-up rows,
// 40-byte info header) in one of the bit depths users' picture files come in. Written by
// hand rather than through QImage so that the bytes are fixed by this code alone and do
// not change with the toolkit's version.

#include "bitmap.h"

#include <string>

namespace MakeDataset {

enum class BmpDepth {
    Mono,           // 1 bit, palette: 0 black, 1 white
    MonoWhiteFirst, // 1 bit, palette: 0 white, 1 black (as some editors save it)
    Nibble,         // 4 bit, the standard 16-colour palette: 0 black, 15 white
    Byte,           // 8 bit, 256 grey levels: 0 black, 255 white
    Rgb24,          // 24 bit, blue-green-red
};

std::string EncodeBmp(const Bitmap& bitmap, BmpDepth depth);

int BitsPerPixel(BmpDepth depth);

} // namespace MakeDataset
