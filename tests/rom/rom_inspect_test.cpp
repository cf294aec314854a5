// Whole images against golden files, and reading them back: what MAKE ROM placed is what
// inspect finds, and damaged images are described without reading outside them.

#include "rom/make_rom.h"
#include "rom/pack_picture.h"
#include "rom/rom_image.h"
#include "rom/rom_inspect.h"
#include "support/golden.h"
#include "support/rom_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace {

using namespace Lift;
using namespace Lift::Rom;
using namespace Lift::Test;

// Whole images of a few projects against committed golden files. A deliberate change of the
// image is re-baselined with scripts/rebaseline-golden, never by hand; otherwise any
// difference fails with the first differing offset.
struct GoldenCase {
    const char* name;
    Editor::VersionSettings version;
    std::function<void(RomFixture&)> setUp;
    std::vector<std::string> log; // expected message-log lines
};

TEST(RomGolden, SmallProjects) {
    const std::vector<GoldenCase> cases = {
        {"minimal", Editor::VersionSettings{}, [](RomFixture&) {}, {}},
        {"full_tables",
         Editor::VersionSettings{1, 41, 0, 0},
         [](RomFixture& f) {
             for (int t = 0; t < 3; ++t)
                 for (int r = 0; r < 64; ++r)
                     f.project.codeTables[t][r] = r == 0 ? "B1" : std::to_string(r + t * 10 - 1);
             f.addGlyph('B');
             f.writeUserPicture(1, "LOBBY.bmp");
             f.writeUserPicture(1, "roof.bmp");
             f.project.codeTables[0][100] = "lobby";
             f.project.codeTables[1][101] = "ROOF";
             f.project.codeTables[2][100] = "LOBBY";
             f.project.floorStyle = 1;
             f.project.directionStyle = 3;
             f.project.idCode = "HBT1";
             f.project.nodeAddress = 9;
             f.project.logoEnabled = true;
             f.project.logoSecondsIndex = 4;
             f.project.logoFile = f.dir.file("logo.bmp");
             WriteBytes(f.project.logoFile, PatternBmp(64, 64, 5));
         },
         {}},
        {"gaps",
         Editor::VersionSettings{},
         [](RomFixture& f) {
             std::filesystem::remove(f.slotPath(0, 1));
             std::filesystem::remove(f.slotPath(5, 3));
             f.glb.add(0, 50 + 20 * 2 + 1, ""); // direction style 2, frame 1
             f.glb.add(2, '7', "");             // style 1 has no 7
             f.project.codeTables[1][10] = "GONE";
             f.project.codeTables[0][5] = "07";
             f.project.messagePosition = 2;
             f.project.displaySide = 2;
         },
         {"[Warning] CTBL1-0A (10 ) not found --> auto cancel !!!"}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        RomFixture f;
        k.setUp(f);
        std::vector<std::string> log;
        const std::string image = f.build(f.project, k.version, &log);
        EXPECT_EQ(log, k.log);
        ASSERT_EQ(image.size(), 64512u);
        ExpectGolden(std::string("rom/") + k.name + ".bin", image);
    }
}

TEST(RomInspect, FindsEverythingMakeRomPlaced) {
    RomFixture f;
    f.addGlyph('B');
    f.project.codeTables[0][0] = "b1";
    f.project.codeTables[1][3] = "05";
    f.writeUserPicture(0, "LOBBY.bmp");
    f.project.codeTables[2][10] = "LOBBY";
    f.project.nodeAddress = 54;
    f.project.idCode = "HB";
    const std::string image = f.build(f.project);

    RomInspection r;
    std::string error;
    ASSERT_TRUE(InspectRomImage(image, 1, r, error)) << error;
    EXPECT_EQ(r.settings[SettingsNodeAddress], 54);
    EXPECT_TRUE(r.ifiHoldsPattern);
    EXPECT_EQ(r.cfiStart[0], 0x11); // unmasked

    ASSERT_EQ(r.codes.size(), 4u);
    EXPECT_EQ(r.codes[0].label(), "B1");
    EXPECT_EQ(r.codes[1].label(), "1");
    EXPECT_EQ(r.codes[2].label(), "5");
    EXPECT_TRUE(r.codes[3].userPicture());

    std::string glyphs;
    for (const auto& g : r.glyphs) {
        glyphs += static_cast<char>(g.number);
        EXPECT_TRUE(g.insideZone);
    }
    EXPECT_EQ(glyphs, "-0123456789BS");
    ASSERT_EQ(r.userPictures.size(), 1u);
    EXPECT_EQ(r.userPictures[0].offset, 0x8400u + 13 * 256);
    EXPECT_EQ(r.directionFrames.size(), 60u);
    EXPECT_EQ(r.messages.size(), 40u);
    EXPECT_EQ(r.zones[0].free(), 28672u - 13 * 256 - 512);
    EXPECT_EQ(r.zones[1].free(), 0u);
    EXPECT_EQ(r.zones[2].free(), 0u);

    const std::string text = DescribeRomImage(r);
    for (const char* part :
         {"00 (0 ) -> B1", "03 (3 ) -> 5", "0A (10 ) -> user floor picture 0", "node address: 54", "direction style: 0",
          "ID code: \"HB\" (48 42 00 00)", "B (66) at 0x8F00", "style 4 frame 11 at 0x7EE0",
          "floor zone: 24832 of 28672 bytes free", "Messages: 40"})
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
}

TEST(RomInspect, UnpackingUndoesPacking) {
    for (bool rotated : {false, true}) {
        for (auto [w, h] : {std::pair{32, 64}, {48, 48}, {64, 16}}) {
            SCOPED_TRACE(testing::Message() << rotated << " " << w << "x" << h);
            BlackPicture p;
            p.width = w;
            p.height = h;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    p.black.push_back((x * 5 + y * 3) % 4 == 0 ? 1 : 0);
            const std::string packed = PackBlackPicture(p, rotated);
            const int pw = packed[0] | (packed[1] << 8), ph = packed[2] | (packed[3] << 8);
            EXPECT_EQ(UnpackPicture(std::string_view(packed).substr(4), pw, ph, rotated), p.black);
        }
    }
    // Short data reads as white rather than past the end.
    const auto partial = UnpackPicture("\xFF", 8, 16, false);
    EXPECT_EQ(std::count(partial.begin(), partial.end(), 1), 8); // column 0 of the first band
}

TEST(RomInspect, RefusesWrongSizesAndFlagsOffsetsOutsideTheirZone) {
    RomInspection r;
    std::string error;
    EXPECT_FALSE(InspectRomImage(std::string(64511, '\0'), 1, r, error));
    EXPECT_EQ(error, "the file has 64511 bytes; a ROM image has 64512");
    EXPECT_FALSE(InspectRomImage("", 0, r, error));

    std::string image = BuildRomImage(RomContent{});
    image[0x8000 + 2 * 'A'] = '\xF3'; // glyph A at 0xF3FF: would end in the IFI area
    image[0x8000 + 2 * 'A' + 1] = '\xFF';
    image[0x27B8] = '\x01'; // message 0 at 0x0100: not in the message zone
    image[0x21B8] = '\xFE'; // CTBL0 code 0 names user picture 200: past the index
    image[0x22B8] = '\xC8';
    ASSERT_TRUE(InspectRomImage(image, 0, r, error));
    ASSERT_EQ(r.glyphs.size(), 1u);
    EXPECT_FALSE(r.glyphs[0].insideZone);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_FALSE(r.messages[0].insideZone);
    ASSERT_EQ(r.userPictures.size(), 1u);
    EXPECT_FALSE(r.userPictures[0].insideZone);
    EXPECT_EQ(r.zones[0].free(), 28672u);
    const std::string text = DescribeRomImage(r);
    EXPECT_NE(text.find("A (65) at 0xF3FF (outside its zone!)"), std::string::npos) << text;
}

} // namespace
