#include "rom/pack_picture.h"

#include "util/atomic_file.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace Lift::Rom {

namespace {

static_assert(std::endian::native == std::endian::little, "eight pixels are loaded as one word");

void appendHeader(std::string& out, int width, int height) {
    out.push_back(static_cast<char>(width & 0xFF));
    out.push_back(static_cast<char>((width >> 8) & 0xFF));
    out.push_back(static_cast<char>(height & 0xFF));
    out.push_back(static_cast<char>((height >> 8) & 0xFF));
}

// Unrotated: per band, OR each of its 8 rows, shifted to its bit, into the band's column
// bytes, eight columns at a time (pixels are 0 or 1, so shifts never cross a byte).
void packStraight(const BlackPicture& p, std::uint8_t* data) {
    const std::size_t w = static_cast<std::size_t>(p.width);
    const std::size_t bands = static_cast<std::size_t>(p.height) / 8;
    const std::size_t words = w / 8;
    for (std::size_t band = 0; band < bands; ++band) {
        std::uint8_t* out = data + band * w;
        const std::uint8_t* rows = p.black.data() + band * 8 * w;
        for (std::size_t i = 0; i < words; ++i) {
            std::uint64_t acc = 0;
            for (unsigned k = 0; k < 8; ++k) {
                std::uint64_t eight;
                std::memcpy(&eight, rows + k * w + 8 * i, 8);
                acc |= eight << k;
            }
            std::memcpy(out + 8 * i, &acc, 8);
        }
        for (std::size_t x = words * 8; x < w; ++x) {
            unsigned byte = 0;
            for (unsigned k = 0; k < 8; ++k)
                byte |= static_cast<unsigned>(rows[k * w + x]) << k;
            out[x] = static_cast<std::uint8_t>(byte);
        }
    }
}

// Rotated: the turned picture is W' = H wide and H' = W high; byte (band, x') gathers source
// row x', columns W - 1 - 8 * band - k for k = 0..7, i.e. the 8 pixels ending at that
// column with the leftmost in bit 7. Eight 0/1 bytes are gathered by one multiplication:
// with 0x8040201008040201 the byte at address i lands alone in bit 63 - i, and the partial
// products below bit 56 never overlap, so no carry disturbs the top byte.
void packRotated(const BlackPicture& p, std::uint8_t* data) {
    const std::size_t w = static_cast<std::size_t>(p.width);
    const std::size_t newWidth = static_cast<std::size_t>(p.height);
    const std::size_t bands = w / 8;
    for (std::size_t y = 0; y < newWidth; ++y) {
        const std::uint8_t* row = p.black.data() + y * w;
        for (std::size_t band = 0; band < bands; ++band) {
            std::uint64_t eight;
            std::memcpy(&eight, row + w - 8 * (band + 1), 8);
            data[band * newWidth + y] =
                static_cast<std::uint8_t>((eight * 0x8040201008040201u) >> 56);
        }
    }
}

bool packFile(const std::string& source, const std::string& target, bool rotated,
              std::string& error) {
    BlackPicture picture;
    if (!LoadBlackPicture(source, picture, error))
        return false;
    return Util::WriteFileAtomically(target, PackBlackPicture(picture, rotated), &error);
}

} // namespace

std::string PackBlackPicture(const BlackPicture& picture, bool rotated) {
    const int width = rotated ? picture.height : picture.width;
    const int height = rotated ? picture.width : picture.height;
    const std::size_t dataBytes =
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height) / 8;
    std::string out;
    out.reserve(4 + dataBytes);
    appendHeader(out, width, height);
    out.resize(4 + dataBytes, '\0'); // the part below the last full band stays 0
    auto* data = reinterpret_cast<std::uint8_t*>(out.data() + 4);
    if (rotated)
        packRotated(picture, data);
    else
        packStraight(picture, data);
    return out;
}

bool PackPictureBytes(std::string_view bmp, bool rotated, std::string& packed,
                      std::string& reason) {
    BlackPicture picture;
    if (!DecodeBlackPicture(bmp, picture, reason))
        return false;
    packed = PackBlackPicture(picture, rotated);
    return true;
}

bool PackPictureRotated(const std::string& source, const std::string& target, std::string& error) {
    return packFile(source, target, true, error);
}

bool PackPicture(const std::string& source, const std::string& target, int disphv,
                 std::string& error) {
    return packFile(source, target, disphv == 1, error);
}

} // namespace Lift::Rom
