#pragma once
// Builds the 64512-byte ROM image from pieces that are already gathered: the two GLB data
// blocks, the settings and code-table bytes, and the packed data of every picture (the bytes
// of a packed picture after its 4-byte size header).
//
// Areas that no piece fills hold the fill pattern (byte p of an area = CRC-8 table entry
// p mod 256, p counted from the area's start), except the message and direction areas, which
// are 0, and the index tables, which start as copies of the CRC-8 table.
//
// Nothing is ever written outside its area. In the message, direction, small-picture, logo
// and (0, 40) areas a picture that runs past the end is cut there, and one that would start
// at or past the end is not placed (index entry 0). In the floor zone a picture that would end
// past the zone is not placed at all and its index entry is not written; the report says so,
// and an image with such a floor zone must not be used.
//
// Pure function; thread-safe.

#include "rom/rom_layout.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Lift::Editor {
struct DisplayProject;
}

namespace Lift::Rom {

struct CodeBytes {
    std::uint8_t left = 0;
    std::uint8_t right = 0;
    bool operator==(const CodeBytes&) const = default;
};

using SettingsBlock = std::array<std::uint8_t, kSettingsArea.size>;
// [table][code]
using CodeTableBytes = std::array<std::array<CodeBytes, 256>, 3>;

struct RomContent {
    std::string_view cfiItem; // GLB item (0, CFI), whole
    std::string_view ifiItem; // GLB item (0, IFI), whole; only placed when `encode` is 0
    // ENCODE of the version: 1 masks bytes 0..255; 0 places the IFI item. With any other
    // value neither happens and the IFI area keeps the pattern.
    int encode = 1;

    SettingsBlock settings{};
    CodeTableBytes codeTables{};

    // Packed data by zone; nothing = no picture. Glyphs are those of the chosen floor style,
    // by character code; user pictures by number; messages in message-index order.
    std::array<std::optional<std::string>, kGlyphCount> glyphs;
    std::vector<std::string> userPictures;
    std::array<std::array<std::optional<std::string>, kDirectionFrames>, kDirectionStyles>
        directionFrames;
    std::array<std::optional<std::string>, kMessageCount> messages;
    std::optional<std::string> logo;
    std::vector<std::string> smallPictures; // in item order, present items only
    std::string picture040;
};

struct RomBuildReport {
    std::size_t glyphBytes = 0; // packed data of all glyphs, placed or not
    std::size_t floorBytes = 0; // glyphs and user pictures together
    // More than the floor zone holds, or more user pictures than the index has entries.
    bool floorOverflow = false;
    // Data wanted in the zones without an overflow rule of their own; more than the zone's
    // size means pictures were cut.
    std::size_t messageBytes = 0;
    std::size_t directionBytes = 0;
    std::size_t smallPictureBytes = 0;
};

// The whole image, exactly kRomImageSize bytes.
std::string BuildRomImage(const RomContent& content, RomBuildReport* report = nullptr);

// Sum of the floor zone's picture data and whether it overflows, as BuildRomImage reports it;
// lets MAKE ROM judge the zone before gathering the rest.
RomBuildReport MeasureFloorZone(const RomContent& content);

// Code-table bytes of a label that is already trimmed and upper-cased, for labels of up to
// two characters; nothing for longer labels, which name a user floor picture.
std::optional<CodeBytes> LabelCodeBytes(std::string_view label);

// The settings block of a project; `idCode` is taken trimmed, each value as its low 8 bits.
SettingsBlock MakeSettingsBlock(const Editor::DisplayProject& project);

// Fill pattern byte at position p of an area.
std::uint8_t FillPatternByte(std::size_t p);

} // namespace Lift::Rom
