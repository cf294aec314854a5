#include "editor/code_table_labels.h"
#include "editor/display_project.h"
#include "editor/text_rules.h"

#include <gtest/gtest.h>

#include <set>

using namespace Lift::Editor;

TEST(MessageMask, NormalisationChoosesExactlyTwoColumns) {
    const int expected[16] = {3, 3, 3, 3, 12, 5, 6, 5, 10, 9, 10, 3, 12, 12, 12, 3};
    // Every expected value has two bits and normalises to itself.
    for (int mask = 0; mask < 16; ++mask)
        EXPECT_EQ(NormalisedMessageMask(mask), expected[mask]) << mask;
}

TEST(MessageMask, BoxesAndMaskRoundTrip) {
    for (int mask = 0; mask < 16; ++mask)
        EXPECT_EQ(MaskFromBoxes(BoxesFromMask(mask)), mask);
    // Only the fourth box ticked: saved as 10.
    EXPECT_EQ(NormalisedMessageMask(MaskFromBoxes({false, false, false, true})), 10);
    EXPECT_EQ(NormalisedMessageMask(MaskFromBoxes({false, false, false, false})), 3);
}

TEST(GridLabels, CodeColumnShowsHexAndDecimal) {
    EXPECT_EQ(CodeColumnLabel(0), "00 (0 )");
    EXPECT_EQ(CodeColumnLabel(10), "0A (10 )");
    EXPECT_EQ(CodeColumnLabel(255), "FF (255 )");
}

TEST(GridLabels, NaturalAndGrayInputPatterns) {
    EXPECT_EQ(InputPatternLabel(0, false), "000000");
    EXPECT_EQ(InputPatternLabel(2, false), "000010");
    EXPECT_EQ(InputPatternLabel(31, false), "011111");
    EXPECT_EQ(InputPatternLabel(32, false), "100000");
    EXPECT_EQ(InputPatternLabel(63, false), "111111");
    EXPECT_EQ(InputPatternLabel(64, false), "");
    EXPECT_EQ(InputPatternLabel(255, true), "");

    EXPECT_EQ(InputPatternLabel(0, true), "000000");
    EXPECT_EQ(InputPatternLabel(1, true), "000001");
    EXPECT_EQ(InputPatternLabel(2, true), "000011");
    EXPECT_EQ(InputPatternLabel(3, true), "000010");
    EXPECT_EQ(InputPatternLabel(31, true), "010000"); // row 32
    EXPECT_EQ(InputPatternLabel(32, true), "100000"); // row 33: bit 5 unchanged

    // Each order labels the 64 rows with 64 different patterns, and neighbouring Gray rows
    // within a half differ in exactly one bit.
    for (bool gray : {false, true}) {
        std::set<std::string> seen;
        for (int code = 0; code < 64; ++code)
            seen.insert(InputPatternLabel(code, gray));
        EXPECT_EQ(seen.size(), 64u);
    }
    for (int code = 1; code < 32; ++code) {
        const std::string a = InputPatternLabel(code - 1, true), b = InputPatternLabel(code, true);
        int diff = 0;
        for (size_t i = 0; i < 6; ++i)
            diff += a[i] != b[i];
        EXPECT_EQ(diff, 1) << code;
    }
    EXPECT_TRUE(UsesGrayOrder("ZEB-GRY"));
    EXPECT_FALSE(UsesGrayOrder("zeb-gry"));
}

