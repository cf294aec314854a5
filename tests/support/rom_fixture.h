#pragma once
// A complete small data set for building ROM images in tests: a GLB library with every item
// MAKE ROM reads, lift-state pictures, and a folder for user floor pictures, all in a fresh
// temporary folder. Pictures are generated 1-bit BMPs with a pattern derived from a seed, so
// every picture is different and a misplaced one shows.

#include "editor/display_project.h"
#include "editor/glb_library.h"
#include "editor/program_settings.h"
#include "support/glb_builder.h"
#include "support/temp_dir.h"

#include <string>
#include <vector>

namespace Lift::Test {

// A 1-bit BMP of the given size; pixel (x, y) is black when (x * 3 + y * 5 + seed) % 7 == 0.
std::string PatternBmp(int width, int height, int seed);

class RomFixture {
public:
    RomFixture();

    TempDir dir;
    std::string startDirectory;       // dir
    std::string programDirectory;     // dir/program/
    std::string userFloorPictureRoot; // programDirectory + "DefaultImage2/UserDefine/Floor/Style"
    GlbBuilder glb;                   // items as listed in the constructor
    Editor::DisplayProject project;   // one label "1" in CTBL0, default slots

    // Adds the glyph of `ch` to all four floor styles.
    void addGlyph(unsigned char ch);
    // Writes a user floor picture file for floor style `style`.
    std::string writeUserPicture(int style, const std::string& fileName, int width = 64,
                                 int height = 64);
    // Path of slot (row, column)'s picture (written by the constructor).
    std::string slotPath(int row, int column) const;

    Editor::GlbLibrary library() const { return Editor::GlbLibrary(glb.build()); }
    // MAKE ROM of `built` (which it may change, as the window's does) with this library and
    // folders; the image written, and the message-log lines when `log` is given.
    std::string build(Editor::DisplayProject& built, const Editor::VersionSettings& version = {},
                      std::vector<std::string>* log = nullptr);
};

} // namespace Lift::Test
