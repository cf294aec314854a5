// Start-up and what it reads: the settings file and the GLB library.

#include "editor/start_up.h"

#include "editor/extract_glb_item.h"
#include "editor/glb_library.h"
#include "editor/program_settings.h"
#include "support/error_box_recorder.h"
#include "support/glb_builder.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "util/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace Lift;
using namespace Lift::Editor;
using Lift::Test::GlbBuilder;
using Lift::Test::ReadBytes;
using Lift::Test::TempDir;
using Lift::Test::WriteBytes;
namespace fs = std::filesystem;

namespace {

const std::string kData = std::string(LIFT_SOURCE_DIR) + "/data";

// A working folder holding copies of the bundled settings file, library and blank picture;
// the bundled data folder serves as program folder.
class StartUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"ZEBPRV620BX7.INI", "P620BX7.GLB", "SPACE_240x240.bmp"})
            fs::copy_file(kData + "/" + name, work.file(name));
    }
    bool start() {
        return Editor::RunStartUp(session, ui, {kData + "//", work.path().string() + "/"});
    }
    bool shown(Editor::PictureBox box, int index) const {
        const std::string prefix =
            std::to_string(static_cast<int>(box)) + " " + std::to_string(index) + ": ";
        for (const auto& p : ui.pictures)
            if (p.rfind(prefix, 0) == 0)
                return true;
        return false;
    }

    Lift::Test::TempDir work;
    Editor::EditorSession session;
    Lift::Test::ScriptedUi ui;
};

} // namespace

TEST_F(StartUpTest, BundledDataStartsCompletely) {
    WriteBytes(work.file("ZEB_TEMPBMP.BMP"), "left over from an earlier run");
    ASSERT_TRUE(start());
    const auto& program = session.program;
    EXPECT_EQ(program.programDirectory, kData + "/");
    EXPECT_EQ(program.startDirectory, work.path().string());
    EXPECT_EQ(program.blankPicturePath, work.file("SPACE_240x240.bmp"));
    EXPECT_EQ(program.userFloorPictureRoot, kData + "/DefaultImage2/UserDefine/Floor/Style");
    EXPECT_TRUE(program.glbData.isLoaded());
    EXPECT_EQ(program.glbDate.size(), 6u);
    EXPECT_EQ(program.userGlbDate, "");
    EXPECT_EQ(program.caption,
              "PRM-620BX7 Lift LCD Editor (R2-Build100429)  [ " + program.glbDate + " /  ]");
    EXPECT_EQ(session.project.versionName, "ZEB-STD");
    EXPECT_EQ(session.project.versionIndex, 0);
    EXPECT_EQ(ui.status[0], "Project file:");
    EXPECT_EQ(ui.status[1], "Version: ZEB-STD");
    EXPECT_EQ(ui.status[2], "P620BX7.GLB / ");
    EXPECT_TRUE(ui.messages().empty());

    for (int s = 0; s < 4; ++s)
        EXPECT_TRUE(shown(Editor::PictureBox::FloorStylePreview, s)) << s;
    for (int s = 0; s < 5; ++s)
        EXPECT_TRUE(shown(Editor::PictureBox::DirectionStylePreview, s)) << s;
    for (int p = 0; p < 3; ++p)
        EXPECT_TRUE(shown(Editor::PictureBox::MessageLayout, p)) << p;
    for (int slot = 0; slot < 40; ++slot)
        EXPECT_TRUE(shown(Editor::PictureBox::Slot, slot)) << slot;
    EXPECT_EQ(session.project.liftStatePictures[2][1],
              kData + "/DefaultImage2/LiftState/BREAKDOWN-16x64_CHT.bmp");
    for (const auto& row : session.project.liftStatePictures)
        for (const auto& path : row)
            EXPECT_TRUE(fs::exists(path)) << path;
    EXPECT_FALSE(fs::exists(work.file("ZEB_TEMPBMP.BMP"))) << "previews are deleted once shown";
}

