#pragma once
// Packed pictures: the one-bit form in which the controller stores every picture.
//
// Layout: width and height as unsigned 16-bit little-endian numbers, then (W * H) / 8 data
// bytes. The picture is cut into bands of 8 rows, top band first; each band is written
// column by column, left first, one byte per column, bit k holding the pixel in row
// 8 * band + k (bit 0 the top pixel), 1 = black.
//
// When the height is not a multiple of 8 the rows below the last full band have no place in
// this layout; the data still has (W * H) / 8 bytes, and the bytes after the last full band
// are 0.
//
// The rotated form first turns the picture 90 degrees counter-clockwise (new width = old
// height, new height = old width, new pixel (x, y) = old pixel (W - 1 - y, x)), so each data
// byte holds 8 horizontally adjacent source pixels of one row, the rightmost in bit 0.
//
// Everything here is a pure function except the file layer at the end. Thread-safe.

#include "rom/black_picture.h"

#include <string>
#include <string_view>

namespace Lift::Rom {

// The packed bytes (header and data) of `picture`, turned first when `rotated`.
std::string PackBlackPicture(const BlackPicture& picture, bool rotated);

// Decodes the BMP file in `bmp` and packs it; false with `reason` when it cannot be decoded.
bool PackPictureBytes(std::string_view bmp, bool rotated, std::string& packed, std::string& reason);

// Packs the BMP file `source` into the file `target`, created or replaced atomically;
// `source` is left in place. On failure nothing is written and `error` says why, naming the
// file concerned: a source that is missing, unreadable or not a usable picture, or a target
// that cannot be written.
bool PackPictureRotated(const std::string& source, const std::string& target, std::string& error);

// As PackPictureRotated when `disphv` (the DISPHV setting of the selected version) is 1;
// for any other value the picture is packed as it is.
bool PackPicture(const std::string& source, const std::string& target, int disphv,
                 std::string& error);

} // namespace Lift::Rom
