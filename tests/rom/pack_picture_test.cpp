#include "rom/black_picture.h"
#include "rom/bmp_layout.h"
#include "rom/pack_picture.h"
#include "support/bmp_writer.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <climits>
#include <filesystem>

using namespace Lift::Rom;
using namespace Lift::Test;
namespace fs = std::filesystem;

namespace {

const Rgb kBlack{0, 0, 0};
const Rgb kWhite{255, 255, 255};

// The packing rule read literally: build the turned picture pixel by pixel when asked, then
// walk bands, columns and the 8 rows of each band. Trailing bytes below the last full band
// are 0.
std::string referencePack(int w, int h, const std::vector<std::uint8_t>& black, bool rotated) {
    int pw = w, ph = h;
    std::vector<std::uint8_t> pic = black;
    if (rotated) {
        pw = h;
        ph = w;
        pic.assign(static_cast<size_t>(pw * ph), 0);
        for (int y = 0; y < ph; ++y)
            for (int x = 0; x < pw; ++x) // turned (x, y) = source (w - 1 - y, x)
                pic[static_cast<size_t>(y * pw + x)] =
                    black[static_cast<size_t>(x * w + (w - 1 - y))];
    }
    std::string out;
    out.push_back(static_cast<char>(pw % 256));
    out.push_back(static_cast<char>(pw / 256));
    out.push_back(static_cast<char>(ph % 256));
    out.push_back(static_cast<char>(ph / 256));
    for (int band = 0; band < ph / 8; ++band)
        for (int x = 0; x < pw; ++x) {
            int byte = 0;
            for (int k = 0; k < 8; ++k)
                if (pic[static_cast<size_t>((8 * band + k) * pw + x)])
                    byte += 1 << k;
            out.push_back(static_cast<char>(byte));
        }
    out.resize(static_cast<size_t>(4 + pw * ph / 8), '\0');
    return out;
}

// Deterministic pseudo-random picture of `colours`, with runs so that run-length forms get
// both repeated and literal stretches.
RgbPicture patternPicture(int w, int h, const std::vector<Rgb>& colours, unsigned seed) {
    RgbPicture p = FilledPicture(w, h, colours[0]);
    unsigned state = seed * 2654435761u + 1;
    size_t current = 0;
    for (auto& px : p.pixels) {
        state = state * 1103515245u + 12345u;
        if ((state >> 16) % 3 == 0)
            current = (state >> 8) % colours.size();
        px = colours[current];
    }
    return p;
}

// RLE8 picture of width 4 with the given stream; colour table of 2: `zero`, then white.
std::string rle8(const std::string& stream, int height = 2, Rgb zero = kBlack) {
    std::string bmp = "BM";
    bmp.append(12, '\0');
    std::string info(40, '\0');
    PutLe32(info, 0, 40);
    PutLe32(info, 4, 4);
    PutLe32(info, 8, static_cast<std::uint32_t>(height));
    PutLe16(info, 12, 1);
    PutLe16(info, 14, 8);
    PutLe32(info, 16, 1);
    PutLe32(info, 32, 2);
    bmp += info;
    bmp += std::string{static_cast<char>(zero.b), static_cast<char>(zero.g),
                       static_cast<char>(zero.r), 0};
    bmp += std::string("\xFF\xFF\xFF\0", 4);
    PutLe32(bmp, 10, static_cast<std::uint32_t>(bmp.size()));
    return bmp + stream;
}

} // namespace

// --- Every storage form against the reference packer -----------------------------------

