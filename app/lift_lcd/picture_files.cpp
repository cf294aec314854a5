#include "lift_lcd/picture_files.h"

#include "util/atomic_file.h"

#include <QBuffer>
#include <QByteArray>

#include <algorithm>

namespace Lift::Cli {

QImage ContactSheet(const std::vector<QImage>& pictures, QSize cell, int perRow) {
    constexpr int margin = 4;
    const std::size_t columns = std::size_t(std::max(perRow, 1));
    const int rows = std::max(1, int((pictures.size() + columns - 1) / columns));
    QImage sheet(int(columns) * cell.width(), rows * cell.height(), QImage::Format_RGB32);
    sheet.fill(0xFFC0C0C0u);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const QImage picture = pictures[i].convertToFormat(QImage::Format_RGB32);
        const int x0 = int(i % columns) * cell.width() + margin;
        const int y0 = int(i / columns) * cell.height() + margin;
        const int w = std::min(picture.width(), cell.width() - 2 * margin);
        const int h = std::min(picture.height(), cell.height() - 2 * margin);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                sheet.setPixel(x0 + x, y0 + y, picture.pixel(x, y));
    }
    return sheet;
}

bool SavePng(const QImage& image, const std::string& path, std::string& error) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        error = path + ": the picture cannot be encoded as PNG";
        return false;
    }
    return Util::WriteFileAtomically(
        path, std::string_view(bytes.constData(), std::size_t(bytes.size())), &error);
}

} // namespace Lift::Cli
