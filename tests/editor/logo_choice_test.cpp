// The customer logo's actions: picture click, "ON (Sec.)" and "OFF".

#include "editor/logo_choice.h"
#include "support/project_fixture.h"

#include <gtest/gtest.h>

namespace Lift::Editor {
namespace {

using Lift::Test::ProjectFixture;

class LogoChoiceTest : public ::testing::Test, protected ProjectFixture {
protected:
    std::string logoBox(const std::string& path) const { return "5 0: " + path; }
    int pictureDialogs() const {
        int n = 0;
        for (const auto& c : ui.calls)
            n += c.rfind("picture-dialog: ", 0) == 0 ? 1 : 0;
        return n;
    }
};

TEST_F(LogoChoiceTest, OffForgetsTheFileShowsTheBlankAndOnAsksAgain) {
    Lift::Test::WriteBytes(session.program.blankPicturePath, "x");
    ui.pictureAnswers = {"/pictures/first.bmp", "/pictures/second.bmp"};

    LogoOn(session, ui);
    EXPECT_TRUE(session.project.logoEnabled);
    EXPECT_EQ(session.project.logoFile, "/pictures/first.bmp");

    LogoOff(session, ui);
    EXPECT_FALSE(session.project.logoEnabled);
    EXPECT_EQ(session.project.logoFile, "");
    EXPECT_EQ(ui.pictures.back(), logoBox(session.program.blankPicturePath));

    LogoOn(session, ui);
    EXPECT_EQ(pictureDialogs(), 2);
    EXPECT_EQ(session.project.logoFile, "/pictures/second.bmp");
    EXPECT_EQ(ui.pictures.back(), logoBox("/pictures/second.bmp"));
}

TEST_F(LogoChoiceTest, OnAsksOnlyWithoutAFileAndCancelStillTurnsItOn) {
    LogoOn(session, ui); // no answer queued: the user cancels
    EXPECT_TRUE(session.project.logoEnabled);
    EXPECT_EQ(session.project.logoFile, "");
    EXPECT_EQ(pictureDialogs(), 1);

    session.project.logoEnabled = false;
    session.project.logoFile = "  kept.bmp ";
    LogoOn(session, ui);
    EXPECT_TRUE(session.project.logoEnabled);
    EXPECT_EQ(session.project.logoFile, "  kept.bmp ");
    EXPECT_EQ(pictureDialogs(), 1);
}

TEST_F(LogoChoiceTest, AFileThatCannotBeShownOrACancelKeepsThePreviousLogo) {
    session.project.logoFile = "/pictures/good.bmp";
    ui.unreadablePictures = {"/pictures/broken.bmp"};
    ui.pictureAnswers = {"/pictures/broken.bmp", std::nullopt, "  "};
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(ChooseLogoFile(session, ui)) << i;
        EXPECT_EQ(session.project.logoFile, "/pictures/good.bmp") << i;
    }
    EXPECT_FALSE(session.project.logoEnabled); // choosing a file never switches the logo
    ui.pictureAnswers = {"/pictures/new.bmp"};
    EXPECT_TRUE(ChooseLogoFile(session, ui));
    EXPECT_EQ(session.project.logoFile, "/pictures/new.bmp");
    EXPECT_FALSE(session.project.logoEnabled);
}

TEST_F(LogoChoiceTest, OffWithoutTheBlankPictureShowsNothingAndStillForgets) {
    session.project.logoEnabled = true;
    session.project.logoFile = "/pictures/logo.bmp";
    LogoOff(session, ui);
    EXPECT_FALSE(session.project.logoEnabled);
    EXPECT_EQ(session.project.logoFile, "");
    EXPECT_TRUE(ui.pictures.empty());
    EXPECT_TRUE(ui.messages().empty());
}

} // namespace
} // namespace Lift::Editor
