#include "util/crc8.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

using namespace Lift::Util;

namespace {
// Textbook MSB-first CRC with the unreflected polynomial x^8 + x^5 + x^4 + 1 (0x31) on
// bit-reversed input, result reversed back: a different route to the same CRC, so a wrong
// table entry or reflected constant in the product cannot hide behind itself.
std::uint8_t reverseBits(std::uint8_t v) {
    std::uint8_t r = 0;
    for (int i = 0; i < 8; ++i)
        if (v & (1 << i))
            r = static_cast<std::uint8_t>(r | (0x80 >> i));
    return r;
}

std::uint8_t referenceCrc(const std::vector<std::uint8_t>& bytes) {
    std::uint8_t crc = 0;
    for (std::uint8_t byte : bytes) {
        crc ^= reverseBits(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<std::uint8_t>((crc & 0x80) ? (crc << 1) ^ 0x31 : crc << 1);
    }
    return reverseBits(crc);
}
} // namespace

TEST(Crc8, TableStartsAsPublishedAndEveryEntryIsTheCrcOfItsIndex) {
    const std::array<std::uint8_t, 8> head = {0x00, 0x5E, 0xBC, 0xE2, 0x61, 0x3F, 0xDD, 0x83};
    for (size_t i = 0; i < head.size(); ++i)
        EXPECT_EQ(kCrc8Table[i], head[i]) << i;
    for (unsigned i = 0; i < 256; ++i)
        EXPECT_EQ(kCrc8Table[i], referenceCrc({static_cast<std::uint8_t>(i)})) << i;
}

