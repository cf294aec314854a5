// The display preview: where the pieces sit, what a label shows, and that the project and
// the image MAKE ROM builds from it give the same screens.

#include "preview/image_pieces.h"
#include "preview/project_pieces.h"
#include "preview/screen_layout.h"

#include "editor/start_up.h"
#include "editor/text_rules.h"
#include "project/project_file.h"
#include "rom/make_rom.h"
#include "support/bundled_data.h"
#include "support/rom_fixture.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace Lift;
using namespace Lift::Preview;
using namespace Lift::Test;
namespace fs = std::filesystem;

BlackPicture Decoded(std::string_view bmp) {
    BlackPicture p;
    std::string reason;
    EXPECT_TRUE(Rom::DecodeBlackPicture(bmp, p, reason)) << reason;
    return p;
}

// The floor zone as expected: white, with each picture drawn at its x.
BlackPicture ExpectedFloor(const std::vector<std::pair<const BlackPicture*, int>>& placed) {
    BlackPicture zone{64, 64, std::vector<std::uint8_t>(64 * 64, 0)};
    for (const auto& [picture, x0] : placed)
        for (int y = 0; y < picture->height; ++y)
            for (int x = 0; x < picture->width; ++x)
                zone.black[std::size_t(y * 64 + x0 + x)] = picture->isBlack(x, y);
    return zone;
}

BlackPicture Region(const BlackPicture& screen, ScreenRect r) {
    BlackPicture zone{r.width, r.height, {}};
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x)
            zone.black.push_back(screen.isBlack(r.x + x, r.y + y));
    return zone;
}

TEST(ScreenLayout, ZonesMatchTheBundledLayoutPictures) {
    const std::string glb = ReadBytes(std::string(LIFT_SOURCE_DIR) + "/data/P620BX7.GLB");
    const auto item = [&](int g, int n) { return Decoded(*Editor::FindGlbItem(glb, g, n)); };
    // The layout pictures show DIR style 0's arrow, "12" in FL style 0 and a black message bar
    // with white text.
    ScreenPieces pieces;
    pieces.arrow = item(0, 50);
    pieces.twoGlyphs = true;
    pieces.leftGlyph = item(1, '1');
    pieces.rightGlyph = item(1, '2');
    pieces.message = BlackPicture{64, 16, std::vector<std::uint8_t>(64 * 16, 1)};
    for (int p = 0; p < kMessagePositions; ++p) {
        pieces.messagePosition = p;
        const BlackPicture screen = ComposeScreen(pieces);
        const BlackPicture layout = item(0, 30 + p);
        ASSERT_EQ(screen.width, layout.width);
        ASSERT_EQ(screen.height, layout.height);
        int text = 0;
        for (int y = 0; y < kScreenHeight; ++y)
            for (int x = 0; x < kScreenWidth; ++x) {
                if (screen.isBlack(x, y) == layout.isBlack(x, y))
                    continue;
                ASSERT_TRUE(kScreenZones[p].message.contains(x, y) && !layout.isBlack(x, y))
                    << "position " << p << " pixel " << x << "," << y;
                ++text;
            }
        EXPECT_GT(text, 0) << "position " << p;
    }
}

// A small project and the image built from it, previewed side by side.
class PreviewFixture : public ::testing::Test {
protected:
    PreviewFixture() {
        f.writeUserPicture(0, "LOBBY.bmp");
        glb = f.library();
        project = f.project;
    }
    std::string buildImage() {
        Editor::DisplayProject copy = project; // MAKE ROM drops labels it cannot show
        return f.build(copy);
    }
    BlackPicture glyph(char c) { return Decoded(*glb.item(1, static_cast<unsigned char>(c))); }

    RomFixture f;
    Editor::GlbLibrary glb;
    Editor::DisplayProject project;
    Editor::VersionSettings version; // DISPHV 1: pictures packed turned
};

