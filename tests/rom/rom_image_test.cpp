// The ROM image builder against the layout rules, checked by a small reference model that is
// written here from the layout table alone (literal offsets, bitwise CRC), not from the
// product's constants.

#include "editor/display_project.h"
#include "rom/rom_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace Lift::Rom;

std::uint8_t BitwiseCrc(std::uint8_t byte) {
    std::uint8_t crc = 0;
    for (int bit = 0; bit < 8; ++bit) {
        const bool mix = ((crc ^ (byte >> bit)) & 1) != 0;
        crc = static_cast<std::uint8_t>(crc >> 1);
        if (mix)
            crc ^= 0x8C;
    }
    return crc;
}

std::uint8_t At(const std::string& image, std::size_t i) {
    return static_cast<std::uint8_t>(image.at(i));
}

unsigned Be16(const std::string& image, std::size_t i) {
    return (At(image, i) << 8) | At(image, i + 1);
}

// ---- reference model -------------------------------------------------------------------

enum class Fill { Pattern, Zero, Table, Other };
struct LiteralArea {
    std::size_t start, size;
    Fill fill;
};
// The layout table as written in the controller's documentation, in address order.
const std::vector<LiteralArea> kLiteralLayout = {
    {0x0000, 7168, Fill::Pattern},  {0x1C00, 512, Fill::Pattern},  {0x1E00, 512, Fill::Pattern},
    {0x2000, 168, Fill::Pattern},   {0x20A8, 256, Fill::Table},    {0x21A8, 16, Fill::Other},
    {0x21B8, 1536, Fill::Other},    {0x27B8, 80, Fill::Zero},      {0x2808, 5120, Fill::Zero},
    {0x3C08, 120, Fill::Zero},      {0x3C80, 17280, Fill::Zero},   {0x8000, 256, Fill::Table},
    {0x8100, 256, Fill::Table},     {0x8200, 256, Fill::Table},    {0x8300, 256, Fill::Table},
    {0x8400, 28672, Fill::Pattern}, {0xF400, 1792, Fill::Pattern}, {0xFB00, 256, Fill::Pattern},
};

std::string Reference(const RomContent& c) {
    std::string img(64512, '\0');
    auto put = [&](std::size_t at, unsigned v) { img.at(at) = static_cast<char>(v & 0xFF); };
    auto off = [&](std::size_t at, std::size_t v) {
        put(at, unsigned(v >> 8));
        put(at + 1, unsigned(v));
    };
    for (const auto& a : kLiteralLayout)
        for (std::size_t p = 0; p < a.size; ++p)
            if (a.fill == Fill::Pattern || a.fill == Fill::Table)
                put(a.start + p, BitwiseCrc(std::uint8_t(p % 256)));
    // copy with a hard stop at `limit`
    auto copy = [&](std::size_t at, std::size_t limit, const std::string_view& d) {
        for (std::size_t i = 0; i < d.size() && at + i < limit; ++i)
            put(at + i, std::uint8_t(d[i]));
    };
    std::size_t pos = 0x8400;
    for (int ch = 0; ch < 128; ++ch) {
        const auto& g = c.glyphs[std::size_t(ch)];
        off(0x8000 + 2 * std::size_t(ch), 0);
        if (!g)
            continue;
        if (pos + g->size() <= 0xF400) {
            copy(pos, 0xF400, *g);
            off(0x8000 + 2 * std::size_t(ch), pos);
        }
        pos += g->size();
    }
    for (std::size_t u = 0; u < c.userPictures.size(); ++u) {
        if (u < 128 && pos + c.userPictures[u].size() <= 0xF400) {
            copy(pos, 0xF400, c.userPictures[u]);
            off(0x8100 + 2 * u, pos);
        }
        pos += c.userPictures[u].size();
    }
    pos = 0x3C80;
    for (int s = 0; s < 5; ++s)
        for (int i = 0; i < 12; ++i) {
            const auto& f = c.directionFrames[std::size_t(s)][std::size_t(i)];
            if (f && pos < 0x8000) {
                copy(pos, 0x8000, *f);
                off(0x3C08 + 24 * std::size_t(s) + 2 * std::size_t(i), pos);
            }
            pos += f ? f->size() : 0;
        }
    pos = 0x2808;
    for (int j = 0; j < 40; ++j) {
        const auto& m = c.messages[std::size_t(j)];
        if (m && pos < 0x3C08) {
            copy(pos, 0x3C08, *m);
            off(0x27B8 + 2 * std::size_t(j), pos);
        }
        pos += m ? m->size() : 0;
    }
    for (std::size_t i = 0; i < 16; ++i)
        put(0x21A8 + i, c.settings[i]);
    for (int t = 0; t < 3; ++t)
        for (int r = 0; r < 256; ++r) {
            put(0x21B8 + 512 * std::size_t(t) + std::size_t(r), c.codeTables[t][r].left);
            put(0x22B8 + 512 * std::size_t(t) + std::size_t(r), c.codeTables[t][r].right);
        }
    copy(0x0000, 0x1C00, c.cfiItem);
    if (c.encode == 0)
        copy(0xF400, 0xFB00, c.ifiItem);
    copy(0xFB00, 0xFC00, c.picture040);
    if (c.logo)
        copy(0x1C00, 0x1E00, *c.logo);
    pos = 0x1E00;
    for (const auto& s : c.smallPictures) {
        if (pos < 0x2000)
            copy(pos, 0x2000, s);
        pos += s.size();
    }
    if (c.encode == 1)
        for (std::size_t i = 0; i < 256; ++i)
            put(i, At(img, i) ^ BitwiseCrc(std::uint8_t(i)));
    return img;
}

