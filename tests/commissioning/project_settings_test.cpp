// The settings an image holds read back as the project's own: the image compare and the
// project compare describe a setting the same way.

#include "commissioning/project_settings.h"

#include <gtest/gtest.h>

namespace {

using namespace Lift;

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
