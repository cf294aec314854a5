#pragma once
// Builds a GLB picture and data library: an 8-byte header, a fixed directory of 8 groups x
// 256 items (8 bytes each: offset and length, 32-bit big-endian), then the items' bytes.
//
// The directory always covers all 8 groups, so every (group, number) entry exists in the
// file and a reader finds an item from its address alone. Items with identical bytes are
// stored once and share their offset (the 12 frames of a still arrow cost one frame).
// Items are laid out in (group, number) order, which makes the output a pure function of
// the items added: building twice gives identical bytes.
//
// Plain value type, no threads, no Qt. Errors come back as false plus a one-line reason.

#include "editor/glb_library.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace Lift::Tools {

class GlbWriter {
public:
    static constexpr int kGroupCount = Editor::kGlbGroupCount;
    static constexpr int kNumbersPerGroup = Editor::kGlbItemsPerGroup;
    static constexpr std::size_t kHeaderSize = 8;
    static constexpr std::size_t kEntrySize = 8;
    static constexpr std::size_t kDataStart =
        kHeaderSize + std::size_t(kGroupCount) * kNumbersPerGroup * kEntrySize;
    // Header bytes 0..3; bytes 4..7 hold the number of items, big-endian. Readers of the
    // library do not interpret the header; it only lets a person recognise the file.
    static constexpr char kMagic[4] = {'G', 'L', 'B', '1'};

    // Adds item (group, number). Refused, with a reason, when the group is outside 0..7,
    // the number outside 0..255, the data empty (a length of 0 marks an absent item, so an
    // empty item cannot be stored), or the item was added already.
    bool addItem(int group, int number, std::string data, std::string* error = nullptr);

    bool hasItem(int group, int number) const;
    std::size_t itemCount() const { return m_items.size(); }

    // The whole library as bytes. Fails when the file would be larger than the editor
    // loads (kMaxGlbFileBytes), which is also well within what 32-bit offsets address.
    bool build(std::string& out, std::string* error = nullptr) const;

    // Builds and writes the file atomically: on failure the old file (if any) is untouched.
    bool writeFile(const std::string& path, std::string* error = nullptr) const;

private:
    static int key(int group, int number) { return group * kNumbersPerGroup + number; }
    std::map<int, std::string> m_items; // ordered by key = (group, number)
};

} // namespace Lift::Tools
