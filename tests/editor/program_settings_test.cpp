#include "editor/program_settings.h"
#include "support/error_box_recorder.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace Lift::Editor;
using Lift::Test::ErrorBoxRecorder;
using Lift::Test::ReadBytes;
using Lift::Test::ScriptedUi;
using Lift::Test::TempDir;
using Lift::Test::WriteBytes;
namespace fs = std::filesystem;

namespace {

class ProgramSettingsTest : public ::testing::Test {
protected:
    TempDir dir;
    ScriptedUi ui;
    ProgramSettings settings;
    DisplayProject project;

    std::string path() const { return dir.file(kProgramSettingsFileName); }
    void writeSettings(const std::string& text) { WriteBytes(path(), text); }
    void read() { ReadProgramSettings(dir.path().string(), settings, project, ui); }
    void select(const std::string& name) {
        SelectVersion(name, dir.path().string(), settings, project, ui);
    }
    void expectUntouched() {
        EXPECT_EQ(settings.glbFileName, "P620BX7.GLB");
        EXPECT_EQ(settings.userGlbFileName, "");
        EXPECT_EQ(settings.versionSettings, (VersionSettings{1, 41, 1, 1}));
        EXPECT_TRUE(project.versionEntries.empty());
        EXPECT_EQ(project.versionIndex, -1);
        EXPECT_EQ(project.versionName, "");
    }
};

} // namespace

TEST_F(ProgramSettingsTest, NoVersionCountListsTheTwoInitialVersions) {
    for (const char* vcn : {"", "VCN=0\r\n"}) {
        // The section of the initial version is not read: its values are fixed.
        writeSettings(std::string("[GLOBAL]\r\nGLB=OTHER.GLB\r\nUBFGLB=USER.UBF\r\n") + vcn +
                      "[ZEB-INITDL]\r\nCFI=5\r\n");
        project = DisplayProject{};
        read();
        EXPECT_EQ(settings.glbFileName, "OTHER.GLB");
        EXPECT_EQ(settings.userGlbFileName, "USER.UBF");
        EXPECT_EQ(project.versionEntries, (std::vector<std::string>{"ZEB-INITDL", "ZEB-PINITDL"}));
        EXPECT_EQ(project.versionIndex, -1) << "no entry selected";
        EXPECT_EQ(project.versionName, "ZEB-INITDL");
        EXPECT_EQ(settings.versionSettings, (VersionSettings{48, 41, 1, 1})) << vcn;
    }
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_TRUE(ui.status[1].empty()) << "start-up writes the status panel, not the reader";
}

TEST_F(ProgramSettingsTest, BlankItemsAreSkippedAndTheFirstListedIsSelected) {
    writeSettings("[GLOBAL]\r\nVCN=3\r\nITEM1=\r\nITEM2=ZEB-GRY\r\nITEM3=B\r\n\r\n"
                  "[ZEB-GRY]\r\nCFI=7\r\nDISPHV=0\r\n\r\n[B]\r\nCFI=9\r\n");
    read();
    EXPECT_EQ(project.versionEntries, (std::vector<std::string>{"ZEB-GRY", "B"}));
    EXPECT_EQ(project.versionIndex, 0);
    EXPECT_EQ(project.versionName, "ZEB-GRY");
    EXPECT_EQ(settings.versionSettings, (VersionSettings{7, 41, 0, 1}));
    EXPECT_EQ(settings.glbFileName, "P620BX7.GLB");
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(ProgramSettingsTest, HugeVersionCountIsCappedInsteadOfReadForMinutes) {
    writeSettings("[GLOBAL]\r\nVCN=2147483647\r\nITEM5=V5\r\n[V5]\r\nIFI=44\r\n");
    read();
    EXPECT_EQ(project.versionEntries, std::vector<std::string>{"V5"});
    EXPECT_EQ(settings.versionSettings, (VersionSettings{0, 44, 1, 1}));
}

TEST_F(ProgramSettingsTest, UnusableFilesAreReportedOnceAndChangeNothing) {
    writeSettings("[GLOBAL]\r\nGLB=OTHER.GLB\r\nVCN=two\r\n");
    read();
    EXPECT_EQ(ui.messages(),
              std::vector<std::string>{
                  "Error | ZEBPRV620BX7.INI: 'two' is not a valid integer value\n\n"});
    expectUntouched();

    writeSettings("[GLOBAL]\r\nVCN=1\r\nITEM1=A\r\n[A]\r\nCFI=3\r\nENCODE=1x\r\n");
    read();
    EXPECT_EQ(ui.messages().size(), 2u);
    expectUntouched();

    // A file that cannot be opened: the engine's own error box, nothing more.
    fs::remove(path());
    fs::create_directory(path());
    ErrorBoxRecorder boxes;
    read();
    EXPECT_EQ(boxes.count(), 1u);
    EXPECT_EQ(ui.messages().size(), 2u);
    expectUntouched();
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

TEST_F(ProgramSettingsTest, SelectVersionCreatesAMissingFileEmpty) {
    // After a start without settings file, loading a project selects the empty name.
    select("");
    EXPECT_EQ(settings.versionSettings, (VersionSettings{0, 41, 1, 1}));
    EXPECT_EQ(project.versionName, "");
    EXPECT_EQ(ui.status[1], "Version: ");
    ASSERT_TRUE(fs::exists(path()));
    EXPECT_EQ(ReadBytes(path()), "");
}

TEST_F(ProgramSettingsTest, SelectVersionKeepsEverythingOnUnreadableValue) {
    writeSettings("[GOOD]\r\nCFI=3\r\n[BAD]\r\nCFI=3\r\nIFI=forty\r\n");
    select("GOOD");
    select("BAD");
    EXPECT_EQ(ui.messages(),
              std::vector<std::string>{
                  "Error | ZEBPRV620BX7.INI: 'forty' is not a valid integer value\n\n"});
    EXPECT_EQ(settings.versionSettings, (VersionSettings{3, 41, 1, 1}));
    EXPECT_EQ(project.versionName, "GOOD");
    EXPECT_EQ(ui.status[1], "Version: GOOD");
}
