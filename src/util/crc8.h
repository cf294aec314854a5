#pragma once
// CRC-8 of the controller: the Dallas/Maxim 1-Wire CRC (reflected polynomial 0x8C, i.e.
// x^8 + x^5 + x^4 + 1, initial value 0, no final exclusive-or).
//
// The 256-entry table is part of the ROM image itself (stored as is, used as fill pattern
// and as the mask of the image's first 256 bytes) and checks every frame of the link, so
// both the ROM builder and the link take it from here. Entry i is the CRC of the single
// byte i. Everything is constexpr and free of state: callable from any thread.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace Lift::Util {

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

// The CRC-8 table: 00 5E BC E2 61 3F DD 83 ...
inline constexpr std::array<std::uint8_t, 256> kCrc8Table = Detail::MakeCrc8Table();

// One step: the CRC after feeding `byte` to a running CRC `crc`.
constexpr std::uint8_t Crc8Update(std::uint8_t crc, std::uint8_t byte) {
    return kCrc8Table[static_cast<std::uint8_t>(crc ^ byte)];
}

// CRC-8 of `bytes`, continuing from `crc` (0 to start a new one).
constexpr std::uint8_t Crc8(std::span<const std::uint8_t> bytes, std::uint8_t crc = 0) {
    for (std::uint8_t b : bytes)
        crc = Crc8Update(crc, b);
    return crc;
}

constexpr std::uint8_t Crc8(std::string_view bytes, std::uint8_t crc = 0) {
    for (char c : bytes)
        crc = Crc8Update(crc, static_cast<std::uint8_t>(c));
    return crc;
}

// The check value every implementation of this CRC shares.
static_assert(Crc8(std::string_view("123456789")) == 0xA1);

} // namespace Lift::Util
