#include "editor/glb_library.h"

#include "util/atomic_file.h"

#include <filesystem>
#include <system_error>

namespace Lift::Editor {

namespace {
std::uint32_t readBigEndian32(std::string_view bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return v;
}
} // namespace

std::optional<GlbEntry> ReadGlbEntry(std::string_view glb, int group, int number) {
    if (group < 0 || group >= kGlbGroupCount || number < 0 || number >= kGlbItemsPerGroup)
        return std::nullopt;
    const std::size_t at = 8 + (static_cast<std::size_t>(group) * kGlbItemsPerGroup +
                                static_cast<std::size_t>(number)) *
                                   8;
    if (glb.size() < at + 8)
        return std::nullopt;
    return GlbEntry{readBigEndian32(glb, at), readBigEndian32(glb, at + 4)};
}

std::optional<std::string_view> FindGlbItem(std::string_view glb, int group, int number) {
    const auto entry = ReadGlbEntry(glb, group, number);
    if (!entry || entry->length == 0)
        return std::nullopt;
    // 64-bit sum: offset + length of two 32-bit values must not wrap around.
    if (std::uint64_t{entry->offset} + entry->length > glb.size())
        return std::nullopt;
    return glb.substr(entry->offset, entry->length);
}

std::optional<std::string_view> GlbLibrary::item(int group, int number) const {
    if (!m_bytes)
        return std::nullopt;
    return FindGlbItem(*m_bytes, group, number);
}

bool LoadGlbFile(const std::string& path, GlbLibrary& out, std::string* error) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > kMaxGlbFileBytes) {
        if (error)
            *error = "Cannot read " + path + ": the file is too large for a GLB library (" +
                     std::to_string(size) + " bytes)";
        return false;
    }
    std::string bytes;
    if (!Util::ReadWholeFile(path, bytes, error))
        return false;
    if (bytes.size() > kMaxGlbFileBytes) { // grew while being read
        if (error)
            *error = "Cannot read " + path + ": the file is too large for a GLB library";
        return false;
    }
    out = GlbLibrary(std::move(bytes));
    return true;
}

} // namespace Lift::Editor
