#pragma once
// The five direction-arrow styles, 12 frames of 48 x 48 each; frame 0 is the picture the
// editor shows as the style's preview, the controller cycles through all 12. Arrows point
// up (the controller mirrors them for down).

#include "bitmap.h"

#include <array>

namespace MakeDataset {

constexpr int kArrowStyleCount = 5;
constexpr int kArrowFrameCount = 12;
constexpr int kArrowSize = 48;

// Style 0 still, 1 scrolling, 2 blinking, 3 running chevrons, 4 filling triangle.
std::array<Bitmap, kArrowFrameCount> RenderArrowFrames(int style);
const char* ArrowStyleName(int style);

// The plain arrow, also used by the layout pictures.
Bitmap RenderArrow();

} // namespace MakeDataset