TEST(PictureForms, EveryFormPacksLikeTheReference) {
    const std::vector<Rgb> many = {kBlack,       kWhite,       Rgb{1, 1, 1},       Rgb{0, 0, 1},
                                   Rgb{0, 1, 0}, Rgb{1, 0, 0}, Rgb{128, 128, 128}, Rgb{8, 0, 0},
                                   Rgb{0, 4, 0}, Rgb{0, 0, 8}, Rgb{7, 3, 7},       Rgb{0, 0, 255}};
    const std::vector<std::pair<int, int>> sizes = {{32, 64}, {64, 16}, {48, 48}, {13, 11},
                                                    {1, 1},   {8, 9},   {17, 3}};
    const BmpForm forms[] = {BmpForm::Mono,         BmpForm::Indexed4, BmpForm::Indexed8,
                             BmpForm::Rle4,         BmpForm::Rle8,     BmpForm::Rgb555,
                             BmpForm::Bitfields565, BmpForm::Rgb24,    BmpForm::Rgb32,
                             BmpForm::Bitfields32,  BmpForm::Argb32V5, BmpForm::Core24,
                             BmpForm::Core8};
    unsigned seed = 1;
    for (BmpForm form : forms) {
        const bool rle = form == BmpForm::Rle4 || form == BmpForm::Rle8;
        for (bool topDown : {false, true}) {
            if (topDown && (rle || form == BmpForm::Core24 || form == BmpForm::Core8))
                continue;
            for (auto [w, h] : sizes) {
                std::vector<Rgb> colours = many;
                if (form == BmpForm::Mono) // both table orders: black first and white first
                    colours = seed % 2 ? std::vector<Rgb>{kBlack, kWhite}
                                       : std::vector<Rgb>{kWhite, kBlack};
                const RgbPicture pic = patternPicture(w, h, colours, ++seed);
                const BmpFile bmp = WriteBmp(pic, form, topDown);
                for (bool rotated : {false, true}) {
                    std::string packed, reason;
                    ASSERT_TRUE(PackPictureBytes(bmp.bytes, rotated, packed, reason))
                        << FormName(form) << " " << w << "x" << h << ": " << reason;
                    EXPECT_EQ(packed, referencePack(w, h, bmp.black, rotated))
                        << FormName(form) << (topDown ? " top-down " : " ") << w << "x" << h
                        << (rotated ? " rotated" : "");
                }
            }
        }
    }
}

// --- Damaged pictures ---------------------------------------------------------------------

namespace {

std::string reasonFor(const std::string& bmp) {
    BlackPicture pic;
    std::string reason;
    if (DecodeBlackPicture(bmp, pic, reason))
        return "<decoded>";
    EXPECT_TRUE(pic.black.empty());
    return reason;
}

std::string base8() {
    return WriteBmp(patternPicture(4, 4, {kBlack, kWhite, Rgb{9, 9, 9}}, 5), BmpForm::Indexed8)
        .bytes;
}

std::string withLe32(std::string bmp, size_t at, std::uint32_t v) {
    PutLe32(bmp, at, v);
    return bmp;
}

std::string withLe16(std::string bmp, size_t at, std::uint16_t v) {
    PutLe16(bmp, at, v);
    return bmp;
}

std::string bitfields565(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    std::string bmp = WriteBmp(FilledPicture(2, 2, kBlack), BmpForm::Bitfields565).bytes;
    PutLe32(bmp, 54, r);
    PutLe32(bmp, 58, g);
    PutLe32(bmp, 62, b);
    return bmp;
}

} // namespace

TEST(DamagedPictures, HeaderFaultsAreNamed) {
    struct Case {
        const char* what;
        std::string bmp;
        const char* reason;
    };
    const std::string good = base8();
    const std::string oneBit =
        WriteBmp(patternPicture(8, 2, {kBlack, kWhite}, 1), BmpForm::Mono).bytes;
    const Case cases[] = {
        {"empty file", "", "not a BMP picture"},
        {"other format", "\x89PNG\r\n\x1a\n....", "not a BMP picture"},
        {"signature only", "BM", "header is truncated"},
        {"info header cut", good.substr(0, 30), "header is truncated"},
        {"unknown header size", withLe32(good, 14, 52), "header format (52 bytes)"},
        {"width 0", withLe32(good, 18, 0), "picture size 0 x 4"},
        {"negative width", withLe32(good, 18, static_cast<std::uint32_t>(-4)),
         "picture size -4 x 4"},
        {"height 0", withLe32(good, 22, 0), "picture size 4 x 0"},
        {"huge width", withLe32(good, 18, 100000), "must be 1..1024"},
        {"height one past the limit", withLe32(good, 22, kMaxPictureSide + 1), "must be 1..1024"},
        {"huge negative height", withLe32(good, 22, static_cast<std::uint32_t>(-3000)),
         "must be 1..1024"},
        {"most negative height", withLe32(good, 22, 0x80000000u), "must be 1..1024"},
        {"two planes", withLe16(good, 26, 2), "2 colour planes"},
        {"7 bits per pixel", withLe16(good, 28, 7), "7 bits per pixel"},
        {"unknown compression", withLe32(good, 30, 5), "compression 5"},
        {"RLE8 with 24 bits", withLe32(withLe16(good, 28, 24), 30, 1),
         "compression 1 with 24 bits"},
        {"colour table too big", withLe32(good, 46, 300), "300 entries"},
        {"colour table cut", good.substr(0, 54 + 4 + 2), "colour table is truncated"},
        {"pixel data offset past the end", withLe32(good, 10, 100000), "pixel data is missing"},
        {"pixel data cut", good.substr(0, good.size() - 1), "pixel data is truncated"},
        {"colour index past the table", withLe32(good, 46, 2), "colour 2 of a colour table with 2"},
        {"1-bit index past a 1-entry table", withLe32(oneBit, 46, 1), "uses colour 1"},
        {"zero red mask", bitfields565(0, 0x07E0, 0x001F), "mask of red is zero"},
        {"zero green mask", bitfields565(0xF800, 0, 0x001F), "mask of green is zero"},
        {"zero blue mask", bitfields565(0xF800, 0x07E0, 0), "mask of blue is zero"},
        {"split mask", bitfields565(0xF801, 0x07E0, 0x001E), "not contiguous"},
        {"10-bit mask", bitfields565(0xFFC0, 0x0030, 0x000F), "wider than 8 bits"},
        {"all-ones mask (was a shift by 32)", bitfields565(0xFFFFFFFFu, 0x07E0, 0x001F),
         "wider than 8 bits"},
        {"mask beyond 16 bits", bitfields565(0xF0000, 0x07E0, 0x001F), "outside the 16-bit pixel"},
    };
    for (const auto& c : cases)
        EXPECT_NE(reasonFor(c.bmp).find(c.reason), std::string::npos)
            << c.what << ": got \"" << reasonFor(c.bmp) << "\"";
}

