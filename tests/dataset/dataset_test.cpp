// Checks the bundled data set (data/) against the rules the editor and MAKE ROM rely on:
// file names, GLB item numbers, picture sizes, pure black-and-white pixels, the packed
// sizes of the ROM areas and the settings file's versions.
// The library and the settings file are read as the editor reads them; pictures are decoded
// with QImage and packed by a small loop written from the format, to check the product's
// packer against.

#include "editor/glb_library.h"
#include "rom/pack_picture.h"
#include "support/temp_dir.h"
#include "util/ty_ini_file.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Lift::Test::ReadBytes;

namespace {

const fs::path kData = fs::path(LIFT_SOURCE_DIR) / "data";

// An item of the shipped library, read as the editor reads it; empty when absent.
std::string item(int group, int number) {
    static const Lift::Editor::GlbLibrary glb = [] {
        Lift::Editor::GlbLibrary loaded;
        std::string error;
        EXPECT_TRUE(Lift::Editor::LoadGlbFile((kData / "P620BX7.GLB").string(), loaded, &error))
            << error;
        return loaded;
    }();
    return std::string(glb.item(group, number).value_or(""));
}

QImage decode(const std::string& bmp) {
    return QImage::fromData(reinterpret_cast<const uchar*>(bmp.data()), int(bmp.size()), "BMP");
}

QImage picture(const fs::path& path) {
    return decode(ReadBytes(path.string()));
}

bool isBlack(const QImage& img, int x, int y) {
    return (img.pixel(x, y) & 0xFFFFFF) == 0;
}

// Pixels of exactly this colour (black: 0).
int pixelsOf(const QImage& img, QRgb rgb) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += (img.pixel(x, y) & 0xFFFFFF) == rgb;
    return n;
}

// The packed data bytes of a picture: bands of 8 rows, one byte per column, bit k = row
// 8*band + k, 1 = black; (W*H)/8 bytes. Turned a quarter counter-clockwise first when
// `turned`, as the controller versions with DISPHV 1 pack.
std::string pack(const QImage& src, bool turned) {
    const int w = turned ? src.height() : src.width();
    const int h = turned ? src.width() : src.height();
    auto black = [&](int x, int y) {
        return turned ? isBlack(src, src.width() - 1 - y, x) : isBlack(src, x, y);
    };
    std::string out;
    for (int band = 0; band < h / 8; ++band)
        for (int x = 0; x < w; ++x) {
            unsigned byte = 0;
            for (int k = 0; k < 8; ++k)
                if (black(x, 8 * band + k))
                    byte |= 1u << k;
            out += char(byte);
        }
    out.resize(std::size_t(w) * h / 8, '\0');
    return out;
}

// Packed data bytes of a picture: one bit a pixel, whichever way it is turned.
std::size_t packedSize(const QImage& picture) {
    return std::size_t(picture.width()) * std::size_t(picture.height()) / 8;
}

const std::string kFloorChars = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-";

// ROM areas the pictures are packed into.
constexpr std::size_t kSmallPictureArea = 512;
constexpr std::size_t kMessageZone = 5120;
constexpr std::size_t kDirectionZone = 17280;
constexpr std::size_t kGlyphZoneLimit = 10240;
constexpr std::size_t kFloorZone = 28672;

std::vector<std::string> userFloorLabels(int style) {
    std::vector<std::string> labels;
    const fs::path dir =
        kData / "DefaultImage2/UserDefine/Floor" / ("Style" + std::to_string(style));
    if (!fs::is_directory(dir))
        return labels;
    for (const auto& e : fs::directory_iterator(dir))
        labels.push_back(e.path().filename().string());
    std::sort(labels.begin(), labels.end());
    return labels;
}

} // namespace

// ---- The folder as a whole ------------------------------------------------------------

TEST(DataSet, StaysSmallAndItsBlankPictureIsWhite) {
    std::uintmax_t total = 0;
    for (const auto& e : fs::recursive_directory_iterator(kData))
        if (e.is_regular_file())
            total += e.file_size();
    EXPECT_LT(total, 2u * 1024 * 1024);
    const QImage blank = picture(kData / "SPACE_240x240.bmp");
    EXPECT_EQ(blank.size(), QSize(240, 240));
    EXPECT_EQ(pixelsOf(blank, 0), 0);
}

// ---- Settings file --------------------------------------------------------------------

