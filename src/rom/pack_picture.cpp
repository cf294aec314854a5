#include "rom/pack_picture.h"

#include "util/atomic_file.h"

#include <cstdint>

namespace Lift::Rom {

namespace {

void appendHeader(std::string& out, int width, int height) {
    out.push_back(static_cast<char>(width & 0xFF));
    out.push_back(static_cast<char>((width >> 8) & 0xFF));
    out.push_back(static_cast<char>(height & 0xFF));
    out.push_back(static_cast<char>((height >> 8) & 0xFF));
}

// Unrotated: per band, OR each of the 8 rows into the band's column bytes. Row-wise access
// keeps the inner loop contiguous.
void packStraight(const BlackPicture& p, std::uint8_t* data) {
    const std::size_t w = static_cast<std::size_t>(p.width);
    const int bands = p.height / 8;
    const std::uint8_t* rows = p.black.data();
    for (int band = 0; band < bands; ++band) {
        std::uint8_t* out = data + static_cast<std::size_t>(band) * w;
        for (int k = 0; k < 8; ++k) {
            const std::uint8_t* row = rows + (static_cast<std::size_t>(band) * 8 + k) * w;
            for (std::size_t x = 0; x < w; ++x)
                out[x] = static_cast<std::uint8_t>(out[x] | (row[x] << k));
        }
    }
}

// Rotated: the turned picture is W' = H wide and H' = W high; byte (band, x') gathers source
// row x', columns W - 1 - 8 * band - k for k = 0..7.
void packRotated(const BlackPicture& p, std::uint8_t* data) {
    const std::size_t w = static_cast<std::size_t>(p.width);
    const std::size_t newWidth = static_cast<std::size_t>(p.height);
    const int bands = p.width / 8;
    for (std::size_t y = 0; y < newWidth; ++y) {
        const std::uint8_t* row = p.black.data() + y * w;
        for (int band = 0; band < bands; ++band) {
            const std::uint8_t* right = row + w - 1 - static_cast<std::size_t>(band) * 8;
            std::uint8_t byte = 0;
            for (int k = 0; k < 8; ++k)
                byte = static_cast<std::uint8_t>(byte | (*(right - k) << k));
            data[static_cast<std::size_t>(band) * newWidth + y] = byte;
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
