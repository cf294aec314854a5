#include "rom/black_picture.h"

#include "rom/bmp_layout.h"
#include "util/atomic_file.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace Lift::Rom {

namespace {

// For each source byte of a one-bit picture, eight bytes of 0 or 1 in pixel order (little
// endian: the first pixel in the lowest byte).
constexpr std::array<std::uint64_t, 256> makeExpandTable(bool msbFirst) {
    std::array<std::uint64_t, 256> table{};
    for (unsigned b = 0; b < 256; ++b)
        for (unsigned px = 0; px < 8; ++px) {
            const unsigned bit = msbFirst ? 7 - px : px;
            if ((b >> bit) & 1)
                table[b] |= std::uint64_t{1} << (8 * px);
        }
    return table;
}
constexpr auto kExpandMsbFirst = makeExpandTable(true);
constexpr auto kExpandLsbFirst = makeExpandTable(false);
static_assert(std::endian::native == std::endian::little, "the tables store pixels little-endian");

bool fail(std::string& reason, std::string text) {
    reason = std::move(text);
    return false;
}

constexpr bool rgbIsBlack(QRgb c) {
    return (c & 0x00FFFFFFu) == 0;
}

// For palette pictures: 1 = black, 0 = other colour, 2 = index past the colour table.
std::array<std::uint8_t, 256> paletteClasses(const QImage& image) {
    std::array<std::uint8_t, 256> classes;
    classes.fill(2);
    const auto table = image.colorTable();
    for (qsizetype i = 0; i < table.size() && i < 256; ++i)
        classes[static_cast<std::size_t>(i)] = rgbIsBlack(table[i]) ? 1 : 0;
    return classes;
}

std::string badIndex(int x, int y, int index, const QImage& image) {
    return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") uses colour " +
           std::to_string(index) + " of a colour table with " + std::to_string(image.colorCount()) +
           " entries";
}

bool classify(const QImage& image, BlackPicture& out, std::string& reason) {
    const int w = image.width();
    const int h = image.height();
    out.width = w;
    out.height = h;
    out.black.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    std::uint8_t* dst = out.black.data();

    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: {
        // Eight pixels per source byte through a table, instead of one bit at a time: this
        // is the common form of glyphs and the loop dominated decoding.
        const auto classes = paletteClasses(image);
        const bool msbFirst = image.format() == QImage::Format_Mono;
        const std::uint8_t zero = classes[0];
        const std::uint8_t one = classes[1];
        const auto& expand = msbFirst ? kExpandMsbFirst : kExpandLsbFirst;
        // Bytes of 1 where the index is 1, in pixel order, then mapped to black or not.
        const std::uint64_t oneMask = (one & 1) ? ~std::uint64_t{0} : 0;
        const std::uint64_t zeroMask = (zero & 1) ? ~std::uint64_t{0} : 0;
        auto eightPixels = [&](uchar bits) {
            const std::uint64_t ones = expand[bits];
            return (ones & oneMask) | ((ones ^ 0x0101010101010101u) & zeroMask);
        };
        const int fullBytes = w / 8;
        const int rest = w % 8;
        for (int y = 0; y < h; ++y) {
            const uchar* line = image.constScanLine(y);
            if (one == 2 || zero == 2) { // a one-entry colour table: one index is invalid
                for (int x = 0; x < w; ++x) {
                    const int bit = msbFirst ? 7 - (x & 7) : (x & 7);
                    const int index = (line[x >> 3] >> bit) & 1;
                    if (classes[static_cast<std::size_t>(index)] == 2)
                        return fail(reason, badIndex(x, y, index, image));
                }
            }
            for (int i = 0; i < fullBytes; ++i) {
                const std::uint64_t pixels = eightPixels(line[i]);
                std::memcpy(dst + 8 * i, &pixels, 8);
            }
            if (rest != 0) {
                const std::uint64_t pixels = eightPixels(line[fullBytes]);
                std::memcpy(dst + 8 * fullBytes, &pixels, static_cast<std::size_t>(rest));
            }
            dst += w;
        }
        return true;
    }
    case QImage::Format_Indexed8: {
        const auto classes = paletteClasses(image);
        for (int y = 0; y < h; ++y) {
            const uchar* line = image.constScanLine(y);
            std::uint8_t bad = 0;
            for (int x = 0; x < w; ++x) {
                const std::uint8_t c = classes[line[x]];
                bad |= c;
                dst[x] = c & 1;
            }
            if (bad & 2) {
                for (int x = 0; x < w; ++x)
                    if (classes[line[x]] == 2)
                        return fail(reason, badIndex(x, y, line[x], image));
            }
            dst += w;
        }
        return true;
    }
    default: {
        // The BMP reader gives RGB32 or ARGB32 (not premultiplied) for 16, 24 and 32 bits;
        // anything else is converted without premultiplying, so RGB stays as stored.
        const QImage rgb =
            (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32)
                ? image
                : image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < h; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
            for (int x = 0; x < w; ++x)
                dst[x] = rgbIsBlack(line[x]) ? 1 : 0;
            dst += w;
        }
        return true;
    }
    }
}

} // namespace

bool DecodeBlackPicture(std::string_view bmp, BlackPicture& out, std::string& reason) {
    out = BlackPicture{};
    BmpLayout layout;
    if (!InspectBmp(bmp, layout, reason))
        return false;

    // No copy: the buffer only lives for this call.
    QByteArray bytes = QByteArray::fromRawData(bmp.data(), static_cast<qsizetype>(bmp.size()));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device, "bmp");
    // InspectBmp bounds the size already; this is a second fence should it ever be bypassed.
    reader.setAllocationLimit(8); // megabytes; the largest accepted picture needs 4
    QImage image;
    if (!reader.read(&image))
        return fail(reason,
                    "the picture cannot be decoded (" + reader.errorString().toStdString() + ")");
    if (image.width() != layout.width || image.height() != layout.height)
        return fail(reason, "the picture cannot be decoded (unexpected size)");

    if (!layout.unwritten.empty() && image.format() == QImage::Format_Indexed8) {
        for (const auto& span : layout.unwritten)
            std::memset(image.scanLine(span.row) + span.x0, 0,
                        static_cast<std::size_t>(span.x1 - span.x0));
    }
    if (!classify(image, out, reason)) {
        out = BlackPicture{};
        return false;
    }
    return true;
}

bool LoadBlackPicture(const std::string& path, BlackPicture& out, std::string& error) {
    out = BlackPicture{};
    std::error_code ec;
    // A device or a pipe named as a picture would be read without end.
    const auto status = std::filesystem::status(path, ec);
    if (!ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        error = path + ": not a file that can hold a picture";
        return false;
    }
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > kMaxPictureFileBytes) {
        error =
            path + ": the file is too large to be a picture (" + std::to_string(size) + " bytes)";
        return false;
    }
    std::string bytes;
    if (!Util::ReadWholeFile(path, bytes, &error))
        return false;
    std::string reason;
    if (!DecodeBlackPicture(bytes, out, reason)) {
        error = path + ": " + reason;
        return false;
    }
    return true;
}

QImage BlackPictureImage(const BlackPicture& picture, int scale) {
    scale = std::max(scale, 1);
    QImage image(picture.width * scale, picture.height * scale, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = picture.isBlack(x / scale, y / scale) ? 0xFF000000u : 0xFFFFFFFFu;
    }
    return image;
}

} // namespace Lift::Rom
