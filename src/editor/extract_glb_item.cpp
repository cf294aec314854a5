#include "editor/extract_glb_item.h"

#include "util/atomic_file.h"

#include <filesystem>
#include <system_error>

namespace Lift::Editor {

std::string ExtractGlbItem(const GlbLibrary& glb, const std::string& startDirectory, int group,
                           int number, std::string* error) {
    if (error)
        error->clear();
    std::string path = (std::filesystem::path(startDirectory) / kTempPictureFileName).string();

    // The old file goes first, so that an absent item can never be mistaken for the
    // previous one.
    std::error_code ec;
    std::filesystem::remove(path, ec);
    if (ec) {
        if (error)
            *error = "Cannot delete " + path + ": " + ec.message();
        return {};
    }

    const auto item = glb.item(group, number);
    if (!item)
        return {};
    if (!Util::WriteFileAtomically(path, *item, error))
        return {};
    return path;
}

} // namespace Lift::Editor