std::string Bytes(std::size_t n, std::uint8_t seed) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>(seed + i * 7);
    return s;
}

// ---- whole images against the reference ------------------------------------------------

TEST(RomImage, RandomContentsMatchTheReference) {
    std::mt19937 rng(20240611);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE(round);
        RomContent c;
        c.encode = pick(3);
        const std::string cfi = Bytes(std::size_t(pick(9000)), std::uint8_t(round));
        const std::string ifi = Bytes(std::size_t(pick(2500)), std::uint8_t(round + 1));
        c.cfiItem = cfi;
        c.ifiItem = ifi;
        for (auto& g : c.glyphs)
            if (pick(3) == 0)
                g = Bytes(std::size_t(pick(600)), std::uint8_t(pick(256)));
        for (int u = pick(140); u > 0; --u)
            c.userPictures.push_back(Bytes(std::size_t(pick(700)), std::uint8_t(u)));
        for (auto& style : c.directionFrames)
            for (auto& f : style)
                if (pick(2) == 0)
                    f = Bytes(std::size_t(pick(700)), std::uint8_t(pick(256)));
        for (auto& m : c.messages)
            if (pick(2) == 0)
                m = Bytes(std::size_t(pick(300)), std::uint8_t(pick(256)));
        if (pick(2) == 0)
            c.logo = Bytes(std::size_t(pick(900)), 5);
        for (int i = pick(40); i > 0; --i)
            c.smallPictures.push_back(Bytes(std::size_t(pick(40)), std::uint8_t(i)));
        c.picture040 = Bytes(std::size_t(pick(400)), 1);
        EXPECT_EQ(BuildRomImage(c), Reference(c));
    }
}

// ---- the documented edge cases --------------------------------------------------------

TEST(RomImage, SettingsBlockFromTheProject) {
    Lift::Editor::DisplayProject p;
    p.displaySide = 2;
    p.dateTimeEnabled = 1;
    p.powerSavingIndex = 16;
    p.logoSecondsIndex = 29;
    p.logoEnabled = true;
    p.idCode = "  AB ";
    p.messagePosition = 2;
    p.nodeAddress = 63;
    p.directionStyle = 4;
    p.messageMask = 10;
    p.defaultCodeTable = 2;
    const SettingsBlock s = MakeSettingsBlock(p);
    const SettingsBlock expected = {0, 2, 1, 16, 30, 1, 0x41, 0x42, 0, 0, 2, 63, 4, 0, 10, 2};
    EXPECT_EQ(s, expected);

    p.idCode = "ABCDE";
    EXPECT_EQ(MakeSettingsBlock(p)[9], 0x44);
    p.idCode = "";
    const SettingsBlock empty = MakeSettingsBlock(p);
    EXPECT_EQ(empty[6] | empty[7] | empty[8] | empty[9], 0);
    p.nodeAddress = 300; // low 8 bits only
    EXPECT_EQ(MakeSettingsBlock(p)[11], 300 & 0xFF);

    RomContent c;
    c.settings = s;
    const std::string image = BuildRomImage(c);
    EXPECT_EQ(image.substr(0x21A8, 16), std::string(s.begin(), s.end()));
}

TEST(RomImage, OversizedPicturesAreCutAtTheirAreaEnd) {
    RomContent c;
    for (auto& m : c.messages)
        m = Bytes(512, 9); // 64 x 64 pictures in 64 x 16 slots
    for (auto& style : c.directionFrames)
        for (auto& f : style)
            f = Bytes(600, 4);
    c.logo = Bytes(2000, 6);
    c.smallPictures.assign(39, Bytes(64, 8));
    c.picture040 = Bytes(1000, 7);
    RomBuildReport report;
    const std::string image = BuildRomImage(c, &report);
    EXPECT_EQ(image, Reference(c));
    EXPECT_EQ(report.messageBytes, 40u * 512);
    EXPECT_EQ(report.directionBytes, 60u * 600);
    // 10 pictures start inside the 5120-byte zone; the rest are left out.
    EXPECT_EQ(Be16(image, 0x27B8 + 2 * 9), 0x2808u + 9 * 512);
    EXPECT_EQ(Be16(image, 0x27B8 + 2 * 10), 0u);
    // 29 frames of 600 bytes start inside the 17280-byte zone: style 2 frame 4 is the last.
    EXPECT_EQ(Be16(image, 0x3C38 + 2 * 4), 0x3C80u + 28 * 600);
    EXPECT_EQ(Be16(image, 0x3C38 + 2 * 5), 0u);
}

} // namespace