TEST(DamagedPictures, RunLengthFaultsAreNamed) {
    using namespace std::string_literals;
    struct Case {
        const char* what;
        std::string bmp;
        const char* reason;
    };
    const Case cases[] = {
        {"well formed", rle8("\x04\x01\x00\x00\x04\x00\x00\x01"s), "<decoded>"},
        {"no end code after the last row", rle8("\x04\x01\x00\x00\x04\x00\x00\x00"s), "<decoded>"},
        {"run past the row", rle8("\x05\x01\x00\x01"s), "runs past the end of row 2 of 2"},
        {"second run past the row", rle8("\x03\x01\x02\x01\x00\x01"s),
         "runs past the end of row 2"},
        {"literal past the row", rle8("\x00\x05\x01\x00\x01\x00\x01\x00\x00\x01"s),
         "runs past the end of row 2"},
        {"run past the top row", rle8("\x04\x01\x00\x00\x02\x00\x03\x00\x00\x01"s),
         "runs past the end of row 1"},
        {"jump past the right edge", rle8("\x00\x02\x05\x00\x00\x01"s), "jumps outside"},
        {"jump past the last row", rle8("\x00\x02\x01\x02\x00\x01"s), "jumps outside"},
        {"jump below the picture", rle8("\x00\x02\x00\x03\x00\x01"s), "jumps outside"},
        {"stream ends early", rle8("\x04\x01\x00\x00"s), "compressed pixel data is truncated"},
        {"run without its colour", rle8("\x04"s), "compressed pixel data is truncated"},
        {"literal cut short", rle8("\x00\x04\x01\x00"s), "compressed pixel data is truncated"},
        {"jump cut short", rle8("\x00\x02\x01"s), "compressed pixel data is truncated"},
        {"index past the table", rle8("\x04\x07\x00\x01"s),
         "uses colour 7 of a colour table with 2"},
        {"stored top-down", withLe32(rle8("\x04\x01\x00\x01"s), 22, static_cast<std::uint32_t>(-2)),
         "cannot be stored top-down"},
    };
    for (const auto& c : cases)
        EXPECT_NE(reasonFor(c.bmp).find(c.reason), std::string::npos)
            << c.what << ": got \"" << reasonFor(c.bmp) << "\"";
}

