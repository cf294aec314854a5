#include "support/glb_builder.h"

namespace Lift::Test {

namespace {
void putBigEndian(std::string& s, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
}
} // namespace

void GlbBuilder::setEntry(std::string& glb, int group, int number, std::uint32_t offset,
                          std::uint32_t length) {
    const std::size_t at = entryOffset(group, number);
    if (glb.size() < at + 8)
        glb.resize(at + 8, '\0');
    putBigEndian(glb, at, offset);
    putBigEndian(glb, at + 4, length);
}

std::string GlbBuilder::build() const {
    std::string glb = "GLBTEST1";
    glb.resize(entryOffset(8, 0), '\0');
    for (const auto& [key, data] : m_items) {
        const auto offset = static_cast<std::uint32_t>(glb.size());
        glb += data;
        setEntry(glb, key.first, key.second, offset, static_cast<std::uint32_t>(data.size()));
    }
    return glb;
}

} // namespace Lift::Test
