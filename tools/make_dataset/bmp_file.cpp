#include "bmp_file.h"

#include <array>
#include <cstdint>

namespace MakeDataset {

namespace {

void put16(std::string& out, unsigned v) {
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}

void put32(std::string& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

struct Rgb {
    std::uint8_t r, g, b;
};

// The 16 colours of the classic VGA palette, in their usual order.
constexpr std::array<Rgb, 16> kVga16 = {{{0, 0, 0},
                                         {128, 0, 0},
                                         {0, 128, 0},
                                         {128, 128, 0},
                                         {0, 0, 128},
                                         {128, 0, 128},
                                         {0, 128, 128},
                                         {192, 192, 192},
                                         {128, 128, 128},
                                         {255, 0, 0},
                                         {0, 255, 0},
                                         {255, 255, 0},
                                         {0, 0, 255},
                                         {255, 0, 255},
                                         {0, 255, 255},
                                         {255, 255, 255}}};

} // namespace

int BitsPerPixel(BmpDepth depth) {
    switch (depth) {
    case BmpDepth::Mono:
    case BmpDepth::MonoWhiteFirst:
        return 1;
    case BmpDepth::Nibble:
        return 4;
    case BmpDepth::Byte:
        return 8;
    case BmpDepth::Rgb24:
        return 24;
    }
    return 24;
}

std::string EncodeBmp(const Bitmap& bitmap, BmpDepth depth) {
    const int bits = BitsPerPixel(depth);
    std::vector<Rgb> palette;
    unsigned blackIndex = 0, whiteIndex = 0;
    switch (depth) {
    case BmpDepth::Mono:
        palette = {{0, 0, 0}, {255, 255, 255}};
        blackIndex = 0;
        whiteIndex = 1;
        break;
    case BmpDepth::MonoWhiteFirst:
        palette = {{255, 255, 255}, {0, 0, 0}};
        blackIndex = 1;
        whiteIndex = 0;
        break;
    case BmpDepth::Nibble:
        palette.assign(kVga16.begin(), kVga16.end());
        blackIndex = 0;
        whiteIndex = 15;
        break;
    case BmpDepth::Byte:
        for (int i = 0; i < 256; ++i)
            palette.push_back({std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)});
        blackIndex = 0;
        whiteIndex = 255;
        break;
    case BmpDepth::Rgb24:
        break;
    }

    const std::uint32_t stride = ((std::uint32_t(bitmap.width) * bits + 31) / 32) * 4;
    const std::uint32_t imageSize = stride * std::uint32_t(bitmap.height);
    const std::uint32_t pixelOffset = 14 + 40 + std::uint32_t(palette.size()) * 4;

    std::string out;
    out.reserve(pixelOffset + imageSize);
    out += "BM";
    put32(out, pixelOffset + imageSize);
    put32(out, 0); // reserved
    put32(out, pixelOffset);
    put32(out, 40);
    put32(out, std::uint32_t(bitmap.width));
    put32(out, std::uint32_t(bitmap.height)); // positive: bottom row first
    put16(out, 1);                            // planes
    put16(out, unsigned(bits));
    put32(out, 0); // no compression
    put32(out, imageSize);
    put32(out, 2835); // 72 dots per inch
    put32(out, 2835);
    put32(out, std::uint32_t(palette.size()));
    put32(out, 0);
    for (const Rgb& c : palette) {
        out += char(c.b);
        out += char(c.g);
        out += char(c.r);
        out += '\0';
    }

    for (int y = bitmap.height - 1; y >= 0; --y) {
        std::string row(stride, '\0');
        for (int x = 0; x < bitmap.width; ++x) {
            const bool black = bitmap.at(x, y);
            if (bits == 24) {
                const char v = black ? '\0' : char(0xFF);
                row[std::size_t(x) * 3] = row[std::size_t(x) * 3 + 1] =
                    row[std::size_t(x) * 3 + 2] = v;
                continue;
            }
            const unsigned index = black ? blackIndex : whiteIndex;
            const std::size_t bitPos = std::size_t(x) * bits;
            const int shift = 8 - bits - int(bitPos % 8); // leftmost pixel in the high bits
            row[bitPos / 8] = char(std::uint8_t(row[bitPos / 8]) | (index << shift));
        }
        out += row;
    }
    return out;
}

} // namespace MakeDataset
