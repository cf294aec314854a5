#include "rom/project_pictures.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace Lift::Rom {

namespace {

namespace fs = std::filesystem;
using Editor::DisplayProject;

bool isFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiLower(x) == asciiLower(y);
           });
}

} // namespace

std::string FindUserFloorPicture(const std::string& folder, const std::string& name) {
    std::string exact = (fs::path(folder) / name).string();
    if (isFile(exact))
        return exact;
    std::error_code ec;
    std::vector<std::string> matches;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        if (equalIgnoringCase(candidate, name) && isFile(it->path().string()))
            matches.push_back(it->path().string());
    }
    if (matches.empty())
        return {};
    return *std::min_element(matches.begin(), matches.end());
}

std::string UserFloorPicturePath(const std::string& userFloorPictureRoot, int floorStyle,
                                 const std::string& label) {
    return FindUserFloorPicture(userFloorPictureRoot + std::to_string(floorStyle), label + ".bmp");
}

std::array<MessageSlot, kMessageCount> MessageSlotOrder(const DisplayProject& project) {
    std::array<MessageSlot, kMessageCount> slots;
    std::size_t k = 0;
    for (int column : kMessageColumnOrder)
        for (int row = 0; row < Editor::kSlotRows; ++row)
            slots[k++] = {row, column, isFile(project.liftStatePictures[row][column])};
    return slots;
}

std::array<std::string, kMessageCount> MessagePictureList(const DisplayProject& project) {
    std::array<std::string, kMessageCount> list;
    std::size_t j = 0;
    for (const MessageSlot& slot : MessageSlotOrder(project))
        if (slot.present)
            list[j++] = project.liftStatePictures[slot.row][slot.column];
    return list;
}

} // namespace Lift::Rom
