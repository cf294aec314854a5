#include "project/project_file.h"

#include "editor/start_up.h"
#include "support/error_box_recorder.h"
#include "support/golden.h"
#include "support/project_fixture.h"
#include "util/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace Lift;
using Lift::Test::ReadBytes;
using Lift::Test::WriteBytes;

namespace {

class ProjectFileTest : public ::testing::Test, public Lift::Test::ProjectFixture {
protected:
    // A project with something in every field.
    void fillProject() {
        auto& p = session.project;
        p.codeTables[0][0] = " b1 ";
        p.codeTables[0][1] = "2";
        p.codeTables[1][3] = "05";
        p.codeTables[2][255] = "lby";
        p.defaultCodeTable = 1;
        p.floorStyle = 2;
        p.directionStyle = 4;
        p.displaySide = 2;
        p.messageColumnBoxes = {false, true, true, false};
        p.messagePosition = 0;
        p.dateTimeBox = true;
        p.logoEnabled = true;
        p.logoFile = work("logo.bmp");
        p.logoSecondsIndex = 9;
        p.powerSavingIndex = 16;
        p.nodeAddress = 54;
        p.idCode = "  AB12 ";
        p.romFileName = " lobby.hex ";
        p.versionEntries = {"ZEB-STD", " ZEB-GRY "};
        p.versionIndex = 1;
        p.liftStatePictures[3][2] = "/elsewhere/OUT.bmp";
    }

    bool save(const std::string& path) {
        ui.saveAnswers.push_back(path);
        return Project::SaveProject(session, ui);
    }
};

} // namespace

TEST_F(ProjectFileTest, SaveWritesTheKeysInOrder) {
    fillProject();
    const std::string path = work("site.lcp");
    ASSERT_TRUE(save(path));
    EXPECT_TRUE(session.program.saveCompleted);
    EXPECT_EQ(ui.status[0], "Project file: " + path);
    EXPECT_EQ(ui.busyDepth, 0);
    EXPECT_GE(ui.busyMax, 1);
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0].filter, "PRV620BX7 Project File (*.lcp)|*.lcp");
    EXPECT_EQ(ui.dialogs[0].defaultExt, "lcp");

    std::string text = ReadBytes(path);
    // Paths under the temporary folders differ per run; the golden file names them.
    Lift::Test::ReplaceAll(text, programDir(), "<PROGRAM>/");
    Lift::Test::ReplaceAll(text, workDir(), "<WORK>");
    Lift::Test::ExpectGolden("project/site.lcp", text);
}

TEST_F(ProjectFileTest, CancelledDialogOrRefusedOverwriteWritesNothing) {
    EXPECT_FALSE(Project::SaveProject(session, ui)); // no answer queued = cancel
    EXPECT_FALSE(session.program.saveCompleted);

    const std::string path = work("keep.lcp");
    WriteBytes(path, "old");
    ui.saveAnswers.push_back(path);
    ui.yesNoAnswers.push_back(false);
    EXPECT_FALSE(Project::SaveProject(session, ui));
    EXPECT_EQ(ReadBytes(path), "old");
    ASSERT_FALSE(ui.calls.empty());
    EXPECT_EQ(ui.calls.back(), "ask: Overlay file | File exist!!\n\nOverlay?\n -> No");
}

TEST_F(ProjectFileTest, TypedNameWithoutExtensionGetsLcp) {
    session.project.codeTables[0][0] = "1";
    ASSERT_TRUE(save(work("noext")));
    ASSERT_TRUE(save(work("dot.")));
    EXPECT_TRUE(std::filesystem::exists(work("noext.lcp")));
    EXPECT_TRUE(std::filesystem::exists(work("dot.lcp")));
    EXPECT_FALSE(std::filesystem::exists(work("noext")));
}

TEST_F(ProjectFileTest, OverwriteKeepsForeignSectionsAndDropsUser) {
    const std::string path = work("old.lcp");
    WriteBytes(path,
               "[EXTRA]\r\nA=1\r\n\r\n[USER]\r\nU=2\r\n\r\n[GLOBAL]\r\nCODENAME=OLD\r\nJUNK=3\r\n");
    ui.yesNoAnswers.push_back(true);
    ASSERT_TRUE(save(path));
    const std::string text = ReadBytes(path);
    EXPECT_EQ(text.rfind("[EXTRA]\r\nA=1\r\n\r\n[GLOBAL]\r\nCODENAME=PRV620BX7\r\n", 0), 0u)
        << text;
    EXPECT_EQ(text.find("[USER]"), std::string::npos);
    EXPECT_EQ(text.find("JUNK"), std::string::npos);
}

TEST_F(ProjectFileTest, FailedOrRefusedWriteLeavesThePreviousFileAndSaysSo) {
    Lift::Test::ErrorBoxRecorder boxes;
    const std::string path = work("safe.lcp");
    const std::string old = "# site A\r\n[GLOBAL]\r\nCODENAME=PRV620BX7\r\n\r\n";
    WriteBytes(path, old);
    for (Util::FileFault fault : {Util::FileFault::Write, Util::FileFault::DiskFull,
                                  Util::FileFault::Flush, Util::FileFault::Rename}) {
        boxes.clear();
        Util::FileFaultInjection inject(fault);
        ui.yesNoAnswers.push_back(true);
        EXPECT_TRUE(save(path)) << "the save still counts as completed";
        EXPECT_EQ(ReadBytes(path), old) << int(fault);
        ASSERT_EQ(boxes.count(), 1u) << int(fault);
        EXPECT_EQ(boxes.at(0).caption, "TYIniFile");
    }

    // A picture path with a line break would break the file: nothing is written, and a new
    // file is not left behind empty.
    session.project.liftStatePictures[0][1] = "/pictures/FIRE\n.bmp";
    for (const std::string& target : {path, work("new.lcp")}) {
        boxes.clear();
        if (target == path)
            ui.yesNoAnswers.push_back(true);
        EXPECT_TRUE(save(target));
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_EQ(boxes.at(0).text, "Err: Can not write key \"LeftState_0_B\" of section "
                                    "\"LiftStateImage\": the value holds a line break !!!");
    }
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_FALSE(std::filesystem::exists(work("new.lcp")));
}

