#include "link/link_frame.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace Lift::Link {
namespace {

std::vector<std::uint8_t> CountingImage(std::size_t size) {
    std::vector<std::uint8_t> image(size);
    for (std::size_t i = 0; i < size; ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    return image;
}

TEST(LinkFrameDateTime, DecodesWhatItBuildsAndRefusesDamage) {
    const LocalDateTime t{2026, 12, 6, 7, 23, 59, 58};
    LinkFrame f = MakeDateTimeFrame(t);
    ASSERT_TRUE(DecodeDateTimeFrame(f));
    EXPECT_EQ(*DecodeDateTimeFrame(f), t);

    LinkFrame badDigit = f;
    badDigit[8] = 0x6A;
    EXPECT_FALSE(DecodeDateTimeFrame(badDigit));
    LinkFrame badMonth = f;
    badMonth[4] = 0x13;
    EXPECT_FALSE(DecodeDateTimeFrame(badMonth));
    LinkFrame badWeekday = f;
    badWeekday[6] = 0;
    EXPECT_FALSE(DecodeDateTimeFrame(badWeekday));
    LinkFrame tail = f;
    tail[40] = 1;
    EXPECT_FALSE(DecodeDateTimeFrame(tail));
    LinkFrame header = f;
    header[2] = 0x02;
    EXPECT_FALSE(DecodeDateTimeFrame(header));
}

TEST(LinkFrameRomBlock, AddressesPagesOfEightBlocks) {
    const auto image = CountingImage(64512);
    struct Case {
        int block;
        std::uint8_t page, index;
    };
    for (const Case c : {Case{1, 0x00, 0}, Case{8, 0x00, 7}, Case{9, 0x01, 0}, Case{975, 0x79, 6},
                         Case{976, 0x79, 7}}) {
        const LinkFrame f = MakeRomBlockFrame(image, c.block);
        EXPECT_EQ(f[0], 0x03);
        EXPECT_EQ(f[1], c.page) << "block " << c.block;
        EXPECT_EQ(f[2], c.index) << "block " << c.block;
        const std::size_t offset = static_cast<std::size_t>(c.page) * 512 + c.index * 64u;
        EXPECT_TRUE(std::equal(f.begin() + 3, f.begin() + 67, image.begin() + offset))
            << "block " << c.block;
        EXPECT_TRUE(FrameCrcValid(f));
        EXPECT_EQ(RomBlockNumber(f), c.block);
    }
}

TEST(LinkFrameRomBlock, BytesBeyondTheImageAreZero) {
    const auto image = CountingImage(100); // block 2 holds 36 image bytes
    const LinkFrame f = MakeRomBlockFrame(image, 2);
    EXPECT_TRUE(std::equal(f.begin() + 3, f.begin() + 3 + 36, image.begin() + 64));
    for (std::size_t i = 3 + 36; i < 67; ++i)
        EXPECT_EQ(f[i], 0);
    const LinkFrame far = MakeRomBlockFrame(image, 900);
    EXPECT_TRUE(std::all_of(far.begin() + 3, far.begin() + 67, [](auto b) { return b == 0; }));
}

TEST(LinkFrameMask, UsesTheCrcTableAndUndoesItself) {
    std::vector<std::uint8_t> image(300, 0);
    ToggleHeaderMask(image);
    // Entry i of the table is the CRC of the single byte i.
    EXPECT_EQ(image[0], 0x00);
    EXPECT_EQ(image[1], 0x5E);
    EXPECT_EQ(image[2], 0xBC);
    EXPECT_EQ(image[3], 0xE2);
    EXPECT_EQ(image[255], 0x35);
    EXPECT_TRUE(std::all_of(image.begin() + 256, image.end(), [](auto b) { return b == 0; }));
    ToggleHeaderMask(image);
    EXPECT_TRUE(std::all_of(image.begin(), image.end(), [](auto b) { return b == 0; }));
}

} // namespace
} // namespace Lift::Link