TEST_F(StartUpTest, MissingGlbStopsWithItsMessage) {
    fs::remove(work.file("P620BX7.GLB"));
    EXPECT_FALSE(start());
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"Error | GLB file not found!!\n\n"});
    EXPECT_FALSE(session.program.glbData.isLoaded());
    EXPECT_EQ(session.program.glbDate, "000000");
    EXPECT_EQ(session.program.caption, "PRM-620BX7 Lift LCD Editor (R2-Build100429)");
    EXPECT_EQ(ui.status[2], "Program start error!!");
    EXPECT_EQ(ui.status[1], "Version: ZEB-STD") << "settings were read before the stop";
    EXPECT_TRUE(ui.pictures.empty());
    EXPECT_EQ(session.project.liftStatePictures[0][0], "") << "slots are set later";
}

TEST_F(StartUpTest, NamedUserDefineFileMustExist) {
    std::string ini = ReadBytes(work.file("ZEBPRV620BX7.INI"));
    ini.replace(ini.find("GLB=P620BX7.GLB"), 15, "GLB=P620BX7.GLB\r\nUBFGLB=USER.UBF");
    WriteBytes(work.file("ZEBPRV620BX7.INI"), ini);
    EXPECT_FALSE(start());
    EXPECT_EQ(ui.messages(),
              std::vector<std::string>{"Error | User define BMP file not found!!\n\n"});
    EXPECT_EQ(session.program.settings.userGlbFileName, "");
    EXPECT_EQ(session.program.userGlbDate, "000000");
    EXPECT_EQ(ui.status[2], "Program start error!!");

    ui = Lift::Test::ScriptedUi();
    WriteBytes(work.file("USER.UBF"), "u");
    ASSERT_TRUE(start());
    EXPECT_EQ(session.program.userGlbDate.size(), 6u);
    EXPECT_NE(session.program.caption.find(" / " + session.program.userGlbDate + " ]"),
              std::string::npos);
    EXPECT_EQ(ui.status[2], "P620BX7.GLB / USER.UBF");

    fs::remove(work.file("USER.UBF"));
    EXPECT_FALSE(start());
    EXPECT_FALSE(session.program.startUpCompleted) << "a failed start after a completed one";
}

TEST_F(StartUpTest, MissingSettingsFileKeepsInitialValues) {
    fs::remove(work.file("ZEBPRV620BX7.INI"));
    ASSERT_TRUE(start());
    EXPECT_EQ(ui.messages(),
              std::vector<std::string>{"Error | ZEBPRV620BX7.INI file not found!!\n\n"});
    EXPECT_EQ(session.project.versionName, "");
    EXPECT_TRUE(session.project.versionEntries.empty());
    EXPECT_EQ(session.program.settings.versionSettings, Editor::VersionSettings{});
    EXPECT_EQ(ui.status[1], "Version: ");
}

// ---- the settings file ------------------------------------------------------------------

namespace {

class ProgramSettingsTest : public ::testing::Test {
protected:
    Lift::Test::TempDir dir;
    Lift::Test::ScriptedUi ui;
    ProgramSettings settings;
    DisplayProject project;

    std::string path() const { return dir.file(kProgramSettingsFileName); }
    void writeSettings(const std::string& text) { WriteBytes(path(), text); }
    void read() { ReadProgramSettings(dir.path().string(), settings, project, ui); }
    void select(const std::string& name) {
        SelectVersion(name, dir.path().string(), settings, project, ui);
    }
};

} // namespace

TEST_F(ProgramSettingsTest, HugeVersionCountIsCappedInsteadOfReadForMinutes) {
    writeSettings("[GLOBAL]\r\nVCN=2147483647\r\nITEM5=V5\r\n[V5]\r\nIFI=44\r\n");
    read();
    EXPECT_EQ(project.versionEntries, std::vector<std::string>{"V5"});
    EXPECT_EQ(settings.versionSettings, (VersionSettings{0, 44, 1, 1}));
}

