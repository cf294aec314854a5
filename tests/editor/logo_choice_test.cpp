// The customer logo's actions: picture click, "ON (Sec.)" and "OFF".

#include "editor/logo_choice.h"
#include "support/project_fixture.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace Lift::Editor {
namespace {

class LogoChoiceTest : public ::testing::Test, protected Lift::Test::ProjectFixture {};

TEST_F(LogoChoiceTest, OnAsksOnlyWithoutAFileAndOffForgetsIt) {
    Lift::Test::WriteBytes(session.program.blankPicturePath, "x");
    ui.pictureAnswers = {std::nullopt, "/pictures/logo.bmp"};
    LogoOn(session, ui); // cancelled: ON all the same, without a file
    EXPECT_TRUE(session.project.logoEnabled);
    EXPECT_EQ(session.project.logoFile, "");
    LogoOn(session, ui); // asks again
    EXPECT_EQ(session.project.logoFile, "/pictures/logo.bmp");
    EXPECT_EQ(ui.pictures.back(), "5 0: /pictures/logo.bmp");
    LogoOn(session, ui); // has a file: no question
    EXPECT_EQ(ui.dialogs.size(), 2u);

    LogoOff(session, ui);
    EXPECT_FALSE(session.project.logoEnabled);
    EXPECT_EQ(session.project.logoFile, "");
    EXPECT_EQ(ui.pictures.back(), "5 0: " + session.program.blankPicturePath);
    std::filesystem::remove(session.program.blankPicturePath);
    LogoOff(session, ui); // a missing blank picture is not worth a message
    EXPECT_EQ(ui.pictures.size(), 2u);
    EXPECT_TRUE(ui.messages().empty());
}

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

} // namespace
} // namespace Lift::Editor