TEST_F(ProjectFileTest, SaveThenLoadRestoresTheProject) {
    fillProject();
    WriteBytes(work("logo.bmp"), "BM");
    ASSERT_TRUE(save(work("round.lcp")));

    Lift::Test::ProjectFixture other;
    other.session.project.versionEntries = session.project.versionEntries;
    ASSERT_TRUE(Project::LoadProjectFrom(other.session, other.ui, work("round.lcp")));
    const auto& q = other.session.project;
    EXPECT_EQ(q.codeTables[0][0], "B1") << "saved trimmed and upper-cased";
    EXPECT_EQ(q.idCode, "AB12");
    EXPECT_EQ(q.versionName, "ZEB-GRY");
    // A picture path that does not exist here falls back to the default folder.
    const std::string fallback = other.programDir() + "DefaultImage2/LiftState/OUT.bmp";
    EXPECT_EQ(q.liftStatePictures[3][2], fallback);
    EXPECT_EQ(other.ui.status[0], "Project file: " + work("round.lcp"));

    // Every other field came back: saving the loaded project writes the same file.
    other.ui.saveAnswers.push_back(work("again.lcp"));
    ASSERT_TRUE(Project::SaveProject(other.session, other.ui));
    std::string expected = ReadBytes(work("round.lcp"));
    Lift::Test::ReplaceAll(expected, "/elsewhere/OUT.bmp", fallback);
    EXPECT_EQ(ReadBytes(work("again.lcp")), expected);
}

TEST_F(ProjectFileTest, WrongCodeNameLeavesTheModelUnchanged) {
    for (const char* body : {"[GLOBAL]\r\nCODENAME=prv620bx7\r\nDEF_FL=3\r\n",
                             "[GLOBAL]\r\nDEF_FL=3\r\n", "\x01\x02garbage\x00\xff\r\n[[[\r\n"}) {
        const std::string path = work("bad.lcp");
        WriteBytes(path, body);
        fillProject();
        const auto before = session.project;
        EXPECT_FALSE(Project::LoadProjectFrom(session, ui, path));
        EXPECT_EQ(ui.messages().back(), "Error | LCP file format error!!\n\n");
        EXPECT_EQ(session.project.floorStyle, before.floorStyle);
        EXPECT_EQ(session.project.codeTables, before.codeTables);
        EXPECT_EQ(ui.busyDepth, 0);
    }
}

TEST_F(ProjectFileTest, OpeningAMissingFileCreatesItAndFails) {
    ui.openAnswers.push_back(work("typo.lcp"));
    Project::LoadProject(session, ui);
    EXPECT_EQ(ui.dialogs.at(0).filter, "PRV620BX7 Project File (*.lcp)|*.lcp");
    EXPECT_EQ(ui.messages().back(), "Error | LCP file format error!!\n\n");
    EXPECT_TRUE(std::filesystem::exists(work("typo.lcp")));
    EXPECT_EQ(std::filesystem::file_size(work("typo.lcp")), 0u);
}

TEST_F(ProjectFileTest, LoadFallsBackAndKeepsSlotsForBlankKeys) {
    const std::string before = session.project.liftStatePictures[5][1];
    WriteBytes(work("p.lcp"), "[GLOBAL]\r\nCODENAME=PRV620BX7\r\n\r\n[LiftStateImage]\r\n"
                              "LeftState_0_B=D:\\old\\pics\\FIRE-16x64_CHT.bmp\r\n"
                              "LeftState_5_B=   \r\n");
    ASSERT_TRUE(Project::LoadProjectFrom(session, ui, work("p.lcp")));
    EXPECT_EQ(session.project.liftStatePictures[0][1],
              programDir() + "DefaultImage2/LiftState/FIRE-16x64_CHT.bmp");
    EXPECT_EQ(session.project.liftStatePictures[5][1], before);
}

TEST_F(ProjectFileTest, MissingLogoSwitchesTheLogoOffAndTheNextSaveSaysSo) {
    WriteBytes(work("p.lcp"), "[GLOBAL]\r\nCODENAME=PRV620BX7\r\nCUSLOGOENABLE=1\r\n"
                              "TITLEFILENAME_C=/nowhere/logo.bmp\r\nSWAPTIME=4\r\n");
    ASSERT_TRUE(Project::LoadProjectFrom(session, ui, work("p.lcp")));
    EXPECT_FALSE(session.project.logoEnabled);
    EXPECT_EQ(session.project.logoFile, "");
    EXPECT_EQ(session.project.logoSecondsIndex, 4);

    session.project.codeTables[0][0] = "1";
    ASSERT_TRUE(save(work("q.lcp")));
    const std::string text = ReadBytes(work("q.lcp"));
    EXPECT_NE(text.find("\r\nTITLEFILENAME_C=\r\nSWAPTIME=4\r\nCUSLOGOENABLE=0\r\n"),
              std::string::npos);
}
