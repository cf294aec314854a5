#include "rom/bmp_layout.h"

#include <bit>
#include <climits>

namespace Lift::Rom {

namespace {

constexpr std::size_t kFileHeaderSize = 14;

std::uint32_t le32(std::string_view b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

std::uint16_t le16(std::string_view b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      static_cast<unsigned char>(b[at + 1]) << 8);
}

bool fail(std::string& reason, std::string text) {
    reason = std::move(text);
    return false;
}

// A colour channel's mask must select 1..8 adjacent bits inside the pixel: the decoder scales
// each channel to 8 bits by multiplying, which turns wider or split masks into wrong colours.
bool checkMask(std::uint32_t mask, int bitsPerPixel, const char* channel, std::string& reason) {
    if (mask == 0)
        return fail(reason, std::string("the bit-field mask of ") + channel + " is zero");
    const int shift = std::countr_zero(mask);
    const std::uint32_t bits = mask >> shift;
    const int width = std::countr_one(bits);
    if (width < 32 && (bits >> width) != 0) // (a full 32-bit mask has nothing above it)
        return fail(reason, std::string("the bit-field mask of ") + channel + " is not contiguous");
    if (width > 8)
        return fail(reason, std::string("the bit-field mask of ") + channel +
                                " is wider than 8 bits, which is not supported");
    if (bitsPerPixel == 16 && (mask >> 16) != 0)
        return fail(reason, std::string("the bit-field mask of ") + channel +
                                " lies outside the 16-bit pixel");
    return true;
}

// Walks run-length data without decoding it: every run must stay inside its row, every jump
// inside the picture, and the data must last until an end-of-picture code or the last row.
bool walkRunLength(std::string_view bmp, std::size_t pos, BmpLayout& layout, std::string& reason) {
    const int w = layout.width;
    const int h = layout.height;
    const bool fourBit = layout.bitsPerPixel == 4;
    const std::size_t size = bmp.size();
    // Rows in the data go bottom-up; spans are kept top-down.
    auto unwritten = [&](int y, int x0, int x1) {
        if (x0 < x1)
            layout.unwritten.push_back({h - 1 - y, x0, x1});
    };
    auto pastRow = [&](int y) {
        return fail(reason, "the compressed pixel data runs past the end of row " +
                                std::to_string(h - y) + " of " + std::to_string(h));
    };
    const std::string truncated = "the compressed pixel data is truncated";

    int x = 0;
    int y = 0;
    while (y < h) {
        if (pos + 2 > size)
            return fail(reason, truncated);
        const int count = static_cast<unsigned char>(bmp[pos]);
        const int code = static_cast<unsigned char>(bmp[pos + 1]);
        pos += 2;
        if (count != 0) { // a run of one colour (or colour pair)
            if (x + count > w)
                return pastRow(y);
            x += count;
            continue;
        }
        if (code == 0) { // end of row
            unwritten(y, x, w);
            x = 0;
            ++y;
        } else if (code == 1) { // end of picture
            unwritten(y, x, w);
            for (int row = y + 1; row < h; ++row)
                unwritten(row, 0, w);
            return true;
        } else if (code == 2) { // jump
            if (pos + 2 > size)
                return fail(reason, truncated);
            const int nx = x + static_cast<unsigned char>(bmp[pos]);
            const int ny = y + static_cast<unsigned char>(bmp[pos + 1]);
            pos += 2;
            if (nx > w || ny > h || (ny == h && nx > 0))
                return fail(reason, "the compressed pixel data jumps outside the picture");
            if (ny == y) {
                unwritten(y, x, nx);
            } else {
                unwritten(y, x, w);
                for (int row = y + 1; row < ny; ++row)
                    unwritten(row, 0, w);
                if (ny < h)
                    unwritten(ny, 0, nx);
            }
            x = nx;
            y = ny;
        } else { // `code` literal pixels, padded to a 16-bit boundary
            if (x + code > w)
                return pastRow(y);
            const std::size_t bytes =
                fourBit ? (static_cast<std::size_t>(code) + 1) / 2 : static_cast<std::size_t>(code);
            if (pos + bytes > size)
                return fail(reason, truncated);
            pos += bytes + (bytes & 1);
            x += code;
        }
    }
    return true;
}

} // namespace

bool InspectBmp(std::string_view bmp, BmpLayout& layout, std::string& reason) {
    layout = BmpLayout{};
    if (bmp.size() < 2 || bmp[0] != 'B' || bmp[1] != 'M')
        return fail(reason, "not a BMP picture");
    if (bmp.size() < kFileHeaderSize + 4)
        return fail(reason, "the BMP header is truncated");
    const std::uint32_t dataOffset = le32(bmp, 10);
    const std::uint32_t infoSize = le32(bmp, 14);
    if (infoSize != 12 && infoSize != 40 && infoSize != 64 && infoSize != 108 && infoSize != 124)
        return fail(reason, "the BMP header format (" + std::to_string(infoSize) +
                                " bytes) is not supported");
    if (bmp.size() < kFileHeaderSize + infoSize)
        return fail(reason, "the BMP header is truncated");

    const std::size_t info = kFileHeaderSize;
    std::int64_t width = 0;
    std::int64_t height = 0;
    int planes = 0;
    std::uint32_t colorsUsed = 0;
    if (infoSize == 12) {
        width = le16(bmp, info + 4);
        height = le16(bmp, info + 6);
        planes = le16(bmp, info + 8);
        layout.bitsPerPixel = le16(bmp, info + 10);
    } else {
        width = static_cast<std::int32_t>(le32(bmp, info + 4));
        height = static_cast<std::int32_t>(le32(bmp, info + 8));
        planes = le16(bmp, info + 12);
        layout.bitsPerPixel = le16(bmp, info + 14);
        const std::uint32_t compression = le32(bmp, info + 16);
        layout.compression = compression > 3 ? 4 : static_cast<int>(compression);
        colorsUsed = le32(bmp, info + 32);
        if (compression > 3)
            return fail(reason,
                        "the BMP compression " + std::to_string(compression) + " is not supported");
    }
    const int bits = layout.bitsPerPixel;
    const int comp = layout.compression;
    if (planes != 1)
        return fail(reason, "a BMP picture with " + std::to_string(planes) +
                                " colour planes is not supported");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return fail(reason, "a BMP picture with " + std::to_string(bits) +
                                " bits per pixel is not supported");
    if (!(comp == 0 || (comp == 1 && bits == 8) || (comp == 2 && bits == 4) ||
          (comp == 3 && (bits == 16 || bits == 32))))
        return fail(reason, "the BMP compression " + std::to_string(comp) + " with " +
                                std::to_string(bits) + " bits per pixel is not supported");

    layout.topDown = height < 0;
    if (height < 0)
        height = -height;
    if (width < 1 || width > kMaxPictureSide || height < 1 || height > kMaxPictureSide)
        return fail(reason, "the picture size " + std::to_string(width) + " x " +
                                std::to_string(layout.topDown ? -height : height) +
                                " is not supported (width and height must be 1.." +
                                std::to_string(kMaxPictureSide) + ")");
    layout.width = static_cast<int>(width);
    layout.height = static_cast<int>(height);
    if (layout.topDown && (comp == 1 || comp == 2))
        return fail(reason, "a compressed BMP picture cannot be stored top-down");

    // Colour masks: inside the larger headers, else right after the 40-byte header.
    std::size_t pos = kFileHeaderSize + infoSize;
    if (comp == 3) {
        std::size_t masks = kFileHeaderSize + 40;
        if (infoSize < 108) {
            masks = pos;
            pos += 12;
            if (bmp.size() < pos)
                return fail(reason, "the BMP header is truncated");
        }
        if (!checkMask(le32(bmp, masks), bits, "red", reason) ||
            !checkMask(le32(bmp, masks + 4), bits, "green", reason) ||
            !checkMask(le32(bmp, masks + 8), bits, "blue", reason))
            return false;
    }

    if (bits <= 8) {
        const std::uint32_t entries = colorsUsed != 0 ? colorsUsed : 1u << bits;
        if (entries > 256)
            return fail(reason, "the colour table claims " + std::to_string(entries) +
                                    " entries (at most 256)");
        layout.colorTableEntries = static_cast<int>(entries);
        pos += static_cast<std::size_t>(entries) * (infoSize == 12 ? 3 : 4);
        // The decoder wants at least one byte after the table.
        if (pos >= bmp.size())
            return fail(reason, "the colour table is truncated");
    }

    // Pixel data starts at the header's offset; an offset inside the headers is ignored and
    // the data taken to follow them, as the decoder does.
    if (dataOffset <= INT32_MAX && dataOffset > pos)
        pos = dataOffset;
    if (pos >= bmp.size())
        return fail(reason, "the pixel data is missing");

    if (comp == 1 || comp == 2)
        return walkRunLength(bmp, pos, layout, reason);

    const std::uint64_t stride = (static_cast<std::uint64_t>(layout.width) * bits + 31) / 32 * 4;
    if (pos + stride * static_cast<std::uint64_t>(layout.height) > bmp.size())
        return fail(reason, "the pixel data is truncated");
    return true;
}

} // namespace Lift::Rom