TEST_F(ProgramSettingsTest, UnreadableValuesAreReportedAndChangeNothing) {
    writeSettings("[GLOBAL]\r\nGLB=OTHER.GLB\r\nVCN=two\r\n[GOOD]\r\nCFI=3\r\n[BAD]\r\nIFI=forty\r\n");
    read();
    EXPECT_EQ(settings.glbFileName, "P620BX7.GLB");
    EXPECT_TRUE(project.versionEntries.empty());
    select("GOOD");
    select("BAD");
    EXPECT_EQ(ui.messages(),
              (std::vector<std::string>{
                  "Error | ZEBPRV620BX7.INI: 'two' is not a valid integer value\n\n",
                  "Error | ZEBPRV620BX7.INI: 'forty' is not a valid integer value\n\n"}));
    EXPECT_EQ(settings.versionSettings, (VersionSettings{3, 41, 1, 1}));
    EXPECT_EQ(project.versionName, "GOOD");
    EXPECT_EQ(ui.status[1], "Version: GOOD");

    // A file that cannot be opened: the engine's own error box, nothing more.
    fs::remove(path());
    fs::create_directory(path());
    Lift::Test::ErrorBoxRecorder boxes;
    read();
    EXPECT_EQ(boxes.count(), 1u);
    EXPECT_EQ(ui.messages().size(), 2u);
}

TEST_F(ProgramSettingsTest, SelectVersionReadsItsSectionAndShowsTheName) {
    writeSettings("[ZEB-P]\r\nCFI=60\r\nIFI=42\r\nDISPHV=2\r\nENCODE=0\r\n");
    select("ZEB-P");
    EXPECT_EQ(settings.versionSettings, (VersionSettings{60, 42, 2, 0}));
    EXPECT_EQ(project.versionName, "ZEB-P");
    EXPECT_EQ(ui.status[1], "Version: ZEB-P");

    select("ZEB-MISSING");
    EXPECT_EQ(settings.versionSettings, (VersionSettings{0, 41, 1, 1}));
    EXPECT_EQ(project.versionName, "ZEB-MISSING");
    EXPECT_EQ(ui.status[1], "Version: ZEB-MISSING");
    EXPECT_TRUE(ui.messages().empty());
}

// ---- the GLB library ----------------------------------------------------------------------

TEST(GlbDirectory, DamagedEntriesMakeTheItemAbsent) {
    const std::string good = GlbBuilder().add(2, 10, "0123456789").build();
    const auto size = static_cast<std::uint32_t>(good.size());
    struct Case {
        const char* what;
        std::uint32_t offset, length;
        bool present;
    };
    const Case cases[] = {
        {"ends exactly at the end of the data", size - 10, 10, true},
        {"length zero, whatever the offset", 8, 0, false},
        {"one byte past the end", size - 10, 11, false},
        {"offset far past the end", 0x7FFFFFFF, 1, false},
        {"offset + length wraps around 32 bits", 0xFFFFFF00u, 0x200, false},
    };
    for (const auto& c : cases) {
        std::string glb = good;
        GlbBuilder::setEntry(glb, 2, 10, c.offset, c.length);
        const auto item = FindGlbItem(glb, 2, 10);
        EXPECT_EQ(item.has_value(), c.present) << c.what;
        if (item) {
            EXPECT_EQ(*item, "0123456789") << c.what;
        }
    }
}

TEST(GlbDirectory, TruncatedDirectoryAndBadAddressesAreAbsent) {
    const std::string full = GlbBuilder().add(3, 200, "item").build();
    const std::size_t at = GlbBuilder::entryOffset(3, 200);
    // The entry itself cut anywhere: absent, never a read past the end.
    for (std::size_t cut = 0; cut < at + 8; cut += (cut < at ? 97 : 1))
        EXPECT_FALSE(FindGlbItem(std::string_view(full).substr(0, cut), 3, 200)) << cut;
    EXPECT_FALSE(FindGlbItem("", 0, 0));

    // Addresses outside 0..7 / 0..255 never alias another item's entry, nor read the data
    // after the directory (here 8 bytes that read as a valid entry) as one.
    const std::string entryLike("\0\0\0\0\0\0\0\x08", 8);
    std::string glb = GlbBuilder().add(1, 0, entryLike).build();
    EXPECT_FALSE(FindGlbItem(glb, 0, 256)) << "would alias (1, 0)";
    EXPECT_FALSE(FindGlbItem(glb, -1, 0));
    EXPECT_FALSE(FindGlbItem(glb, 0, -1));
    EXPECT_FALSE(FindGlbItem(glb, 8, 0));
    EXPECT_EQ(FindGlbItem(glb, 1, 0), entryLike);
}

