// The check: small projects that trip each finding, pinned by severity, place and the gist
// of the message, in the order the check lists them.

#include "commissioning/check.h"
#include "commissioning/project_settings.h"
#include "support/rom_fixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace Lift;
using namespace Lift::Test;
using Commissioning::FindingLine;

struct CheckCase {
    const char* name;
    std::function<void(RomFixture&, Editor::EditorSession&)> setUp;
    // "severity: place: " followed by a part of the message.
    std::vector<std::string> findings;
};

const CheckCase kCases[] = {
    {"a clean project has no findings", [](RomFixture&, Editor::EditorSession&) {}, {}},
    {"labels without glyphs and user pictures that are missing or of the wrong size",
     [](RomFixture& f, Editor::EditorSession& s) {
         f.writeUserPicture(0, "top.bmp", 48, 64); // found whatever the case
         auto& t = s.project.codeTables[1];
         t[0] = "b1";
         t[1] = "\xC9";
         t[2] = "lobby";
         t[3] = "TOP";
         s.project.codeTables[0][1] = "05"; // the "0" is not shown: no finding
     },
     {"error: CTBL1 00 (0 ): \"B1\": FL Style 0 of the GLB library has no glyph of \"B\"",
      "error: CTBL1 01 (1 ): \"\xC9\": character code 201 has no glyph",
      "error: CTBL1 02 (2 ): \"LOBBY\": no user floor picture LOBBY.bmp for FL Style 0: MAKE "
      "ROM removes the label",
      "error: CTBL1 03 (3 ): the user floor picture "}},
    {"slot pictures missing, unreadable or too big",
     [](RomFixture& f, Editor::EditorSession& s) {
         s.project.liftStatePictures[0][1] = f.dir.file("gone.bmp");
         WriteBytes(f.slotPath(2, 0), PatternBmp(64, 64, 1));
         WriteBytes(f.slotPath(3, 3), "BM not a picture");
     },
     {"error: GLB library: the MSG BMP zone needs 5248 bytes and holds 5120: pictures are cut",
      "error: slot (0, 1) FIRE: the picture ", "error: slot (2, 0) ALARM: the picture ",
      "error: slot (3, 3) OUT_OF_SERVICE: "}},
    {"items MAKE ROM needs are missing from the library",
     [](RomFixture& f, Editor::EditorSession& s) {
         f.glb.add(7, 5, "");
         s.program.glbData = f.library();
         s.program.settings.versionSettings.encode = 0;
         s.program.settings.versionSettings.ifi = 45;
     },
     {"error: GLB library: GLB item (0, 45), the IFI data block, is missing",
      "error: GLB library: GLB item (7, 5), a small picture, is missing"}},
    {"settings out of range and substituted",
     [](RomFixture&, Editor::EditorSession& s) {
         s.project.floorStyle = 7;
         s.project.nodeAddress = -1;
         s.project.messageColumnBoxes = {false, false, true, false};
         s.project.logoEnabled = true;
         s.project.idCode = " AB\x7F" "1 ";
     },
     {"error: FL Style: FL Style is Style 7, not one of Style 0..3: the image gets no floor glyphs",
      "error: Customer logo: the logo is ON but no logo file is chosen",
      "error: Node Address: Node Address is -1, not one of 0..63",
      "warning: Message columns: the ticked message columns (4) are saved as 12",
      "warning: ID Code: \"AB\x7F" "1\" is not four printable characters"}},
    {"labels shown twice and labels the input cannot select",
     [](RomFixture&, Editor::EditorSession& s) {
         s.project.codeTables[0][2] = "01";
         s.project.codeTables[0][3] = "9";
         s.project.codeTables[0][70] = "9";
     },
     {"warning: CTBL0 02 (2 ): \"01\" is shown for code 01 (1 ) too",
      "warning: CTBL0 04 (4 ): codes up to 45 (69 ) have no label between labelled codes",
      "warning: CTBL0 46 (70 ): \"9\" is shown for code 03 (3 ) too",
      "note: CTBL0 46 (70 ): labels from here on sit on codes 64..255"}},
};

class CheckTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckTest, FindsWhatMakeRomWouldDropCutOrRefuse) {
    const CheckCase& k = GetParam();
    RomFixture f;
    Editor::EditorSession s;
    s.project = f.project;
    s.project.idCode = "HBT1";
    s.program.glbData = f.library();
    s.program.userFloorPictureRoot = f.userFloorPictureRoot;
    k.setUp(f, s);
    const auto findings = Commissioning::CheckProject(s);
    std::vector<std::string> lines;
    for (const auto& finding : findings)
        lines.push_back(FindingLine(finding));
    ASSERT_EQ(lines.size(), k.findings.size()) << testing::PrintToString(lines);
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].substr(0, k.findings[i].size()), k.findings[i]);
}

INSTANTIATE_TEST_SUITE_P(Cases, CheckTest, ::testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<CheckCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

// The settings an image holds read back as the project's own: the image compare and the
// project compare describe a setting the same way.
TEST(ProjectSettings, AnImagesSettingsBlockReadsBackAsTheProjectsSettings) {
    Editor::DisplayProject p;
    p.directionStyle = 4;
    p.defaultCodeTable = 2;
    p.displaySide = 2;
    p.messagePosition = 0;
    p.messageMask = 10;
    p.dateTimeEnabled = 1;
    p.logoEnabled = true;
    p.logoSecondsIndex = 29;
    p.powerSavingIndex = 16;
    p.nodeAddress = 63;
    p.idCode = "AB";
    std::vector<Commissioning::SettingRow> expected = Commissioning::DescribeSettings(p);
    std::erase_if(expected, [](const auto& row) { return !row.inImage; });
    const auto read = Commissioning::DescribeSettingsBlock(Rom::MakeSettingsBlock(p));
    ASSERT_EQ(read.size(), expected.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].caption, expected[i].caption);
        EXPECT_EQ(read[i].value, expected[i].value) << read[i].caption;
        EXPECT_TRUE(read[i].inRange) << read[i].caption;
    }
}

} // namespace
