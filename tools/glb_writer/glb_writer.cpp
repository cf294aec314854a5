#include "glb_writer/glb_writer.h"

#include "util/atomic_file.h"
#include "util/standalone_function.h"

#include <limits>
#include <unordered_map>

namespace Lift::Tools {

namespace {

void putBigEndian32(std::string& out, std::size_t at, std::uint32_t value) {
    out[at + 0] = char((value >> 24) & 0xFF);
    out[at + 1] = char((value >> 16) & 0xFF);
    out[at + 2] = char((value >> 8) & 0xFF);
    out[at + 3] = char(value & 0xFF);
}

} // namespace

bool GlbWriter::addItem(int group, int number, std::string data, std::string* error) {
    auto fail = [&](const std::string& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (group < 0 || group >= kGroupCount)
        return fail(YVclUtil::Format("group %d is outside 0..%d", group, kGroupCount - 1));
    if (number < 0 || number >= kNumbersPerGroup)
        return fail(
            YVclUtil::Format("item number %d is outside 0..%d", number, kNumbersPerGroup - 1));
    if (data.empty())
        return fail(YVclUtil::Format("item (%d, %d) is empty; a length of 0 means 'absent'", group,
                                     number));
    if (!m_items.emplace(key(group, number), std::move(data)).second)
        return fail(YVclUtil::Format("item (%d, %d) is given twice", group, number));
    return true;
}

bool GlbWriter::hasItem(int group, int number) const {
    return group >= 0 && group < kGroupCount && number >= 0 && number < kNumbersPerGroup &&
           m_items.count(key(group, number)) != 0;
}

bool GlbWriter::build(std::string& out, std::string* error) const {
    static_assert(Editor::kMaxGlbFileBytes <= std::numeric_limits<std::uint32_t>::max());
    std::string file(kDataStart, '\0');
    file.replace(0, 4, kMagic, 4);
    putBigEndian32(file, 4, std::uint32_t(m_items.size()));

    // Offsets of contents already stored, so that equal items share one copy.
    std::unordered_map<std::string_view, std::uint32_t> stored;
    for (const auto& [k, data] : m_items) {
        std::uint32_t offset;
        auto found = stored.find(data);
        if (found != stored.end()) {
            offset = found->second;
        } else {
            if (file.size() + data.size() > Editor::kMaxGlbFileBytes) {
                if (error)
                    *error = YVclUtil::Format(
                        "the library would be larger than %llu bytes, which the editor refuses "
                        "to load",
                        static_cast<unsigned long long>(Editor::kMaxGlbFileBytes));
                return false;
            }
            offset = std::uint32_t(file.size());
            file += data;
            stored.emplace(std::string_view(data), offset);
        }
        const std::size_t entry = kHeaderSize + std::size_t(k) * kEntrySize;
        putBigEndian32(file, entry, offset);
        putBigEndian32(file, entry + 4, std::uint32_t(data.size()));
    }
    out = std::move(file);
    return true;
}

bool GlbWriter::writeFile(const std::string& path, std::string* error) const {
    std::string bytes;
    if (!build(bytes, error))
        return false;
    return Util::WriteFileAtomically(path, bytes, error);
}

} // namespace Lift::Tools
