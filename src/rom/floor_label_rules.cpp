#include "rom/floor_label_rules.h"

#include "editor/display_project.h"
#include "editor/text_rules.h"
#include "rom/rom_image.h"

namespace Lift::Rom {

std::string RomLabel(std::string_view entry) {
    return Editor::UpperCased(Editor::Trimmed(entry));
}

LabelShows WhatLabelShows(std::string_view romLabel) {
    LabelShows shows;
    const auto bytes = LabelCodeBytes(romLabel);
    if (!bytes) {
        shows.userPicture = true;
        return shows;
    }
    for (std::uint8_t b : {bytes->left, bytes->right})
        if (b != 0)
            shows.glyphs.push_back(static_cast<char>(b));
    return shows;
}

std::optional<std::string_view> FloorGlyphItem(const Editor::GlbLibrary& glb, int style,
                                               unsigned char c) {
    if (style < 0 || style >= Editor::kFloorStyleCount || c >= kGlyphCount)
        return std::nullopt;
    return glb.item(FloorGlyphGroup(style), c);
}

} // namespace Lift::Rom
