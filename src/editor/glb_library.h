#pragma once
// The GLB library: an archive of numbered pictures and controller data blocks, held whole
// in memory (`glbData`).
//
// Layout: 8 header bytes (not interpreted), then one 8-byte directory entry per item at
// 8 + (256 * group + number) * 8: the item's offset from the start of the file and its
// length, both unsigned 32-bit big-endian. Length 0 means the item is absent. The directory
// has no count of its own.
//
// A library file is outside input: an entry that lies past the end of the data, or whose
// offset and length reach past it, makes the item absent; nothing is ever read outside the
// buffer. Groups are 0..7 and numbers 0..255; any other address is absent too (a number past
// 255 would otherwise alias an item of the next group).
//
// Not thread-safe for writing; concurrent const use is fine.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Lift::Editor {

inline constexpr int kGlbGroupCount = 8;
inline constexpr int kGlbItemsPerGroup = 256;
// Larger files are refused when loading: the library holds a few hundred small pictures, so
// anything this size is not a library, and reading it whole would only exhaust memory.
inline constexpr std::uint64_t kMaxGlbFileBytes = 64u * 1024u * 1024u;

struct GlbEntry {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

// The directory entry of (group, number) as stored, or nothing when the address is out of
// range or the entry itself lies (partly) outside `glb`.
std::optional<GlbEntry> ReadGlbEntry(std::string_view glb, int group, int number);

// The bytes of item (group, number), a view into `glb`; nothing when the item is absent.
std::optional<std::string_view> FindGlbItem(std::string_view glb, int group, int number);

class GlbLibrary {
public:
    GlbLibrary() = default; // no data loaded
    explicit GlbLibrary(std::string bytes) : m_bytes(std::move(bytes)) {}

    bool isLoaded() const { return m_bytes.has_value(); }
    // The whole file; empty when nothing is loaded.
    std::string_view bytes() const { return m_bytes ? std::string_view(*m_bytes) : ""; }
    // Views stay valid until the library is replaced or cleared.
    std::optional<std::string_view> item(int group, int number) const;
    void clear() { m_bytes.reset(); }

private:
    std::optional<std::string> m_bytes;
};

// Reads the whole file at `path` into `out`. On failure `out` is left as it was and `error`
// (when given) names the file and the reason.
bool LoadGlbFile(const std::string& path, GlbLibrary& out, std::string* error = nullptr);

} // namespace Lift::Editor
