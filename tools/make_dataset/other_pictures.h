#pragma once
// The remaining pictures of the data set: message-position layouts, the start-up
// picture, the small pictures of group 7, the demo customer logo and the blank logo.

#include "bitmap.h"
#include "fonts.h"

namespace MakeDataset {

constexpr int kSmallPictureCount = 39;

// Message position p (0..2): a 64 x 128 miniature of the whole screen (arrow 48, floor
// number 64 and message line 16 pixels high) with the message line at the top (0),
// between arrow and number (1) or at the bottom (2).
Bitmap RenderLayoutPicture(const Fonts& fonts, int position);

// 64 x 32 picture (0, 40), packed turned into 256 bytes.
Bitmap RenderStartupPicture();

// Small picture i (0..38), 8 x 8: the characters of the date-and-time line.
Bitmap RenderSmallPicture(int index);
char SmallPictureCharacter(int index);

// 64 x 64 logo of the demo building.
Bitmap RenderDemoLogo();

} // namespace MakeDataset
