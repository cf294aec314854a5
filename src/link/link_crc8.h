#pragma once
// Stand-in for the shared CRC-8 until the utility one is available to this branch.
// Dallas/Maxim 1-Wire CRC: reflected polynomial 0x8C, initial value 0, no final xor.

#include <array>
#include <cstdint>
#include <span>

namespace Lift::Link {

namespace Detail {
constexpr std::array<std::uint8_t, 256> MakeCrc8Table() {
    std::array<std::uint8_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) ? (crc >> 1) ^ 0x8Cu : crc >> 1;
        table[i] = static_cast<std::uint8_t>(crc);
    }
    return table;
}
} // namespace Detail

inline constexpr std::array<std::uint8_t, 256> kCrc8Table = Detail::MakeCrc8Table();

constexpr std::uint8_t Crc8(std::span<const std::uint8_t> bytes, std::uint8_t crc = 0) {
    for (std::uint8_t b : bytes)
        crc = kCrc8Table[static_cast<std::uint8_t>(crc ^ b)];
    return crc;
}

} // namespace Lift::Link
