// Any text given as a GLB manifest: parsing never crashes, and whatever it accepts names
// addressable, distinct items that the writer takes and a reader finds again.
#include "glb_writer/glb_manifest.h"
#include "glb_writer/glb_writer.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<Lift::Tools::GlbManifestEntry> entries;
    std::string error;
    if (!Lift::Tools::ParseGlbManifest(text, entries, &error)) {
        if (error.rfind("line ", 0) != 0)
            std::abort(); // every refusal names its line
        return 0;
    }
    Lift::Tools::GlbWriter writer;
    for (const auto& e : entries) {
        if (e.file.empty() || e.file.front() == ' ' || e.file.back() == ' ')
            std::abort();
        if (!writer.addItem(e.group, e.number, e.file, &error))
            std::abort(); // the parser let through an item the writer refuses
    }
    std::string glb;
    if (!writer.build(glb, &error))
        std::abort();
    for (const auto& e : entries) {
        const std::size_t at = 8 + (std::size_t(e.group) * 256 + e.number) * 8;
        const auto be = [&](std::size_t i) {
            return (std::uint32_t(std::uint8_t(glb[i])) << 24) |
                   (std::uint32_t(std::uint8_t(glb[i + 1])) << 16) |
                   (std::uint32_t(std::uint8_t(glb[i + 2])) << 8) | std::uint8_t(glb[i + 3]);
        };
        if (glb.compare(be(at), be(at + 4), e.file) != 0)
            std::abort();
    }
    return 0;
}
