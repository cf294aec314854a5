#pragma once
// Where each piece sits on the indicator's 64 x 128 screen (upright, as the passenger
// sees it), for the three message positions.
//
// Read off the three layout pictures shown under "Massage position:": the direction arrow
// (48 x 48) sits centred across the width, the floor label (64 x 64) spans it, the message
// line (64 x 16) runs across the top (position 0), between arrow and label (1) or along the
// bottom (2). The customer logo (64 x 64) has the screen to itself, centred.

namespace Lift::Preview {

inline constexpr int kScreenWidth = 64;
inline constexpr int kScreenHeight = 128;

struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    constexpr bool contains(int px, int py) const {
        return px >= x && px < x + width && py >= y && py < y + height;
    }
    constexpr bool operator==(const ScreenRect&) const = default;
};

struct ScreenZones {
    ScreenRect direction;
    ScreenRect floor;
    ScreenRect message;
};

inline constexpr int kMessagePositions = 3;
inline constexpr ScreenZones kScreenZones[kMessagePositions] = {
    {{8, 16, 48, 48}, {0, 64, 64, 64}, {0, 0, 64, 16}},
    {{8, 0, 48, 48}, {0, 64, 64, 64}, {0, 48, 64, 16}},
    {{8, 0, 48, 48}, {0, 48, 64, 64}, {0, 112, 64, 16}},
};

// The zones of a project's message position; one out of range is drawn as the middle one.
constexpr const ScreenZones& ZonesOf(int messagePosition) {
    return kScreenZones[messagePosition >= 0 && messagePosition < kMessagePositions
                            ? messagePosition
                            : 1];
}

inline constexpr ScreenRect kLogoRect{0, 32, 64, 64};

// Within the floor zone: one glyph is centred; two stand side by side.
inline constexpr int kGlyphWidth = 32;
inline constexpr int kSingleGlyphX = (64 - kGlyphWidth) / 2;

} // namespace Lift::Preview
