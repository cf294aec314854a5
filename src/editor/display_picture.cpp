#include "editor/display_picture.h"

#include "rom/black_picture.h"
#include "rom/bmp_layout.h"
#include "util/atomic_file.h"

#include <filesystem>
#include <system_error>

namespace Lift::Editor {

bool LoadDisplayPicture(const std::string& path, QImage& out, std::string& error) {
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(path, ec)) {
        error = "Cannot open picture file \"" + path + "\"";
        return false;
    }
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > Rom::kMaxPictureFileBytes) {
        error = path + ": the file is too large for a picture";
        return false;
    }
    std::string bytes;
    std::string reason;
    if (!Util::ReadWholeFile(path, bytes, &reason)) {
        error = path + ": " + reason;
        return false;
    }
    Rom::BmpLayout layout;
    if (!Rom::InspectBmp(bytes, layout, reason)) {
        error = path + ": " + reason;
        return false;
    }
    QImage image;
    if (!image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                            static_cast<int>(bytes.size()), "BMP")) {
        error = path + ": the picture cannot be decoded";
        return false;
    }
    out = std::move(image);
    return true;
}

} // namespace Lift::Editor
