#pragma once
// A black-and-white picture as the display shows it: one byte per pixel, 1 = black.
// Everything the generator draws ends up here, so every shipped pixel is pure black or
// pure white whatever bit depth the BMP file is written in.

#include <QImage>

#include <cstdint>
#include <vector>

namespace MakeDataset {

struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> black; // row-major, width * height

    Bitmap() = default;
    Bitmap(int w, int h) : width(w), height(h), black(std::size_t(w) * h, 0) {}

    bool at(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height && black[std::size_t(y) * width + x];
    }
    void set(int x, int y, bool isBlack = true) {
        if (x >= 0 && y >= 0 && x < width && y < height)
            black[std::size_t(y) * width + x] = isBlack ? 1 : 0;
    }
    void fillRect(int x, int y, int w, int h, bool isBlack = true);
    // Draws `other` with its top-left corner at (x, y); only its black pixels are drawn.
    void drawOver(const Bitmap& other, int x, int y);
    Bitmap inverted() const;
    // The picture moved up by `dy` rows; rows leaving the top come back at the bottom.
    Bitmap scrolledUp(int dy) const;
    bool isBlank() const;
    bool operator==(const Bitmap& o) const = default;
};

// Pixels darker than middle grey become black. Rendering is done in grey with
// anti-aliasing and then cut here, which keeps round shapes even and strokes whole.
Bitmap Threshold(const QImage& image);

// White canvas of the given size for QPainter, in a format Threshold reads directly.
QImage Canvas(int width, int height);

QImage ToImage(const Bitmap& bitmap);

} // namespace MakeDataset