TEST(GlbLibraryFile, AFailedLoadNamesTheFileAndKeepsWhatWasLoaded) {
    TempDir dir;
    const std::string bytes = GlbBuilder().add(0, 31, "layout-1").build();
    WriteBytes(dir.file("P620BX7.GLB"), bytes);
    GlbLibrary glb;
    std::string error;
    ASSERT_TRUE(LoadGlbFile(dir.file("P620BX7.GLB"), glb, &error)) << error;
    EXPECT_EQ(glb.bytes(), bytes);

    EXPECT_FALSE(LoadGlbFile(dir.file("MISSING.GLB"), glb, &error));
    EXPECT_NE(error.find("MISSING.GLB"), std::string::npos) << error;
    const std::string huge = dir.file("HUGE.GLB");
    WriteBytes(huge, "");
    fs::resize_file(huge, kMaxGlbFileBytes + 1); // sparse: no real disk use
    EXPECT_FALSE(LoadGlbFile(huge, glb, &error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
    EXPECT_EQ(glb.item(0, 31), "layout-1");
}

class ExtractGlbItemTest : public ::testing::Test {
protected:
    TempDir dir;
    GlbLibrary glb{GlbBuilder().add(0, 30, "BM first").add(1, 48, "BM second").build()};
    std::string tempPath() const { return dir.file("ZEB_TEMPBMP.BMP"); }
};

TEST_F(ExtractGlbItemTest, WritesTheItemBytesAndASecondCallLeavesOnlyTheSecond) {
    std::string error = "stale";
    EXPECT_EQ(ExtractGlbItem(glb, dir.path().string(), 0, 30, &error), tempPath());
    EXPECT_EQ(error, "");
    EXPECT_EQ(ReadBytes(tempPath()), "BM first");
    const std::string name = ExtractGlbItem(glb, dir.path().string(), 1, 48);
    EXPECT_EQ(ReadBytes(name), "BM second");
    size_t files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1u);
}

TEST_F(ExtractGlbItemTest, AbsentItemOrFailureLeavesNoPictureAndOnlyFailuresAreReported) {
    WriteBytes(tempPath(), "left from an earlier run");
    std::string error;
    EXPECT_EQ(ExtractGlbItem(glb, dir.path().string(), 5, 5, &error), "");
    EXPECT_EQ(error, "");
    EXPECT_FALSE(fs::exists(tempPath()));
    ExtractGlbItem(glb, dir.path().string(), 0, 30);
    EXPECT_EQ(ExtractGlbItem(GlbLibrary(), dir.path().string(), 0, 30, &error), "");
    EXPECT_EQ(error, "");
    EXPECT_FALSE(fs::exists(tempPath()));

    {
        Lift::Util::FileFaultInjection inject(Lift::Util::FileFault::DiskFull);
        EXPECT_EQ(ExtractGlbItem(glb, dir.path().string(), 0, 30, &error), "");
    }
    EXPECT_NE(error.find("ZEB_TEMPBMP.BMP"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(tempPath()));

    // Something that cannot be deleted sits where the file goes.
    fs::create_directory(tempPath());
    WriteBytes(tempPath() + "/keep", "x");
    EXPECT_EQ(ExtractGlbItem(glb, dir.path().string(), 0, 30, &error), "");
    EXPECT_NE(error.find("Cannot delete"), std::string::npos) << error;
}
