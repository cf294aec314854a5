#include "editor/program_settings.h"
#include "support/error_box_recorder.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace Lift::Editor;
using Lift::Test::ErrorBoxRecorder;
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
    ErrorBoxRecorder boxes;
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