TEST_F(PreviewFixture, FloorZoneShowsTheLabelFromProjectAndImage) {
    const BlackPicture five = glyph('5'), one = glyph('1'), two = glyph('2');
    const BlackPicture lobby = Decoded(ReadBytes(f.userFloorPictureRoot + "0/LOBBY.bmp"));
    struct Case {
        const char* label;
        std::vector<std::pair<const BlackPicture*, int>> placed; // picture, x in the zone
        bool problem;
    };
    const std::vector<Case> cases = {
        {"5", {{&five, 16}}, false},
        {"05", {{&five, 16}}, false},
        {"12", {{&one, 0}, {&two, 32}}, false},
        {"lobby", {{&lobby, 0}}, false},
        {"", {}, false},
        {"1X", {{&one, 0}}, true}, // no glyph of X: its half stays empty
        {"NOPE", {}, true},        // no user floor picture: MAKE ROM drops the label
        {"\xC4", {}, true},        // codes past 127 have no glyph
    };
    for (std::size_t i = 0; i < cases.size(); ++i)
        project.codeTables[0][i] = cases[i].label;
    ImagePieces image(buildImage(), true);
    ProjectPieces fromProject(project, glb, version, f.userFloorPictureRoot);

    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        ScreenState state;
        state.code = int(i);
        const ScreenPreview p = PreviewScreen(fromProject, state);
        EXPECT_EQ(Region(p.screen, kScreenZones[1].floor).black, ExpectedFloor(c.placed).black)
            << c.label;
        EXPECT_EQ(p.problems.empty(), !c.problem) << c.label;
        EXPECT_EQ(PreviewScreen(image, state).screen.black, p.screen.black) << c.label;
    }
    ScreenState high; // the image says so too
    high.code = int(cases.size()) - 1;
    EXPECT_EQ(PreviewScreen(image, high).problems.size(), 1u);
    ScreenState typed;
    typed.label = "1X";
    const ScreenPreview missing = PreviewScreen(fromProject, typed);
    ASSERT_EQ(missing.problems.size(), 1u);
    EXPECT_NE(missing.problems[0].find("\"X\""), std::string::npos) << missing.problems[0];

    // Another library chosen under the preview is shown, not the glyph kept from before.
    f.glb.add(1, '5', std::string(*glb.item(1, '1')));
    glb = f.library();
    ScreenState first; // code 0 shows "5"
    first.code = 0;
    EXPECT_EQ(Region(PreviewScreen(fromProject, first).screen, kScreenZones[1].floor).black,
              ExpectedFloor({{&one, 16}}).black);
}

