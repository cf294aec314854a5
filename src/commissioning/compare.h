#pragma once
// Compare: what changed between two versions of a project, or of a ROM image, one line per
// difference, as a technician with many lifts reads it.
//
// Projects: the settings that differ, each code whose label differs ("CTBL0 0A (10 ): 7 ->
// 8"), and the pictures that differ by what they show, not by file name: slot pictures, the
// user floor pictures of labels both projects use, the logo.
// Images: the settings of the settings block, the code-table entries, the pictures placed
// (glyphs, user floor pictures, arrow frames, messages, logo), and every area of the layout
// whose bytes differ. Reads the pictures it compares; writes nothing.

#include "editor/editor_session.h"

#include <string>
#include <string_view>
#include <vector>

namespace Lift::Commissioning {

// Empty when the two projects put the same on the display.
std::vector<std::string> CompareProjects(const Editor::EditorSession& a,
                                         const Editor::EditorSession& b);

// False with `error` when either is not a ROM image (64512 bytes); `error` then starts with
// "A: " or "B: ".
bool CompareRomImages(std::string_view a, std::string_view b, std::vector<std::string>& lines,
                      std::string& error);

} // namespace Lift::Commissioning
