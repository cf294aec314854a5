#pragma once
// Structural check of a BMP file before it is handed to the picture decoder.
//
// The decoder (QImage) is lenient: it decodes truncated files, palette-less pictures and
// damaged run-length data into pictures with undefined pixels, and it would allocate
// whatever size a header claims. Pictures end up in a controller's ROM, so everything the
// decoder would guess at is refused here with a reason a technician can act on:
// a header or colour table cut short, pixel data missing or cut short, sizes outside
// 1..kMaxPictureSide, unknown bit depths or compressions, compressed pictures stored
// top-down, zero or unusable bit-field masks, and run-length data that runs past a row or
// past the last row. Pure function of the bytes; thread-safe.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Lift::Rom {

// Largest width and height accepted, in pixels. The largest picture the ROM holds is 64 x 64
// and the biggest picture the editor shows is 240 x 240; this leaves ample room for
// oversized user files while bounding the decoder's memory to 4 MiB and its time to
// milliseconds, also for a run-length file of a few bytes that claims the largest size.
inline constexpr int kMaxPictureSide = 1024;

struct BmpLayout {
    int width = 0;
    int height = 0; // always positive; `topDown` tells the row order in the file
    bool topDown = false;
    int bitsPerPixel = 0;
    int compression = 0;       // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
    int colorTableEntries = 0; // 0 for 16, 24 and 32 bits per pixel

    // Pixels that run-length data leaves unwritten (skipped by a jump, or by an end-of-line
    // or end-of-picture code before the row or picture is full): rows counted from the top,
    // columns [x0, x1). The decoder leaves them undefined; they are given colour index 0.
    struct Span {
        int row;
        int x0;
        int x1;
    };
    std::vector<Span> unwritten;
};

// True when `bmp` is a BMP file the decoder can read completely. Otherwise false and
// `reason` says what is wrong, in a form that can follow "<file>: ".
bool InspectBmp(std::string_view bmp, BmpLayout& layout, std::string& reason);

} // namespace Lift::Rom
