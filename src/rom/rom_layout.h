#pragma once
// The controller's ROM image: 64512 bytes of fixed areas, listed here in address order.
//
// Every 16-bit number inside the image (the picture offsets of the index tables) is an
// absolute offset from the start of the image, most significant byte first; 0 means "no
// picture". The image carries no magic number, version or checksum, so these constants are
// the whole contract between the builder, `inspect` and the upload.

#include <cstddef>
#include <cstdint>

namespace Lift::Rom {

struct RomArea {
    std::size_t offset;
    std::size_t size;
    constexpr std::size_t end() const { return offset + size; }
};

inline constexpr std::size_t kRomImageSize = 0xFC00; // 64512

inline constexpr RomArea kCfiArea{0x0000, 7168};         // GLB item (0, CFI)
inline constexpr RomArea kLogoArea{0x1C00, 512};         // packed customer logo
inline constexpr RomArea kSmallPictureArea{0x1E00, 512}; // GLB items (7, 0..38), no index
inline constexpr RomArea kReservedArea{0x2000, 168};     // never placed
inline constexpr RomArea kCrcTableArea{0x20A8, 256};     // copy of the CRC-8 table
inline constexpr RomArea kSettingsArea{0x21A8, 16};
inline constexpr RomArea kCodeTableArea{0x21B8, 6 * 256};     // per table: 256 left, 256 right
inline constexpr RomArea kMessageIndexArea{0x27B8, 80};       // 40 offsets
inline constexpr RomArea kMessageZone{0x2808, 5120};          // 40 x 128
inline constexpr RomArea kDirectionIndexArea{0x3C08, 5 * 24}; // 5 styles x 12 offsets
inline constexpr RomArea kDirectionZone{0x3C80, 17280};       // 60 x 288
inline constexpr RomArea kGlyphIndexArea{0x8000, 256};        // 128 offsets, by character code
inline constexpr RomArea kUserPictureIndexArea{0x8100, 256};  // 128 offsets, by picture number
inline constexpr RomArea kSpareIndexArea0{0x8200, 256};       // the CRC-8 table
inline constexpr RomArea kSpareIndexArea1{0x8300, 256};       // the CRC-8 table
inline constexpr RomArea kFloorZone{0x8400, 28672};           // glyphs, then user pictures
inline constexpr RomArea kIfiArea{0xF400, 1792};              // GLB item (0, IFI) or pattern
inline constexpr RomArea kPicture040Area{0xFB00, 256};        // packed GLB item (0, 40)

// Left and right character bytes of code table t, code r.
constexpr std::size_t CodeTableLeftOffset(int table, int code) {
    return kCodeTableArea.offset + 512 * static_cast<std::size_t>(table) +
           static_cast<std::size_t>(code);
}
constexpr std::size_t CodeTableRightOffset(int table, int code) {
    return CodeTableLeftOffset(table, code) + 256;
}
// Index entry of direction style s (0..4), frame i (0..11).
constexpr std::size_t DirectionIndexOffset(int style, int frame) {
    return kDirectionIndexArea.offset + 24 * static_cast<std::size_t>(style) +
           2 * static_cast<std::size_t>(frame);
}

inline constexpr int kMessageCount = 40;
inline constexpr int kDirectionStyles = 5;
inline constexpr int kDirectionFrames = 12;
inline constexpr int kGlyphCount = 128;       // character codes 0..127
inline constexpr int kUserPictureSlots = 128; // entries of the user picture index
inline constexpr int kSmallPictureCount = 39; // GLB items (7, 0..38)

// Left byte of a code-table entry that names a user floor picture.
inline constexpr std::uint8_t kUserPictureMarker = 0xFE;

// Glyph data beyond this is reported (but kept): the controller's glyph area is smaller than
// the whole floor zone.
inline constexpr std::size_t kGlyphDataWarningBytes = 10240;

// Packed data sizes of the pictures the zones are laid out for.
inline constexpr std::size_t kGlyphBytes = 256;       // 32 x 64
inline constexpr std::size_t kUserPictureBytes = 512; // 64 x 64
inline constexpr std::size_t kMessageBytes = 128;     // 64 x 16
inline constexpr std::size_t kDirectionBytes = 288;   // 48 x 48
inline constexpr std::size_t kLogoBytes = 512;        // 64 x 64

// Source sizes of those pictures, as drawn (before any turn). The image does not store
// them: a reader takes the size the zone is laid out for.
struct PictureSize {
    int width;
    int height;
    constexpr std::size_t packedBytes() const {
        return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) / 8;
    }
};
inline constexpr PictureSize kGlyphSize{32, 64};
inline constexpr PictureSize kUserPictureSize{64, 64};
inline constexpr PictureSize kMessageSize{64, 16};
inline constexpr PictureSize kDirectionSize{48, 48};
inline constexpr PictureSize kLogoSize{64, 64};
static_assert(kGlyphSize.packedBytes() == kGlyphBytes &&
              kUserPictureSize.packedBytes() == kUserPictureBytes &&
              kMessageSize.packedBytes() == kMessageBytes &&
              kDirectionSize.packedBytes() == kDirectionBytes &&
              kLogoSize.packedBytes() == kLogoBytes);

// Settings block bytes.
enum SettingsByte : std::size_t {
    SettingsDisplaySide = 1,
    SettingsDateTime = 2,
    SettingsPowerSaving = 3,
    SettingsLogoSeconds = 4, // seconds, 1..30
    SettingsLogoEnabled = 5,
    SettingsIdCode = 6, // 4 bytes
    SettingsMessagePosition = 10,
    SettingsNodeAddress = 11,
    SettingsDirectionStyle = 12,
    SettingsMessageMask = 14,
    SettingsDefaultCodeTable = 15,
};

} // namespace Lift::Rom