TEST(DataSetSettings, VersionsAndTheirDataBlocksInTheLibrary) {
    // Through the INI engine, on a copy: the committed file stays as made.
    Lift::Test::TempDir dir;
    Lift::Test::WriteBytes(dir.file("S.INI"), ReadBytes((kData / "ZEBPRV620BX7.INI").string()));
    YVclUtil::TYIniFile ini(dir.file("S.INI"));
    const auto param = [&](const std::string& version, const char* key) { // -1: no such key
        return ini.ValueExists(version, key) ? ini.ReadInteger(version, key, -1) : -1;
    };
    std::vector<std::string> names;
    for (int i = 1; i <= ini.ReadInteger("GLOBAL", "VCN", 0); ++i)
        names.push_back(ini.ReadString("GLOBAL", "ITEM" + std::to_string(i), ""));
    EXPECT_EQ(ini.ReadString("GLOBAL", "GLB", ""), "P620BX7.GLB");
    ASSERT_GE(names.size(), 4u);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
    // The first listed version is the one selected at start: the standard one.
    EXPECT_EQ(param(names.front(), "ENCODE"), 1);
    EXPECT_EQ(param(names.front(), "DISPHV"), 1);
    EXPECT_EQ(param("ZEB-GRY", "ENCODE"), 1);
    std::set<int> disphv, encode;
    for (const std::string& name : names) {
        disphv.insert(param(name, "DISPHV"));
        encode.insert(param(name, "ENCODE"));
        // Data blocks at their area sizes, on no item number a picture takes.
        const int cfi = param(name, "CFI"), ifi = param(name, "IFI");
        for (int n : {cfi, ifi}) // not the start-up picture, the layouts nor a frame
            EXPECT_TRUE(n > 0 && n < 50 && (n < 30 || n > 32) && n != 40) << name;
        EXPECT_EQ(item(0, cfi).size(), 7168u) << name << " CFI " << cfi;
        EXPECT_EQ(item(0, ifi).size(), 1792u) << name << " IFI " << ifi;
    }
    EXPECT_EQ(disphv, (std::set<int>{0, 1}));
    EXPECT_EQ(encode, (std::set<int>{0, 1}));
    // A version missing from the file reads CFI 0: no block may answer for it.
    EXPECT_TRUE(item(0, 0).empty());
}

// ---- Pictures and their ROM areas -------------------------------------------------------

TEST(DataSetGlb, GlyphsFramesAndSmallPicturesFitTheirZones) {
    for (int style = 0; style < 4; ++style) {
        std::size_t packed = 0;
        for (char c : kFloorChars) {
            const QImage glyph = decode(item(style + 1, c));
            EXPECT_EQ(glyph.size(), QSize(32, 64)) << style << c;
            EXPECT_GT(pixelsOf(glyph, 0), 20) << style << c;
            packed += packedSize(glyph);
        }
        // Even a project using every character keeps the glyphs within their zone.
        EXPECT_LE(packed, kGlyphZoneLimit) << style;
        // No lower-case glyphs: labels are upper-cased before they are looked up.
        EXPECT_TRUE(item(style + 1, 'a').empty());
    }
    std::size_t frames = 0;
    for (int style = 0; style < 5; ++style) {
        std::set<std::string> distinct;
        for (int k = 0; k < 12; ++k) {
            const QImage frame = decode(item(0, 50 + 20 * style + k));
            EXPECT_EQ(frame.size(), QSize(48, 48));
            distinct.insert(pack(frame, false));
            frames += packedSize(frame);
        }
        // Style 0 stands still; the others move.
        EXPECT_EQ(distinct.size() > 1, style != 0) << style;
    }
    EXPECT_EQ(frames, kDirectionZone);
    std::size_t small = 0;
    for (int i = 0; i < 39; ++i) {
        const QImage picture = decode(item(7, i));
        // Whole bands either way, so every packed byte is defined.
        EXPECT_TRUE(picture.width() % 8 == 0 && picture.height() % 8 == 0) << i;
        small += packedSize(picture);
    }
    EXPECT_LE(small, kSmallPictureArea);
}

