#pragma once
// The controller link's wire format: the bytes the controller sends and the 68-byte frames the
// PC answers with. Pure functions, no state: callable from any thread.
//
// A ROM data block frame carries 64 image bytes of block n (1-based) at image offset
// (n - 1) * 64, addressed as page (n - 1) / 8 and index (n - 1) % 8. A date-time frame carries
// the local date and time in packed BCD plus a plain weekday. Byte 67 of every frame is the
// CRC-8 of bytes 0..66.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace Lift::Link {

inline constexpr std::uint8_t kRequestByte = 0x43; // 'C': send the first frame
inline constexpr std::uint8_t kAckByte = 0x06;
inline constexpr std::uint8_t kNakByte = 0x15;

inline constexpr std::size_t kFrameSize = 68;
inline constexpr std::size_t kBlockDataSize = 64;
inline constexpr std::size_t kFrameCrcIndex = 67;
inline constexpr std::uint8_t kRomBlockKind = 0x03;
inline constexpr std::uint8_t kDateTimeKind = 0x01;

// Largest file accepted for upload (this size itself is accepted) and the upload buffer size.
inline constexpr std::size_t kUploadImageCapacity = 0x70000; // 458752
// Bytes of the image header that are stored masked with the CRC-8 table.
inline constexpr std::size_t kMaskedHeaderSize = 256;
// A file of exactly this size is sent as 975 blocks; every other accepted file as 976.
inline constexpr std::size_t kShortImageSize = 975 * kBlockDataSize; // 62400
inline constexpr int kShortBlockCount = 975;
inline constexpr int kFullBlockCount = 976;

using LinkFrame = std::array<std::uint8_t, kFrameSize>;

// The local date and time as the PC's clock gives it.
struct LocalDateTime {
    int year = 2000; // full year, e.g. 2010
    int month = 1;   // 1..12
    int day = 1;     // 1..31
    int weekday = 6; // 1 Monday .. 7 Sunday
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59
    int second = 0;  // 0..59 (60 for a leap second)
    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

// Packed BCD of 0..99 (tens in the high nibble); values outside 0..99 give 0x00.
std::uint8_t ToBcd(int value);
// The value of a packed BCD byte, or nothing when a nibble is not a decimal digit.
std::optional<int> FromBcd(std::uint8_t bcd);

// CRC-8 of the frame's bytes 0..66, the value that belongs in byte 67.
std::uint8_t FrameCrc(const LinkFrame& frame);
// True when byte 67 holds the CRC of bytes 0..66.
bool FrameCrcValid(const LinkFrame& frame);

// Block blockNo (1-based) of image: bytes 0..2 addressing, 64 bytes from offset
// (blockNo - 1) * 64, CRC. Image bytes beyond image.size() are taken as zero.
LinkFrame MakeRomBlockFrame(std::span<const std::uint8_t> image, int blockNo);

// The date-time frame for the given local time.
LinkFrame MakeDateTimeFrame(const LocalDateTime& now);

// Removes (or applies: it is its own inverse) the mask of the first 256 bytes of an image.
void ToggleHeaderMask(std::span<std::uint8_t> image);

// Page and index of a ROM block frame as a 1-based block number; nothing when byte 0 is not
// the ROM block kind or the index is 8 or more.
std::optional<int> RomBlockNumber(const LinkFrame& frame);

// The date and time carried by a date-time frame, or nothing when the header is not the
// date-time header, a field is not valid BCD or out of range, or bytes 10..66 are not zero.
// The year is returned as 2000 + the two digits.
std::optional<LocalDateTime> DecodeDateTimeFrame(const LinkFrame& frame);

} // namespace Lift::Link