TEST_F(PreviewFixture, ArrowMessageAndLogoFollowTheState) {
    project.directionStyle = 0; // the demo checks style 1 against the image
    project.messageColumnBoxes = {true, false, true, false}; // slot columns 1 and 0, in turn
    project.logoEnabled = true;
    project.logoFile = f.dir.file("logo.bmp");
    WriteBytes(project.logoFile, PatternBmp(64, 64, 7));
    const auto file = [](const std::string& path) { return Decoded(ReadBytes(path)); };
    const ScreenRect arrow = kScreenZones[1].direction, message = kScreenZones[1].message;
    struct Case {
        ScreenState state;
        ScreenRect zone;
        BlackPicture expected;
    };
    const std::vector<Case> cases = {
        {{0, 1, std::nullopt, true, -1, false, 17}, arrow, Decoded(*glb.item(0, 50 + 5))},
        {{0, 1, std::nullopt, false, 3, false, 11}, message, file(f.slotPath(3, 1))},
        {{0, 1, std::nullopt, false, 0, false, 12}, message, file(f.slotPath(0, 0))},
        {{0, 1, std::nullopt, true, 3, true, 0}, kLogoRect, file(project.logoFile)},
    };
    ProjectPieces fromProject(project, glb, version, f.userFloorPictureRoot);
    for (const Case& c : cases) {
        const ScreenPreview p = PreviewScreen(fromProject, c.state);
        EXPECT_EQ(Region(p.screen, c.zone).black, c.expected.black) << c.state.step;
        EXPECT_TRUE(p.problems.empty()) << p.problems.front();
    }

    // A missing file moves the later pictures up: row 3 shows row 4's picture, as the image
    // built now would, and the preview says so. A logo whose file is gone is not shown from
    // memory; one left ON without a picture shows the logo area's fill pattern.
    fs::remove(f.slotPath(0, 1));
    fs::remove(project.logoFile);
    const ScreenPreview logoGone = PreviewScreen(fromProject, cases[3].state);
    project.logoFile.clear();
    project.directionStyle = 4; // its last frame ends exactly at the end of the full zone
    ImagePieces image(buildImage(), true);
    const ScreenState lastFrame{0, 1, std::nullopt, true, -1, false, 11};
    EXPECT_TRUE(PreviewScreen(image, lastFrame).problems.empty());
    EXPECT_EQ(PreviewScreen(image, lastFrame).screen.black,
              PreviewScreen(fromProject, lastFrame).screen.black);
    const ScreenPreview shifted = PreviewScreen(fromProject, cases[1].state);
    EXPECT_EQ(Region(shifted.screen, message).black, file(f.slotPath(4, 1)).black);
    ASSERT_EQ(shifted.problems.size(), 1u);
    EXPECT_EQ(PreviewScreen(image, cases[1].state).screen.black, shifted.screen.black);
    const ScreenPreview pattern = PreviewScreen(fromProject, cases[3].state);
    ASSERT_EQ(pattern.problems.size(), 1u);
    EXPECT_EQ(PreviewScreen(image, cases[3].state).screen.black, pattern.screen.black);
    EXPECT_NE(Region(logoGone.screen, kLogoRect).black, cases[3].expected.black);

    // Values only a hand-edited project holds are named; position 3 is shown as 1.
    project.directionStyle = 5;
    const ScreenPreview one = PreviewScreen(fromProject, lastFrame);
    project.messagePosition = 3;
    const ScreenPreview odd = PreviewScreen(fromProject, lastFrame);
    EXPECT_EQ(odd.screen.black, one.screen.black);
    ASSERT_EQ(odd.problems.size(), 2u);
    EXPECT_NE(odd.problems[0].find("none of 0, 1, 2"), std::string::npos) << odd.problems[0];
    EXPECT_NE(odd.problems[1].find("styles are 0..4"), std::string::npos) << odd.problems[1];
}

TEST(DemoPreview, ProjectAndItsImageShowTheSamePixels) {
    BundledDataCopy dir;
    Editor::EditorSession session;
    ScriptedUi ui;
    ASSERT_TRUE(Editor::RunStartUp(session, ui, {dir.path(), dir.path()}));
    ASSERT_TRUE(Project::LoadProjectFrom(session, ui, "demo.lcp"));
    ProjectPieces fromProject(session);
    Editor::DisplayProject& project = session.project;

    for (int position = 0; position < kMessagePositions; ++position) {
        project.messagePosition = position;
        Rom::MakeRomContext c{project,
                              session.program.glbData,
                              session.program.settings.versionSettings,
                              session.program.startDirectory,
                              session.program.userFloorPictureRoot,
                              [&] {
                                  Project::ApplySaveEffects(project);
                                  return true;
                              },
                              dir.file("demo.bin")};
        ASSERT_EQ(Rom::MakeRom(c, ui).result, Rom::MakeRomResult::Written);
        ImagePieces fromImage(ReadBytes(dir.file("demo.bin")),
                              session.program.settings.versionSettings.disphv == 1);
        int used = 0;
        for (int t = 0; t < 3; ++t)
            for (int code = 0; code < 256; ++code) {
                if (Editor::IsBlank(project.codeTables[t][code]))
                    continue;
                ++used;
                // Every code, and with it each frame, lift state and message column.
                const ScreenState state{t, code, std::nullopt, true, code % 10, code % 7 == 0,
                                        code};
                const ScreenPreview a = PreviewScreen(fromProject, state);
                const ScreenPreview b = PreviewScreen(fromImage, state);
                EXPECT_TRUE(a.problems.empty() && b.problems.empty()) << t << " " << code;
                ASSERT_EQ(a.screen.black, b.screen.black) << t << " " << code;
            }
        EXPECT_GT(used, 60);
    }
}

} // namespace
