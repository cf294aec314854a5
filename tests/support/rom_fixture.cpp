#include "support/rom_fixture.h"

#include "rom/make_rom.h"
#include "support/bmp_writer.h"
#include "support/scripted_ui.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace Lift::Test {

std::string PatternBmp(int width, int height, int seed) {
    RgbPicture picture = FilledPicture(width, height, Rgb{255, 255, 255});
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((x * 3 + y * 5 + seed) % 7 == 0)
                picture.set(x, y, Rgb{0, 0, 0});
    return WriteBmp(picture, BmpForm::Mono).bytes;
}

RomFixture::RomFixture() {
    namespace fs = std::filesystem;
    startDirectory = dir.path().string();
    programDirectory = dir.file("program") + "/";
    userFloorPictureRoot = programDirectory + "DefaultImage2/UserDefine/Floor/Style";
    for (int s = 0; s < 4; ++s)
        fs::create_directories(userFloorPictureRoot + std::to_string(s));
    fs::create_directories(programDirectory + "DefaultImage2/LiftState");

    glb.add(0, 1, std::string(7000, '\x11') + "CFI-END"); // CFI of the default version
    glb.add(0, 41, std::string(1500, '\x22') + "IFI-END");
    glb.add(0, 40, PatternBmp(64, 32, 40));
    for (int s = 0; s < 5; ++s)
        for (int i = 0; i < 12; ++i)
            glb.add(0, 50 + 20 * s + i, PatternBmp(48, 48, 100 + s * 12 + i));
    for (int i = 0; i < 39; ++i)
        glb.add(7, i, PatternBmp(8, 8, 200 + i)); // 8 data bytes each
    for (char ch : std::string("-S0123456789"))
        addGlyph(static_cast<unsigned char>(ch));

    for (int row = 0; row < Editor::kSlotRows; ++row)
        for (int column = 0; column < Editor::kSlotColumns; ++column) {
            const std::string path = slotPath(row, column);
            WriteBytes(path, PatternBmp(64, 16, row * 4 + column));
            project.liftStatePictures[row][column] = path;
        }
    project.codeTables[0][1] = "1";
}

void RomFixture::addGlyph(unsigned char ch) {
    for (int s = 0; s < 4; ++s)
        glb.add(s + 1, ch, PatternBmp(32, 64, ch * 4 + s));
}

std::string RomFixture::writeUserPicture(int style, const std::string& fileName, int width,
                                         int height) {
    const std::string path = userFloorPictureRoot + std::to_string(style) + "/" + fileName;
    WriteBytes(path, PatternBmp(width, height, static_cast<int>(fileName.size()) * 11 + style));
    return path;
}

std::string RomFixture::build(Editor::DisplayProject& built, const Editor::VersionSettings& version,
                              std::vector<std::string>* log) {
    ScriptedUi ui;
    const Editor::GlbLibrary glb = library();
    Rom::MakeRomContext c{built, glb, version, startDirectory, userFloorPictureRoot,
                          [] { return true; }, dir.file("out.bin")};
    EXPECT_EQ(Rom::MakeRom(c, ui).result, Rom::MakeRomResult::Written)
        << testing::PrintToString(ui.calls);
    if (log)
        *log = ui.log;
    return ReadBytes(dir.file("out.bin"));
}

std::string RomFixture::slotPath(int row, int column) const {
    return programDirectory + "DefaultImage2/LiftState/" +
           Editor::DefaultLiftStateFileName(row, column);
}

} // namespace Lift::Test
