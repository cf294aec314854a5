#include "rom/black_picture.h"

#include "rom/bmp_layout.h"
#include "util/atomic_file.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <array>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace Lift::Rom {

namespace {

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
        const auto classes = paletteClasses(image);
        const bool msbFirst = image.format() == QImage::Format_Mono;
        for (int y = 0; y < h; ++y) {
            const uchar* line = image.constScanLine(y);
            for (int x = 0; x < w; ++x, ++dst) {
                const int shift = msbFirst ? 7 - (x & 7) : (x & 7);
                const int index = (line[x >> 3] >> shift) & 1;
                if (classes[static_cast<std::size_t>(index)] == 2)
                    return fail(reason, badIndex(x, y, index, image));
                *dst = classes[static_cast<std::size_t>(index)];
            }
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
    reader.setAllocationLimit(64);
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

} // namespace Lift::Rom