TEST(DamagedPictures, ACutFileNeverDecodesToADifferentPicture) {
    const RgbPicture pic = patternPicture(13, 7, {kBlack, kWhite, Rgb{3, 3, 3}}, 11);
    for (BmpForm form : {BmpForm::Mono, BmpForm::Indexed4, BmpForm::Rle4, BmpForm::Rle8,
                         BmpForm::Rgb555, BmpForm::Rgb24, BmpForm::Argb32V5, BmpForm::Core8}) {
        RgbPicture p = pic;
        if (form == BmpForm::Mono)
            for (auto& px : p.pixels)
                if (px == Rgb{3, 3, 3})
                    px = kWhite;
        const BmpFile bmp = WriteBmp(p, form);
        for (size_t cut = 0; cut < bmp.bytes.size(); ++cut) {
            BlackPicture out;
            std::string reason;
            if (DecodeBlackPicture(std::string_view(bmp.bytes).substr(0, cut), out, reason))
                EXPECT_EQ(out.black, bmp.black) << FormName(form) << " cut at " << cut;
            else
                EXPECT_FALSE(reason.empty()) << FormName(form) << " cut at " << cut;
        }
    }
}

TEST(DamagedPictures, LargestAcceptedSizeDecodes) {
    // The limit itself must work.
    const BmpFile bmp =
        WriteBmp(FilledPicture(kMaxPictureSide, kMaxPictureSide, kBlack), BmpForm::Mono);
    BlackPicture pic;
    std::string reason;
    ASSERT_TRUE(DecodeBlackPicture(bmp.bytes, pic, reason)) << reason;
    EXPECT_EQ(pic.width, kMaxPictureSide);
    EXPECT_TRUE(pic.isBlack(kMaxPictureSide - 1, kMaxPictureSide - 1));

    // A few bytes of run-length data claiming the largest size: every pixel unwritten,
    // hence colour 0 (black here).
    std::string tiny = rle8(std::string("\x00\x01", 2), kMaxPictureSide);
    PutLe32(tiny, 18, kMaxPictureSide);
    ASSERT_TRUE(DecodeBlackPicture(tiny, pic, reason)) << reason;
    EXPECT_EQ(pic.black, std::vector<std::uint8_t>(kMaxPictureSide * kMaxPictureSide, 1));
}

// --- Files ---------------------------------------------------------------------------------

class PackPictureFiles : public ::testing::Test {
protected:
    TempDir dir;
    std::string source = dir.file("FIRE-16x64_EN.bmp");
    std::string target = dir.file("packed");
    BmpFile bmp = WriteBmp(patternPicture(64, 16, {kBlack, kWhite}, 21), BmpForm::Mono);
    void SetUp() override { WriteBytes(source, bmp.bytes); }
};

TEST_F(PackPictureFiles, OrientationFollowsDisphv) {
    std::string error;
    ASSERT_TRUE(PackPicture(source, target, 1, error)) << error;
    EXPECT_EQ(ReadBytes(target), referencePack(64, 16, bmp.black, true));
    for (int disphv : {0, 2, -1}) {
        ASSERT_TRUE(PackPicture(source, target, disphv, error)) << error;
        EXPECT_EQ(ReadBytes(target), referencePack(64, 16, bmp.black, false)) << disphv;
    }
    ASSERT_TRUE(PackPictureRotated(source, target, error)) << error;
    EXPECT_EQ(ReadBytes(target), referencePack(64, 16, bmp.black, true));
    EXPECT_EQ(ReadBytes(source), bmp.bytes) << "the source stays in place";
}

TEST_F(PackPictureFiles, UnusableSourceIsReportedAndTargetKept) {
    WriteBytes(target, "previous");
    std::string error;
    EXPECT_FALSE(PackPicture(dir.file("missing.bmp"), target, 0, error));
    EXPECT_NE(error.find("missing.bmp"), std::string::npos) << error;

    WriteBytes(source, bmp.bytes.substr(0, bmp.bytes.size() - 3));
    EXPECT_FALSE(PackPictureRotated(source, target, error));
    EXPECT_EQ(error, source + ": the pixel data is truncated");
    EXPECT_EQ(ReadBytes(target), "previous");

    const std::string huge = dir.file("huge.bmp");
    WriteBytes(huge, "BM");
    fs::resize_file(huge, kMaxPictureFileBytes);
    EXPECT_FALSE(PackPicture(huge, target, 1, error));
    EXPECT_EQ(error.find("too large"), std::string::npos) << "the limit itself is allowed";
    fs::resize_file(huge, kMaxPictureFileBytes + 1);
    EXPECT_FALSE(PackPicture(huge, target, 1, error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
    EXPECT_EQ(ReadBytes(target), "previous");

    // Read, a pipe would block (and a device such as /dev/zero never end).
    const std::string pipe = dir.file("pipe.bmp");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_FALSE(PackPicture(pipe, target, 1, error));
    EXPECT_EQ(error, pipe + ": not a file that can hold a picture");
}
