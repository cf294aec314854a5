// The customer logo's actions: picture click, "ON (Sec.)" and "OFF".

#include "editor/logo_choice.h"
#include "support/project_fixture.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace Lift::Editor {
namespace {

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

} // namespace
} // namespace Lift::Editor
