#pragma once
// Reads a ROM image back into what a technician checks: the settings, the labels of the code
// tables, which pictures are placed where, and the free space of each zone.
//
// The image is outside input (any file may be handed in): every offset is checked against
// the zone it belongs to, nothing is read outside the image, and a wrong size is an error.
// Picture sizes are not stored in the image; they are the sizes the zones are laid out for.
// Pure functions; thread-safe.

#include "rom/black_picture.h"
#include "rom/rom_layout.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Lift::Rom {

struct PlacedPicture {
    int number = 0;          // character code, user picture number, frame or message index
    int style = 0;           // direction style; 0 elsewhere
    std::size_t offset = 0;  // absolute
    std::size_t size = 0;    // packed data bytes assumed for this zone
    bool insideZone = false; // offset and size lie inside the zone
};

struct CodeEntry {
    int table = 0;
    int code = 0;
    std::uint8_t left = 0;
    std::uint8_t right = 0;
    bool userPicture() const { return left == kUserPictureMarker; }
    // The label as the controller shows it; "" for a user picture.
    std::string label() const;
};

struct ZoneUse {
    const char* name;
    RomArea area;
    std::size_t used = 0; // from the zone start to the end of the last picture inside it
    std::size_t free() const { return used >= area.size ? 0 : area.size - used; }
};

struct RomInspection {
    bool masked = false; // bytes 0..255 were unmasked before reading
    std::array<std::uint8_t, 16> settings{};
    std::vector<CodeEntry> codes;            // non-empty entries, table by table
    std::vector<PlacedPicture> glyphs;       // entries that are not 0
    std::vector<PlacedPicture> userPictures; // numbers referenced by the code tables
    std::vector<PlacedPicture> directionFrames;
    std::vector<PlacedPicture> messages;
    bool ifiHoldsPattern = false;            // the IFI area is the fill pattern (an ENCODE 1 image)
    std::array<std::uint8_t, 16> cfiStart{}; // first CFI bytes, unmasked
    std::vector<ZoneUse> zones;              // floor, direction, message
};

// Decodes `image`. `encode` 1 removes the mask of the first 256 bytes; nothing lets the
// image itself tell. False with `error` when the image does not have 64512 bytes.
bool InspectRomImage(std::string_view image, int encode, RomInspection& out, std::string& error);

// Human-readable report, one fact a line.
std::string DescribeRomImage(const RomInspection& inspection);

// Unpacks packed data of a picture whose packed size is packedWidth x packedHeight back to
// the source picture (turned back when `rotated`): row-major, top row first, 1 = black.
// Missing data bytes read as white.
std::vector<std::uint8_t> UnpackPicture(std::string_view data, int packedWidth, int packedHeight,
                                        bool rotated);

// The picture of `size` (as drawn) whose packed data starts `data`, packed turned when
// `rotated`; missing data bytes read as white.
BlackPicture UnpackBlackPicture(std::string_view data, PictureSize size, bool rotated);

} // namespace Lift::Rom