TEST(LiftStateSlots, DefaultNamesAndKeys) {
    EXPECT_EQ(DefaultLiftStateFileName(0, 0), "FIRE-16x64_EN.bmp");
    EXPECT_EQ(DefaultLiftStateFileName(2, 0), "ALARM-16x64_EN.bmp");
    EXPECT_EQ(DefaultLiftStateFileName(2, 1), "BREAKDOWN-16x64_CHT.bmp");
    EXPECT_EQ(DefaultLiftStateFileName(2, 2), "ALARM-INV-16x64_EN.bmp");
    EXPECT_EQ(DefaultLiftStateFileName(2, 3), "BREAKDOWN-INV-16x64_CHT.bmp");
    EXPECT_EQ(DefaultLiftStateFileName(9, 3), "IND-INV-16x64_CHT.bmp");
    EXPECT_EQ(LiftStateKey(0, 1), "LeftState_0_B");
    EXPECT_EQ(LiftStateKey(9, 3), "LeftState_9_D");

    std::set<std::string> names;
    for (int r = 0; r < kSlotRows; ++r)
        for (int c = 0; c < kSlotColumns; ++c)
            names.insert(DefaultLiftStateFileName(r, c));
    EXPECT_EQ(names.size(), 40u);
}

TEST(LiftStateSlots, ScreenPicturesMapToSlots) {
    struct Case {
        int picture, row, column;
    };
    for (const Case& c : {Case{14, 0, 1}, Case{15, 0, 3}, Case{16, 0, 0}, Case{17, 0, 2},
                          Case{36, 5, 0}, Case{53, 9, 2}}) {
        int row = -1, column = -1;
        ASSERT_TRUE(SlotOfPicture(c.picture, row, column)) << c.picture;
        EXPECT_EQ(row, c.row) << c.picture;
        EXPECT_EQ(column, c.column) << c.picture;
    }
    int r, c;
    EXPECT_FALSE(SlotOfPicture(13, r, c));
    EXPECT_FALSE(SlotOfPicture(54, r, c));
}

TEST(TextRules, TrimBlanksAndControlCharacters) {
    EXPECT_EQ(Trimmed("  \t\r\n B1 \x01\x1f"), "B1");
    EXPECT_EQ(Trimmed(" a b "), "a b");
    EXPECT_TRUE(IsBlank(" \t\x7f") == false);
    EXPECT_TRUE(IsBlank(""));
    EXPECT_TRUE(IsBlank(" \t\r\n\x01"));
    EXPECT_EQ(UpperCased("b1\xe9z"), "B1\xe9Z");
}

TEST(TextRules, BinExtension) {
    EXPECT_EQ(WithBinExtension("panel"), "panel.BIN");
    EXPECT_EQ(WithBinExtension("rom.bin"), "rom.BIN");
    EXPECT_EQ(WithBinExtension("a.b.hex"), "a.b.BIN");
    EXPECT_EQ(WithBinExtension("dir.v2\\rom"), "dir.v2\\rom.BIN");
    EXPECT_EQ(WithBinExtension("dir.v2/rom"), "dir.v2/rom.BIN");
    EXPECT_EQ(WithBinExtension("C:rom"), "C:rom.BIN");
    EXPECT_EQ(LastPathComponent("D:\\old\\FIRE-16x64_CHT.bmp"), "FIRE-16x64_CHT.bmp");
    EXPECT_EQ(LastPathComponent("/x/y.bmp"), "y.bmp");
    EXPECT_EQ(LastPathComponent("plain.bmp"), "plain.bmp");
}

TEST(DisplayProjectModel, InitialValuesAndVersionText) {
    DisplayProject p;
    EXPECT_EQ(p.romFileName, "PRM620BX7.BIN");
    EXPECT_EQ(p.messageMask, 3);
    EXPECT_EQ(MaskFromBoxes(p.messageColumnBoxes), 3);
    EXPECT_EQ(p.messagePosition, 1);
    EXPECT_EQ(p.displaySide, 1);
    EXPECT_TRUE(p.allCodeTablesBlank());
    p.codeTables[2][7] = " \t";
    EXPECT_TRUE(p.allCodeTablesBlank());
    p.codeTables[2][7] = " 5";
    EXPECT_FALSE(p.allCodeTablesBlank());

    EXPECT_EQ(p.selectedVersionText(), "");
    p.versionEntries = {" ZEB-STD ", "ZEB-GRY"};
    p.versionIndex = 0;
    EXPECT_EQ(p.selectedVersionText(), "ZEB-STD");
    p.versionIndex = 5;
    EXPECT_EQ(p.selectedVersionText(), "");
}
