#pragma once
// Writes BMP files byte by byte for tests, in every storage form the picture reader must
// handle, and says which stored pixels are black (red, green and blue all 0 as stored).
// Deliberately independent of Qt and of the product's reader.

#include <cstdint>
#include <string>
#include <vector>

namespace Lift::Test {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels; // row-major, top row first
    Rgb at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
    void set(int x, int y, Rgb c) { pixels[static_cast<size_t>(y * width + x)] = c; }
};

RgbPicture FilledPicture(int width, int height, Rgb colour);

enum class BmpForm {
    Mono,         // 1 bit, 2-entry colour table
    Indexed4,     // 4 bit
    Indexed8,     // 8 bit
    Rle4,         // 4 bit, run-length encoded
    Rle8,         // 8 bit, run-length encoded
    Rgb555,       // 16 bit, no masks (5-5-5)
    Bitfields565, // 16 bit with masks 5-6-5
    Rgb24,        // 24 bit
    Rgb32,        // 32 bit, no masks
    Bitfields32,  // 32 bit, masks in B-G-R-X order reversed (blue high) to catch shifts
    Argb32V5,     // 32 bit, 124-byte header with alpha mask; alpha varies
    Core24,       // 12-byte header, 24 bit
    Core8,        // 12-byte header, 8 bit with 3-byte colour table entries
};

const char* FormName(BmpForm form);

struct BmpFile {
    std::string bytes;
    std::vector<std::uint8_t> black; // row-major, top row first: 1 = stored pixel is black
};

// Palette forms take their colour table from the picture's colours in order of first
// appearance; the picture must not use more colours than the form holds.
BmpFile WriteBmp(const RgbPicture& picture, BmpForm form, bool topDown = false);

// Little helpers for hand-made damaged files.
void PutLe16(std::string& s, size_t at, std::uint16_t v);
void PutLe32(std::string& s, size_t at, std::uint32_t v);

} // namespace Lift::Test
