#pragma once
// A decoded picture reduced to what the controller shows: black or not, per pixel.
//
// A pixel is black only when its red, green and blue are all exactly 0 after decoding; any
// other colour, however dark, is not black, and alpha plays no part. BMP files of 1, 4, 8,
// 16, 24 and 32 bits per pixel are read, run-length encoded (RLE4, RLE8) or with bit-field
// masks, stored bottom-up or top-down. Decoding uses QImage (QtGui only; no GUI instance is
// needed). Callable from any thread.

#include <QImage>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Lift::Rom {

struct BlackPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> black; // row-major, top row first; 1 = black, 0 = any other

    bool isBlack(int x, int y) const {
        return black[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                     static_cast<std::size_t>(x)] != 0;
    }
};

// Decodes the BMP file held in `bmp`. On failure returns false, leaves `out` empty, and
// `reason` says what is wrong with the picture (see InspectBmp), e.g. "the pixel data is
// truncated" or "pixel (3, 0) uses colour 5 of a colour table with 2 entries".
bool DecodeBlackPicture(std::string_view bmp, BlackPicture& out, std::string& reason);

// Larger files are refused before reading: no accepted picture comes near this size.
inline constexpr std::uint64_t kMaxPictureFileBytes = 32u * 1024u * 1024u;

// Reads and decodes the picture file at `path`, which must be a regular file (a folder, a
// device or a pipe is refused unread). On failure `error` is one line naming the file:
// "<path>: <reason>" or the system's reason why the file cannot be read.
bool LoadBlackPicture(const std::string& path, BlackPicture& out, std::string& error);

// The picture for display: black on white, each pixel a `scale` x `scale` square (at least 1).
QImage BlackPictureImage(const BlackPicture& picture, int scale = 1);

} // namespace Lift::Rom
