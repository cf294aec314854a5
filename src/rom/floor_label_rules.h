#pragma once
// How a code-table entry becomes what the display shows, by MAKE ROM's rules: the entry is
// trimmed and upper-cased; one or two characters are drawn from the chosen floor style's
// glyphs (a leading "0" of two is not shown, a single glyph is centred); three or more
// characters name a user floor picture file of that style (UserFloorPicturePath in
// project_pictures.h).
//
// MAKE ROM, the check, the commissioning sheet and the display preview all ask here, so
// they cannot disagree about a label. Pure functions; thread-safe.

#include "editor/glb_library.h"

#include <optional>
#include <string>
#include <string_view>

namespace Lift::Rom {

// The label as MAKE ROM reads a code-table entry: trimmed, upper case.
std::string RomLabel(std::string_view entry);

struct LabelShows {
    // Characters drawn from glyphs, left to right: none, one (centred) or two.
    std::string glyphs;
    // The label names a user floor picture (it has three or more characters).
    bool userPicture = false;
};

// What the display shows for a label already read by RomLabel.
LabelShows WhatLabelShows(std::string_view romLabel);

// GLB group of the glyphs of floor style `style` (0..3).
constexpr int FloorGlyphGroup(int style) {
    return style + 1;
}

// The GLB item holding the glyph of character `c` in floor style `style`; nothing when the
// style is not 0..3, when `c` is 128 or more (the image has glyphs for 0..127 only) or when
// the library lacks the item.
std::optional<std::string_view> FloorGlyphItem(const Editor::GlbLibrary& glb, int style,
                                               unsigned char c);

} // namespace Lift::Rom
