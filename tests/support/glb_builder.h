#pragma once
// Builds GLB library bytes for tests: a full directory of 8 groups x 256 entries after the
// 8-byte header, then the items' data in the order they were added.

#include <cstdint>
#include <map>
#include <string>
#include <utility>

namespace Lift::Test {

class GlbBuilder {
public:
    GlbBuilder& add(int group, int number, std::string data) {
        m_items[{group, number}] = std::move(data);
        return *this;
    }
    std::string build() const;

    // Offset of the directory entry of (group, number).
    static std::size_t entryOffset(int group, int number) {
        return 8 + (static_cast<std::size_t>(group) * 256 + static_cast<std::size_t>(number)) * 8;
    }
    // Overwrites the 8 entry bytes of (group, number) in `glb`.
    static void setEntry(std::string& glb, int group, int number, std::uint32_t offset,
                         std::uint32_t length);

private:
    std::map<std::pair<int, int>, std::string> m_items;
};

} // namespace Lift::Test
