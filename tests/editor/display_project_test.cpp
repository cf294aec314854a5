#include "editor/code_table_labels.h"
#include "editor/display_project.h"
#include "editor/logo_choice.h"
#include "editor/text_rules.h"
#include "support/project_fixture.h"

#include <gtest/gtest.h>

using namespace Lift::Editor;

TEST(MessageMask, NormalisationChoosesExactlyTwoColumnsAndBoxesRoundTrip) {
    const int expected[16] = {3, 3, 3, 3, 12, 5, 6, 5, 10, 9, 10, 3, 12, 12, 12, 3};
    for (int mask = 0; mask < 16; ++mask) {
        EXPECT_EQ(NormalisedMessageMask(mask), expected[mask]) << mask;
        EXPECT_EQ(MaskFromBoxes(BoxesFromMask(mask)), mask);
    }
}

TEST(GridLabels, CodeColumnAndNaturalAndGrayInputPatterns) {
    EXPECT_EQ(CodeColumnLabel(10), "0A (10 )");
    EXPECT_EQ(CodeColumnLabel(255), "FF (255 )");
    EXPECT_EQ(InputPatternLabel(2, false), "000010");
    EXPECT_EQ(InputPatternLabel(31, false), "011111");
    EXPECT_EQ(InputPatternLabel(63, false), "111111");
    EXPECT_EQ(InputPatternLabel(64, false), "");
    EXPECT_EQ(InputPatternLabel(255, true), "");
    EXPECT_EQ(InputPatternLabel(0, true), "000000");
    EXPECT_EQ(InputPatternLabel(2, true), "000011");
    EXPECT_EQ(InputPatternLabel(3, true), "000010");
    EXPECT_EQ(InputPatternLabel(31, true), "010000"); // row 32
    EXPECT_EQ(InputPatternLabel(32, true), "100000"); // row 33: bit 5 unchanged
    EXPECT_TRUE(UsesGrayOrder("ZEB-GRY"));
    EXPECT_FALSE(UsesGrayOrder("zeb-gry"));
}

TEST(TextRules, TrimBlanksAndBinExtension) {
    EXPECT_EQ(Trimmed("  \t\r\n B1 \x01\x1f"), "B1");
    EXPECT_EQ(Trimmed(" a b "), "a b");
    EXPECT_FALSE(IsBlank(" \t\x7f"));
    EXPECT_TRUE(IsBlank(""));
    EXPECT_TRUE(IsBlank(" \t\r\n\x01"));
    EXPECT_EQ(UpperCased("b1\xe9z"), "B1\xe9Z");
    // A dot in a folder name is no extension.
    EXPECT_EQ(WithBinExtension("a.b.hex"), "a.b.BIN");
    EXPECT_EQ(WithBinExtension("dir.v2\\rom"), "dir.v2\\rom.BIN");
    EXPECT_EQ(WithBinExtension("dir.v2/rom"), "dir.v2/rom.BIN");
    EXPECT_EQ(WithBinExtension("C:rom"), "C:rom.BIN");
    EXPECT_EQ(LastPathComponent("/x/y.bmp"), "y.bmp");
}

// The customer logo's actions: picture click, "ON (Sec.)" and "OFF".
class LogoChoiceTest : public ::testing::Test, protected Lift::Test::ProjectFixture {};

TEST_F(LogoChoiceTest, AFileThatCannotBeShownOrACancelKeepsThePreviousLogo) {
    session.project.logoFile = "/pictures/good.bmp";
    ui.unreadablePictures = {"/pictures/broken.bmp"};
    ui.pictureAnswers = {"/pictures/broken.bmp", std::nullopt, "  ", "/pictures/new.bmp"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(ChooseLogoFile(session, ui)) << i;
        EXPECT_EQ(session.project.logoFile, "/pictures/good.bmp") << i;
    }
    EXPECT_TRUE(ChooseLogoFile(session, ui));
    EXPECT_EQ(session.project.logoFile, "/pictures/new.bmp");
    EXPECT_FALSE(session.project.logoEnabled); // choosing a file never switches the logo on
}
