// MAKE ROM: checks, texts, label removal, overflow rules,
// file name, and that nothing of the user's is touched beyond the image and the temporary
// picture file.

#include "rom/make_rom.h"
#include "support/error_box_recorder.h"
#include "support/rom_fixture.h"
#include "support/scripted_ui.h"
#include "util/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace Lift;
using namespace Lift::Rom;
using namespace Lift::Test;
namespace fs = std::filesystem;

const std::string kOk = "message: Status | PRM-620BX7 Make ROM OK\n\n";

class MakeRomTest : public ::testing::Test {
protected:
    RomFixture f;
    ScriptedUi ui;
    ErrorBoxRecorder boxes;
    Editor::VersionSettings version;
    int saves = 0;
    bool saveAnswer = true;
    Editor::GlbLibrary glb;
    std::optional<std::string> outputPath;

    MakeRomOutcome run() {
        glb = f.library();
        MakeRomContext c{f.project,
                         glb,
                         version,
                         f.startDirectory,
                         f.userFloorPictureRoot,
                         [this] {
                             ++saves;
                             return saveAnswer;
                         },
                         outputPath};
        return MakeRom(c, ui);
    }
    std::string romPath() const { return f.dir.file("PRM620BX7.BIN"); }
    std::string image() const { return ReadBytes(romPath()); }
};

// ---- checks before building ------------------------------------------------------------

TEST_F(MakeRomTest, BlankLabelsOnlyOrACancelledSaveStopBeforeBuilding) {
    f.project.codeTables[0][1].clear();
    f.project.codeTables[2][7] = " \t";
    EXPECT_EQ(run().result, MakeRomResult::AllTablesEmpty);
    EXPECT_EQ(saves, 0);
    f.project.codeTables[2][7] = "7";
    saveAnswer = false;
    EXPECT_EQ(run().result, MakeRomResult::SaveAborted);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{"Warning | All CTBL is empty!!\n\n",
                                                       "Make ROM abort | User abort!!\n"}));
    EXPECT_EQ(ui.busyMax, 0);
    EXPECT_FALSE(fs::exists(romPath()));
}

// ---- overflow rules ----------------------------------------------------------------------

TEST_F(MakeRomTest, GlyphDataOver10240BytesIsReportedButBuilt) {
    // 29 more glyphs: 41 in all. Lower-case labels need the upper-case glyphs.
    const std::string more = "abcdefghijklmnopqrtuvwxyz[]#$";
    for (std::size_t i = 0; i < more.size(); ++i) {
        f.addGlyph(static_cast<unsigned char>(std::toupper(more[i])));
        f.project.codeTables[0][10 + i] = std::string(1, more[i]);
    }
    f.project.codeTables[0][10].clear(); // 40 glyphs fill the 10240 bytes exactly
    ASSERT_EQ(run().result, MakeRomResult::Written);
    EXPECT_TRUE(ui.log.empty());
    f.project.codeTables[0][10] = "a";
    ASSERT_EQ(run().result, MakeRomResult::Written);
    EXPECT_EQ(ui.log, std::vector<std::string>{"[Error] Floor BMP zone full!! -- [ 10496 ]"});
    EXPECT_EQ(ui.calls.back(), kOk);
}

TEST_F(MakeRomTest, FloorZoneOf28672BytesFitsAndOneMoreByteStops) {
    // 12 default glyphs + 44 more = 56 glyphs (14336 bytes), then 28 user pictures.
    int added = 0;
    for (int ch = 33; added < 44; ++ch) {
        if (ch == '-' || ch == 'S' || (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'z'))
            continue;
        f.addGlyph(static_cast<unsigned char>(ch));
        f.project.codeTables[1][added] = std::string(1, static_cast<char>(ch));
        ++added;
    }
    for (int u = 0; u < 28; ++u) {
        const std::string name = "U" + std::to_string(100 + u);
        f.writeUserPicture(0, name + ".bmp");
        f.project.codeTables[2][u] = name;
    }
    f.project.codeTables[2][200] = "GONE"; // its warning comes before the overflow box
    ASSERT_EQ(run().result, MakeRomResult::Written);
    EXPECT_EQ(image().substr(0x8100 + 2 * 27, 2), std::string("\xF2\x00", 2)); // 0xF400 - 512
    ASSERT_EQ(ui.log.size(), 2u); // zone-full line and GONE
    EXPECT_EQ(ui.log[0], "[Error] Floor BMP zone full!! -- [ 14336 ]");

    const std::string before = image();
    f.writeUserPicture(0, "U127.bmp", 57, 72); // 513 data bytes in either orientation
    f.project.codeTables[2][200] = "GONE";
    ui.calls.clear();
    ui.log.clear();
    EXPECT_EQ(run().result, MakeRomResult::FloorOverflow);
    ASSERT_EQ(ui.calls.size(), 3u) << testing::PrintToString(ui.calls);
    EXPECT_EQ(ui.calls[1], "log: [Warning] CTBL2-C8 (200 ) not found --> auto cancel !!!");
    EXPECT_EQ(ui.calls[2], "message: Element overflow | FL element overflow!!\n\n");
    EXPECT_EQ(f.project.codeTables[2][200], "");
    EXPECT_EQ(image(), before); // no image written
    EXPECT_EQ(ui.busyDepth, 0);
}

