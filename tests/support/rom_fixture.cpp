#include "support/rom_fixture.h"

#include <filesystem>

namespace Lift::Test {

namespace {
void put32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void put16(std::string& s, std::uint16_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8));
}
} // namespace

std::string PatternBmp(int width, int height, int seed) {
    const int stride = ((width + 31) / 32) * 4;
    std::string s = "BM";
    put32(s, static_cast<std::uint32_t>(62 + stride * height));
    put32(s, 0);
    put32(s, 62);
    put32(s, 40);
    put32(s, static_cast<std::uint32_t>(width));
    put32(s, static_cast<std::uint32_t>(height));
    put16(s, 1);
    put16(s, 1);
    for (int i = 0; i < 6; ++i)
        put32(s, 0);
    put32(s, 0x00000000);                         // index 0: black
    put32(s, 0x00FFFFFF);                         // index 1: white
    for (int row = height - 1; row >= 0; --row) { // bottom-up
        std::string line(static_cast<std::size_t>(stride), '\0');
        for (int x = 0; x < width; ++x) {
            const bool black = (x * 3 + row * 5 + seed) % 7 == 0;
            if (!black)
                line[static_cast<std::size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
        }
        s += line;
    }
    return s;
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

std::string RomFixture::slotPath(int row, int column) const {
    return programDirectory + "DefaultImage2/LiftState/" +
           Editor::DefaultLiftStateFileName(row, column);
}

} // namespace Lift::Test