TEST(DataSetLiftStates, FortyPicturesNamedAsTheEditorBuildsThem) {
    const char* const stems[10] = {"FIRE",     "QUAKE", "ALARM", "OUT_OF_SERVICE", "OVERLOAD",
                                   "MAINTAIN", "FULL",  "VIP",   "PARKING",        "IND"};
    const fs::path dir = kData / "DefaultImage2/LiftState";
    std::set<std::string> expected;
    std::size_t packed = 0;
    for (int row = 0; row < 10; ++row) {
        // Row 2 says ALARM in English and BREAKDOWN in Chinese.
        const std::string en = stems[row];
        const std::string cht = row == 2 ? "BREAKDOWN" : stems[row];
        const std::string names[4] = {en + "-16x64_EN.bmp", cht + "-16x64_CHT.bmp",
                                      en + "-INV-16x64_EN.bmp", cht + "-INV-16x64_CHT.bmp"};
        QImage pictures[4];
        for (int column = 0; column < 4; ++column) {
            expected.insert(names[column]);
            pictures[column] = picture(dir / names[column]);
            EXPECT_EQ(pictures[column].size(), QSize(64, 16)) << names[column];
            packed += packedSize(pictures[column]);
        }
        for (int column = 0; column < 2; ++column) {
            const int ink = pixelsOf(pictures[column], 0);
            EXPECT_TRUE(ink > 40 && ink < 64 * 16 / 2) << names[column] << " is black on white";
            QImage inverse = pictures[column + 2].convertToFormat(QImage::Format_RGB32);
            inverse.invertPixels();
            EXPECT_EQ(inverse, pictures[column].convertToFormat(QImage::Format_RGB32))
                << names[column + 2] << " is the exact inverse";
        }
    }
    std::set<std::string> present;
    for (const auto& e : fs::directory_iterator(dir))
        present.insert(e.path().filename().string());
    EXPECT_EQ(present, expected);
    EXPECT_EQ(packed, kMessageZone);
}

TEST(DataSetUserFloors, EachStyleHasTheSameUpperCaseLabelsAt64By64) {
    const auto labels = userFloorLabels(0);
    ASSERT_GE(labels.size(), 2u);
    for (int style = 0; style < 4; ++style) {
        EXPECT_EQ(userFloorLabels(style), labels) << "style " << style;
        std::size_t packed = kFloorChars.size() * 32 * 64 / 8; // and every glyph of the style
        for (const std::string& file : labels) {
            // MAKE ROM looks for the upper-cased label + ".bmp": the name must be exactly that.
            const std::size_t dot = file.size() - 4;
            EXPECT_TRUE(dot >= 3 && file.substr(dot) == ".bmp") << file;
            EXPECT_EQ(file.find_first_not_of(kFloorChars), dot) << file;
            const QImage user = picture(kData / "DefaultImage2/UserDefine/Floor" /
                                        ("Style" + std::to_string(style)) / file);
            EXPECT_EQ(user.size(), QSize(64, 64)) << file;
            EXPECT_GT(pixelsOf(user, 0), 200) << file;
            packed += packedSize(user);
        }
        EXPECT_LE(packed, kFloorZone) << style;
    }
}
// ---- The editor's own reader and packer on the shipped files --------------------------

TEST(DataSetWithTheEditor, EveryPictureIsBlackAndWhiteAndPacksExactlyAsQImageReadsIt) {
    // Every picture shipped: the BMP files of the folder and the BMP items of the library.
    std::vector<std::pair<std::string, std::string>> pictures; // what, BMP bytes
    for (const auto& e : fs::recursive_directory_iterator(kData))
        if (e.path().extension() == ".bmp")
            pictures.emplace_back(e.path().string(), ReadBytes(e.path().string()));
    for (int g = 0; g < 8; ++g)
        for (int n = 0; n < 256; ++n)
            if (std::string bmp = item(g, n); bmp.compare(0, 2, "BM") == 0)
                pictures.emplace_back("item " + std::to_string(g) + "," + std::to_string(n), bmp);
    ASSERT_GT(pictures.size(), 250u);
    for (const auto& [what, bmp] : pictures) {
        const QImage image = decode(bmp);
        ASSERT_FALSE(image.isNull()) << what;
        // Exactly black or white: what the packer turns into 1 and 0 bits.
        EXPECT_EQ(pixelsOf(image, 0) + pixelsOf(image, 0xFFFFFF), image.width() * image.height())
            << what;
        for (bool turned : {false, true}) {
            std::string packed, reason;
            ASSERT_TRUE(Lift::Rom::PackPictureBytes(bmp, turned, packed, reason))
                << what << ": " << reason;
            const int w = turned ? image.height() : image.width();
            const int h = turned ? image.width() : image.height();
            const std::string header = {char(w & 0xFF), char(w >> 8), char(h & 0xFF), char(h >> 8)};
            EXPECT_EQ(packed, header + pack(image, turned)) << what << (turned ? " turned" : "");
        }
    }
}