// ---- GLB data blocks ---------------------------------------------------------------------

TEST_F(MakeRomTest, MissingDataBlocksStopWithGlbFileError) {
    f.glb.add(0, 41, "");                            // no IFI
    ASSERT_EQ(run().result, MakeRomResult::Written); // ENCODE 1 does not need it
    version.encode = 0;
    EXPECT_EQ(run().result, MakeRomResult::GlbItemMissing);
    version = {};
    f.glb.add(0, 40, "");
    ui.calls.clear();
    EXPECT_EQ(run().result, MakeRomResult::GlbItemMissing);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"File error | GLB File error!!"});
    EXPECT_EQ(ui.busyDepth, 0);
}

// ---- pictures that cannot be used ------------------------------------------------------

TEST_F(MakeRomTest, UndecodablePicturesStopWithTheDecodersText) {
    struct Case {
        const char* name;
        std::function<void(RomFixture&)> damage;
        const char* textPart;
    };
    const std::vector<Case> cases = {
        {"slot", [](RomFixture& fx) { WriteBytes(fx.slotPath(3, 2), "BMnot a picture"); },
         "OUT_OF_SERVICE-INV-16x64_EN.bmp: "},
        {"glyph of another style", [](RomFixture& fx) { fx.glb.add(4, '7', "BM\x01\x02"); },
         "GLB item (4, 55): "},
        {"missing logo", [](RomFixture& fx) { fx.project.logoFile = fx.dir.file("logo.bmp"); },
         "logo.bmp"},
        {"missing small picture", [](RomFixture& fx) { fx.glb.add(7, 38, ""); },
         "GLB item (7, 38): "},
        {"direction frame", [](RomFixture& fx) { fx.glb.add(0, 91, "BM\x01"); },
         "GLB item (0, 91): "},
        {"user picture",
         [](RomFixture& fx) {
             WriteBytes(fx.userFloorPictureRoot + "0/BAD.bmp", std::string(70, 'x'));
             fx.project.codeTables[0][4] = "BAD";
         },
         "BAD.bmp: "},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const Editor::DisplayProject savedProject = f.project;
        const GlbBuilder savedGlb = f.glb;
        const std::string savedSlot = ReadBytes(f.slotPath(3, 2));
        k.damage(f);
        boxes.clear();
        ui.calls.clear();
        EXPECT_EQ(run().result, MakeRomResult::PictureError);
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_EQ(boxes.at(0).caption, "Error");
        EXPECT_NE(boxes.at(0).text.find(k.textPart), std::string::npos) << boxes.at(0).text;
        EXPECT_FALSE(fs::exists(romPath()));
        EXPECT_TRUE(ui.messages().empty());
        EXPECT_EQ(ui.busyDepth, 0);
        f.project = savedProject;
        f.glb = savedGlb;
        WriteBytes(f.slotPath(3, 2), savedSlot);
    }
}

// ---- the image file --------------------------------------------------------------------

TEST_F(MakeRomTest, FileNameRule) {
    f.project.romFileName = " rom.bin ";
    ASSERT_EQ(run().result, MakeRomResult::Written);
    EXPECT_EQ(ReadBytes(f.dir.file("rom.BIN")).size(), 64512u);
    EXPECT_EQ(f.project.romFileName, " rom.bin "); // the edit is the save's business
    outputPath = f.dir.file("out/x.rom");
    fs::create_directories(f.dir.file("out"));
    ASSERT_EQ(run().result, MakeRomResult::Written);
    EXPECT_EQ(ReadBytes(*outputPath).size(), 64512u);
}

TEST_F(MakeRomTest, UnwritableImageIsReportedAndTheOldFileKept) {
    WriteBytes(romPath(), "old image");
    {
        Util::FileFaultInjection fault(Util::FileFault::DiskFull);
        EXPECT_EQ(run().result, MakeRomResult::WriteFailed);
    }
    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("File error | ", 0), 0u);
    EXPECT_NE(messages[0].find("PRM620BX7.BIN"), std::string::npos);
    EXPECT_EQ(ReadBytes(romPath()), "old image");
    EXPECT_EQ(ui.busyDepth, 0);
}

} // namespace
