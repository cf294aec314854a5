// Decode + pack time of the pictures MAKE ROM handles most: 32 x 64 floor glyphs (about 400
// per ROM) and 64 x 16 lift-state messages, from BMP bytes in memory, beside what decoding
// alone costs with QImage. Run: build/bench/bench_picture_pack
#include "rom/pack_picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace {

void add16(std::string& s, unsigned v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void add32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A glyph-like picture: a black ring on white, at 1 or 24 bits per pixel.
std::string makeBmp(int w, int h, int bits) {
    const int stride = (w * bits + 31) / 32 * 4;
    std::string data;
    for (int y = h - 1; y >= 0; --y) {
        std::string row(static_cast<size_t>(stride), '\0');
        for (int x = 0; x < w; ++x) {
            const int dx = 2 * x - w, dy = 2 * y - h;
            const int r2 = dx * dx + dy * dy;
            const bool black = r2 < w * w && r2 > w * w / 3;
            if (bits == 1) {
                if (!black) // colour 1 = white
                    row[static_cast<size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
            } else if (!black) {
                row[static_cast<size_t>(3 * x)] = row[static_cast<size_t>(3 * x + 1)] =
                    row[static_cast<size_t>(3 * x + 2)] = '\xFF';
            }
        }
        data += row;
    }
    std::string info;
    add32(info, 40);
    add32(info, static_cast<std::uint32_t>(w));
    add32(info, static_cast<std::uint32_t>(h));
    add16(info, 1);
    add16(info, static_cast<unsigned>(bits));
    add32(info, 0);
    add32(info, static_cast<std::uint32_t>(data.size()));
    add32(info, 0);
    add32(info, 0);
    add32(info, bits == 1 ? 2 : 0);
    add32(info, 0);
    if (bits == 1)
        info += std::string("\0\0\0\0\xFF\xFF\xFF\0", 8);
    std::string bmp = "BM";
    add32(bmp, static_cast<std::uint32_t>(14 + info.size() + data.size()));
    add32(bmp, 0);
    add32(bmp, static_cast<std::uint32_t>(14 + info.size()));
    return bmp + info + data;
}

void QImageDecodeOnly(benchmark::State& state, int w, int h, int bits) {
    const std::string bmp = makeBmp(w, h, bits);
    for (auto _ : state) {
        QByteArray bytes = QByteArray::fromRawData(bmp.data(), static_cast<qsizetype>(bmp.size()));
        QBuffer device(&bytes);
        device.open(QIODevice::ReadOnly);
        QImageReader reader(&device, "bmp");
        QImage image;
        reader.read(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void DecodeAndPack(benchmark::State& state, int w, int h, int bits, bool rotated) {
    const std::string bmp = makeBmp(w, h, bits);
    std::string packed, reason;
    for (auto _ : state) {
        if (!Lift::Rom::PackPictureBytes(bmp, rotated, packed, reason)) {
            state.SkipWithError(reason.c_str());
            break;
        }
        benchmark::DoNotOptimize(packed.data());
    }
}

// The naive way, for comparison: decode, then QImage::pixel for every pixel.
void DecodeAndPackThroughPixel(benchmark::State& state, int w, int h, int bits) {
    const std::string bmp = makeBmp(w, h, bits);
    for (auto _ : state) {
        QImage image = QImage::fromData(reinterpret_cast<const uchar*>(bmp.data()),
                                        static_cast<int>(bmp.size()), "BMP");
        std::string out(static_cast<size_t>(4 + w * h / 8), '\0');
        for (int band = 0; band < h / 8; ++band)
            for (int x = 0; x < w; ++x) {
                int byte = 0;
                for (int k = 0; k < 8; ++k)
                    if ((image.pixel(x, 8 * band + k) & 0xFFFFFF) == 0)
                        byte |= 1 << k;
                out[static_cast<size_t>(4 + band * w + x)] = static_cast<char>(byte);
            }
        benchmark::DoNotOptimize(out.data());
    }
}

} // namespace

BENCHMARK_CAPTURE(QImageDecodeOnly, glyph_32x64_1bit, 32, 64, 1);
BENCHMARK_CAPTURE(DecodeAndPack, glyph_32x64_1bit, 32, 64, 1, false);
BENCHMARK_CAPTURE(DecodeAndPack, glyph_32x64_1bit_rotated, 32, 64, 1, true);
BENCHMARK_CAPTURE(DecodeAndPackThroughPixel, glyph_32x64_1bit, 32, 64, 1);
BENCHMARK_CAPTURE(QImageDecodeOnly, message_64x16_1bit, 64, 16, 1);
BENCHMARK_CAPTURE(DecodeAndPack, message_64x16_1bit, 64, 16, 1, false);
BENCHMARK_CAPTURE(DecodeAndPack, message_64x16_1bit_rotated, 64, 16, 1, true);
BENCHMARK_CAPTURE(QImageDecodeOnly, glyph_32x64_24bit, 32, 64, 24);
BENCHMARK_CAPTURE(DecodeAndPack, glyph_32x64_24bit_rotated, 32, 64, 24, true);
BENCHMARK_CAPTURE(QImageDecodeOnly, message_64x16_24bit, 64, 16, 24);
BENCHMARK_CAPTURE(DecodeAndPack, message_64x16_24bit_rotated, 64, 16, 24, true);

BENCHMARK_MAIN();
