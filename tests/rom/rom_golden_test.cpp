// Whole images of a few projects against committed golden files. A deliberate change of the
// image is re-baselined with scripts/rebaseline-golden, never by hand; otherwise any
// difference fails with the first differing offset.

#include "rom/make_rom.h"
#include "support/golden.h"
#include "support/rom_fixture.h"
#include "support/scripted_ui.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

using namespace Lift;
using namespace Lift::Rom;
using namespace Lift::Test;

struct GoldenCase {
    const char* name;
    Editor::VersionSettings version;
    std::function<void(RomFixture&)> setUp;
    std::vector<std::string> log; // expected message-log lines
};

void CheckGolden(const GoldenCase& k) {
    SCOPED_TRACE(k.name);
    RomFixture f;
    k.setUp(f);
    ScriptedUi ui;
    const Editor::GlbLibrary glb = f.library();
    MakeRomContext c{f.project,
                     glb,
                     k.version,
                     f.startDirectory,
                     f.userFloorPictureRoot,
                     [] { return true; },
                     f.dir.file("rom.bin")};
    ASSERT_EQ(MakeRom(c, ui).result, MakeRomResult::Written) << testing::PrintToString(ui.calls);
    EXPECT_EQ(ui.log, k.log);
    const std::string image = ReadBytes(f.dir.file("rom.bin"));
    ASSERT_EQ(image.size(), 64512u);
    ExpectGolden(std::string("rom/") + k.name + ".bin", image);
}

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
    for (const auto& k : cases)
        CheckGolden(k);
}

} // namespace
