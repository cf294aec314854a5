#include "link/link_frame.h"

#include "util/crc8.h"

#include <algorithm>

namespace Lift::Link {

std::uint8_t ToBcd(int value) {
    if (value < 0 || value > 99)
        return 0x00;
    return static_cast<std::uint8_t>(((value / 10) << 4) | (value % 10));
}

std::optional<int> FromBcd(std::uint8_t bcd) {
    const int high = bcd >> 4;
    const int low = bcd & 0x0F;
    if (high > 9 || low > 9)
        return std::nullopt;
    return high * 10 + low;
}

std::uint8_t FrameCrc(const LinkFrame& frame) {
    return Util::Crc8(std::span<const std::uint8_t>(frame.data(), kFrameCrcIndex));
}

bool FrameCrcValid(const LinkFrame& frame) {
    return frame[kFrameCrcIndex] == FrameCrc(frame);
}

LinkFrame MakeRomBlockFrame(std::span<const std::uint8_t> image, int blockNo) {
    LinkFrame frame{};
    const int n = blockNo - 1;
    frame[0] = kRomBlockKind;
    frame[1] = static_cast<std::uint8_t>(n / 8);
    frame[2] = static_cast<std::uint8_t>(n % 8);
    const std::size_t offset = static_cast<std::size_t>(n) * kBlockDataSize;
    if (n >= 0 && offset < image.size()) {
        const std::size_t count = std::min(kBlockDataSize, image.size() - offset);
        std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(offset), count, frame.begin() + 3);
    }
    frame[kFrameCrcIndex] = FrameCrc(frame);
    return frame;
}

LinkFrame MakeDateTimeFrame(const LocalDateTime& now) {
    LinkFrame frame{};
    frame[0] = kDateTimeKind;
    frame[1] = 0x00;
    frame[2] = 0x01;
    frame[3] = ToBcd(now.year % 100);
    frame[4] = ToBcd(now.month);
    frame[5] = ToBcd(now.day);
    frame[6] = static_cast<std::uint8_t>(now.weekday);
    frame[7] = ToBcd(now.hour);
    frame[8] = ToBcd(now.minute);
    frame[9] = ToBcd(now.second);
    frame[kFrameCrcIndex] = FrameCrc(frame);
    return frame;
}

void ToggleHeaderMask(std::span<std::uint8_t> image) {
    const std::size_t n = std::min(image.size(), kMaskedHeaderSize);
    for (std::size_t i = 0; i < n; ++i)
        image[i] ^= Util::kCrc8Table[i];
}

std::optional<int> RomBlockNumber(const LinkFrame& frame) {
    if (frame[0] != kRomBlockKind || frame[2] > 7)
        return std::nullopt;
    return frame[1] * 8 + frame[2] + 1;
}

std::optional<LocalDateTime> DecodeDateTimeFrame(const LinkFrame& frame) {
    if (frame[0] != kDateTimeKind || frame[1] != 0x00 || frame[2] != 0x01)
        return std::nullopt;
    if (!std::all_of(frame.begin() + 10, frame.begin() + kFrameCrcIndex,
                     [](std::uint8_t b) { return b == 0; }))
        return std::nullopt;
    const auto year = FromBcd(frame[3]);
    const auto month = FromBcd(frame[4]);
    const auto day = FromBcd(frame[5]);
    const auto hour = FromBcd(frame[7]);
    const auto minute = FromBcd(frame[8]);
    const auto second = FromBcd(frame[9]);
    const int weekday = frame[6];
    if (!year || !month || !day || !hour || !minute || !second)
        return std::nullopt;
    if (*month < 1 || *month > 12 || *day < 1 || *day > 31 || weekday < 1 || weekday > 7 ||
        *hour > 23 || *minute > 59 || *second > 60)
        return std::nullopt;
    return LocalDateTime{2000 + *year, *month, *day, weekday, *hour, *minute, *second};
}

} // namespace Lift::Link
